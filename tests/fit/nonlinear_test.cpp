// Nonlinear regression: recovery of known parameters for every built-in
// model, the ways a fit ends, its messages, histories and faults.
#include "fit/nonlinear.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "app/app_settings.h"
#include "app/error_handle.h"
#include "app/run_flags.h"
#include "data/curve_fit.h"
#include "data/data_test_support.h"
#include "data/document_hooks.h"
#include "fit/derivatives.h"
#include "fit/engine_state.h"
#include "fit/model_desc.h"
#include "fit/model_functions.h"
#include "fit/nonlinear_passes.h"
#include "platform/debug_log.h"
#include "platform/headless_ui.h"
#include "platform/resource_strings.h"
#include "precision/errors.h"
#include "session/nonlinear_routine.h"
#include "session/session.h"
#include "support/normal_noise.h"
#include "support/temp_dir.h"

namespace trendolin {
namespace {

using platform::HeadlessUi;
using platform::UiEvent;

using testsupport::Noise;

// n points of model `id` with parameters p on [x0, x1], with relative noise.
void FillModelData(CurveFit& doc, int id, const std::vector<float>& p, float x0, float x1, int n,
                   double relativeNoise = 0, std::uint32_t seed = 2024) {
  const ModelFunction f = ModelFunctionOf(id);
  Noise noise(seed);
  doc.ResetData();
  doc.AllocateData(n, 2, 0);
  for (int i = 0; i < n; ++i) {
    const float x = x0 + (x1 - x0) * static_cast<float>(i) / static_cast<float>(n - 1);
    doc.At(i, 0) = x;
    doc.At(i, 1) = static_cast<float>(f(p.data(), x) * (1.0 + relativeNoise * noise.Next()));
  }
  doc.bStatsStale = 1;
  doc.CalcDataStats();
}

using testsupport::FillColumns;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

datatype ChiSquareAt(const CurveFit& doc, int id, const float* p) {
  const ModelFunction f = ModelFunctionOf(id);
  datatype sum = 0;
  for (int k = 0; k < doc.nPoints; ++k) {
    const datatype r = doc.At(k, 1) - f(p, doc.At(k, 0));
    sum = sum + r * r;
  }
  return sum;
}

class NonlinearTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearErrorInfo();
    // Log sites write to the console sink; no log file is opened.
    SetConsoleSink([this](std::string_view text) { log_ += text; });
    DebugFlags = 2;
  }
  void TearDown() override {
    DebugFlags = 0;
    SetConsoleSink({});
  }

  // The dialog accepts `guesses` (when given) and cancels every later call.
  void AnswerDialogOnce(std::vector<float> guesses = {}) {
    ui_.SetGuessDialogHandler([this, guesses](int, int m, float* g) {
      if (++dialogs_ > 1) return false;
      for (int i = 0; i < m && i < static_cast<int>(guesses.size()); ++i) g[i] = guesses[static_cast<std::size_t>(i)];
      return true;
    });
  }
  std::vector<std::string> Reports() const {
    std::vector<std::string> texts;
    for (const UiEvent& e : ui_.EventsOf(UiEvent::Kind::ErrorReport)) texts.push_back(e.text);
    return texts;
  }
  static std::string ReportText(int errorId, int fitId, const char* routine) {
    ErrorRecord r;
    r.id = errorId;
    r.FitId = fitId;
    r.routine = routine;
    return ErrorMessage(r);
  }
  std::size_t Count(const std::string& text) const {
    std::size_t count = 0;
    for (std::size_t at = log_.find(text); at != std::string::npos; at = log_.find(text, at + 1)) ++count;
    return count;
  }
  std::vector<float> Coefficients(int id) { return doc_.Slot(id).coefficients; }

  testsupport::TempDir dir_;
  testsupport::ScopedCurrentDir cwd_{dir_.Path()};
  HeadlessUi ui_;
  platform::ScopedUi installed_{ui_};
  CurveFit doc_;
  std::string log_;
  int dialogs_ = 0;
};

// ---- recovery of known parameters ----

// How a model's fit starts on noise-free data.
enum class Start {
  Automatic,  // from its automatic guesses
  Exact,      // its guesses pass exactly through data points: already the minimum
  Supplied,   // its guess strategy cannot work: the Rational Function always
              // starts from (1, 1, 0, 0) whatever the data, so the test types
              // a start 20% off the truth into the dialog (InitGuess = 1)
};

struct ModelCase {
  int id;
  std::vector<float> truth;
  float x0, x1;  // where the model is defined and its parameters matter
  Start start = Start::Automatic;
};

