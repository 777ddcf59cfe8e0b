#include "gui/dialogs/model_name_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "gui/dialogs/dialog_kit.h"
#include "platform/ui.h"
#include "session/user_model_dialog.h"

namespace trendolin::gui {

ModelNameDialog::ModelNameDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Save User Model"));
  field_ = new QLineEdit(QString::fromUtf8(kDefaultUserModelName), this);
  field_->setObjectName(QStringLiteral("name"));
  field_->setMaxLength(static_cast<int>(kNameFieldMaxChars));
  field_->setMinimumWidth(field_->fontMetrics().horizontalAdvance(QLatin1Char('M')) * 20);
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Model &name:"), field_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(MakeDialogButtons(this, kUserModelHelpTopic));
  field_->selectAll();
  field_->setFocus(Qt::OtherFocusReason);
}

void ModelNameDialog::accept() {
  const ModelNameCheck check = CheckModelName(ToUtf8(field_->text()));
  if (check.warning) {
    platform::ResourceMessageBox(check.warning->caption, check.warning->text, platform::Icon::Exclamation,
                                 platform::Buttons::Ok);
    SelectFrom(field_, 0);
    return;
  }
  name_ = *check.name;
  QDialog::accept();
}

}  // namespace trendolin::gui
