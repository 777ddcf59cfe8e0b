// A dialog of one edit field with up-down arrows: what the polynomial
// degree dialog and the tension dialog have in common. OK hands the field's
// text to the request's `accept`, which says whether the dialog may close.
#pragma once

#include <QDialog>
#include <string>

#include "platform/ui.h"

class QLabel;
class QLineEdit;

namespace trendolin::gui {

class SpinButtons;

struct ValueDialogLook {
  QString caption;
  QString prompt;
  QString fieldLabel;
  int maxChars = 0;
  std::string helpTopic;
};

class ValueDialog : public QDialog {
  Q_OBJECT

 public:
  ValueDialog(const platform::ValueDialogRequest& request, const ValueDialogLook& look, QWidget* parent = nullptr);

  QLineEdit* Field() const { return field_; }
  SpinButtons* Spin() const { return spin_; }
  QString FieldText() const;

  // OK: closes only when the request's `accept` takes the text; otherwise
  // the text is selected again for the next try.
  void accept() override;

 private:
  platform::ValueDialogRequest request_;
  QLabel* prompt_;
  QLineEdit* field_;
  SpinButtons* spin_;
};

}  // namespace trendolin::gui