const std::vector<ModelCase> kModelCases = {
    {504, {2, 0.5f}, 0, 4},
    {505, {2, 1.5f}, 1, 5},
    {506, {1, 2}, 1, 10, Start::Exact},
    {507, {1, 0.5f}, 1, 10, Start::Exact},
    {508, {1, -2, 0.5f}, 1, 10},
    {509, {2, 1.5f}, 1, 10},
    {510, {2, 1.3f}, 0, 5},
    {511, {2, 0.5f, 1.5f}, 1, 10},
    {512, {1.5f, 0.3f}, 1, 5},
    {513, {1.5f, 2}, 1, 10},
    {514, {2, 3}, 1, 10},
    {515, {2, 1.2f, 0.5f}, 1, 10},
    {516, {2, 3, 0.5f}, 1, 10},
    {517, {0.5f, 1}, 0, 10},
    {518, {1, 0.5f, 0.1f}, 0, 10},
    {519, {1, 0.5f, 2}, 0, 10},
    {520, {1, 0.5f, 0.7f}, 1, 10},
    {521, {10, 2, 0.8f}, 0, 10},
    {522, {10, 20, 1}, 0, 10},
    {523, {10, 8, 0.3f, 1.5f}, 0.5f, 10},
    {524, {1, 2, 10, 1.5f}, 0.5f, 10},
    {525, {10, 5, 1, 1}, 0, 10},
    {526, {10, 2}, 0.5f, 10},
    {527, {10, 0.5f}, 0, 10},
    {528, {10, 1.5f, 0.5f}, 0, 10},
    {529, {3, 2, 1.2f, 0.5f}, 0, 10},
    {530, {5, 4, 1.5f}, 0, 8},
    {531, {2, 3}, 1, 10},
    {532, {1, 0.5f, 2}, 1, 10, Start::Exact},
    {533, {1, 2, 0.3f, 0.05f}, 0, 10, Start::Supplied},
};

constexpr int kRecoveryPoints = 40;

// Noise-free data: the fit ends at the resolution of single precision, which
// leaves the parameters within about 1e-6 of the truth (relative) for every
// model here; 1e-4 gives ample headroom. Models whose guesses pass exactly
// through data points start at the minimum: the fit ends there at once,
// without a report or the dialog.
TEST_F(NonlinearTest, EveryModelRecoversItsParametersFromNoiseFreeData) {
  for (const ModelCase& c : kModelCases) {
    SCOPED_TRACE(c.id);
    FillModelData(doc_, c.id, c.truth, c.x0, c.x1, kRecoveryPoints);
    CurrentSession().settings.initGuess = c.start == Start::Supplied ? 1 : 0;
    int dialogs = 0;
    ui_.SetGuessDialogHandler([&](int, int m, float* g) {
      ++dialogs;
      for (int i = 0; i < m; ++i) g[i] = c.start == Start::Supplied ? c.truth[i] * 1.2f : g[i] * 1.05f;
      return true;
    });
    ui_.ClearEvents();
    ASSERT_EQ(NonlinearPrepareFit(doc_, c.id), 0);
    EXPECT_EQ(doc_.FittedMark(c.id), kWeightingNone);
    EXPECT_TRUE(Reports().empty());
    EXPECT_EQ(dialogs, c.start == Start::Supplied ? 1 : 0);
    if (c.start == Start::Exact) {
      EXPECT_LE(doc_.Slot(c.id).iterationCount, 1);
    }
    for (std::size_t i = 0; i < c.truth.size(); ++i) {
      EXPECT_NEAR(Coefficients(c.id)[i], c.truth[i], 1e-4 * std::max(1.0f, std::fabs(c.truth[i]))) << i;
    }
  }
}

// 1% noise: the estimates scatter around the truth by their standard errors,
// so each parameter must lie within five standard errors of it (the
// covariance is unscaled: se_i = sqrt(C_ii * chi2 / (n - m))), and the fit
// must do at least as well as the true parameters.
TEST_F(NonlinearTest, EveryModelFitsNoisyDataWithinFiveStandardErrors) {
  for (const ModelCase& c : kModelCases) {
    SCOPED_TRACE(c.id);
    FillModelData(doc_, c.id, c.truth, c.x0, c.x1, kRecoveryPoints, 0.01);
    CurrentSession().settings.initGuess = c.start == Start::Supplied ? 1 : 0;
    ui_.SetGuessDialogHandler([&](int, int m, float* g) {
      for (int i = 0; i < m; ++i) g[i] = c.truth[i] * 1.2f;
      return true;
    });
    ui_.ClearEvents();
    ASSERT_EQ(NonlinearPrepareFit(doc_, c.id), 0);
    EXPECT_TRUE(Reports().empty());
    const FitResult& slot = doc_.Slot(c.id);
    const int m = static_cast<int>(c.truth.size());
    const datatype chi2 = slot.chiSquareHistory.back();
    EXPECT_LE(chi2, ChiSquareAt(doc_, c.id, c.truth.data()) * 1.0001f);
    for (int i = 0; i < m; ++i) {
      const double se = std::sqrt(slot.covariance[static_cast<std::size_t>(i * m + i)] * chi2 / (kRecoveryPoints - m));
      EXPECT_NEAR(slot.coefficients[static_cast<std::size_t>(i)], c.truth[static_cast<std::size_t>(i)], 5 * se) << i;
    }
  }
}

// ---- the ways a fit ends ----

