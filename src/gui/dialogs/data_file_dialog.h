// The open and save dialogs of data files: Qt's own file dialog (the same
// on every desktop), with the program's filters, default extension, Help
// button and, when asked, a read-only check box.
#pragma once

#include <QFileDialog>

#include "platform/ui.h"

class QCheckBox;

namespace trendolin::gui {

enum class FileDialogKind { Open, Save };

class DataFileDialog : public QFileDialog {
  Q_OBJECT

 public:
  DataFileDialog(const platform::FileDialogRequest& request, FileDialogKind kind, QWidget* parent = nullptr);

  // The chosen file and the state of the read-only box.
  platform::FileDialogResult Result() const;
  // The read-only box; nullptr when the request did not offer it.
  QCheckBox* ReadOnlyBox() const { return readOnly_; }
  // OK, as the dialog's own button does it (checks included), for callers
  // that press it without a mouse.
  using QFileDialog::accept;

 private:
  QCheckBox* readOnly_ = nullptr;
};

// The filters both dialogs offer, first the one selected at start.
QStringList DataFileFilters();

}  // namespace trendolin::gui
