// FitHunter and Calculate Groups: the score, the ranking, the search on data
// of known families, its ties, its flags on every way out, the commands and
// their dialogs' rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "fit/drivers_test_support.h"
#include "fit/model_desc.h"
#include "platform/resource_strings.h"
#include "session/session.h"
#include "session/fit_routine_table.h"

namespace trendolin {
namespace {

using platform::UiEvent;
using testing_support::DriverTest;

class FitHunterTest : public DriverTest {
 protected:
  datatype ScoreOf(int id) {
    const ModelDesc desc = DescriptorOf(doc_, id);
    return FitScore(desc.statistics[0], desc.statistics[1]);
  }
};

TEST(FitScoreTest, CorrelationOutsideZeroToOneCountsAsZero) {
  EXPECT_FLOAT_EQ(FitScore(0.5f, 0.9f), std::sqrt(4 * 0.25f + 0.01f));
  EXPECT_FLOAT_EQ(FitScore(0.5f, 1.2f), std::sqrt(4 * 0.25f + 1.0f)) << "above 1 is 0, not 1";
  EXPECT_FLOAT_EQ(FitScore(0.5f, -0.3f), std::sqrt(4 * 0.25f + 1.0f));
  EXPECT_EQ(FitScore(0.0f, 1.0f), 0.0f);
}

// Data of one model with every other point 0.01% up or down: the search
// fits the model, and only models that contain it as a special case may rank
// ahead of it. (Exactly the model's values would be no test: a start that
// already fits exactly cannot be improved, and such a fit ends diverged.)
struct Family {
  const char* name;
  int generator;
  double (*f)(double);
  double x0, x1;
  std::vector<int> mayRankAhead;
};

const std::vector<Family> kFamilies = {
    {"power", 509, [](double x) { return 2.5 * std::pow(x, 1.3); }, 1, 10, {508, 511, 515, 516}},
    {"exponential", 504, [](double x) { return 3 * std::exp(0.25 * x); }, 0.5, 8, {510, 511, 515, 528}},
    {"logarithm", 506, [](double x) { return 1 + 2 * std::log(x); }, 0.5, 10, {508}},
    {"logistic", 522, [](double x) { return 10 / (1 + 20 * std::exp(-1.2 * x)); }, 0, 8, {525}},
    {"reciprocal", 517, [](double x) { return 1 / (0.5 * x + 2); }, 0.5, 10, {518, 519, 520, 533}},
    {"saturation", 526, [](double x) { return 5 * x / (x + 2); }, 0.2, 10, {524, 533}},
    {"gaussian", 530, [](double x) { return 4 * std::exp(-0.5 * (x - 5) * (x - 5) / 2.25); }, 0.5, 10, {}},
    {"hyperbolic", 531, [](double x) { return 2 + 3 / x; }, 0.5, 10, {532, 533}},
    {"linear", 500, [](double x) { return 1 + 2 * x; }, 0, 5, {501, 502, 511, 533}},
};

TEST_F(FitHunterTest, FindsTheGeneratingModelOfEachFamily) {
  constexpr double kWobble = 1e-4;
  for (const Family& family : kFamilies) {
    SCOPED_TRACE(family.name);
    doc_.ReleaseAllResults();
    Load(family.f, family.x0, family.x1, 30, kWobble);
    // The user model is whatever formula the user last gave: not part of this.
    const int best = FitHunterSearch(doc_, 8, kSearchGroupsMask & ~CLASS_USER);
    const std::vector<RankingEntry> ranking = RankFittedModels(doc_);
    ASSERT_FALSE(ranking.empty());
    EXPECT_EQ(best, ranking.front().modelId);
    auto it = std::find_if(ranking.begin(), ranking.end(), [&](const RankingEntry& e) {
      return e.modelId == family.generator;
    });
    if (it == ranking.end()) {
      ADD_FAILURE() << "the generating model was not fitted";
      continue;
    }
    // Its score is about twice the wobble of the largest y.
    const double largest = std::max(std::fabs(doc_.fMax[1]), std::fabs(doc_.fMin[1]));
    EXPECT_LT(it->score, 3 * kWobble * largest);
    for (auto ahead = ranking.begin(); ahead != it; ++ahead) {
      EXPECT_NE(std::count(family.mayRankAhead.begin(), family.mayRankAhead.end(), ahead->modelId), 0)
          << ahead->modelId << " ranks ahead without containing " << family.generator;
    }
  }
}

TEST_F(FitHunterTest, TiesGoToTheLowerIdAndTheLowerDegree) {
  // Exact small integers: every polynomial degree reproduces them exactly.
  Load([](double x) { return 1 + 2 * x; }, 0, 9, 10);
  for (int degree = 3; degree <= 5; ++degree) {
    CurrentEngine().polynomialDegree = degree;
    ASSERT_EQ(FitRoutineOf(502)(doc_, 502), 0);
    ASSERT_EQ(ScoreOf(502), 0.0f) << "degree " << degree << " ties";
  }
  ASSERT_EQ(FitRoutineOf(501)(doc_, 501), 0);
  ASSERT_EQ(ScoreOf(501), 0.0f);
  CurrentEngine().polynomialDegree = 6;
  EXPECT_EQ(FitHunterSearch(doc_, 8, CLASS_LINEAR | CLASS_POLYNOMIAL), 500);
  EXPECT_EQ(CurrentEngine().polynomialDegree, 3);
  EXPECT_EQ(doc_.modelIntegers[2], 3) << "the slot holds the kept degree";
  EXPECT_EQ(CurrentSession().modelDialogs.polynomial, 1) << "the polynomial was not chosen";

  // Two points: every two-parameter fit scores exactly 0.
  LoadPoints({1, 2}, {2, 4});
  EXPECT_EQ(FitHunterSearch(doc_, 8, kSearchGroupsMask), 500);
  const std::vector<RankingEntry> ranking = RankFittedModels(doc_);
  ASSERT_GE(ranking.size(), 2u);
  EXPECT_EQ(ranking[1].score, 0.0f) << "a later model tied with the linear fit";
}

TEST_F(FitHunterTest, SkipsDisabledModelsAndInterpolations) {
  Load([](double x) { return 1 + x * x; }, 0, 4, 12);  // x = 0 greys ten models
  ASSERT_NE(FitHunterSearch(doc_, 4, kAllGroupsMask), -1);
  for (int id : {505, 506, 507, 508, 513, 514, 516, 523, 531, 532}) EXPECT_EQ(doc_.Slot(id).valid, 0) << id;
  for (int id = 534; id <= 538; ++id) EXPECT_EQ(doc_.Interp(id).valid, 0) << id;
  EXPECT_EQ(doc_.Slot(509).valid, 1);
}

TEST_F(FitHunterTest, AnAbortEndsTheSearchWithTheDegreeRestored) {
  Load([](double x) { return 2.5 * std::pow(x, 1.3); }, 1, 10, 30);
  CurrentEngine().polynomialDegree = 6;
  SetCalculationMode(2);
  // The fits run unattended; the abort comes while degree 5 is fitted.
  StopAtFirstPump(kStopAbort, [] { return CurrentEngine().unattended && CurrentEngine().polynomialDegree == 5; });
  EXPECT_THROW(FitHunterSearch(doc_, 8, CLASS_POLYNOMIAL | CLASS_POWER), errnotify);
  EXPECT_EQ(ErrorInfo.id, kErrStoppedInSearch);
  EXPECT_EQ(CurrentEngine().unattended, 0);
  EXPECT_EQ(CurrentEngine().polynomialDegree, 6);
  EXPECT_EQ(doc_.Slot(509).valid, 0) << "models after the abort were not fitted";
  EXPECT_TRUE(ui_.EventsOf(UiEvent::Kind::ErrorReport).empty());
}

TEST_F(FitHunterTest, RankingListsFittedRegressionsByScore) {
  Load([](double x) { return 1 + 2 * x + std::sin(x); }, 0, 9, 10);
  for (int id : {500, 501, 502, 537}) FitRoutineOf(id)(doc_, id);
  DispatchFitCommand(doc_, kWeightingX);  // fitted under another scheme still ranks
  RebuildRankingList(doc_);
  const auto& entries = CurrentSession().ranking.entries;
  ASSERT_EQ(entries.size(), 3u) << "the cubic spline is an interpolation";
  EXPECT_EQ(entries[0].modelId, 502);
  EXPECT_EQ(entries[2].modelId, 500);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    EXPECT_EQ(entries[i].rank, static_cast<int>(i) + 1);
    if (i > 0) {
      EXPECT_LE(entries[i - 1].score, entries[i].score);
    }
  }
  EXPECT_EQ(CurrentSession().ranking.Lines()[2], "3\tLinear Regression");
}

TEST_F(FitHunterTest, TheAcceleratorSearchesAndOpensTheBestWindow) {
  Load([](double x) { return x * x * x - 2 * x + 1; }, -2, 2, 12);
  CurrentEngine().polynomialDegree = 7;
  const FitHunterOutcome outcome = FitHunterCommand(doc_, 1);
  EXPECT_EQ(outcome.end, FitHunterEnd::Found);
  ASSERT_EQ(outcome.best, 502);
  EXPECT_EQ(CurrentEngine().polynomialDegree, 3);
  EXPECT_EQ(WindowOf(502)->title, "3rd degree Polynomial Fit");
  EXPECT_TRUE(WindowOf(502)->visible);
  EXPECT_EQ(CurrentSession().modelDialogs.polynomial, 1) << "the window opened without the dialog and the flag is set again";
  EXPECT_TRUE(ui_.EventsOf(UiEvent::Kind::GroupsDialog).empty());
  EXPECT_EQ(CalculationModes(), (std::vector<int>{2, 0}));
  EXPECT_EQ(CurrentSession().graphQueue.Count(), 1);
}

TEST_F(FitHunterTest, TheMenuAsksWithTheDialog) {
  Load([](double x) { return 1 + 2 * x; }, 0, 9, 10);
  ui_.SetGroupsDialogHandler([](const platform::ModelGroupsDialogRequest& request) {
    EXPECT_TRUE(request.fitHunter);
    EXPECT_EQ(request.checkedMask, kSearchGroupsMask);
    EXPECT_EQ(request.degreeText, "4");
    EXPECT_EQ(request.spinUpper, 9);
    EXPECT_FALSE(request.accept(CLASS_POLYNOMIAL, "9")) << "not below n - 1";
    EXPECT_FALSE(request.accept(CLASS_POLYNOMIAL, "x"));
    return request.accept(CLASS_LINEAR, "junk");  // the field is not read without the polynomial
  });
  const FitHunterOutcome outcome = FitHunterCommand(doc_, 0);
  EXPECT_EQ(outcome.best, 500);
  const auto boxes = ui_.EventsOf(UiEvent::Kind::MessageBox);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, platform::ResourceString(1));
  EXPECT_EQ(ui_.EventsOf(UiEvent::Kind::Beep).size(), 1u);

