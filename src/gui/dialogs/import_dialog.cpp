#include "gui/dialogs/import_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <optional>

#include "data/data_file.h"
#include "session/manipulation.h"
#include "gui/dialogs/dialog_kit.h"
#include "platform/ui.h"

namespace trendolin::gui {
namespace {

constexpr int kNumberFieldMaxChars = 30;
constexpr int kImportCaption = 110;
constexpr const char* kImportHelpTopic = "importingdatafiles.html";

// A signed whole number with blanks around it; anything else is refused.
std::optional<int> ParseInteger(const QString& text) {
  bool ok = false;
  const int value = text.trimmed().toInt(&ok);
  return ok ? std::optional<int>(value) : std::nullopt;
}

QLabel* ValueLabel(const QString& name, const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return label;
}

QLineEdit* Edit(const QString& name, const QString& text, QWidget* parent) {
  auto* edit = new QLineEdit(text, parent);
  edit->setObjectName(name);
  edit->setMaxLength(kNumberFieldMaxChars);
  return edit;
}

QCheckBox* Box(const QString& name, const QString& text, bool checked, QWidget* parent) {
  auto* box = new QCheckBox(text, parent);
  box->setObjectName(name);
  box->setChecked(checked);
  return box;
}

}  // namespace

ImportDialog::ImportDialog(const ImportOptions& options, QWidget* parent) : QDialog(parent), options_(options) {
  setWindowTitle(QStringLiteral("Import Options"));

  auto* file = new QGroupBox(QStringLiteral("Data file"), this);
  auto* fileForm = new QFormLayout(file);
  auto* path = ValueLabel(QStringLiteral("path"), FromUtf8(options.path), file);
  path->setWordWrap(true);
  fileForm->addRow(QStringLiteral("File:"), path);
  fileForm->addRow(QStringLiteral("Columns found:"),
                   ValueLabel(QStringLiteral("columnsFound"), QString::number(options.columnsInFile), file));
  fileForm->addRow(QStringLiteral("Points found:"),
                   ValueLabel(QStringLiteral("pointsFound"), QString::number(options.pointsInFile), file));

  auto* read = new QGroupBox(QStringLiteral("Columns to read"), this);
  auto* readForm = new QFormLayout(read);
  firstColumn_ = Edit(QStringLiteral("firstColumn"), QString::number(options.firstColumn), read);
  columnsToRead_ = Edit(QStringLiteral("columnsToRead"), QString::number(options.columnsToRead), read);
  uncertainty_ = Box(QStringLiteral("uncertainty"), QStringLiteral("The last column read holds the &uncertainties"),
                     options.uncertainty, read);
  readForm->addRow(QStringLiteral("&First column:"), firstColumn_);
  readForm->addRow(QStringLiteral("&Number of columns:"), columnsToRead_);
  readForm->addRow(uncertainty_);

  auto* generate = new QGroupBox(QStringLiteral("Generated x values"), this);
  auto* generateForm = new QFormLayout(generate);
  generateX_ = Box(QStringLiteral("generateX"), QStringLiteral("&Generate x instead of reading it"),
                   options.generateX, generate);
  xStart_ = Edit(QStringLiteral("xStart"), FormatNumber("%.2f", options.xStart), generate);
  xIncrement_ = Edit(QStringLiteral("xIncrement"), FormatNumber("%.2f", options.xIncrement), generate);
  generateForm->addRow(generateX_);
  generateForm->addRow(QStringLiteral("x &start:"), xStart_);
  generateForm->addRow(QStringLiteral("x &increment:"), xIncrement_);

  auto* shape = new QGroupBox(QStringLiteral("Resulting data set"), this);
  auto* shapeForm = new QFormLayout(shape);
  independent_ = ValueLabel(QStringLiteral("independentVariables"), {}, shape);
  dependent_ = ValueLabel(QStringLiteral("dependentVariables"), {}, shape);
  dataSetColumns_ = ValueLabel(QStringLiteral("dataSetColumns"), {}, shape);
  uncertaintyAnswer_ = ValueLabel(QStringLiteral("uncertaintyAnswer"), {}, shape);
  shapeForm->addRow(QStringLiteral("Independent variables:"), independent_);
  shapeForm->addRow(QStringLiteral("Dependent variables:"), dependent_);
  shapeForm->addRow(QStringLiteral("Data set columns:"), dataSetColumns_);
  shapeForm->addRow(QStringLiteral("Uncertainties:"), uncertaintyAnswer_);

  showNextTime_ = Box(QStringLiteral("showNextTime"), QStringLiteral("S&how this dialog next time"),
                      options.showDialogNextTime, this);

  auto* columns = new QHBoxLayout;
  auto* left = new QVBoxLayout;
  left->addWidget(read);
  left->addWidget(generate);
  columns->addLayout(left);
  columns->addWidget(shape);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(file);
  layout->addLayout(columns);
  layout->addWidget(showNextTime_);
  layout->addWidget(MakeDialogButtons(this, kImportHelpTopic));

  connect(firstColumn_, &QLineEdit::textChanged, this, &ImportDialog::Recompute);
  connect(columnsToRead_, &QLineEdit::textChanged, this, &ImportDialog::Recompute);
  connect(uncertainty_, &QCheckBox::toggled, this, &ImportDialog::Recompute);
  connect(generateX_, &QCheckBox::toggled, this, &ImportDialog::Recompute);
  Recompute();
}

// The derived fields follow every change; while the columns do not describe
// a range inside the file they show "*".
void ImportDialog::Recompute() {
  const bool generate = generateX_->isChecked();
  xStart_->setEnabled(generate);
  xIncrement_->setEnabled(generate);
  const bool withUncertainty = uncertainty_->isChecked();
  uncertaintyAnswer_->setText(withUncertainty ? QStringLiteral("yes") : QStringLiteral("no"));

  const std::optional<int> first = ParseInteger(firstColumn_->text());
  const std::optional<int> count = ParseInteger(columnsToRead_->text());
  const bool inFile = first && count && *count > 0 && *first > 0 &&
                      static_cast<long long>(*first) + *count - 1 <= options_.columnsInFile;
  if (!inFile) {
    for (QLabel* label : {independent_, dependent_, dataSetColumns_}) label->setText(QStringLiteral("*"));
    return;
  }
  ImportOptions shown = options_;
  shown.firstColumn = *first;
  shown.columnsToRead = *count;
  shown.generateX = generate;
  shown.uncertainty = withUncertainty;
  DeriveImportOptions(shown);
  independent_->setText(QString::number(shown.independentVariables));
  dependent_->setText(QString::number(shown.dependentVariables));
  dataSetColumns_->setText(QString::number(shown.dataSetColumns));
}

bool ImportDialog::ReadNumber(QLineEdit* field, datatype& value) {
  const std::string text = ToUtf8(field->text());
  std::size_t bad = 0;
  const std::optional<double> number = ReadNumberField(text, &bad);
  if (!number) {
    platform::CurrentUi().Beep();
    // The position counts bytes; the field counts characters.
    SelectFrom(field, static_cast<int>(FromUtf8(text.substr(0, bad)).size()));
    return false;
  }
  value = static_cast<datatype>(*number);
  return true;
}

bool ImportDialog::ReadInteger(QLineEdit* field, int& value) {
  const std::optional<int> number = ParseInteger(field->text());
  if (!number) {
    SelectFrom(field, 0);
    platform::CurrentUi().Beep();
    return false;
  }
  value = *number;
  return true;
}

void ImportDialog::accept() {
  ImportOptions edited = options_;
  edited.generateX = generateX_->isChecked();
  edited.uncertainty = uncertainty_->isChecked();
  edited.showDialogNextTime = showNextTime_->isChecked();
  if (edited.generateX && (!ReadNumber(xStart_, edited.xStart) || !ReadNumber(xIncrement_, edited.xIncrement))) {
    return;
  }
  if (!ReadInteger(firstColumn_, edited.firstColumn) || !ReadInteger(columnsToRead_, edited.columnsToRead)) return;
  DeriveImportOptions(edited);
  if (const int refusal = CheckImportOptions(edited)) {
    platform::ResourceMessageBox(kImportCaption, refusal, platform::Icon::Exclamation, platform::Buttons::Ok);
    return;
  }
  options_ = edited;
  QDialog::accept();
}

}  // namespace trendolin::gui
