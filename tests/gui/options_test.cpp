// Tools > Options driven on the real dialog: what each page refuses and
// where it puts the person, which pages OK checks, Apply and Cancel, the
// settings file written, and a new value at work in the next fit.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <filesystem>
#include <string>

#include "app/app_settings.h"
#include "fit/drivers_test_support.h"
#include "fit/engine_state.h"
#include "gui/dialogs/options_dialog.h"
#include "gui/printer_state.h"
#include "platform/resource_strings.h"
#include "session/options_rules.h"
#include "session/session.h"
#include "support/temp_dir.h"

namespace trendolin::gui {
namespace {

using platform::UiEvent;

class OptionsTest : public testing_support::DriverTest {
 protected:
  void SetUp() override {
    DriverTest::SetUp();
    saved_ = CurrentSession().settings;
    CurrentSession().settings = DefaultAppSettings();
    CurrentSession().settings.dataPath = folder_.Path();
    CurrentSession().iniFile = folder_.File("REVUZI.INI");
    initial_ = CurrentSession().settings;
  }
  void TearDown() override {
    CurrentEngine().polynomialDegree = 4;
    CurrentSession().settings = saved_;
    CurrentSession().iniFile.clear();
    DriverTest::TearDown();
  }

  OptionsDialog& Open(OptionsPage page = OptionsPage::Application) {
    dialog_ = std::make_unique<OptionsDialog>(doc_, [this] { ++applied_; }, nullptr);
    dialog_->Pages()->setCurrentIndex(static_cast<int>(page));
    return *dialog_;
  }
  void Type(OptionsField field, const QString& text) { dialog_->Field(field)->setText(text); }
  QPushButton* Button(const char* name) { return dialog_->findChild<QPushButton*>(QString::fromLatin1(name)); }
  template <class W>
  W* Child(const char* name) {
    return dialog_->findChild<W*>(QString::fromLatin1(name));
  }

  // The message texts shown, in order.
  std::vector<std::string> Messages() const {
    std::vector<std::string> texts;
    for (const UiEvent& e : ui_.EventsOf(UiEvent::Kind::MessageBox)) texts.push_back(e.text);
    return texts;
  }
  std::size_t Beeps() const { return ui_.EventsOf(UiEvent::Kind::Beep).size(); }
  static std::string Text(int id) { return std::string(platform::ResourceString(id)); }