  ui_.SetGroupsDialogHandler([](const platform::ModelGroupsDialogRequest&) { return false; });
  EXPECT_EQ(FitHunterCommand(doc_, 0).end, FitHunterEnd::Cancelled);
}

// Two points at the same x: no growth model can pass through both. (Two
// points at different x are passed through exactly by some growth models,
// which end converged there.)
TEST_F(FitHunterTest, NothingFoundAndAbortedEndQuietlyIdle) {
  LoadPoints({1, 1}, {2, 4});
  CurrentEngine().polynomialDegree = 7;
  ui_.SetGroupsDialogHandler([](const platform::ModelGroupsDialogRequest& r) { return r.accept(CLASS_GROWTH, ""); });
  EXPECT_EQ(FitHunterCommand(doc_, 0).end, FitHunterEnd::NotFound);
  EXPECT_EQ(CurrentEngine().unattended, 0);
  EXPECT_EQ(CurrentEngine().polynomialDegree, 7);
  ASSERT_EQ(ui_.EventsOf(UiEvent::Kind::MessageBox).size(), 1u);
  EXPECT_EQ(ui_.EventsOf(UiEvent::Kind::MessageBox)[0].text, platform::ResourceString(8));

  Load([](double x) { return 2.5 * std::pow(x, 1.3); }, 1, 10, 30);
  StopAtFirstPump(kStopAbort);
  EXPECT_EQ(FitHunterCommand(doc_, 1).end, FitHunterEnd::Aborted);
  EXPECT_EQ(CurrentEngine().calcMode, 0);
  EXPECT_EQ(CurrentEngine().unattended, 0);
  EXPECT_EQ(CurrentSession().graphQueue.Count(), 0);
}

