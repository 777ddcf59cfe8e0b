// The fit drivers: which commands the data allow, window reuse and opening,
// the calculation mode, user stops, the dialogs of 502 and 538, the
// weighting menu and Clear Curvefits.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <string>
#include <string_view>
#include <utility>

#include "app/settings_location.h"
#include "fit/drivers_test_support.h"
#include "session/interpolation_drivers.h"
#include "fit/nonlinear.h"
#include "platform/debug_log.h"
#include "platform/resource_strings.h"
#include "session/nonlinear_routine.h"
#include "session/session.h"
#include "support/temp_dir.h"

namespace trendolin {
namespace {

using platform::UiEvent;
using testing_support::DriverTest;

const std::vector<int> kZeroXModels = {505, 506, 507, 508, 513, 514, 516, 523, 531, 532};

std::vector<int> DisabledModels() {
  std::vector<int> disabled;
  for (int id = 500; id <= 539; ++id) {
    if (!CurrentSession().availability.ModelEnabled(id)) disabled.push_back(id);
  }
  return disabled;
}

class DriversTest : public DriverTest {};

TEST_F(DriversTest, ApplicabilityFollowsThePointsAndTheXValues) {
  LoadPoints({2.0f}, {3.0f});
  EXPECT_EQ(DisabledModels().size(), 40u) << "one point greys every model";
  for (int command : {478, 482, 496, 497, 492}) EXPECT_FALSE(CurrentSession().availability.MenuItemEnabled(command)) << command;
  for (int button : {489, 488, 500, 502, 539, 493}) EXPECT_FALSE(CurrentSession().availability.ToolbarButtonEnabled(button)) << button;
  EXPECT_TRUE(CurrentSession().availability.MenuItemEnabled(494)) << "commands that do not need data stay as they are";

  LoadPoints({0.0f, 1.0f, 2.0f}, {1.0f, 2.0f, 3.0f});
  EXPECT_EQ(DisabledModels(), kZeroXModels) << "x = 0 greys the ten models that divide by x or take ln(x)";
  EXPECT_TRUE(CurrentSession().availability.ModelEnabled(509)) << "Power stays";

  // Below the smallest normal float counts as zero, however it is signed.
  LoadPoints({-1e-39f, 1.0f, 2.0f}, {1.0f, 2.0f, 3.0f});
  EXPECT_EQ(DisabledModels(), kZeroXModels);

  LoadPoints({-2.0f, 1.0f, 2.0f}, {1.0f, 2.0f, 3.0f});
  EXPECT_EQ(DisabledModels(), (std::vector<int>{506, 507, 508}));
  EXPECT_TRUE(CurrentSession().availability.MenuItemEnabled(478));
}

TEST_F(DriversTest, AModelCommandReusesACurrentWindowAndRefitsAStaleOne) {
  Load([](double x) { return 1 + 2 * x; }, 1, 10, 10);
  EXPECT_EQ(DispatchFitCommand(doc_, 500), true);
  const GraphWindowId first = CurrentSession().graphQueue.Find(500);
  ASSERT_NE(first, kNoWindow);
  EXPECT_TRUE(CurrentSession().graphQueue.IsChecked(500));
  EXPECT_TRUE(host_.Window(first)->visible);
  EXPECT_EQ(host_.Window(first)->title, "Linear Fit");
  EXPECT_EQ(CalculationModes(), (std::vector<int>{1, 0}));

  // The same command again only raises the window: nothing is fitted.
  DispatchFitCommand(doc_, 500);
  EXPECT_EQ(CurrentSession().graphQueue.Find(500), first);
  EXPECT_EQ(host_.Window(first)->raised, 1);
  EXPECT_EQ(CalculationModes().size(), 2u);

  // Another weighting makes the regression stale (its window is replaced)
  // but not an interpolation.
  DispatchFitCommand(doc_, 537);
  const GraphWindowId spline = CurrentSession().graphQueue.Find(537);
  DispatchFitCommand(doc_, kWeightingX);
  DispatchFitCommand(doc_, 500);
  EXPECT_TRUE(host_.Window(first)->destroyed);
  EXPECT_NE(CurrentSession().graphQueue.Find(500), first);
  EXPECT_TRUE(doc_.IsFitted(500, kWeightingX));
  DispatchFitCommand(doc_, 537);
  EXPECT_EQ(CurrentSession().graphQueue.Find(537), spline);
  EXPECT_EQ(host_.Window(spline)->raised, 1);
}

TEST_F(DriversTest, ChangedDataMakeAnOpenWindowStale) {
  Load([](double x) { return 1 + 2 * x; }, 0, 9, 10);
  DispatchFitCommand(doc_, 501);
  const GraphWindowId window = CurrentSession().graphQueue.Find(501);
  doc_.ReplacePoint(3, 1, 40.0f, kRecordUndo);
  EXPECT_EQ(doc_.bStatsStale, 1);
  DispatchFitCommand(doc_, 501);
  EXPECT_EQ(doc_.bStatsStale, 0) << "the reuse check examined the changed data";
  EXPECT_TRUE(host_.Window(window)->destroyed);
  EXPECT_NE(CurrentSession().graphQueue.Find(501), kNoWindow);
}

TEST_F(DriversTest, NoGraphsOpensTheInformationWindowExceptForThePlot) {
  CurrentSession().settings.SetFlag(kFlagNoGraphs, true);
  Load([](double x) { return 1 + 2 * x; }, 0, 9, 10);
  DispatchFitCommand(doc_, 500);
  DispatchFitCommand(doc_, 503);
  EXPECT_TRUE(WindowOf(500)->informationPosted);
  EXPECT_FALSE(WindowOf(500)->visible);
  EXPECT_TRUE(WindowOf(503)->visible);
  EXPECT_FALSE(WindowOf(503)->informationPosted);
  // The plot counts as current until the data change: it is raised, not redrawn anew.
  const GraphWindowId plot = CurrentSession().graphQueue.Find(503);
  DispatchFitCommand(doc_, 503);
  EXPECT_EQ(CurrentSession().graphQueue.Find(503), plot);
}

TEST_F(DriversTest, CalculationModeTellsTheUiWhatTheSettingsAllow) {
  CurrentSession().settings.SetFlag(kFlagBackgroundProcess, false);
  CurrentSession().settings.SetFlag(kFlagAnimatePlot, true);
  SetCalculationMode(1);
  SetCalculationMode(0);
  const auto events = ui_.EventsOf(UiEvent::Kind::CalculationMode);
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].part, 1);
  EXPECT_EQ(events[0].detail, 0) << "no Accept and Abort without background processing; no preview yet";
  EXPECT_EQ(events[1].detail, 2) << "back at idle the preview is redrawn";
  EXPECT_EQ(CurrentEngine().calcMode, 0);
}

