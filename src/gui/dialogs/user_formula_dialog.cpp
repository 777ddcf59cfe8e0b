#include "gui/dialogs/user_formula_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "gui/dialogs/dialog_kit.h"
#include "gui/dialogs/model_name_dialog.h"
#include "session/user_model_dialog.h"

namespace trendolin::gui {
namespace {

void ShowPair(const MessagePair& pair, platform::Icon icon) {
  platform::ResourceMessageBox(pair.caption, pair.text, icon, platform::Buttons::Ok);
}

QPushButton* SideButton(const QString& text, const QString& name, QWidget* parent) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(name);
  button->setAutoDefault(false);
  return button;
}

}  // namespace

UserFormulaDialog::UserFormulaDialog(const platform::UserModelDialogRequest& request, std::string settingsPath,
                                     QWidget* parent)
    : QDialog(parent), request_(request), settingsPath_(std::move(settingsPath)) {
  setWindowTitle(QStringLiteral("User Model"));
  const std::size_t stored = std::min(request.names.size(), request.formulas.size());
  for (std::size_t i = 0; i < stored; ++i) library_.push_back(StoredUserModel{request.names[i], request.formulas[i]});

  auto* formulaLabel = new QLabel(QStringLiteral("&Formula, y = f(x) with the parameters a, b, c, ...:"), this);
  formula_ = new QLineEdit(FromUtf8(request.formula), this);
  formula_->setObjectName(QStringLiteral("formula"));
  formula_->setMaxLength(static_cast<int>(kFormulaFieldMaxChars));
  formula_->setMinimumWidth(formula_->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 48);
  formulaLabel->setBuddy(formula_);

  auto* listLabel = new QLabel(QStringLiteral("&Stored models:"), this);
  list_ = new QListWidget(this);
  list_->setObjectName(QStringLiteral("library"));
  for (const StoredUserModel& model : library_) list_->addItem(FromUtf8(model.name));
  listLabel->setBuddy(list_);

  auto* save = SideButton(QStringLiteral("Sa&ve..."), QStringLiteral("save"), this);
  delete_ = SideButton(QStringLiteral("&Delete"), QStringLiteral("delete"), this);
  auto* side = new QVBoxLayout;
  side->addWidget(save);
  side->addWidget(delete_);
  side->addStretch(1);
  auto* library = new QHBoxLayout;
  library->addWidget(list_, 1);
  library->addLayout(side);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(formulaLabel);
  layout->addWidget(formula_);
  layout->addSpacing(6);
  layout->addWidget(listLabel);
  layout->addLayout(library, 1);
  layout->addWidget(MakeDialogButtons(this, kUserModelHelpTopic));

  connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (row >= 0) formula_->setText(FromUtf8(FormulaOfEntry(library_, static_cast<std::size_t>(row))));
    SyncDeleteButton();
  });
  connect(list_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
    formula_->setText(FromUtf8(FormulaOfEntry(library_, static_cast<std::size_t>(list_->row(item)))));
    accept();
  });
  connect(save, &QPushButton::clicked, this, &UserFormulaDialog::Save);
  connect(delete_, &QPushButton::clicked, this, &UserFormulaDialog::Delete);
  SyncDeleteButton();

  formula_->selectAll();
  formula_->setFocus(Qt::OtherFocusReason);
}

void UserFormulaDialog::accept() {
  const bool taken = request_.accept ? request_.accept(ToUtf8(formula_->text())) : true;
  if (taken) {
    QDialog::accept();
    return;
  }
  SelectFrom(formula_, 0);
}

std::optional<std::string> UserFormulaDialog::AskForName() {
  ModelNameDialog names(this);
  if (names.exec() != QDialog::Accepted) return std::nullopt;
  return names.Name();
}

void UserFormulaDialog::Save() {
  const std::string formula = ToUtf8(formula_->text());
  if (const auto refused = CheckFormulaField(formula)) {
    ShowPair(*refused, platform::Icon::Error);
    SelectFrom(formula_, 0);
    return;
  }
  const std::optional<std::string> name = AskForName();
  if (!name) return;
  std::string error;
  if (!SaveUserModelEntry(settingsPath_, library_, *name, formula, &error)) {
    ShowStoreError(error);
    return;
  }
  list_->addItem(FromUtf8(library_.back().name));
}

void UserFormulaDialog::Delete() {
  const int row = list_->currentRow();
  if (row < 0) return;
  const platform::Answer answer =
      platform::ResourceMessageBox(kDeleteUserModelQuestion.caption, kDeleteUserModelQuestion.text,
                                   platform::Icon::Exclamation, platform::Buttons::YesNo, platform::Answer::No);
  if (answer != platform::Answer::Yes) return;
  std::string error;
  if (!DeleteUserModelEntry(settingsPath_, library_, static_cast<std::size_t>(row), &error)) {
    ShowStoreError(error);
    return;
  }
  // The formula field keeps what the entry put there: taking the row out
  // must not load the next entry's formula over it.
  const QSignalBlocker quiet(list_);
  delete list_->takeItem(row);
  list_->setCurrentRow(-1);
  SyncDeleteButton();
}

void UserFormulaDialog::ShowStoreError(const std::string& error) {
  platform::TellUser("User Model",
                     error.empty() ? std::string("The library of user models could not be changed.") : error);
}

void UserFormulaDialog::SyncDeleteButton() { delete_->setEnabled(list_->currentRow() >= 0); }

}  // namespace trendolin::gui