TEST_F(FitHunterTest, CalculateGroupsOpensAWindowPerModel) {
  Load([](double x) { return 1 + 2 * x + std::sin(x); }, 0.5, 6, 12);
  std::vector<GroupRunEntry> log;
  EXPECT_EQ(CalculateGroupsRun(doc_, CLASS_INTERPOLATION | CLASS_LINEAR | CLASS_POLYNOMIAL, &log), 0);
  std::vector<int> sent;
  for (const GroupRunEntry& e : log) sent.push_back(e.modelId);
  EXPECT_EQ(sent, (std::vector<int>{500, 501, 502, 534, 535, 536, 537, 538})) << "never the plot";
  for (int id : sent) EXPECT_NE(CurrentSession().graphQueue.Find(id), kNoWindow) << id;
  EXPECT_TRUE(ui_.EventsOf(UiEvent::Kind::DegreeDialog).empty());
  EXPECT_TRUE(ui_.EventsOf(UiEvent::Kind::TensionDialog).empty());
  EXPECT_EQ(CurrentSession().modelDialogs.polynomial + CurrentSession().modelDialogs.tension + CurrentSession().modelDialogs.userModel, 3);
  EXPECT_EQ(CurrentEngine().unattended, 0);
  EXPECT_EQ(CurrentEngine().calcMode, 0);

  // The groups' windows are replaced, so a second run still opens windows.
  EXPECT_EQ(CalculateGroupsRun(doc_, CLASS_LINEAR), 0);
  EXPECT_EQ(CurrentSession().graphQueue.Count(), 8);
}

