#include "gui/dialogs/export_dialog.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QVBoxLayout>

#include <algorithm>
#include <iterator>

#include "data/curve_fit.h"
#include "gui/dialogs/dialog_kit.h"
#include "platform/ui.h"
#include "session/model_code_file.h"

namespace trendolin::gui {
namespace {

// What the Export dialog can write, in the order of its list.
struct ExportKind {
  const char* label;
  std::optional<CodeLanguage> language;  // nullopt: the export file
  const char* filter;                    // the file type shown first
  const char* suffix;                    // the default extension
};

// After the reason a function's name is refused ("'for' is a keyword of C").
constexpr const char* kChooseAnotherName = "; please choose another name for the function.";

// Like the data-file dialogs, each pattern in either case.
constexpr const char* kTextFilter = "Text Files (*.txt *.TXT)";

constexpr ExportKind kExportKinds[] = {
    {"Data and fit (text file)", std::nullopt, kTextFilter, kExportDefaultExtension},
    {"C function", CodeLanguage::C, "C Source Files (*.c)", "c"},
    {"Python function", CodeLanguage::Python, "Python Files (*.py)", "py"},
    {"Spreadsheet formula", CodeLanguage::Spreadsheet, kTextFilter, "txt"},
    {"LaTeX equation", CodeLanguage::Latex, "LaTeX Files (*.tex)", "tex"},
};

QStringList KindFilters(const ExportKind& kind) {
  QStringList filters{QString::fromLatin1(kind.filter)};
  if (!kind.language) filters << QStringLiteral("Data Files (*.dat *.DAT)");
  filters << QStringLiteral("All Files (*)");
  return filters;
}

PanelFileDialogSetup ExportSetup(const QString& initialPath) {
  PanelFileDialogSetup setup;
  setup.title = QString::fromLatin1(kExportDialogTitle);
  setup.filters = KindFilters(kExportKinds[0]);
  setup.defaultSuffix = QString::fromLatin1(kExportDefaultExtension);
  setup.helpTopic = kExportHelpTopic;
  setup.initialPath = initialPath;
  return setup;
}

}  // namespace

void RunExportCommand(QWidget* parent, CurveFit& doc) {
  QString path;
  std::optional<CodeLanguage> language;
  QString name;
  for (;;) {
    ExportDialog dialog(doc, InitialExportOptions(doc), path, parent);
    dialog.ChooseKind(language, name);
    if (dialog.exec() != QDialog::Accepted) return;
    const std::string chosen = dialog.ChosenPath();
    language = dialog.Language();
    const ExportOutcome outcome =
        language ? ExportModelCode(doc, chosen, dialog.Options().model, *language, dialog.FunctionName())
                 : ExportToFile(doc, chosen, dialog.Options());
    // No model chosen: the warning has been shown and the command starts
    // again, on what the person chose and typed.
    if (outcome != ExportOutcome::NoModel) return;
    path = FromUtf8(chosen);
    if (dialog.NameField()->isModified()) name = dialog.NameField()->text();
  }
}

ExportDialog::ExportDialog(CurveFit& doc, const ExportOptions& options, const QString& initialPath, QWidget* parent)
    : PanelFileDialog(ExportSetup(initialPath), parent), doc_(doc), options_(options) {
  setObjectName(QStringLiteral("exportDialog"));
  BuildPanel();
}

void ExportDialog::BuildPanel() {
  auto* group = new QGroupBox(QStringLiteral("Export options"), Panel());
  auto* grid = new QGridLayout(group);

  modelButton_ = new QPushButton(QStringLiteral("Fitted &model"), group);
  modelButton_->setObjectName(QStringLiteral("modelButton"));
  modelButton_->setAutoDefault(false);
  modelText_ = new QLabel(group);
  modelText_->setObjectName(QStringLiteral("modelText"));
  modelText_->setMinimumWidth(modelText_->fontMetrics().horizontalAdvance(QString(32, QLatin1Char('x'))));

  auto* menu = new QMenu(modelButton_);
  menu->setObjectName(QStringLiteral("modelMenu"));
  auto* models = new QActionGroup(menu);
  models->setExclusive(true);
  for (const ExportModelEntry& entry : ExportModelMenu(doc_)) {
    QAction* action = menu->addAction(FromUtf8(entry.name));
    action->setData(entry.model);
    action->setCheckable(true);
    models->addAction(action);
    const int model = entry.model;
    connect(action, &QAction::triggered, this, [this, model] { ChooseModel(model); });
  }
  modelButton_->setMenu(menu);
  modelButton_->setEnabled(!menu->isEmpty());

  coefficients_ = new QCheckBox(QStringLiteral("Include &coefficients"), group);
  coefficients_->setObjectName(QStringLiteral("coefficients"));
  coefficients_->setChecked(options_.includeCoefficients != 0);
  statistics_ = new QCheckBox(QStringLiteral("Include s&tatistics"), group);
  statistics_->setObjectName(QStringLiteral("statistics"));
  statistics_->setChecked(options_.includeStatistics != 0);
  separator_ = new SeparatorButton(options_.separator, group);

  grid->addWidget(modelButton_, 0, 0);
  grid->addWidget(modelText_, 0, 1, 1, 2);
  grid->addWidget(coefficients_, 1, 0);
  grid->addWidget(statistics_, 1, 1);
  grid->addWidget(separator_, 2, 0);
  grid->setColumnStretch(2, 1);

  auto* layout = new QVBoxLayout(Panel());
  layout->setContentsMargins(0, 0, 0, 0);
  auto* kindRow = new QHBoxLayout;
  BuildKindRow(kindRow);
  layout->addLayout(kindRow);
  layout->addWidget(group);

  SetPanelTabOrder({kind_, name_, modelButton_, coefficients_, statistics_, separator_});
  ChooseModel(options_.model);
  KindChanged();
}

void ExportDialog::BuildKindRow(QHBoxLayout* row) {
  kind_ = new QComboBox(Panel());
  kind_->setObjectName(QStringLiteral("exportKind"));
  for (const ExportKind& kind : kExportKinds) kind_->addItem(QString::fromLatin1(kind.label));
  auto* kindLabel = new QLabel(QStringLiteral("E&xport as:"), Panel());
  kindLabel->setBuddy(kind_);

  name_ = new QLineEdit(Panel());
  name_->setObjectName(QStringLiteral("functionName"));
  nameLabel_ = new QLabel(QStringLiteral("Function &name:"), Panel());
  nameLabel_->setBuddy(name_);

  row->addWidget(kindLabel);
  row->addWidget(kind_);
  row->addSpacing(12);
  row->addWidget(nameLabel_);
  row->addWidget(name_, 1);
  suffix_ = QString::fromLatin1(kExportKinds[0].suffix);
  connect(kind_, &QComboBox::currentIndexChanged, this, [this] { KindChanged(); });
}

void ExportDialog::ChooseKind(std::optional<CodeLanguage> language, const QString& name) {
  for (int i = 0; i < static_cast<int>(std::size(kExportKinds)); ++i) {
    if (kExportKinds[i].language == language) kind_->setCurrentIndex(i);
  }
  if (!name.isEmpty()) {
    name_->setText(name);
    name_->setModified(true);
  }
}

std::optional<CodeLanguage> ExportDialog::Language() const {
  return kExportKinds[std::max(0, kind_->currentIndex())].language;
}

std::string ExportDialog::FunctionName() const { return ToUtf8(name_->text().trimmed()); }

// The options of the export file rest while code is chosen, and the name
// only means something for a function. The file types and the default
// extension follow the kind, and so does the extension of the name typed
// so far when it is the one the previous kind gave.
void ExportDialog::KindChanged() {
  const ExportKind& kind = kExportKinds[std::max(0, kind_->currentIndex())];
  const bool file = !kind.language;
  for (QWidget* control : std::initializer_list<QWidget*>{coefficients_, statistics_, separator_}) {
    control->setEnabled(file);
  }
  const bool function = kind.language == CodeLanguage::C || kind.language == CodeLanguage::Python;
  nameLabel_->setEnabled(function);
  name_->setEnabled(function);

  auto* nameField = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
  QString typed = nameField ? nameField->text() : QString();
  const QString newSuffix = QString::fromLatin1(kind.suffix);
  const QString oldEnd = QLatin1Char('.') + suffix_;
  if (typed.endsWith(oldEnd, Qt::CaseInsensitive)) typed = typed.left(typed.size() - oldEnd.size()) + '.' + newSuffix;
  setNameFilters(KindFilters(kind));
  setDefaultSuffix(newSuffix);
  suffix_ = newSuffix;
  if (nameField) nameField->setText(typed);
}

void ExportDialog::ChooseModel(int model) {
  options_.model = model;
  for (QAction* action : modelButton_->menu()->actions()) action->setChecked(action->data().toInt() == model);
  modelText_->setText(FromUtf8(ExportModelText(doc_, options_)));
  if (name_ && !name_->isModified()) name_->setText(FromUtf8(DefaultCodeName(model)));
}

bool ExportDialog::AcceptPanel() {
  options_.includeCoefficients = coefficients_->isChecked() ? 1 : 0;
  options_.includeStatistics = statistics_->isChecked() ? 1 : 0;
  options_.separator = separator_->Separator();
  const std::optional<CodeLanguage> language = Language();
  if (!language) return true;
  // Asked here, before the question whether to replace a file: a name the
  // language does not take, or a model it cannot write. No model at all is
  // the command's warning, as for the export file.
  std::string refusal = ModelCodeNameProblem(*language, FunctionName());
  if (!refusal.empty()) {
    platform::TellUser(kExportDialogTitle, refusal + kChooseAnotherName);
    name_->setFocus();
    name_->selectAll();
    return false;
  }
  if (HasExportableResult(doc_, options_.model)) refusal = ModelCodeRefusal(doc_, options_.model, *language);
  if (!refusal.empty()) {
    platform::TellUser(kExportDialogTitle, refusal);
    kind_->setFocus();
    return false;
  }
  return true;
}

}  // namespace trendolin::gui
