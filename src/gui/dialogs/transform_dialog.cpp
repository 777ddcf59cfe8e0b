#include "gui/dialogs/transform_dialog.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QVBoxLayout>

#include "gui/dialogs/dialog_kit.h"

namespace trendolin::gui {
namespace {

constexpr const char* kTransformHelpTopic = "transform.html";

}  // namespace

TransformDialog::TransformDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Transform"));
  const TransformFields initial = InitialTransformFields();

  functions_ = new QListWidget;
  functions_->setObjectName(QStringLiteral("functions"));
  for (const char* name : kTransformFunctionNames) functions_->addItem(QString::fromUtf8(name));
  functions_->setCurrentRow(initial.function);
  functions_->setMinimumHeight(functions_->sizeHintForRow(0) * 9);

  auto* column = new QGroupBox(QStringLiteral("Column"));
  xColumn_ = new QRadioButton(QStringLiteral("&X"));
  xColumn_->setObjectName(QStringLiteral("xColumn"));
  yColumn_ = new QRadioButton(QStringLiteral("&Y (and its uncertainties)"));
  yColumn_->setObjectName(QStringLiteral("yColumn"));
  (initial.column == 1 ? yColumn_ : xColumn_)->setChecked(true);
  auto* columnLayout = new QVBoxLayout(column);
  columnLayout->addWidget(xColumn_);
  columnLayout->addWidget(yColumn_);

  exponent_ = new QLineEdit(FromUtf8(initial.exponent));
  exponent_->setObjectName(QStringLiteral("exponent"));
  auto* exponentLabel = new QLabel(QStringLiteral("&Exponent a of x^a:"));
  exponentLabel->setBuddy(exponent_);
  // Only "x^a" reads the exponent: the field is usable only then.
  auto followFunction = [this] { exponent_->setEnabled(functions_->currentRow() == kTransformPower); };
  connect(functions_, &QListWidget::currentRowChanged, this, followFunction);
  followFunction();

  auto* functionsLabel = new QLabel(QStringLiteral("&Function (angles in radians):"));
  functionsLabel->setBuddy(functions_);
  auto* right = new QVBoxLayout;
  right->addWidget(column);
  right->addWidget(exponentLabel);
  right->addWidget(exponent_);
  right->addStretch(1);
  auto* left = new QVBoxLayout;
  left->addWidget(functionsLabel);
  left->addWidget(functions_);
  auto* body = new QHBoxLayout;
  body->addLayout(left, 1);
  body->addLayout(right);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(body);
  layout->addWidget(MakeDialogButtons(this, kTransformHelpTopic));
  connect(functions_, &QListWidget::itemDoubleClicked, this, &TransformDialog::accept);
}

TransformFields TransformDialog::Fields() const {
  TransformFields fields;
  fields.column = xColumn_->isChecked() ? 0 : yColumn_->isChecked() ? 1 : -1;
  fields.function = functions_->currentRow();
  fields.exponent = ToUtf8(exponent_->text());
  return fields;
}

void TransformDialog::accept() {
  const TransformCheck check = CheckTransformFields(Fields());
  if (!check.choice) {
    if (check.badField == kTransformExponentField) SelectFrom(exponent_, static_cast<int>(check.badPosition));
    return;
  }
  choice_ = check.choice;
  QDialog::accept();
}

bool RunTransformCommand(QWidget* parent, CurveFit& doc) {
  return TransformCommand(doc, [parent]() -> std::optional<TransformChoice> {
    TransformDialog dialog(parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Choice();
  });
}

}  // namespace trendolin::gui