// A user's stop ends a single fit silently; a fault is reported once. No
// window either way, and the program is idle again.
TEST_F(DriversTest, StopsAndFaultsOpenNoWindow) {
  Load([](double x) { return 3 * std::exp(0.25 * x); }, 0.5, 8, 30);
  StopAtFirstPump(kStopAbort);
  EXPECT_EQ(ModelCommand(doc_, 504), kWindowDeclined);
  StopAtFirstPump(kStopAccept);
  EXPECT_EQ(ModelCommand(doc_, 500), kWindowDeclined) << "a closed-form fit has nothing to accept";
  EXPECT_TRUE(ui_.EventsOf(UiEvent::Kind::ErrorReport).empty());
  EXPECT_FALSE(doc_.IsFitted(500, -1));
  EXPECT_EQ(CurrentSession().graphQueue.Count(), 0);
  EXPECT_EQ(CurrentEngine().calcMode, 0);

  ui_.SetPumpHook(nullptr);
  LoadPoints({2, 2, 2, 2}, {1, 2, 3, 4});  // all x equal: the normal equations are singular
  EXPECT_EQ(ModelCommand(doc_, 500), kWindowDeclined);
  EXPECT_EQ(CurrentSession().lastOpenWindowResult, kWindowDeclined);
  ASSERT_EQ(ui_.EventsOf(UiEvent::Kind::ErrorReport).size(), 1u);
  EXPECT_EQ(CurrentSession().graphQueue.Count(), 0);
}

