#include "gui/dialogs/data_file_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QGridLayout>
#include <QPushButton>

#include "gui/dialogs/dialog_kit.h"
#include "gui/help_viewer.h"

namespace trendolin::gui {

QStringList DataFileFilters() {
  // Data files come from many systems: the patterns match either case.
  return {QStringLiteral("Data Files (*.dat *.DAT)"), QStringLiteral("Text Files (*.txt *.TXT)"),
          QStringLiteral("All Files (*)")};
}

DataFileDialog::DataFileDialog(const platform::FileDialogRequest& request, FileDialogKind kind, QWidget* parent)
    : QFileDialog(parent) {
  setOption(QFileDialog::DontUseNativeDialog, true);
  setWindowTitle(FromUtf8(request.title));
  setNameFilters(DataFileFilters());
  setDefaultSuffix(FromUtf8(request.defaultExtension));
  if (kind == FileDialogKind::Save) {
    setAcceptMode(QFileDialog::AcceptSave);
    setFileMode(QFileDialog::AnyFile);
    setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
  } else {
    setAcceptMode(QFileDialog::AcceptOpen);
    setFileMode(request.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  }
  // No folder of its own: the dialog opens where the program works (start-up
  // made that the data folder), or in the folder of the current file.
  setDirectory(QDir::current());
  if (!request.initialPath.empty()) selectFile(FromUtf8(request.initialPath));

  // The widget dialog lays itself out on a grid: the extra controls go into
  // a row of their own at the bottom, and Help joins its button box.
  if (auto* grid = qobject_cast<QGridLayout*>(layout())) {
    if (request.offerReadOnly) {
      readOnly_ = new QCheckBox(QStringLiteral("&Read only"), this);
      readOnly_->setObjectName(QStringLiteral("readOnly"));
      grid->addWidget(readOnly_, grid->rowCount(), 0, 1, grid->columnCount());
    }
  }
  if (auto* buttons = findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"))) {
    QPushButton* help = buttons->addButton(QDialogButtonBox::Help);
    help->setObjectName(QStringLiteral("help"));
    const std::string topic = request.helpTopic;
    connect(buttons, &QDialogButtonBox::helpRequested, this, [topic] { ShowHelp(topic); });
  }
}

platform::FileDialogResult DataFileDialog::Result() const {
  platform::FileDialogResult result;
  const QStringList chosen = selectedFiles();
  if (!chosen.isEmpty()) result.path = ToUtf8(QDir::toNativeSeparators(chosen.first()));
  result.readOnly = readOnly_ && readOnly_->isChecked();
  return result;
}

}  // namespace trendolin::gui