TEST_F(NonlinearTest, ConvergedFitStoresCommentHistoriesStatisticsAndHistoryFile) {
  FillModelData(doc_, 523, {10, 8, 0.3f, 1.5f}, 0.5f, 10, kRecoveryPoints, 0.01);
  int previews = 0;
  Hooks().animatePreview = [&previews](int id) { previews += id == 523; };
  ASSERT_EQ(NonlinearPrepareFit(doc_, 523), 0);  // refuses a few steps on the way
  Hooks().animatePreview = {};
  const FitResult& slot = doc_.Slot(523);
  const auto& p = slot.parameterHistories;
  const int it = slot.iterationCount;
  EXPECT_EQ(doc_.GetFitComment(523),
            "The fit converged to a tolerance of 0.0001 in " + std::to_string(it) + " iterations. No weighting used. ");
  ASSERT_EQ(slot.chiSquareHistory.size(), static_cast<std::size_t>(it + 1));
  ASSERT_EQ(slot.parameterHistories.size(), 4u);
  EXPECT_EQ(p[2][0], CurrentEngine().guessVector[2]) << "iteration 0 holds the guesses";
  EXPECT_GT(slot.statistics[1], 0.99f);
  EXPECT_EQ(previews, it + 1) << "once per reported iteration, 0 included";
  EXPECT_EQ(ui_.PumpCount(), it + 1);
  EXPECT_EQ(CurrentEngine().calcMode, 0);
  EXPECT_FALSE(CurrentEngine().nonlinearFlags.guessesObtained);

  // The file holds the accepted point after each iteration; memory holds
  // every trial, so the file's chi-square is the lowest one tried so far.
  const auto lines = Lines(testsupport::ReadFile(dir_.File(kHistoryFileName)));
  ASSERT_EQ(lines.size(), static_cast<std::size_t>(it + 3));
  EXPECT_EQ(lines[0], "Model: " + DescriptorOf(doc_, 523).name);
  EXPECT_EQ(lines[1], "Iteration\tParameter Values...\tChi Square");
  EXPECT_EQ(lines[2], FormatText("0\t%.7g\t%.7g\t%.7g\t%.7g\t%.7g", p[0][0], p[1][0], p[2][0], p[3][0],
                                 slot.chiSquareHistory[0]));
  datatype lowest = slot.chiSquareHistory[0];
  bool rejected = false;
  for (int i = 1; i <= it; ++i) {
    rejected = rejected || !(slot.chiSquareHistory[static_cast<std::size_t>(i)] < lowest);
    lowest = std::min(lowest, slot.chiSquareHistory[static_cast<std::size_t>(i)]);
    const std::string& line = lines[static_cast<std::size_t>(i + 2)];
    EXPECT_EQ(line.substr(0, line.find('\t')), std::to_string(i));
    EXPECT_EQ(line.substr(line.rfind('\t') + 1), FormatText("%.7g", lowest)) << i;
  }
  EXPECT_TRUE(rejected) << "the case should include a refused step";

  // The test is relative: every step taken before the end lowered
  // chi-square by at least the tolerance times its value. The fit ends at a
  // step that lowered it by less, or at a refused one; either way the result
  // is the last point taken.
  datatype accepted = slot.chiSquareHistory[0];
  int taken = 0;
  for (int i = 1; i <= it; ++i) {
    const datatype trial = slot.chiSquareHistory[static_cast<std::size_t>(i)];
    if (!(trial < accepted)) continue;
    if (i < it) {
      EXPECT_GE(double{accepted} - trial, 0.0001 * accepted) << i;
    }
    accepted = trial;
    taken = i;
  }
  EXPECT_EQ(p[1][static_cast<std::size_t>(taken)], slot.coefficients[1]);
  EXPECT_EQ(lines.back(), FormatText("%d\t%.7g\t%.7g\t%.7g\t%.7g\t%.7g", it, slot.coefficients[0], slot.coefficients[1],
                                     slot.coefficients[2], slot.coefficients[3], lowest));
}

TEST_F(NonlinearTest, AFitGoesOnWithoutItsHistoryFileAndWithoutPumping) {
  std::filesystem::create_directory(dir_.File(kHistoryFileName));  // cannot be opened as a file
  CurrentSession().settings.SetFlag(kFlagBackgroundProcess, false);
  FillModelData(doc_, 504, {2, 0.5f}, 0, 4, 20, 0.01);
  ASSERT_EQ(NonlinearPrepareFit(doc_, 504), 0);
  EXPECT_EQ(doc_.FittedMark(504), kWeightingNone);
  EXPECT_EQ(ui_.PumpCount(), 0);
}

TEST_F(NonlinearTest, IterationLimitZeroEndsAtTheGuessesWithTheirCovariance) {
  FillModelData(doc_, 504, {2, 0.5f}, 0, 4, 20, 0.01);
  CurrentSession().settings.maxIterations = 0;
  ASSERT_EQ(NonlinearPrepareFit(doc_, 504), 0);
  const FitResult& slot = doc_.Slot(504);
  EXPECT_EQ(slot.iterationCount, 0);
  EXPECT_EQ(slot.coefficients[0], CurrentEngine().guessVector[0]);
  EXPECT_EQ(slot.coefficients[1], CurrentEngine().guessVector[1]);
  ASSERT_EQ(slot.chiSquareHistory.size(), 1u);
  EXPECT_EQ(doc_.GetFitComment(504),
            "The iteration count of 0 was exceeded.  The fit failed to converge to tolerance of 0.000100 (CHI2 at " +
                FormatText("%f", slot.chiSquareHistory[0]) + "). No weighting used. ");
  // The covariance is the inverse of the undamped normal matrix.
  NonlinearProblem problem;
  problem.m = 2;
  problem.modelFunction = ModelFunctionOf(504);
  problem.flags = kNlQuickDerivatives | kNlNoWeighting;
  problem.nPoints = doc_.nPoints;
  problem.x = doc_.Column(0);
  problem.y = doc_.Column(1);
  std::vector<float> a(4);
  PointPasses(problem).NormalSums(slot.coefficients.data(), nullptr, false, a.data(), 2);
  EXPECT_FLOAT_EQ(slot.covariance[1], slot.covariance[2]);
  for (int i = 0; i < 2; ++i) {
    for (int j = 0; j < 2; ++j) {
      const double product = double{a[2 * i]} * slot.covariance[j] + double{a[2 * i + 1]} * slot.covariance[2 + j];
      EXPECT_NEAR(product, i == j ? 1.0 : 0.0, 1e-3) << i << "," << j;
    }
  }
}