// Every closed-form driver meets a division by zero when all x are equal,
// writes its own marker, reports once and opens nothing.
TEST_F(DriversTest, EachDriverFunnelsItsFaultWithItsMarker) {
  std::string log;
  SetConsoleSink([&log](std::string_view text) { log += text; });
  DebugFlags = 2;
  LoadPoints({2, 2, 2, 2, 2, 2}, {1, 2, 3, 4, 5, 6});
  const std::pair<int, const char*> drivers[] = {
      {500, "EX: LinearFit_1\n"},          {501, "EX: QuadraticFit_1\n"}, {502, "EX: PolynomialFit_1\n"},
      {534, "EX: LagrangeInterpolate_1\n"}, {535, "EX: LSplineFit_1\n"},   {536, "EX: QSplineFit_1\n"},
      {537, "EX: SplineFit\n"},             {538, "EX: TSplineFit_1\n"},
  };
  for (const auto& [id, marker] : drivers) {
    log.clear();
    ui_.ClearEvents();
    CurrentSession().modelDialogs.SetAll(0);
    EXPECT_EQ(DispatchFitCommand(doc_, id), true);
    EXPECT_NE(log.find(marker), std::string::npos) << id << " logged:\n" << log;
    EXPECT_EQ(ui_.EventsOf(UiEvent::Kind::ErrorReport).size(), 1u) << id;
    EXPECT_EQ(ErrorInfo.FitId, id);
    EXPECT_FALSE(doc_.IsFitted(id, -1)) << id;
  }
  EXPECT_EQ(CurrentSession().graphQueue.Count(), 0);
  DebugFlags = 0;
  SetConsoleSink({});
}

TEST_F(DriversTest, AnAbortDuringABatchEscapesTheOpeningAsError10) {
  Load([](double x) { return 3 * std::exp(0.25 * x); }, 0.5, 8, 30);
  SetCalculationMode(2);
  StopAtFirstPump(kStopAbort);
  EXPECT_EQ(OpenFitWindow(doc_, 504), kWindowError);
  EXPECT_EQ(CurrentSession().lastOpenWindowResult, kWindowError);
  EXPECT_EQ(ErrorInfo.id, kErrStoppedInSearch);
  EXPECT_TRUE(ui_.EventsOf(UiEvent::Kind::ErrorReport).empty());
  EXPECT_EQ(CurrentSession().graphQueue.Count(), 0);
}

TEST_F(DriversTest, AFullQueueRefusesTheWindowButKeepsTheFit) {
  Load([](double x) { return 1 + 2 * x; }, 0, 9, 10);
  for (int i = 0; i < kGraphQueueCapacity; ++i) {
    auto record = std::make_unique<GraphAttr>();
    record->modelId = 503;
    ASSERT_TRUE(CurrentSession().graphQueue.Add(host_.CreateGraphWindow("Data Plot", *record), "Data Plot", record));
  }
  EXPECT_EQ(OpenFitWindow(doc_, 500), kWindowDeclined);
  EXPECT_EQ(ui_.EventsOf(UiEvent::Kind::MessageBox).back().text, kGraphQueueFullText);
  EXPECT_EQ(host_.LiveCount(), kGraphQueueCapacity) << "the refused window was destroyed";
  EXPECT_TRUE(FitIsCurrent(doc_, 500));
}

