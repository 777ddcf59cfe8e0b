#include "gui/dialogs/options_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <filesystem>
#include <system_error>

#include "data/curve_fit.h"
#include "gui/dialogs/dialog_kit.h"
#include "gui/help_viewer.h"
#include "gui/printer_state.h"
#include "platform/debug_log.h"
#include "platform/ui.h"
#include "session/session.h"

namespace trendolin::gui {
namespace {

// A field as wide as `widest` needs; only the data folder's grows with the
// dialog.
QLineEdit* TextField(const char* name, int maxLength, const char* widest, bool grows = false) {
  auto* edit = new QLineEdit;
  edit->setObjectName(QString::fromLatin1(name));
  edit->setMaxLength(maxLength);
  const int width = edit->fontMetrics().horizontalAdvance(QString::fromLatin1(widest)) + 16;
  edit->setMinimumWidth(width);
  if (!grows) edit->setMaximumWidth(width);
  return edit;
}

QCheckBox* CheckBox(const QString& label, const char* name) {
  auto* box = new QCheckBox(label);
  box->setObjectName(QString::fromLatin1(name));
  return box;
}

QLabel* ReadOnlyText(const char* name) {
  auto* label = new QLabel;
  label->setObjectName(QString::fromLatin1(name));
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return label;
}

}  // namespace

OptionsDialog::OptionsDialog(CurveFit& doc, std::function<void()> applied, QWidget* parent)
    : QDialog(parent), doc_(doc), applied_(std::move(applied)), working_(CurrentSession().settings) {
  setWindowTitle(QString::fromLatin1(kOptionsCaption));
  setModal(true);

  tabs_ = new QTabWidget;
  tabs_->setObjectName(QStringLiteral("pages"));
  tabs_->setUsesScrollButtons(false);
  tabs_->addTab(BuildApplicationPage(), QStringLiteral("Application"));
  tabs_->addTab(BuildRegressionPage(), QStringLiteral("Regression"));
  tabs_->addTab(BuildPrintingPage(), QStringLiteral("Printing"));

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply |
                                       QDialogButtonBox::Help);
  buttons->setObjectName(QStringLiteral("buttons"));
  buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("ok"));
  buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancel"));
  buttons->button(QDialogButtonBox::Apply)->setObjectName(QStringLiteral("apply"));
  buttons->button(QDialogButtonBox::Help)->setObjectName(QStringLiteral("help"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(buttons->button(QDialogButtonBox::Apply), &QPushButton::clicked, this, [this] { Apply(); });
  connect(buttons, &QDialogButtonBox::helpRequested, this, &OptionsDialog::Help);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs_);
  layout->addWidget(buttons);
  ShowFields();
  ShowPrinterTexts();
}