  testsupport::TempDir folder_;
  AppSettings saved_;
  AppSettings initial_;
  std::unique_ptr<OptionsDialog> dialog_;
  int applied_ = 0;
};

// Each refusal of the regression page, in the order they are checked: the
// message names the fault, the field that holds it has the focus with its
// text selected, and nothing reaches the settings.
TEST_F(OptionsTest, RegressionPageRefusesEachValueOutsideItsLimits) {
  struct Case {
    OptionsField field;
    const char* text;
    int message;  // 0: the number reader's beep
  };
  const Case cases[] = {
      {OptionsField::DivergeIterations, "0", 7},  {OptionsField::Tolerance, "-1e-4", 5},
      {OptionsField::MaxIterations, "0", 4},      {OptionsField::MaxPolyDegree, "20", 2},
      {OptionsField::MaxPolyDegree, "2", 2},      {OptionsField::DefPolyDegree, "2", 6},
      {OptionsField::DefPolyDegree, "12", 6},     {OptionsField::Tolerance, "1e-4x", 0},
      {OptionsField::MaxIterations, "many", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    ui_.ClearEvents();
    OptionsDialog& dialog = Open(OptionsPage::Regression);
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    Type(OptionsField::MaxPolyDegree, "10");
    Type(c.field, QString::fromLatin1(c.text));
    QTest::mouseClick(Button("ok"), Qt::LeftButton);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    if (c.message == 0) {
      EXPECT_EQ(Beeps(), 1u);
      EXPECT_TRUE(Messages().empty());
    } else {
      EXPECT_EQ(Messages(), std::vector<std::string>{Text(c.message)});
    }
    QLineEdit* field = dialog.Field(c.field);
    EXPECT_TRUE(field->hasFocus());
    EXPECT_EQ(field->selectedText(), field->text());
    EXPECT_EQ(CurrentSession().settings, initial_);
    EXPECT_EQ(applied_, 0);
  }
}

// The edges the limits allow, and the settings file written on OK.
TEST_F(OptionsTest, OkTakesTheEdgesOfTheLimitsAndWritesTheSettingsFile) {
  OptionsDialog& dialog = Open(OptionsPage::Regression);
  Type(OptionsField::Tolerance, "0");
  Type(OptionsField::MaxPolyDegree, "19");
  Type(OptionsField::DefPolyDegree, "19");
  Type(OptionsField::DivergeIterations, "1");
  Type(OptionsField::MaxIterations, "99999");
  Child<QCheckBox>("quickDerivatives")->setChecked(false);
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(applied_, 1);

  const AppSettings& live = CurrentSession().settings;
  EXPECT_EQ(live.nonlinearTolerance, 0.0);
  EXPECT_EQ(live.maxPolyDegree, 19);
  EXPECT_EQ(live.defPolyDegree, 19);
  EXPECT_EQ(live.divergeIterations, 1);
  EXPECT_EQ(live.maxIterations, 99999);
  EXPECT_FALSE(live.IsOn(kFlagQuickDerivatives));
  const AppSettings stored = ReadAppSettings(CurrentSession().iniFile);
  EXPECT_EQ(stored.divergeIterations, 1);
  EXPECT_EQ(stored.maxPolyDegree, 19);
  EXPECT_EQ(stored.nonlinearTolerance, 0.0);
  EXPECT_FALSE(stored.IsOn(kFlagQuickDerivatives));
  // The new default degree is the one the next polynomial fit proposes.
  EXPECT_EQ(CurrentEngine().polynomialDegree, 19);
}

// Switching pages checks nothing; OK checks the page that is showing and a
// page the person changed, but not one left as it was shown, however odd
// its stored values.
TEST_F(OptionsTest, OkChecksTheShowingPageAndChangedPagesOnly) {
  CurrentSession().settings.dataPath = folder_.File("gone");  // a folder since removed
  OptionsDialog& dialog = Open(OptionsPage::Application);
  dialog.show();
  Type(OptionsField::UndoLevels, "0");
  dialog.Pages()->setCurrentIndex(static_cast<int>(OptionsPage::Regression));
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(Beeps(), 0u);

  // The changed application page is refused, and shown.
  Type(OptionsField::Tolerance, "0.001");
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  EXPECT_EQ(dialog.Pages()->currentIndex(), static_cast<int>(OptionsPage::Application));
  EXPECT_EQ(Beeps(), 1u);  // the missing data folder comes first
  EXPECT_EQ(CurrentSession().settings.nonlinearTolerance, DefaultAppSettings().nonlinearTolerance);

  // Put back as it was shown, the application page is no longer checked.
  Type(OptionsField::UndoLevels, QString::number(DefaultAppSettings().undoLevels));
  dialog.Field(OptionsField::DataPath)->setText(QString::fromStdString(folder_.File("gone")));
  dialog.Pages()->setCurrentIndex(static_cast<int>(OptionsPage::Regression));
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(CurrentSession().settings.nonlinearTolerance, 0.001);
}

// The application page: an empty data folder is given the current folder,
// the undo depth must be positive, and what OK changes takes effect at once.
TEST_F(OptionsTest, ApplicationPageTakesEffectAtOnce) {
  testsupport::TempDir elsewhere;
  testsupport::ScopedCurrentDir here(folder_.Path());
  OptionsDialog& dialog = Open(OptionsPage::Application);
  dialog.show();
  Type(OptionsField::DataPath, "");
  dialog.accept();
  EXPECT_EQ(Beeps(), 1u);
  EXPECT_EQ(std::filesystem::path(dialog.Field(OptionsField::DataPath)->text().toStdString()),
            std::filesystem::current_path());

  Type(OptionsField::UndoLevels, "0");
  dialog.accept();
  EXPECT_EQ(Messages(), std::vector<std::string>{Text(127)});

  Type(OptionsField::UndoLevels, "3");
  Type(OptionsField::DataPath, QString::fromStdString(elsewhere.Path()));
  Child<QCheckBox>("showImportDialog")->setChecked(false);
  Child<QCheckBox>("noGraphs")->setChecked(true);
  dialog.accept();
  ASSERT_EQ(dialog.result(), QDialog::Accepted);
  const AppSettings& live = CurrentSession().settings;
  EXPECT_EQ(live.undoLevels, 3);
  EXPECT_FALSE(live.IsOn(kFlagShowFileImportDlg));
  EXPECT_TRUE(live.IsOn(kFlagNoGraphs));
  EXPECT_EQ(std::filesystem::current_path(), std::filesystem::path(elsewhere.Path()));
  EXPECT_EQ(doc_.history.undo.Maximum(), 3);
  // The switch that the import dialog clears can be set again here.
  Open(OptionsPage::Application);
  Child<QCheckBox>("showImportDialog")->setChecked(true);
  dialog_->accept();
  EXPECT_TRUE(ReadAppSettings(CurrentSession().iniFile).IsOn(kFlagShowFileImportDlg));
}

// Apply puts the page in force and keeps the dialog; Cancel afterwards
// drops only what came after.
TEST_F(OptionsTest, ApplyThenCancelKeepsWhatWasApplied) {
  OptionsDialog& dialog = Open(OptionsPage::Regression);
  dialog.show();
  Type(OptionsField::MaxIterations, "250");
  QTest::mouseClick(Button("apply"), Qt::LeftButton);
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(CurrentSession().settings.maxIterations, 250);
  EXPECT_EQ(applied_, 1);
  Type(OptionsField::MaxIterations, "7");
  QTest::mouseClick(Button("cancel"), Qt::LeftButton);
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  EXPECT_EQ(CurrentSession().settings.maxIterations, 250);
  EXPECT_EQ(ReadAppSettings(CurrentSession().iniFile).maxIterations, 250);
}

// Without a printer any margins from zero up are taken; a negative one is
// refused all the same. The printer's texts say there is none.
TEST_F(OptionsTest, PrintingPageWithoutAPrinter) {
  if (HavePrinters()) GTEST_SKIP() << "this machine has a printer; the rules with one are tested below";
  OptionsDialog& dialog = Open(OptionsPage::Printing);
  EXPECT_EQ(Child<QLabel>("printerName")->text(), QString::fromLatin1(kNoPrinterText));
  Type(OptionsField::MarginLeft, "-0.5");
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  EXPECT_EQ(Beeps(), 1u);
  Type(OptionsField::MarginLeft, "0");
  Type(OptionsField::MarginTop, "30");
  Child<QRadioButton>("monochrome")->setChecked(true);
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(CurrentSession().settings.marginTop, 30.0);
  EXPECT_FALSE(CurrentSession().settings.IsOn(kFlagColorPrint));
}

// With a printer's sheet, each margin must fit and the pairs together too;
// a pair that does not fit puts the person on its second field.
TEST(OptionsRulesTest, MarginsMustFitThePrintersSheet) {
  const PrinterPage letter{8.5, 11.0, 0.25, 0.2};
  AppSettings settings = DefaultAppSettings();
  PrintingPageFields fields = PrintingPageOf(settings);
  fields.marginRight = "8.5";
  EXPECT_EQ(TakePrintingPage(fields, letter, settings)->field, OptionsField::MarginRight);
  fields.marginRight = "4.2";
  fields.marginLeft = "4.1";  // 4.1 + 4.2 + 0.25 = 8.55 does not fit 8.5
  auto refusal = TakePrintingPage(fields, letter, settings);
  ASSERT_TRUE(refusal);
  EXPECT_EQ(refusal->field, OptionsField::MarginRight);
  EXPECT_EQ(refusal->alsoSelect, OptionsField::MarginLeft);
  EXPECT_EQ(refusal->text, 0);
  fields.marginLeft = "4.0";
  fields.marginTop = "6";
  fields.marginBottom = "4.8";  // 6 + 4.8 + 0.2 = 11: not less than the height
  refusal = TakePrintingPage(fields, letter, settings);
  ASSERT_TRUE(refusal);
  EXPECT_EQ(refusal->field, OptionsField::MarginBottom);
  EXPECT_EQ(refusal->alsoSelect, OptionsField::MarginTop);
  EXPECT_EQ(settings, DefaultAppSettings());
  fields.marginBottom = "4.7";
  EXPECT_FALSE(TakePrintingPage(fields, letter, settings));
  EXPECT_EQ(settings.marginBottom, 4.7);
  EXPECT_EQ(settings.marginLeft, 4.0);

  // Values the fields round for showing stay exact when left as shown.
  settings.marginTop = 0.75;
  settings.nonlinearTolerance = 1.234567e-5;
  EXPECT_FALSE(TakePrintingPage(PrintingPageOf(settings), letter, settings));
  EXPECT_FALSE(TakeRegressionPage(RegressionPageOf(settings), settings));
  EXPECT_EQ(settings.marginTop, 0.75);
  EXPECT_EQ(settings.nonlinearTolerance, 1.234567e-5);
}

// New limits are at work in the next fit, and the AutoGuess switch follows
// the check box: the fit asks for its starting values.
TEST_F(OptionsTest, NewValuesTakeEffectInTheNextFit) {
  Load([](double x) { return 3.0 * std::exp(0.4 * x); }, 0, 10, 30, 0.02);
  OptionsDialog& dialog = Open(OptionsPage::Regression);
  Type(OptionsField::MaxIterations, "1");
  Child<QCheckBox>("autoGuesses")->setChecked(false);
  dialog.accept();
  ASSERT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(CurrentSession().settings.initGuess, 1);

  int asked = 0;
  ui_.SetGuessDialogHandler([&](int, int m, float* g) {
    ++asked;
    for (int i = 0; i < m; ++i) g[i] = 1.0f;
    return true;
  });
  DispatchFitCommand(doc_, 504);
  EXPECT_EQ(asked, 1);
  EXPECT_LE(doc_.Slot(504).iterationCount, 1);
}

}  // namespace
}  // namespace trendolin::gui