TEST_F(DriversTest, PolynomialCommandAsksForTheDegree) {
  Load([](double x) { return x * x * x - x; }, -2, 2, 6);
  int asked = 0;
  ui_.SetDegreeDialogHandler([&asked](const platform::ValueDialogRequest& request) {
    ++asked;
    EXPECT_EQ(request.fieldText, "4");
    EXPECT_EQ(request.spinLower, 3);
    EXPECT_EQ(request.spinUpper, 5) << "min(MaxPolyDegree, n - 1)";
    EXPECT_FALSE(request.accept("5")) << "not below n - 1";
    EXPECT_FALSE(request.accept("2")) << "below 3";
    EXPECT_FALSE(request.accept("x"));
    return request.accept("3");
  });
  EXPECT_EQ(PolynomialCommand(doc_), kWindowOpened);
  EXPECT_EQ(CurrentEngine().polynomialDegree, 3);
  EXPECT_EQ(WindowOf(502)->title, "3rd degree Polynomial Fit");
  const auto boxes = ui_.EventsOf(UiEvent::Kind::MessageBox);
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text, platform::ResourceString(77));
  EXPECT_EQ(boxes[1].text, platform::ResourceString(64));
  EXPECT_EQ(ui_.EventsOf(UiEvent::Kind::Beep).size(), 2u);

  // Open and current: the command only raises it, without the dialog.
  EXPECT_EQ(PolynomialCommand(doc_), kWindowOpened);
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(WindowOf(502)->raised, 1);

  // A cleared skip-dialog flag opens at once and is set again.
  CurrentSession().graphQueue.CloseAll();
  CurrentSession().modelDialogs.polynomial = 0;
  EXPECT_EQ(PolynomialCommand(doc_), kWindowOpened);
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(CurrentSession().modelDialogs.polynomial, 1);

  // With 4 points the dialog only warns and closes.
  CurrentSession().graphQueue.CloseAll();
  ui_.ClearEvents();
  Load([](double x) { return x; }, 0, 3, 4);
  EXPECT_EQ(PolynomialCommand(doc_), kWindowDeclined);
  EXPECT_EQ(asked, 1);
  ASSERT_EQ(ui_.EventsOf(UiEvent::Kind::MessageBox).size(), 1u);
  EXPECT_EQ(ui_.EventsOf(UiEvent::Kind::MessageBox)[0].text, platform::ResourceString(50));
}

TEST_F(DriversTest, TensionCommandTakesAPositiveTension) {
  Load([](double x) { return std::sin(x); }, 0, 6, 12);
  ui_.SetTensionDialogHandler([](const platform::ValueDialogRequest& request) {
    EXPECT_EQ(request.spinText(-1), "0.50000000");
    EXPECT_FALSE(request.accept("0"));
    EXPECT_FALSE(request.accept("soft"));
    return request.accept("2.5");
  });
  EXPECT_EQ(TensionSplineCommand(doc_), kWindowOpened);
  EXPECT_EQ(CurrentTension(doc_), 2.5f);
  EXPECT_EQ(ui_.EventsOf(UiEvent::Kind::Beep).size(), 2u);
  ASSERT_EQ(ui_.EventsOf(UiEvent::Kind::MessageBox).size(), 1u);
  EXPECT_EQ(ui_.EventsOf(UiEvent::Kind::MessageBox)[0].text, platform::ResourceString(66));

  // Cancelled: nothing changes.
  CurrentSession().graphQueue.CloseAll();
  ui_.SetTensionDialogHandler([](const platform::ValueDialogRequest&) { return false; });
  EXPECT_EQ(TensionSplineCommand(doc_), kWindowDeclined);
  EXPECT_EQ(CurrentSession().graphQueue.Count(), 0);
}

TEST_F(DriversTest, WeightingMenuFollowsTheUncertaintyColumn) {
  Load([](double x) { return x; }, 1, 3, 5);
  WeightingMenuState menu = WeightingCommand(doc_, kWeightingUncertainty);
  EXPECT_FALSE(menu.uncertaintyEnabled);
  EXPECT_EQ(menu.checked, kWeightingNone) << "459 without an uncertainty column falls back to 460";
  EXPECT_EQ(CurrentSession().settings.weighting, kWeightingNone);

  doc_.AllocateData(3, 3, 1);
  menu = WeightingCommand(doc_, kWeightingUncertainty);
  EXPECT_TRUE(menu.uncertaintyEnabled);
  EXPECT_EQ(menu.checked, kWeightingUncertainty);
  EXPECT_TRUE(DispatchFitCommand(doc_, kWeightingY2));
  EXPECT_EQ(RefreshWeightingMenu(doc_).checked, kWeightingY2);
}

TEST_F(DriversTest, ClearCurvefitsForgetsEverything) {
  Load([](double x) { return 1 + 2 * x; }, 0, 9, 10);
  DispatchFitCommand(doc_, 500);
  DispatchFitCommand(doc_, 535);
  ASSERT_EQ(CurrentSession().ranking.entries.size(), 0u) << "no hooks installed yet";
  InstallFitDriverHooks(doc_);
  DispatchFitCommand(doc_, 501);
  EXPECT_EQ(CurrentSession().ranking.entries.size(), 2u) << "rebuilt after the fit: 500 and 501";

  EXPECT_TRUE(DispatchFitCommand(doc_, kCmdClearCurvefits));
  EXPECT_EQ(CurrentSession().graphQueue.Count(), 0);
  EXPECT_TRUE(CurrentSession().ranking.entries.empty());
  for (int id : {500, 501, 535}) EXPECT_FALSE(doc_.IsFitted(id, -1)) << id;
  EXPECT_EQ(doc_.Slot(500).valid, 0);
  EXPECT_EQ(doc_.nLastModel, 0);
  EXPECT_FALSE(CurrentSession().graphQueue.IsChecked(500));
}

