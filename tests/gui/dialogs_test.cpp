// The dialogs on their own, without exec(): fields filled as a person would,
// OK and Cancel pressed, and what the dialog hands on or refuses. Warnings
// and beeps go through the installed Ui, so a headless Ui records them.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "fit/engine_state.h"
#include "fit/engine_state.h"
#include "fit/fit_types.h"
#include "session/linear_fits_dialogs.h"
#include "gui/dialogs/data_file_dialog.h"
#include "gui/dialogs/degree_dialog.h"
#include "gui/dialogs/groups_dialog.h"
#include "gui/dialogs/guess_dialog.h"
#include "gui/dialogs/import_dialog.h"
#include "gui/dialogs/model_name_dialog.h"
#include "gui/dialogs/spin_buttons.h"
#include "gui/dialogs/spline_tension_dialog.h"
#include "gui/dialogs/user_formula_dialog.h"
#include "gui/modal_helpers.h"
#include "platform/headless_ui.h"
#include "platform/resource_strings.h"
#include "support/temp_dir.h"
#include "session/user_model_store.h"

namespace {

using platform::HeadlessUi;
using platform::UiEvent;
using namespace trendolin::gui;

// Warnings the dialogs showed, as (caption, text) of the resource strings' texts.
std::vector<std::string> Warnings(const HeadlessUi& ui) {
  std::vector<std::string> out;
  for (const UiEvent& e : ui.EventsOf(UiEvent::Kind::MessageBox)) out.push_back(e.caption + " / " + e.text);
  return out;
}

std::size_t Beeps(const HeadlessUi& ui) { return ui.EventsOf(UiEvent::Kind::Beep).size(); }

void Press(QWidget* dialog, const char* button) { dialog->findChild<QAbstractButton*>(button)->click(); }

// Saves the dialog's picture for a person to look at, when a folder is named.
void Grab(QWidget& dialog, const char* name) {
  const char* folder = std::getenv("TRENDOLIN_DIALOG_SHOTS");
  if (!folder) return;
  dialog.adjustSize();
  dialog.show();
  QTest::qWait(20);
  dialog.grab().save(QDir(folder).filePath(QString::fromUtf8(name) + ".png"));
}

// ---- the degree and tension dialogs ----

platform::ValueDialogRequest DegreeRequest(std::vector<std::string>* tried) {
  platform::ValueDialogRequest request;
  request.fieldText = "4";
  request.spinLower = 3;
  request.spinUpper = 6;
  request.spinPosition = 4;
  request.accept = [tried](const std::string& text) {
    tried->push_back(text);
    return text == "5";
  };
  return request;
}

TEST(DegreeDialog, ArrowsStepFromWhatWasTypedWithinTheRange) {
  std::vector<std::string> tried;
  DegreeDialog dialog(DegreeRequest(&tried));
  Grab(dialog, "degree");
  QLineEdit* field = dialog.findChild<QLineEdit*>("value");
  EXPECT_EQ(field->maxLength(), trendolin::kDegreeFieldMaxChars);
  QToolButton* up = dialog.findChild<QToolButton*>("spinUp");
  QToolButton* down = dialog.findChild<QToolButton*>("spinDown");
  up->click();
  EXPECT_EQ(field->text(), "5");
  up->click();
  up->click();
  EXPECT_EQ(field->text(), "6");  // the upper end holds
  field->setText("3");
  up->click();
  EXPECT_EQ(field->text(), "4");  // carries on from what was typed
  field->setText("junk");
  down->click();
  EXPECT_EQ(field->text(), "3");  // from the arrows' own position
  QTest::keyClick(field, Qt::Key_Up);
  EXPECT_EQ(field->text(), "4");
  EXPECT_TRUE(tried.empty());  // stepping is no OK
}

TEST(TensionDialog, ArrowsWalkThePowersOfTwoAndZeroIsRefused) {
  HeadlessUi ui;
  platform::ScopedUi installed(ui);
  std::optional<trendolin::datatype> taken;
  platform::ValueDialogRequest request;
  request.fieldText = trendolin::kTensionInitialText;
  request.spinLower = trendolin::kTensionSpinLowest;
  request.spinUpper = trendolin::kTensionSpinHighest;
  request.spinPosition = trendolin::kTensionSpinStart;
  request.spinText = trendolin::TensionSpinText;
  request.accept = [&taken](const std::string& text) {
    const trendolin::TensionCheck check = trendolin::CheckTensionText(text);
    if (check.verdict != trendolin::TensionVerdict::Accepted) {
      if (check.warning) platform::ResourceMessageBox(check.warning->caption, check.warning->text,
                                                      platform::Icon::Exclamation, platform::Buttons::Ok);
      return false;
    }
    taken = check.tension;
    return true;
  };
  SplineTensionDialog dialog(request);
  Grab(dialog, "tension");
  EXPECT_EQ(dialog.windowTitle(), trendolin::kTensionCaption);
  EXPECT_EQ(dialog.findChild<QLabel*>("prompt")->text(), trendolin::kTensionPrompt);
  QLineEdit* field = dialog.findChild<QLineEdit*>("value");
  EXPECT_EQ(field->text(), "1.000000");
  Press(&dialog, "spinUp");
  EXPECT_EQ(field->text(), "2.00000000");
  Press(&dialog, "spinDown");
  Press(&dialog, "spinDown");
  EXPECT_EQ(field->text(), "0.50000000");

  field->setText("0");
  dialog.accept();
  EXPECT_NE(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(Warnings(ui).size(), 1u);
  EXPECT_TRUE(field->hasSelectedText());
  field->setText("0.25");
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  ASSERT_TRUE(taken.has_value());
  EXPECT_FLOAT_EQ(*taken, 0.25f);
}

// ---- the import options dialog ----

trendolin::ImportOptions ThreeColumns() {
  trendolin::ImportOptions options;
  options.path = "/data/three.dat";
  options.columnsInFile = 3;
  options.pointsInFile = 12;
  options.firstColumn = 1;
  options.columnsToRead = 3;
  options.showDialogNextTime = true;
  return options;
}

QString Shown(QWidget& dialog, const char* name) { return dialog.findChild<QLabel*>(name)->text(); }
void Type(QWidget& dialog, const char* name, const QString& text) {
  dialog.findChild<QLineEdit*>(name)->setText(text);
}
void Tick(QWidget& dialog, const char* name, bool on) { dialog.findChild<QCheckBox*>(name)->setChecked(on); }

TEST(ImportDialog, DerivedFieldsFollowEveryChange) {
  ImportDialog dialog(ThreeColumns());
  Grab(dialog, "import");
  EXPECT_EQ(Shown(dialog, "columnsFound"), "3");
  EXPECT_EQ(Shown(dialog, "pointsFound"), "12");
  EXPECT_EQ(Shown(dialog, "dataSetColumns"), "3");
  EXPECT_EQ(Shown(dialog, "dependentVariables"), "2");  // without the uncertainty box: y and one more
  EXPECT_EQ(Shown(dialog, "uncertaintyAnswer"), "no");

  Tick(dialog, "uncertainty", true);
  EXPECT_EQ(Shown(dialog, "dependentVariables"), "1");
  EXPECT_EQ(Shown(dialog, "uncertaintyAnswer"), "yes");

  Type(dialog, "firstColumn", "2");  // 2..4 runs past the file
  EXPECT_EQ(Shown(dialog, "dataSetColumns"), "*");
  EXPECT_EQ(Shown(dialog, "independentVariables"), "*");
  Type(dialog, "columnsToRead", "2");
  EXPECT_EQ(Shown(dialog, "dataSetColumns"), "2");

  EXPECT_FALSE(dialog.findChild<QLineEdit*>("xStart")->isEnabled());
  Tick(dialog, "generateX", true);
  EXPECT_TRUE(dialog.findChild<QLineEdit*>("xStart")->isEnabled());
  EXPECT_EQ(Shown(dialog, "dataSetColumns"), "3");
  EXPECT_EQ(dialog.findChild<QLineEdit*>("xIncrement")->text(), "1.00");
}

TEST(ImportDialog, InconsistentShapesAreRefusedWithTheRuleTheyBreak) {
  HeadlessUi ui;
  platform::ScopedUi installed(ui);
  ImportDialog dialog(ThreeColumns());
  // Three columns read without the uncertainty box: two dependent variables.
  dialog.accept();
  EXPECT_NE(dialog.result(), QDialog::Accepted);
  Type(dialog, "columnsToRead", "0");
  dialog.accept();
  Type(dialog, "columnsToRead", "2");
  Type(dialog, "firstColumn", "4");
  dialog.accept();
  Type(dialog, "firstColumn", "3");
  dialog.accept();
  const std::vector<std::string> warnings = Warnings(ui);
  ASSERT_EQ(warnings.size(), 4u);
  const auto pair = [](int text) {
    return std::string(platform::ResourceString(110)) + " / " + std::string(platform::ResourceString(text));
  };
  EXPECT_EQ(warnings[0], pair(111));
  EXPECT_EQ(warnings[1], pair(113));
  EXPECT_EQ(warnings[2], pair(116));
  EXPECT_EQ(warnings[3], pair(114));

  // The four shapes a data set can take pass: here y with uncertainties and
  // generated x.
  Type(dialog, "firstColumn", "2");
  Tick(dialog, "uncertainty", true);
  Tick(dialog, "generateX", true);
  Type(dialog, "xStart", "-1");
  Tick(dialog, "showNextTime", false);
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  const trendolin::ImportOptions& taken = dialog.Options();
  EXPECT_EQ(taken.firstColumn, 2);
  EXPECT_EQ(taken.columnsToRead, 2);
  EXPECT_EQ(taken.dataSetColumns, 3);
  EXPECT_TRUE(taken.uncertainty);
  EXPECT_FLOAT_EQ(taken.xStart, -1.0f);
  EXPECT_FALSE(taken.showDialogNextTime);
  EXPECT_EQ(taken.path, "/data/three.dat");
}

TEST(ImportDialog, UnreadableFieldsBeepAndSelectWhatCouldNotBeRead) {
  HeadlessUi ui;
  platform::ScopedUi installed(ui);
  trendolin::ImportOptions options = ThreeColumns();
  options.columnsInFile = 1;
  options.columnsToRead = 1;
  ImportDialog dialog(options);
  Tick(dialog, "generateX", true);
  Type(dialog, "xIncrement", "0.5cm");
  dialog.accept();
  EXPECT_NE(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.findChild<QLineEdit*>("xIncrement")->selectedText(), "cm");
  Type(dialog, "xIncrement", "0.5");
  Type(dialog, "firstColumn", "one");
  dialog.accept();
  EXPECT_NE(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.findChild<QLineEdit*>("firstColumn")->selectedText(), "one");
  EXPECT_EQ(Beeps(ui), 2u);
  EXPECT_TRUE(Warnings(ui).empty());
}

// ---- the initial-guess dialog ----

TEST(GuessDialog, ShowsTheModelAndCommitsTheEditBoxWhenTheSelectionMoves) {
  const trendolin::datatype guesses[3] = {1.5f, -2.0f, 0.125f};
  GuessDialog dialog(504, 3, guesses);
  Grab(dialog, "guess");
  EXPECT_FALSE(dialog.findChild<QLabel*>("modelName")->text().isEmpty());
  auto* list = dialog.findChild<QTableWidget*>("parameters");
  ASSERT_EQ(list->rowCount(), 3);
  EXPECT_EQ(list->item(2, 0)->text(), "c");
  EXPECT_EQ(dialog.ValueText(1), "-2");
  QLineEdit* edit = dialog.findChild<QLineEdit*>("value");
  EXPECT_EQ(edit->text(), "1.5000000");
  EXPECT_EQ(trendolin::CurrentEngine().testCoefficients[2], 0.125f);

  edit->setText("4.25");
  dialog.SelectParameter(2);
  EXPECT_EQ(dialog.ValueText(0), "4.25");
  EXPECT_EQ(trendolin::CurrentEngine().testCoefficients[0], 4.25f);
  EXPECT_EQ(edit->text(), "0.1250000");
  EXPECT_EQ(edit->selectedText(), "0.1250000");

  // Enter in the edit box commits without closing.
  edit->setText("nonsense");
  QTest::keyClick(edit, Qt::Key_Return);
  EXPECT_EQ(dialog.ValueText(2), "0");
  EXPECT_NE(dialog.result(), QDialog::Accepted);
}

// A person clicks a row and types: the typing replaces the row's value, for
// the row already selected (the first, as the dialog opens) as for any other,
// and every value typed survives the clicks on other rows and OK.
TEST(GuessDialog, TypingAfterAClickOnARowReplacesItsValue) {
  const trendolin::datatype guesses[4] = {30.0f, 2.0f, 3.0f, 4.0f};
  GuessDialog dialog(525, 4, guesses);
  dialog.show();
  QApplication::setActiveWindow(&dialog);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  auto* list = dialog.findChild<QTableWidget*>("parameters");
  const auto clickRowAndType = [&](int row, int column, const char* text) {
    const QRect cell = list->visualRect(list->model()->index(row, column));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    for (const char* key = text; *key; ++key) QTest::keyClick(QApplication::focusWidget(), *key);
  };
  clickRowAndType(0, 1, "55");
  clickRowAndType(2, 0, "-3");
  EXPECT_EQ(dialog.ValueText(0), "55");
  clickRowAndType(1, 1, "0.25");
  EXPECT_EQ(dialog.ValueText(2), "-3");
  clickRowAndType(3, 1, "9");
  dialog.accept();
  ASSERT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.Guesses(), (std::vector<trendolin::datatype>{55.0f, 0.25f, -3.0f, 9.0f}));
}

TEST(GuessDialog, OkRefusesAValueThatIsNotANumber) {
  HeadlessUi ui;
  platform::ScopedUi installed(ui);
  const trendolin::datatype guesses[2] = {1.0f, 2.0f};
  GuessDialog dialog(505, 2, guesses);
  dialog.SelectParameter(1);
  QLineEdit* edit = dialog.findChild<QLineEdit*>("value");
  edit->setText("3.5e");
  dialog.accept();
  EXPECT_NE(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(Beeps(ui), 1u);
  EXPECT_EQ(dialog.SelectedParameter(), 1);
  EXPECT_EQ(edit->selectedText(), "e");
  EXPECT_EQ(dialog.Guesses()[1], 2.0f);

  edit->setText("3.5  ");  // trailing blanks are no fault
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.Guesses(), (std::vector<trendolin::datatype>{1.0f, 3.5f}));
}

TEST(GuessDialog, PolynomialNameCarriesTheCurrentDegree) {
  trendolin::CurrentEngine().polynomialDegree = 3;
  EXPECT_EQ(GuessDialogModelName(trendolin::kPolynomialModel), "3rd degree Polynomial Fit");
  trendolin::CurrentEngine().polynomialDegree = 6;
  EXPECT_TRUE(GuessDialogModelName(trendolin::kPolynomialModel).startsWith("6th degree"));
}

TEST(GuessDialog, TestGraphTogglesAndFollowsItsWindowBeingClosed) {
  int askedFor = 0;
  QWidget* made = nullptr;
  const trendolin::datatype guesses[2] = {1.0f, 2.0f};
  GuessDialog dialog(506, 2, guesses, [&](int testModelId) {
    askedFor = testModelId;
    made = new QWidget;
    return made;
  });
  auto* toggle = dialog.findChild<QPushButton*>("plotToggle");
  EXPECT_EQ(toggle->text(), "Show Plot >>");
  toggle->click();
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(askedFor, -506);
  EXPECT_TRUE(made->isVisible());
  EXPECT_EQ(made->windowTitle(), "Initial Guess Test");
  EXPECT_EQ(toggle->text(), "Hide Plot <<");
  made->close();  // the person closes the graph window
  EXPECT_EQ(toggle->text(), "Show Plot >>");
  toggle->click();
  EXPECT_EQ(toggle->text(), "Hide Plot <<");
  toggle->click();
  EXPECT_FALSE(made->isVisible());
}

TEST(GuessDialog, WithoutGraphWindowsTheTestGraphSaysItIsNotAvailable) {
  const trendolin::datatype guesses[1] = {1.0f};
  GuessDialog dialog(504, 1, guesses);
  QString note;
  testsupport::WhenModal<QMessageBox>([&note](QMessageBox* box) {
    note = box->text();
    box->accept();
  });
  dialog.findChild<QPushButton*>("plotToggle")->click();
  EXPECT_TRUE(note.contains("not available"));
  EXPECT_EQ(dialog.findChild<QPushButton*>("plotToggle")->text(), "Show Plot >>");
}

// ---- the FitHunter and Calculate Groups dialogs ----

platform::ModelGroupsDialogRequest FitHunterRequest(bool polynomialEnabled) {
  platform::ModelGroupsDialogRequest request;
  request.fitHunter = true;
  request.groupMask = 1022;
  request.polynomialEnabled = polynomialEnabled;
  request.checkedMask = polynomialEnabled ? 1022 : 1022 & ~trendolin::CLASS_POLYNOMIAL;
  request.degreeText = "4";
  request.spinLower = 3;
  request.spinUpper = 9;
  return request;
}

TEST(GroupsDialog, SelectAllAndNoneLeaveADisabledPolynomialBoxAlone) {
  GroupsDialog dialog(FitHunterRequest(false));
  Grab(dialog, "fithunter");
  QCheckBox* polynomial = dialog.GroupBox(trendolin::CLASS_POLYNOMIAL);
  ASSERT_NE(polynomial, nullptr);
  EXPECT_FALSE(polynomial->isEnabled());
  EXPECT_FALSE(polynomial->isChecked());
  EXPECT_EQ(dialog.GroupBox(trendolin::CLASS_INTERPOLATION), nullptr);
  EXPECT_EQ(dialog.CheckedMask(), 1022 & ~trendolin::CLASS_POLYNOMIAL);

  Press(&dialog, "selectNone");
  EXPECT_EQ(dialog.CheckedMask(), 0);
  Press(&dialog, "selectAll");
  EXPECT_EQ(dialog.CheckedMask(), 1022 & ~trendolin::CLASS_POLYNOMIAL);
  EXPECT_FALSE(dialog.DegreeField()->isEnabled());  // not read without the polynomial group
}

TEST(GroupsDialog, OkHandsOnTheMaskAndDegreeAndStaysWhenRefused) {
  std::vector<std::pair<int, std::string>> tried;
  platform::ModelGroupsDialogRequest request = FitHunterRequest(true);
  request.accept = [&tried](int mask, const std::string& degree) {
    tried.emplace_back(mask, degree);
    return degree != "12";
  };
  GroupsDialog dialog(request);
  dialog.GroupBox(trendolin::CLASS_EXPONENTIAL)->setChecked(false);
  QLineEdit* degree = dialog.DegreeField();
  EXPECT_EQ(degree->text(), "4");
  Press(&dialog, "spinUp");
  EXPECT_EQ(degree->text(), "5");
  degree->setText("12");
  dialog.accept();
  EXPECT_NE(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(degree->selectedText(), "12");
  degree->setText("8");
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  const int mask = 1022 & ~trendolin::CLASS_EXPONENTIAL;
  EXPECT_EQ(tried, (std::vector<std::pair<int, std::string>>{{mask, "12"}, {mask, "8"}}));
}

TEST(GroupsDialog, CalculateGroupsOffersTheInterpolationsAndNoDegree) {
  int taken = -1;
  platform::ModelGroupsDialogRequest request;
  request.fitHunter = false;
  request.groupMask = 1023;
  request.checkedMask = 1023;
  request.accept = [&taken](int mask, const std::string&) {
    taken = mask;
    return true;
  };
  GroupsDialog dialog(request);
  Grab(dialog, "groups");
  EXPECT_EQ(dialog.DegreeField(), nullptr);
  EXPECT_EQ(dialog.windowTitle(), "Calculate Groups");
  Press(&dialog, "selectNone");
  dialog.findChild<QCheckBox*>("group1")->setChecked(true);
  dialog.findChild<QCheckBox*>("group256")->setChecked(true);
  dialog.accept();
  EXPECT_EQ(taken, trendolin::CLASS_INTERPOLATION | trendolin::CLASS_USER);
}

// ---- the user model dialog ----

// Plays the name dialog without exec().
class NamedFormulaDialog : public UserFormulaDialog {
 public:
  using UserFormulaDialog::UserFormulaDialog;
  std::optional<std::string> name;
  int asked = 0;

 protected:
  std::optional<std::string> AskForName() override {
    ++asked;
    return name;
  }
};

platform::UserModelDialogRequest LibraryRequest(std::vector<std::string>* tried) {
  platform::UserModelDialogRequest request;
  request.formula = "a+b*x";
  request.names = {"Decay", "Line"};
  request.formulas = {"a*exp(-b*x)", "a+b*x"};
  request.accept = [tried](const std::string& formula) {
    tried->push_back(formula);
    return formula != "x^2";
  };
  return request;
}

TEST(UserFormulaDialog, PickingAStoredModelFillsTheFormulaAndOkHandsItOn) {
  std::vector<std::string> tried;
  UserFormulaDialog dialog(LibraryRequest(&tried), "/nonexistent/settings.ini");
  Grab(dialog, "usermodel");
  QLineEdit* formula = dialog.FormulaField();
  EXPECT_EQ(formula->text(), "a+b*x");
  EXPECT_EQ(formula->selectedText(), "a+b*x");
  ASSERT_EQ(dialog.Library()->count(), 2);
  dialog.Library()->setCurrentRow(0);
  EXPECT_EQ(formula->text(), "a*exp(-b*x)");

  formula->setText("x^2");
  dialog.accept();
  EXPECT_NE(dialog.result(), QDialog::Accepted);
  dialog.Library()->setCurrentRow(1);
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(tried, (std::vector<std::string>{"x^2", "a+b*x"}));
}

TEST(UserFormulaDialog, SaveAndDeleteChangeTheStoredLibrary) {
  HeadlessUi ui;
  platform::ScopedUi installed(ui);
  testsupport::TempDir dir;
  const std::string settings = dir.File("REVUZI.INI");
  testsupport::WriteFile(settings, "[User Models]\nNumber=0\n");
  std::vector<std::string> tried;
  platform::UserModelDialogRequest request = LibraryRequest(&tried);
  request.names.clear();
  request.formulas.clear();
  NamedFormulaDialog dialog(request, settings);
  dialog.name = "Fit 1";
  dialog.FormulaField()->setText("a*exp(b*x)");
  dialog.Save();
  ASSERT_EQ(dialog.Library()->count(), 1);
  EXPECT_EQ(dialog.Library()->item(0)->text(), "Fit 1");
  std::vector<trendolin::StoredUserModel> stored = trendolin::LoadUserModelLibrary(settings);
  ASSERT_EQ(stored.size(), 1u);
  EXPECT_EQ(stored[0].name, "Fit 1");
  EXPECT_EQ(stored[0].formula, "a*exp(b*x)");

  // A formula the check refuses is never stored, and no name is asked for.
  dialog.FormulaField()->setText("a*x+c");
  dialog.Save();
  EXPECT_EQ(dialog.asked, 1);
  EXPECT_EQ(Warnings(ui).size(), 1u);
  EXPECT_EQ(ui.EventsOf(UiEvent::Kind::MessageBox)[0].icon, platform::Icon::Error);

  dialog.Library()->setCurrentRow(0);
  ui.QueueAnswer(platform::Answer::No);
  dialog.Delete();
  EXPECT_EQ(trendolin::LoadUserModelLibrary(settings).size(), 1u);
  ui.QueueAnswer(platform::Answer::Yes);
  dialog.Delete();
  EXPECT_EQ(dialog.Library()->count(), 0);
  EXPECT_TRUE(trendolin::LoadUserModelLibrary(settings).empty());
  EXPECT_EQ(dialog.FormulaField()->text(), "a*exp(b*x)");
  EXPECT_FALSE(dialog.findChild<QPushButton*>("delete")->isEnabled());
}

TEST(ModelNameDialog, ANameWithACommaIsRefused) {
  HeadlessUi ui;
  platform::ScopedUi installed(ui);
  ModelNameDialog dialog;
  Grab(dialog, "modelname");
  QLineEdit* field = dialog.Field();
  EXPECT_EQ(field->text(), "User Model");
  field->setText("Decay, fast");
  dialog.accept();
  EXPECT_NE(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(Warnings(ui).size(), 1u);
  field->setText("Decay");
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.Name(), "Decay");
}

// ---- the file dialogs ----

TEST(DataFileDialog, SaveOffersTheDataFiltersAndAddsTheDefaultExtension) {
  testsupport::TempDir dir;
  platform::FileDialogRequest request;
  request.title = "Save As";
  request.initialPath = dir.File("UNTITLED.DAT");
  request.defaultExtension = "DAT";
  request.overwritePrompt = true;
  request.offerReadOnly = false;
  DataFileDialog dialog(request, FileDialogKind::Save);
  Grab(dialog, "save");
  EXPECT_EQ(dialog.nameFilters(), DataFileFilters());
  EXPECT_EQ(dialog.ReadOnlyBox(), nullptr);
  EXPECT_TRUE(dialog.testOption(QFileDialog::DontUseNativeDialog));
  EXPECT_FALSE(dialog.testOption(QFileDialog::DontConfirmOverwrite));
  EXPECT_NE(dialog.findChild<QAbstractButton*>("help"), nullptr);
  dialog.findChild<QLineEdit*>("fileNameEdit")->setText("results");  // typed as a person would
  dialog.accept();
  ASSERT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.Result().path, dir.File("results.DAT"));
  EXPECT_FALSE(dialog.Result().readOnly);
}

}  // namespace