// The histories grow with the iterations made, not with the limit: a limit
// of a million costs no more than the default for a fit of a few steps.
// (Allocated for the limit, they took 2.3 GB at 10^8.)
TEST_F(NonlinearTest, HistoriesGrowWithTheIterationsMade) {
  FillModelData(doc_, 504, {2, 0.5f}, 0, 4, 20, 0.01);
  CurrentSession().settings.maxIterations = 1000000;
  ASSERT_EQ(NonlinearPrepareFit(doc_, 504), 0);
  const FitResult& slot = doc_.Slot(504);
  EXPECT_LT(slot.iterationCount, 20);
  EXPECT_EQ(slot.chiSquareHistory.size(), static_cast<std::size_t>(slot.iterationCount + 1));
  EXPECT_LT(slot.chiSquareHistory.capacity(), 100u);
  for (const auto& history : slot.parameterHistories) EXPECT_LT(history.capacity(), 100u);
}

// Guesses equal to the truth on noise-free data: chi-square is 0 and no
// step can lower it. That is the minimum, not a failure: the fit ends there
// at the first refused step, with the guesses as its result.
TEST_F(NonlinearTest, ExactStartConvergesAtOnce) {
  FillModelData(doc_, 504, {2, 0.5f}, 0, 4, 20);
  CurrentSession().settings.initGuess = 1;
  AnswerDialogOnce({2, 0.5f});
  ASSERT_EQ(NonlinearPrepareFit(doc_, 504), 0);
  EXPECT_TRUE(Reports().empty());
  EXPECT_EQ(dialogs_, 1);
  EXPECT_EQ(Coefficients(504), (std::vector<float>{2, 0.5f}));
  EXPECT_EQ(doc_.GetFitComment(504),
            "The fit converged to the resolution of single precision in 1 iterations. No weighting used. ");
  const auto lines = Lines(testsupport::ReadFile(dir_.File(kHistoryFileName)));
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines.back(), "1\t2\t0.5\t0");
}

// Fewer points than parameters: the minimum is a whole family of curves
// through the points, never a result; the fit still ends as diverged.
TEST_F(NonlinearTest, FewerPointsThanParametersNeverConverge) {
  FillColumns(doc_, {1, 2}, {2, 4});
  AnswerDialogOnce();
  EXPECT_EQ(NonlinearPrepareFit(doc_, 523), 1);
  const std::string diverged = ReportText(kErrSolverFailed, 523, "");
  EXPECT_EQ(Reports(), (std::vector<std::string>{diverged, diverged})) << "automatic guesses, then the dialog's";
  EXPECT_EQ(doc_.FittedMark(523), 0);
}

// All x equal: a + b ln(x) has one direction the data cannot see, and the
// float inverse of its singular normal matrix can come out with negative
// variances. The result is kept (the curve is the data's mean), but the
// comment says that its covariance means nothing.
TEST_F(NonlinearTest, AnUnusableCovarianceIsSaidInTheComment) {
  FillColumns(doc_, {2, 2, 2, 2}, {1, 2, 3, 4});
  CurrentSession().settings.initGuess = 1;
  CurrentSession().settings.maxIterations = 0;
  AnswerDialogOnce({1, 2});
  ASSERT_EQ(NonlinearPrepareFit(doc_, 506), 0);
  const std::vector<float>& c = doc_.Slot(506).covariance;
  ASSERT_FALSE(CovarianceUsable(c.data(), 2)) << c[0] << " " << c[3];
  const std::string comment = doc_.GetFitComment(506);
  EXPECT_NE(comment.find("No weighting used. The covariance matrix is not usable: "), std::string::npos) << comment;

  EXPECT_TRUE(CovarianceUsable(std::vector<float>{2, -1, -1, 2}.data(), 2));
  EXPECT_FALSE(CovarianceUsable(std::vector<float>{1, 2, 2, 1}.data(), 2)) << "a correlation of 2";
  EXPECT_FALSE(CovarianceUsable(std::vector<float>{0, 0, 0, 1}.data(), 2)) << "a variance of 0";
}