QWidget* OptionsDialog::BuildApplicationPage() {
  // The 3-D look is the desktop's own here: the switch shows it and stays on.
  ctl3d_ = CheckBox(QStringLiteral("Use &3-D controls"), "ctl3d");
  ctl3d_->setEnabled(false);
  noGraphs_ = CheckBox(QStringLiteral("Do not open a &graph window after a fit"), "noGraphs");
  autoSort_ = CheckBox(QStringLiteral("&Sort the data by x after reading a file"), "autoSort");
  showImport_ = CheckBox(QStringLiteral("Show the &import options when a file is opened"), "showImportDialog");
  background_ = CheckBox(QStringLiteral("&Background processing: Accept and Abort work during a fit"),
                         "backgroundProcess");
  saveWindowPos_ = CheckBox(QStringLiteral("Remember the main &window's position and size"), "saveWindowPos");
  animate_ = CheckBox(QStringLiteral("A&nimate the preview while a fit runs"), "animatePlot");

  dataPath_ = TextField("dataPath", kDataPathChars, "/home/someone/measurements/2026", true);
  auto* browse = new QPushButton(QStringLiteral("B&rowse..."));
  browse->setObjectName(QStringLiteral("browseDataPath"));
  connect(browse, &QPushButton::clicked, this, &OptionsDialog::BrowseDataPath);
  auto* pathRow = new QHBoxLayout;
  pathRow->addWidget(dataPath_, 1);
  pathRow->addWidget(browse);
  dataExt_ = TextField("dataExt", kDataExtChars, "WWW");
  undoLevels_ = TextField("undoLevels", kUndoLevelsDigits, "999");

  auto* files = new QFormLayout;
  auto* pathLabel = new QLabel(QStringLiteral("&Data folder:"));
  pathLabel->setBuddy(dataPath_);
  files->addRow(pathLabel, pathRow);
  files->addRow(QStringLiteral("Data file &extension:"), dataExt_);
  files->addRow(QStringLiteral("&Undo levels:"), undoLevels_);

  auto* render = new QGroupBox(QStringLiteral("Drawing graphs"));
  auto* renderLayout = new QVBoxLayout(render);
  renderLevel_ = new QButtonGroup(this);
  const char* renderNames[] = {"renderDirect", "renderUserModels", "renderAll"};
  const QString renderLabels[] = {QStringLiteral("Draw every graph &directly on the screen"),
                                  QStringLiteral("Draw &user-model graphs off-screen first"),
                                  QStringLiteral("Draw &all graphs off-screen first")};
  for (int level = 0; level < 3; ++level) {
    auto* button = new QRadioButton(renderLabels[level]);
    button->setObjectName(QString::fromLatin1(renderNames[level]));
    renderLevel_->addButton(button, level);
    renderLayout->addWidget(button);
  }

  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  for (QCheckBox* box : {ctl3d_, noGraphs_, autoSort_, showImport_, background_, saveWindowPos_, animate_}) {
    layout->addWidget(box);
  }
  layout->addLayout(files);
  layout->addWidget(render);
  layout->addStretch(1);
  return page;
}

QWidget* OptionsDialog::BuildRegressionPage() {
  diverge_ = TextField("divergeIterations", kDivergeDigits, "99999");
  tolerance_ = TextField("tolerance", 32, "0.000100000000");
  iterations_ = TextField("maxIterations", kIterationsDigits, "999999");
  maxDegree_ = TextField("maxPolyDegree", kDegreeDigits, "999");
  defDegree_ = TextField("defPolyDegree", kDegreeDigits, "999");
  autoGuesses_ = CheckBox(QStringLiteral("Compute the initial &guesses automatically (AutoGuess)"), "autoGuesses");
  quickDerivatives_ = CheckBox(QStringLiteral("&Quick derivatives (one difference per parameter)"),
                               "quickDerivatives");

  auto* nonlinear = new QGroupBox(QStringLiteral("Nonlinear regression"));
  auto* form = new QFormLayout(nonlinear);
  form->addRow(QStringLiteral("&Divergence limit (iterations):"), diverge_);
  form->addRow(QStringLiteral("Convergence &tolerance:"), tolerance_);
  form->addRow(QStringLiteral("&Maximum iterations:"), iterations_);
  form->addRow(autoGuesses_);
  form->addRow(quickDerivatives_);

  auto* polynomial = new QGroupBox(QStringLiteral("Polynomial regression"));
  auto* degrees = new QFormLayout(polynomial);
  degrees->addRow(QStringLiteral("&Highest degree (3 to 19):"), maxDegree_);
  degrees->addRow(QStringLiteral("D&efault degree:"), defDegree_);

  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(nonlinear);
  layout->addWidget(polynomial);
  layout->addStretch(1);
  return page;
}