// The paragraphs of a message's text after its first one.
std::vector<std::string> ListedParagraphs(const std::string& text) {
  std::vector<std::string> paragraphs;
  std::size_t at = text.find("\n\n");
  while (at != std::string::npos) {
    at += 2;
    const std::size_t end = text.find("\n\n", at);
    paragraphs.push_back(text.substr(at, end == std::string::npos ? std::string::npos : end - at));
    at = end;
  }
  return paragraphs;
}

// A paragraph that heads a list of models with their shared reason.
std::string SharedReason(const std::string& reason, const std::vector<std::string>& names) {
  std::string text = reason.substr(0, reason.size() - 1) + ":\n";
  for (std::size_t i = 0; i < names.size(); ++i) text += (i ? ", " : "") + names[i];
  return text + ".";
}

// A run ends with one message that names every model that failed and why:
// models greyed for these data and models whose guesses failed each under
// their shared reason, a report that names its model on its own; no model
// that succeeded. A run where every model succeeded ends in silence.
TEST_F(FitHunterTest, CalculateGroupsEndsNamingTheModelsThatFailedAndWhy) {
  Load([](double x) { return 3 * std::exp(0.25 * x); }, 0, 8, 30, 0.01);  // x = 0
  std::vector<GroupRunEntry> log;
  EXPECT_EQ(RunCalculateGroups(doc_, CLASS_EXPONENTIAL | CLASS_POWER | CLASS_INTERPOLATION, &log), 0);
  const auto boxes = ui_.EventsOf(UiEvent::Kind::MessageBox);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, platform::ResourceString(47));
  std::vector<int> failed;
  for (const GroupRunEntry& entry : log) {
    EXPECT_EQ(entry.result == kWindowOpened, entry.reason.empty()) << entry.modelId;
    if (!entry.reason.empty()) failed.push_back(entry.modelId);
  }
  EXPECT_EQ(failed, (std::vector<int>{505, 506, 507, 508, 509, 511, 512, 513, 514, 515, 516, 534}));
  const auto names = [this](std::vector<int> ids) {
    std::vector<std::string> out;
    for (int id : ids) out.push_back(ModelName(doc_, id));
    return out;
  };
  const std::vector<std::string> listed = ListedParagraphs(boxes[0].text);
  ASSERT_EQ(listed.size(), 3u) << boxes[0].text;
  EXPECT_EQ(listed[0],
            SharedReason(std::string(platform::ResourceString(158)), names({505, 506, 507, 508, 513, 514, 516})));
  EXPECT_EQ(listed[1], SharedReason("The initial guesses could not be computed automatically for these data.",
                                    names({509, 511, 512, 515})));
  EXPECT_EQ(listed[2].rfind("There are too many data points for " + ModelName(doc_, 534) + ":", 0), 0u) << listed[2];

  EXPECT_EQ(RunCalculateGroups(doc_, CLASS_LINEAR), 0);
  EXPECT_EQ(ui_.EventsOf(UiEvent::Kind::MessageBox).size(), 1u) << "every model succeeded";
}