TEST_F(DriversTest, NothingStartsWhileTheGridKeepsItsEdit) {
  LoadPoints({1.0f}, {1.0f});
  Hooks().commitGridEdit = [] { return false; };
  testing_support::FillPoints(doc_, {1, 2, 3}, {1, 2, 3});
  EXPECT_TRUE(DispatchFitCommand(doc_, kCmdReexamine));
  EXPECT_FALSE(CurrentSession().availability.enoughPoints) << "Reexamine waited for the grid";
  EXPECT_EQ(ModelCommand(doc_, 500), kWindowDeclined);
  EXPECT_EQ(FitHunterCommand(doc_, 1).end, FitHunterEnd::Cancelled);
  EXPECT_FALSE(DispatchFitCommand(doc_, 499)) << "not a command of the drivers";
}

// The programs keep the iteration history beside the settings file: it
// lands there whatever the current folder is, in a folder made for it when
// the settings file was never created.
TEST_F(DriversTest, TheIterationHistoryGoesToTheFolderTheProgramNames) {
  testsupport::TempDir dir;
  testsupport::ScopedCurrentDir here(dir.Path());
  const std::string folder = dir.File("settings-not-made");
  SetHistoryFolder(folder);
  Load([](double x) { return 2 * std::exp(0.5 * x); }, 0, 4, 20, 0.01);
  const int opened = ModelCommand(doc_, 504);
  SetHistoryFolder("");
  EXPECT_EQ(opened, kWindowOpened);
  EXPECT_EQ(testsupport::ReadFile(folder + "/" + kHistoryFileName).rfind("Model: ", 0), 0u);
  EXPECT_FALSE(std::filesystem::exists(dir.File(kHistoryFileName))) << "nothing in the current folder";
}

TEST_F(DriversTest, TheUserModelCommandTakesAFormulaFromItsDialogAndFits) {
  testsupport::TempDir dir;
  testsupport::ScopedCurrentDir here(dir.Path());
  CurrentSession().iniFile = dir.File("REVUZI.INI");
  Load([](double x) { return 3 * std::pow(x, 1.5); }, 1, 10, 12, 0.001);
  std::vector<std::string> typed = {"a**x", "a*x^b"};  // a slip first, then the formula meant
  ui_.SetUserModelDialogHandler([&typed](const platform::UserModelDialogRequest& request) {
    for (const std::string& text : typed) {
      if (request.accept(text)) return true;
    }
    return false;
  });
  ui_.SetGuessDialogHandler([](int, int m, float* g) {
    for (int i = 0; i < m; ++i) g[i] = 2;
    return true;
  });
  CurrentSession().settings.initGuess = 1;
  DispatchFitCommand(doc_, kUserModel);
  EXPECT_NE(CurrentSession().graphQueue.Find(kUserModel), kNoWindow);
  EXPECT_TRUE(FitIsCurrent(doc_, kUserModel));
  EXPECT_EQ(CurrentEngine().userModel.formula, "a*x^b");
  EXPECT_NEAR(CurrentEngine().userModel.coefficients[1], 1.5, 1e-3);
  // The slip was refused with its warning, and the dialog stayed open.
  auto boxes = ui_.EventsOf(platform::UiEvent::Kind::MessageBox);
  ASSERT_FALSE(boxes.empty());
  EXPECT_EQ(boxes.front().caption, platform::ResourceString(10));

  // Cancelling the dialog opens nothing.
  ClearCurvefits(doc_);
  CurrentSession().graphQueue.CloseAll();
  ui_.SetUserModelDialogHandler([](const platform::UserModelDialogRequest&) { return false; });
  EXPECT_EQ(UserModelCommand(doc_), kWindowDeclined);
  EXPECT_EQ(CurrentSession().graphQueue.Find(kUserModel), kNoWindow);
}


}  // namespace
}  // namespace trendolin