QWidget* OptionsDialog::BuildPrintingPage() {
  marginTop_ = TextField("marginTop", 16, "0000.00");
  marginBottom_ = TextField("marginBottom", 16, "0000.00");
  marginLeft_ = TextField("marginLeft", 16, "0000.00");
  marginRight_ = TextField("marginRight", 16, "0000.00");
  auto* margins = new QGroupBox(QStringLiteral("Margins (inches)"));
  auto* grid = new QGridLayout(margins);
  grid->addWidget(new QLabel(QStringLiteral("&Top:")), 0, 0);
  grid->addWidget(marginTop_, 0, 1);
  grid->addWidget(new QLabel(QStringLiteral("&Bottom:")), 0, 2);
  grid->addWidget(marginBottom_, 0, 3);
  grid->addWidget(new QLabel(QStringLiteral("&Left:")), 1, 0);
  grid->addWidget(marginLeft_, 1, 1);
  grid->addWidget(new QLabel(QStringLiteral("&Right:")), 1, 2);
  grid->addWidget(marginRight_, 1, 3);
  for (int row = 0; row < 2; ++row) {
    static_cast<QLabel*>(grid->itemAtPosition(row, 0)->widget())->setBuddy(grid->itemAtPosition(row, 1)->widget());
    static_cast<QLabel*>(grid->itemAtPosition(row, 2)->widget())->setBuddy(grid->itemAtPosition(row, 3)->widget());
  }

  auto* colourBox = new QGroupBox(QStringLiteral("Graphs print in"));
  auto* colourLayout = new QHBoxLayout(colourBox);
  monochrome_ = new QRadioButton(QStringLiteral("&Monochrome"));
  monochrome_->setObjectName(QStringLiteral("monochrome"));
  colour_ = new QRadioButton(QStringLiteral("&Colour"));
  colour_->setObjectName(QStringLiteral("colour"));
  colourLayout->addWidget(monochrome_);
  colourLayout->addWidget(colour_);
  colourLayout->addStretch(1);

  printerName_ = ReadOnlyText("printerName");
  printerScale_ = ReadOnlyText("printerScale");
  printerOrientation_ = ReadOnlyText("printerOrientation");
  printerPaper_ = ReadOnlyText("printerPaper");
  printerResolution_ = ReadOnlyText("printerResolution");
  auto* printer = new QGroupBox(QStringLiteral("Printer"));
  auto* facts = new QFormLayout(printer);
  facts->addRow(QStringLiteral("Printer:"), printerName_);
  facts->addRow(QStringLiteral("Scale:"), printerScale_);
  facts->addRow(QStringLiteral("Orientation:"), printerOrientation_);
  facts->addRow(QStringLiteral("Paper size:"), printerPaper_);
  facts->addRow(QStringLiteral("Resolution:"), printerResolution_);
  auto* setup = new QPushButton(QStringLiteral("Print &Setup..."));
  setup->setObjectName(QStringLiteral("printSetup"));
  connect(setup, &QPushButton::clicked, this, &OptionsDialog::PrintSetup);
  facts->addRow(setup);

  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(margins);
  layout->addWidget(colourBox);
  layout->addWidget(printer);
  layout->addStretch(1);
  return page;
}

void OptionsDialog::ShowFields() {
  shownApplication_ = ApplicationPageOf(working_);
  shownRegression_ = RegressionPageOf(working_);
  shownPrinting_ = PrintingPageOf(working_);

  const ApplicationPageFields& a = shownApplication_;
  ctl3d_->setChecked(a.ctl3d);
  noGraphs_->setChecked(a.noGraphs);
  autoSort_->setChecked(a.autoSort);
  showImport_->setChecked(a.showImportDialog);
  background_->setChecked(a.backgroundProcess);
  saveWindowPos_->setChecked(a.saveWindowPos);
  animate_->setChecked(a.animatePlot);
  dataPath_->setText(FromUtf8(a.dataPath));
  dataExt_->setText(FromUtf8(a.dataExt));
  undoLevels_->setText(FromUtf8(a.undoLevels));
  renderLevel_->button(a.renderLevel)->setChecked(true);

  const RegressionPageFields& r = shownRegression_;
  diverge_->setText(FromUtf8(r.divergeIterations));
  tolerance_->setText(FromUtf8(r.tolerance));
  iterations_->setText(FromUtf8(r.maxIterations));
  maxDegree_->setText(FromUtf8(r.maxPolyDegree));
  defDegree_->setText(FromUtf8(r.defPolyDegree));
  autoGuesses_->setChecked(r.automaticGuesses);
  quickDerivatives_->setChecked(r.quickDerivatives);

  const PrintingPageFields& p = shownPrinting_;
  marginTop_->setText(FromUtf8(p.marginTop));
  marginBottom_->setText(FromUtf8(p.marginBottom));
  marginLeft_->setText(FromUtf8(p.marginLeft));
  marginRight_->setText(FromUtf8(p.marginRight));
  (p.colour ? colour_ : monochrome_)->setChecked(true);
}