TEST_F(FitHunterTest, CalculateGroupsSaysWhereAnAbortStoppedItAndWhenNothingOpened) {
  Load([](double x) { return 3 * std::exp(0.25 * x); }, 0.5, 8, 30);
  StopAtFirstPump(kStopAbort, [] { return CurrentEngine().calcMode == 2; });
  std::vector<GroupRunEntry> log;
  EXPECT_EQ(RunCalculateGroups(doc_, CLASS_EXPONENTIAL | CLASS_POWER, &log), 0);
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].result, kWindowError);
  EXPECT_EQ(CurrentSession().modelDialogs.polynomial, 1);
  EXPECT_EQ(CurrentEngine().unattended, 0);
  ASSERT_EQ(ui_.EventsOf(UiEvent::Kind::MessageBox).size(), 1u);
  const std::string stopped = ui_.EventsOf(UiEvent::Kind::MessageBox)[0].text;
  EXPECT_EQ(stopped.rfind("Calculate Groups was stopped during " + ModelName(doc_, 504) + "; ", 0), 0u) << stopped;
  EXPECT_NE(stopped.find("Graph windows opened: 0."), std::string::npos) << stopped;

  ui_.SetPumpHook(nullptr);
  LoadPoints({1, 1}, {2, 4});
  EXPECT_EQ(RunCalculateGroups(doc_, CLASS_GROWTH), -1);
  const auto boxes = ui_.EventsOf(UiEvent::Kind::MessageBox);
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[1].text.rfind(std::string(platform::ResourceString(48)) + "\n\n", 0), 0u) << boxes[1].text;
  EXPECT_EQ(ListedParagraphs(boxes[1].text).size(), 2u) << boxes[1].text;  // a divergence; two failed guesses
}

TEST_F(FitHunterTest, DialogRules) {
  // With 4 points the polynomial box is cleared and disabled, also by select all.
  Load([](double x) { return x; }, 1, 4, 4);
  const GroupsDialogSetup setup = GroupsDialogOpening(doc_, true);
  EXPECT_EQ(setup.checkedMask, kAllGroupsMask & ~CLASS_POLYNOMIAL);
  EXPECT_EQ(SelectAllGroups(setup), setup.checkedMask);

  struct Case {
    int mask;
    const char* text;
    int points;
    SearchDialogVerdict verdict;
    int maxDegree;
  };
  const Case cases[] = {
      {CLASS_POLYNOMIAL, "3", 5, SearchDialogVerdict::Accepted, 3},       // 3 < n - 1
      {CLASS_POLYNOMIAL, "4", 5, SearchDialogVerdict::DegreeRefused, 0},  // not below n - 1
      {CLASS_POLYNOMIAL, "2", 40, SearchDialogVerdict::DegreeRefused, 0},
      {CLASS_POLYNOMIAL, "7", 40, SearchDialogVerdict::DegreeRefused, 0},  // above MaxPolyDegree
      {CLASS_POLYNOMIAL, " 6", 40, SearchDialogVerdict::Accepted, 6},
      {CLASS_POLYNOMIAL, "six", 40, SearchDialogVerdict::NotANumber, 0},
      {CLASS_POWER, "six", 40, SearchDialogVerdict::Accepted, 3},  // the field is not read
  };
  for (const Case& c : cases) {
    const SearchDialogCheck check = CheckFitHunterDialog(c.mask, c.text, c.points, 6);
    EXPECT_EQ(check.verdict, c.verdict) << c.text << " with " << c.points << " points";
    if (c.verdict == SearchDialogVerdict::Accepted) {
      EXPECT_EQ(check.request.maxDegree, c.maxDegree);
      EXPECT_EQ(check.request.classMask, c.mask);
    }
    EXPECT_EQ(check.warning.has_value(), c.verdict == SearchDialogVerdict::DegreeRefused);
  }
}

}  // namespace
}  // namespace trendolin