TEST_F(NonlinearTest, AcceptAtIterationFiveKeepsTheAcceptedPoint) {
  FillModelData(doc_, 522, {10, 20, 1}, 0, 10, 60, 0.01);
  CurrentSession().settings.initGuess = 1;
  CurrentSession().settings.nonlinearTolerance = 0;  // only the user or the last digit ends it
  AnswerDialogOnce({20, 100, 0.5f});
  ui_.SetPumpHook([this] {
    if (ui_.StatusText(2) == "5") RequestFitStop(kStopAccept);
  });
  ASSERT_EQ(NonlinearPrepareFit(doc_, 522), 0);
  const FitResult& slot = doc_.Slot(522);
  EXPECT_EQ(slot.iterationCount, 5);
  ASSERT_EQ(slot.chiSquareHistory.size(), 6u);
  ASSERT_EQ(slot.parameterHistories[0].size(), 6u);
  EXPECT_EQ(Lines(testsupport::ReadFile(dir_.File(kHistoryFileName))).size(), 8u);
  const datatype accepted = *std::min_element(slot.chiSquareHistory.begin(), slot.chiSquareHistory.end());
  EXPECT_EQ(doc_.GetFitComment(522), "The fit converged to a Chi Square level of " + FormatText("%g", accepted) +
                                         " in 5 iterations.  Aborted by user. No weighting used. ");
  EXPECT_EQ(doc_.FittedMark(522), kWeightingNone);
  EXPECT_GT(slot.covariance[0], 0.0f);
  EXPECT_EQ(CurrentEngine().nonlinearFlags.stopRequest, kStopAccept) << "cleared when the next fit starts";

  // The request left over does not touch the next fit.
  ui_.SetPumpHook({});
  CurrentSession().settings.nonlinearTolerance = 0.0001;
  dialogs_ = 0;
  ASSERT_EQ(NonlinearPrepareFit(doc_, 522), 0);
  EXPECT_NE(doc_.GetFitComment(522).find("converged to a tolerance"), std::string::npos);
}

TEST_F(NonlinearTest, AbortIsSilentAndDiscardsTheFit) {
  FillModelData(doc_, 522, {10, 20, 1}, 0, 10, 60, 0.01);
  CurrentSession().settings.nonlinearTolerance = 0;
  ui_.SetPumpHook([this] {
    if (ui_.StatusText(2) == "3") RequestFitStop(kStopAbort);
  });
  EXPECT_EQ(NonlinearPrepareFit(doc_, 522), 1);
  EXPECT_TRUE(Reports().empty());
  EXPECT_TRUE(ui_.EventsOf(UiEvent::Kind::GuessDialog).empty()) << "no retry after an abort";
  EXPECT_EQ(doc_.FittedMark(522), 0);
  EXPECT_TRUE(doc_.Slot(522).chiSquareHistory.empty());
  EXPECT_EQ(ErrorInfo.id, kErrUserStopped);
  EXPECT_EQ(CurrentEngine().calcMode, 0);
  EXPECT_FALSE(CurrentEngine().nonlinearFlags.discard);

  // During a batch the abort is passed on, so the whole run stops.
  CurrentEngine().calcMode = 2;
  EXPECT_THROW(NonlinearPrepareFit(doc_, 522), errnotify);
  EXPECT_EQ(ErrorInfo.id, kErrStoppedInSearch);
  EXPECT_EQ(ErrorInfo.FitId, 522);
}

// The damping: each trial solves (A + lambda diag A) delta = g at the
// accepted point, lambda starting at 0.001, divided by 10 after a step that
// lowers chi-square and multiplied by 10 after one that does not. Replayed
// here in double from the recorded trials.
TEST_F(NonlinearTest, LambdaStartsAtOneThousandthAndMovesTenfold) {
  FillModelData(doc_, 504, {2, 0.5f}, 0, 4, 25, 0.01);
  const ModelFunction f = ModelFunctionOf(504);
  const std::vector<float> start = {6, 0.1f};
  std::vector<float> parameters(2);
  NonlinearProblem problem;
  problem.m = 2;
  problem.parameters = parameters.data();
  problem.initial = start.data();
  problem.modelFunction = f;
  problem.tolerance = 0.0001f;
  problem.flags = kNlQuickDerivatives | kNlNoWeighting;
  problem.maxIterations = 100;
  problem.divergeLimit = 10;
  problem.nPoints = doc_.nPoints;
  problem.x = doc_.Column(0);
  problem.y = doc_.Column(1);
  problem.notify = [](NonlinearProblem&, int) { return 0; };
  ASSERT_EQ(MarqLev(problem), kMarqLevConverged);

  std::vector<float> p = start;
  datatype chi2 = problem.chiSquareHistory[0];
  double lambda = 0.001;
  int refused = 0;
  for (int it = 1; it <= problem.iteration; ++it) {
    double a00 = 0, a01 = 0, a11 = 0, g0 = 0, g1 = 0;
    for (int k = 0; k < problem.nPoints; ++k) {
      const double d0 = Partial(0, problem.x[k], p.data(), f, 2);
      const double d1 = Partial(1, problem.x[k], p.data(), f, 2);
      const double r = problem.y[k] - f(p.data(), problem.x[k]);
      a00 += d0 * d0, a01 += d0 * d1, a11 += d1 * d1, g0 += r * d0, g1 += r * d1;
    }
    a00 *= 1 + lambda, a11 *= 1 + lambda;
    const double det = a00 * a11 - a01 * a01;
    const std::vector<float> trial = {problem.parameterHistories[0][static_cast<std::size_t>(it)],
                                      problem.parameterHistories[1][static_cast<std::size_t>(it)]};
    EXPECT_NEAR(trial[0], p[0] + (g0 * a11 - g1 * a01) / det, 1e-3 * std::fabs(p[0])) << it;
    EXPECT_NEAR(trial[1], p[1] + (g1 * a00 - g0 * a01) / det, 1e-3 * std::fabs(p[1])) << it;
    const datatype trialChi2 = problem.chiSquareHistory[static_cast<std::size_t>(it)];
    if (trialChi2 < chi2) {
      p = trial, chi2 = trialChi2, lambda /= 10;
    } else {
      ++refused, lambda *= 10;
    }
  }
  EXPECT_GT(refused, 0) << "the start should be far enough to refuse a step";
  EXPECT_EQ(std::vector<float>(parameters), p);

  // Convergence compares the decrease with the tolerance times the
  // chi-square the step started from, strictly below.
  const auto first =
      static_cast<std::size_t>(std::find_if(problem.chiSquareHistory.begin() + 1, problem.chiSquareHistory.end(),
                                            [&](float c) { return c < problem.chiSquareHistory[0]; }) -
                               problem.chiSquareHistory.begin());
  const double before = problem.chiSquareHistory[0];
  const double share = (before - problem.chiSquareHistory[first]) / before;
  problem.tolerance = static_cast<datatype>(share * 0.999);
  ASSERT_EQ(MarqLev(problem), kMarqLevConverged);
  EXPECT_GT(problem.iteration, static_cast<int>(first));
  problem.tolerance = static_cast<datatype>(share * 1.001);
  ASSERT_EQ(MarqLev(problem), kMarqLevConverged);
  EXPECT_EQ(problem.iteration, static_cast<int>(first));
}