ApplicationPageFields OptionsDialog::ApplicationFields() const {
  ApplicationPageFields a;
  a.ctl3d = ctl3d_->isChecked();
  a.noGraphs = noGraphs_->isChecked();
  a.autoSort = autoSort_->isChecked();
  a.showImportDialog = showImport_->isChecked();
  a.backgroundProcess = background_->isChecked();
  a.saveWindowPos = saveWindowPos_->isChecked();
  a.animatePlot = animate_->isChecked();
  a.dataPath = ToUtf8(dataPath_->text());
  a.dataExt = ToUtf8(dataExt_->text());
  a.undoLevels = ToUtf8(undoLevels_->text());
  a.renderLevel = renderLevel_->checkedId() < 0 ? 0 : renderLevel_->checkedId();
  return a;
}

RegressionPageFields OptionsDialog::RegressionFields() const {
  RegressionPageFields r;
  r.divergeIterations = ToUtf8(diverge_->text());
  r.tolerance = ToUtf8(tolerance_->text());
  r.maxIterations = ToUtf8(iterations_->text());
  r.maxPolyDegree = ToUtf8(maxDegree_->text());
  r.defPolyDegree = ToUtf8(defDegree_->text());
  r.automaticGuesses = autoGuesses_->isChecked();
  r.quickDerivatives = quickDerivatives_->isChecked();
  return r;
}

PrintingPageFields OptionsDialog::PrintingFields() const {
  PrintingPageFields p;
  p.marginTop = ToUtf8(marginTop_->text());
  p.marginBottom = ToUtf8(marginBottom_->text());
  p.marginLeft = ToUtf8(marginLeft_->text());
  p.marginRight = ToUtf8(marginRight_->text());
  p.colour = colour_->isChecked();
  return p;
}

QLineEdit* OptionsDialog::Field(OptionsField field) const {
  switch (field) {
    case OptionsField::DataPath: return dataPath_;
    case OptionsField::UndoLevels: return undoLevels_;
    case OptionsField::DivergeIterations: return diverge_;
    case OptionsField::Tolerance: return tolerance_;
    case OptionsField::MaxIterations: return iterations_;
    case OptionsField::MaxPolyDegree: return maxDegree_;
    case OptionsField::DefPolyDegree: return defDegree_;
    case OptionsField::MarginTop: return marginTop_;
    case OptionsField::MarginBottom: return marginBottom_;
    case OptionsField::MarginLeft: return marginLeft_;
    case OptionsField::MarginRight: return marginRight_;
    case OptionsField::None: break;
  }
  return nullptr;
}

void OptionsDialog::Refuse(const OptionsRefusal& refusal, OptionsPage page) {
  tabs_->setCurrentIndex(static_cast<int>(page));
  QLineEdit* field = Field(refusal.field);
  if (field && refusal.replacement) field->setText(FromUtf8(*refusal.replacement));
  if (refusal.text != 0) {
    platform::ResourceMessageBox(refusal.caption, refusal.text, platform::Icon::Exclamation, platform::Buttons::Ok,
                                 platform::Answer::Ok);
  } else {
    platform::CurrentUi().Beep();
  }
  // Both fields of a pair that does not fit show selected; the focus stays
  // on the second.
  if (QLineEdit* first = Field(refusal.alsoSelect)) first->selectAll();
  if (field) SelectFrom(field, 0);
}

