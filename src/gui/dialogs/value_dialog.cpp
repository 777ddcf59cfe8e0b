#include "gui/dialogs/value_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <algorithm>

#include "gui/dialogs/dialog_kit.h"
#include "gui/dialogs/spin_buttons.h"

namespace trendolin::gui {

ValueDialog::ValueDialog(const platform::ValueDialogRequest& request, const ValueDialogLook& look, QWidget* parent)
    : QDialog(parent), request_(request) {
  setWindowTitle(look.caption);

  prompt_ = new QLabel(look.prompt, this);
  prompt_->setObjectName(QStringLiteral("prompt"));
  prompt_->setWordWrap(true);

  field_ = new QLineEdit(FromUtf8(request.fieldText), this);
  field_->setObjectName(QStringLiteral("value"));
  if (look.maxChars > 0) field_->setMaxLength(look.maxChars);
  // As wide as the longest text the field takes, and no wider.
  const int chars = std::max(look.maxChars, 8);
  field_->setFixedWidth(field_->fontMetrics().horizontalAdvance(QLatin1Char('0')) * (chars + 2));
  spin_ = new SpinButtons(field_, request.spinLower, request.spinUpper, request.spinPosition, request.spinText, this);

  auto* fieldLabel = new QLabel(look.fieldLabel, this);
  fieldLabel->setBuddy(field_);
  auto* fieldRow = new QHBoxLayout;
  fieldRow->addWidget(fieldLabel);
  fieldRow->addWidget(field_);
  fieldRow->addWidget(spin_);
  fieldRow->addStretch(1);
  fieldRow->setSpacing(4);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(prompt_);
  layout->addLayout(fieldRow);
  layout->addStretch(1);
  layout->addWidget(MakeDialogButtons(this, look.helpTopic));
  setMinimumWidth(360);

  field_->selectAll();
  field_->setFocus(Qt::OtherFocusReason);
}

QString ValueDialog::FieldText() const { return field_->text(); }

void ValueDialog::accept() {
  const bool taken = request_.accept ? request_.accept(ToUtf8(field_->text())) : true;
  if (taken) {
    QDialog::accept();
    return;
  }
  SelectFrom(field_, 0);
}

}  // namespace trendolin::gui