// ---- weighting ----

TEST_F(NonlinearTest, UncertaintyWeighting) {
  // Without an uncertainty column it is no weighting, and says so.
  FillModelData(doc_, 504, {2, 0.5f}, 0, 4, 20, 0.01);
  ASSERT_EQ(NonlinearPrepareFit(doc_, 504), 0);
  const std::vector<float> unweighted = Coefficients(504);
  CurrentSession().settings.weighting = kWeightingUncertainty;
  ASSERT_EQ(NonlinearPrepareFit(doc_, 504), 0);
  EXPECT_EQ(Coefficients(504), unweighted);
  EXPECT_NE(doc_.GetFitComment(504).find(" iterations. No weighting used. "), std::string::npos);
  EXPECT_EQ(doc_.FittedMark(504), kWeightingUncertainty);

  // Unit uncertainties weigh every point alike: the same numbers, another sentence.
  doc_.InsertColumn(1);
  for (int k = 0; k < doc_.nPoints; ++k) doc_.At(k, doc_.nColumns - 1) = 1;
  ASSERT_EQ(doc_.bUncertainty, 1);
  ASSERT_EQ(NonlinearPrepareFit(doc_, 504), 0);
  EXPECT_EQ(Coefficients(504), unweighted);
  EXPECT_NE(doc_.GetFitComment(504).find(" iterations. Regression weighted by uncertainty. "), std::string::npos);
}

// ---- initial guesses ----

TEST_F(NonlinearTest, FailedAutomaticGuessesWarnThenAskInTheSameAttempt) {
  FillColumns(doc_, {0, 1, 2, 3, 4}, {2, 3.3f, -1, 8.9f, 14.8f});  // ln of a negative y
  AnswerDialogOnce({2, 0.5f});
  ASSERT_EQ(NonlinearPrepareFit(doc_, 504), 0);
  const auto boxes = ui_.EventsOf(UiEvent::Kind::MessageBox);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, std::string(platform::ResourceString(14)));
  EXPECT_EQ(boxes[0].icon, platform::Icon::Exclamation);
  EXPECT_EQ(dialogs_, 1);
  EXPECT_TRUE(Reports().empty());
  EXPECT_EQ(Count("EX: NonlinearFit_1\n"), 1u);
  EXPECT_EQ(doc_.FittedMark(504), kWeightingNone);
}

// The dialog shows each model its own starting values, never what another
// model left behind: when the automatic guesses give nothing (Richards on
// level data finds no candidate; Gompertz fails), it shows the values the
// model's own last fit started from, or 1 for each parameter before that.
TEST_F(NonlinearTest, AModelWithoutAutomaticGuessesStartsFromItsOwnValues) {
  FillColumns(doc_, {1, 2, 3, 4, 5, 6}, {5, 5, 5, 5, 5, 5});
  CurrentSession().settings.initGuess = 1;  // the dialog before every fit
  CurrentEngine().startingGuesses.clear();  // no model has been fitted yet
  std::vector<std::pair<int, std::vector<float>>> shown;
  std::vector<std::vector<float>> typed;  // the next answers; an empty one cancels
  ui_.SetGuessDialogHandler([&](int id, int m, float* g) {
    shown.push_back({id, std::vector<float>(g, g + m)});
    if (typed.empty()) return false;
    const std::vector<float> answer = typed.front();
    typed.erase(typed.begin());
    if (answer.empty()) return false;
    std::copy(answer.begin(), answer.end(), g);
    return true;
  });
  const auto lastShown = [&](int id) {
    EXPECT_FALSE(shown.empty());
    if (shown.empty()) return std::vector<float>{};
    EXPECT_EQ(shown.back().first, id);
    return shown.back().second;
  };

  typed = {{2, 40, 0.6f, 0}, {}};
  NonlinearPrepareFit(doc_, 524);
  NonlinearPrepareFit(doc_, 525);
  EXPECT_EQ(lastShown(525), (std::vector<float>{1, 1, 1, 1}));
  typed = {{9, 8, 7, 6}, {}};
  NonlinearPrepareFit(doc_, 525);
  NonlinearPrepareFit(doc_, 521);
  EXPECT_EQ(lastShown(521), (std::vector<float>{1, 1, 1}));
  EXPECT_EQ(ui_.EventsOf(UiEvent::Kind::MessageBox).size(), 1u);  // Gompertz's guesses failed

  NonlinearPrepareFit(doc_, 525);
  EXPECT_EQ(lastShown(525), (std::vector<float>{9, 8, 7, 6}));
}