bool OptionsDialog::Apply() {
  // The page that is showing is checked first; a page the person changed
  // and left is checked too, so that no edit is dropped unseen. A page left
  // as it was shown is taken as it stands.
  const auto current = static_cast<OptionsPage>(tabs_->currentIndex());
  const OptionsPage order[] = {current, OptionsPage::Application, OptionsPage::Regression, OptionsPage::Printing};
  AppSettings taken = working_;
  // The printer as the page shows it (probed on opening and after Print Setup).
  const std::optional<PrinterPage> sheet =
      printer_ ? std::optional<PrinterPage>(PageForMargins(printer_)) : std::nullopt;
  bool seen[3] = {false, false, false};
  for (OptionsPage page : order) {
    const int index = static_cast<int>(page);
    if (seen[index]) continue;
    seen[index] = true;
    std::optional<OptionsRefusal> refusal;
    switch (page) {
      case OptionsPage::Application: {
        const ApplicationPageFields fields = ApplicationFields();
        if (page == current || !(fields == shownApplication_)) refusal = TakeApplicationPage(fields, taken);
        break;
      }
      case OptionsPage::Regression: {
        const RegressionPageFields fields = RegressionFields();
        if (page == current || !(fields == shownRegression_)) refusal = TakeRegressionPage(fields, taken);
        break;
      }
      case OptionsPage::Printing: {
        const PrintingPageFields fields = PrintingFields();
        if (page == current || !(fields == shownPrinting_)) refusal = TakePrintingPage(fields, sheet, taken);
        break;
      }
    }
    if (refusal) {
      Refuse(*refusal, page);
      return false;
    }
  }

  AppSettings& live = CurrentSession().settings;
  const bool folderChanged = taken.dataPath != live.dataPath;
  const bool degreeChanged = taken.defPolyDegree != live.defPolyDegree;
  working_ = taken;
  live = taken;
  if (!CurrentSession().iniFile.empty()) SaveSettingsFile(CurrentSession().iniFile);
  if (degreeChanged) SeedPolynomialDegree(live);
  // The history keeps what it holds, down to the new depth.
  doc_.SetUndoLevels(live.undoLevels);
  // The program works in the data folder, as it does from the start.
  if (folderChanged) {
    std::error_code ec;
    std::filesystem::current_path(live.dataPath, ec);
    if (ec) DebugLogF("DataPath %s cannot be entered.\n", live.dataPath.c_str());
  }
  ShowFields();
  if (applied_) applied_();
  return true;
}

void OptionsDialog::accept() {
  if (Apply()) QDialog::accept();
}

void OptionsDialog::ShowPrinterTexts() {
  printer_ = DefaultPrinterProbe();
  const PrinterTexts texts = DescribePrinter(printer_);
  printerName_->setText(FromUtf8(texts.name));
  printerScale_->setText(FromUtf8(texts.scale));
  printerOrientation_->setText(FromUtf8(texts.orientation));
  printerPaper_->setText(FromUtf8(texts.paperSize));
  printerResolution_->setText(FromUtf8(texts.resolution));
}

void OptionsDialog::PrintSetup() {
  RunPrintSetup(this);
  ShowPrinterTexts();
}

void OptionsDialog::BrowseDataPath() {
  const QString chosen = QFileDialog::getExistingDirectory(this, QStringLiteral("Data Folder"), dataPath_->text());
  if (!chosen.isEmpty()) dataPath_->setText(chosen);
}

void OptionsDialog::Help() {
  ShowHelp(OptionsHelpTopic(static_cast<OptionsPage>(tabs_->currentIndex())));
}

}  // namespace trendolin::gui