TEST_F(NonlinearTest, UnattendedFitsNeverAsk) {
  FillColumns(doc_, {0, 1, 2, 3, 4}, {2, 3.3f, -1, 8.9f, 14.8f});
  CurrentEngine().unattended = 1;
  CurrentEngine().calcMode = 2;
  AnswerDialogOnce({2, 0.5f});
  EXPECT_EQ(NonlinearPrepareFit(doc_, 504), 1);
  EXPECT_EQ(ErrorInfo.id, kErrGuessCancelled);
  EXPECT_EQ(dialogs_, 0);
  EXPECT_TRUE(ui_.EventsOf(UiEvent::Kind::MessageBox).empty());

  // A reported error ends the fit at once: no dialog, no report.
  FillColumns(doc_, {1, 2, -3, 4, 5}, {1, 2.4f, 3.2f, 3.8f, 4.2f});
  EXPECT_EQ(NonlinearPrepareFit(doc_, 506), 1);
  EXPECT_EQ(ErrorInfo.id, kErrSuppressed);
  EXPECT_EQ(dialogs_, 0);
  EXPECT_TRUE(Reports().empty());
}

// ---- faults ----

// ln of a negative x in the middle of the data: the guesses (through the
// first and last points) succeed, the iteration raises error 5.
TEST_F(NonlinearTest, ModelFaultIsReportedWithItsMarkersAndRetried) {
  FillColumns(doc_, {1, 2, -3, 4, 5}, {1, 2.4f, 3.2f, 3.8f, 4.2f});
  AnswerDialogOnce({1, 2});
  EXPECT_EQ(NonlinearPrepareFit(doc_, 506), 1);
  EXPECT_EQ(Reports(),
            (std::vector<std::string>{ReportText(kErrDomain, 506, "log"), ReportText(kErrDomain, 506, "log")}));
  EXPECT_EQ(dialogs_, 2);
  EXPECT_EQ(doc_.FittedMark(506), 0);
  for (const char* marker : {"EX: Partial_1\n", "EX: MarqLev_1\n", "EX: NonlinearFit_2\n"}) {
    EXPECT_EQ(Count(marker), 2u) << marker;
  }
  EXPECT_EQ(Count("EX: NonlinearPrepareFit_1\n"), 3u);
  const std::size_t partial = log_.find("EX: Partial_1\n");
  EXPECT_LT(partial, log_.find("EX: MarqLev_1\n"));
  EXPECT_LT(log_.find("EX: MarqLev_1\n"), log_.find("EX: NonlinearFit_2\n"));
  EXPECT_LT(log_.find("EX: NonlinearFit_2\n"), log_.find("EX: NonlinearPrepareFit_1\n"));
}

// Faults are raised in point order, as a trap would raise them, not by the
// priority of the flags: x = 0 divides by zero, a tiny x overflows b/x.
TEST_F(NonlinearTest, TheFirstFaultInPointOrderIsRaised) {
  // `lead` harmless points first: with many of them the points are
  // evaluated on several threads, and the faults fall in different parts.
  int lead = 0;
  auto firstFault = [&](std::vector<float> tail) {
    std::vector<float> x, y;
    for (int k = 0; k < lead; ++k) {
      x.push_back(1 + static_cast<float>(k % 100) / 100);
      y.push_back(3);
    }
    x.insert(x.end(), tail.begin(), tail.end());
    for (float v : {5, 4, 3, 2, 1, 1}) y.push_back(v);
    FillColumns(doc_, x, y);
    CurrentSession().settings.initGuess = 1;
    dialogs_ = 0;
    AnswerDialogOnce({1, 1});
    ui_.ClearEvents();
    EXPECT_EQ(NonlinearPrepareFit(doc_, 531), 1);
    const auto reports = Reports();
    return reports.empty() ? std::string() : reports.front();
  };
  for (int points : {0, 60000}) {
    SCOPED_TRACE(points);
    lead = points;
    EXPECT_EQ(firstFault({1, 2, 1e-39f, 3, 0, 4}), ReportText(kErrOverflow, 531, "unknown"));
    EXPECT_EQ(firstFault({1, 2, 0, 3, 1e-39f, 4}), ReportText(kErrDivideByZero, 531, "unknown"));
  }
}

// Where the arithmetic quietly gives not-a-numbers, no result is stored.
TEST_F(NonlinearTest, NotANumberNeverBecomesAResult) {
  CurrentSession().settings.initGuess = 1;

  // a = 0: b has no influence, its row of the matrix is all zero and every
  // step is not a number. Such a step is not lower: the fit diverges.
  FillModelData(doc_, 504, {2, 0.5f}, 0, 4, 20, 0.01);
  AnswerDialogOnce({0, 0.5f});
  EXPECT_EQ(NonlinearPrepareFit(doc_, 504), 1);
  EXPECT_EQ(Reports(), std::vector<std::string>{ReportText(kErrSolverFailed, 504, "")});
  EXPECT_EQ(doc_.FittedMark(504), 0);

  // 0/0 in the model at x = 0 (a*x/(x+b) with b = 0): chi-square is not a
  // number from the start, so no step is lower either.
  FillColumns(doc_, {0, 1, 2, 3, 4}, {0, 3, 5, 6, 6.5f});
  ui_.ClearEvents();
  dialogs_ = 0;
  AnswerDialogOnce({10, 0});
  EXPECT_EQ(NonlinearPrepareFit(doc_, 526), 1);
  EXPECT_EQ(Reports(), std::vector<std::string>{ReportText(kErrSolverFailed, 526, "")});

  // Stopped at once, that start would be a result: it is an invalid operation.
  ui_.ClearEvents();
  dialogs_ = 0;
  CurrentSession().settings.maxIterations = 0;
  EXPECT_EQ(NonlinearPrepareFit(doc_, 526), 1);
  EXPECT_EQ(Reports(), std::vector<std::string>{ReportText(kErrInvalidOperation, 526, "unknown")});
  EXPECT_EQ(doc_.FittedMark(526), 0);
  EXPECT_TRUE(doc_.GetFitComment(526).empty());
}

TEST_F(NonlinearTest, AsManyPointsAsParameters) {
  FillColumns(doc_, {1, 3}, {4, 9});
  ASSERT_EQ(NonlinearPrepareFit(doc_, 527), 0);
  EXPECT_EQ(doc_.Slot(527).statistics[0], 0.0f);
  EXPECT_EQ(doc_.Slot(527).statistics[1], 1.0f);
}

// ---- the passes ----

// The normal matrix and chi-square built from every point's derivatives,
// with the quick derivatives inlined and (for many points) the model
// evaluated on several threads, are bit for bit the element-by-element loop
// over Partial and the plain sum (chi-square's in double).
TEST_F(NonlinearTest, NormalSumsEqualThePlainLoopOverPartial) {
  for (const auto& [id, points] : std::vector<std::pair<int, int>>{{504, 301}, {515, 301}, {523, 301}, {529, 301},
                                                                    {533, 301}, {504, 9001}, {529, 20001}}) {
    for (unsigned weight : {kNlNoWeighting, kNlWeightY2, kNlWeightX}) {
      SCOPED_TRACE(::testing::Message() << id << " " << points << " " << weight);
      const ModelDesc desc = DescriptorOf(doc_, id);
      FillModelData(doc_, id, {1.5f, 1.1f, 0.7f, 0.9f}, 0.5f, 3, points, 0.05);
      NonlinearProblem problem;
      problem.modelId = id;
      problem.m = desc.m;
      problem.modelFunction = desc.modelFunction;
      problem.flags = kNlQuickDerivatives | weight;
      problem.nPoints = doc_.nPoints;
      problem.x = doc_.Column(0);
      problem.y = doc_.Column(1);
      const std::vector<float> p = {1.4f, 1.2f, 0.65f, 0.95f};
      const int m = desc.m;
      std::vector<float> a(static_cast<std::size_t>(m * (m + 1)));
      PointPasses(problem).NormalSums(p.data(), nullptr, true, a.data(), m + 1);
      for (int i = 0; i < m; ++i) {
        for (int j = 0; j <= m; ++j) {
          datatype sum = 0;
          for (int k = 0; k < problem.nPoints; ++k) {
            const datatype x = problem.x[k], y = problem.y[k];
            const datatype w = weight == kNlWeightY2 ? y * y : weight == kNlWeightX ? x : 1;
            const datatype di = Partial(i, x, p.data(), desc.modelFunction, m);
            const datatype dj =
                j < m ? Partial(j, x, p.data(), desc.modelFunction, m) : y - desc.modelFunction(p.data(), x);
            sum = sum + (j < m ? di * dj : dj * di) / w;
          }
          EXPECT_EQ(a[static_cast<std::size_t>(i * (m + 1) + j)], sum) << i << "," << j;
        }
      }
      std::vector<datatype> values;
      double chi = 0;  // float terms, summed in double and rounded once
      for (int k = 0; k < problem.nPoints; ++k) {
        const datatype x = problem.x[k], y = problem.y[k];
        const datatype w = weight == kNlWeightY2 ? y * y : weight == kNlWeightX ? x : 1;
        const datatype r = y - desc.modelFunction(p.data(), x);
        chi += datatype{r * r / w};
      }
      EXPECT_EQ(PointPasses(problem).ChiSquare(p.data(), values), static_cast<datatype>(chi));
      ASSERT_EQ(values.size(), static_cast<std::size_t>(problem.nPoints));
      EXPECT_EQ(values.back(), desc.modelFunction(p.data(), problem.x[problem.nPoints - 1]));
    }
  }
}

}  // namespace
}  // namespace trendolin
