// The worst inputs a person can hand the loops whose length the data or the
// settings decide: each must end, and soon. A quadratic sort or an unbounded
// search would take hours on these, so the generous time limits below only
// catch a loop that lost its bound.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <cmath>
#include <string>
#include <vector>

#include "app/app_settings.h"
#include "data/curve_fit.h"
#include "fit/analysis.h"
#include "fit/derivatives.h"
#include "session/drivers.h"
#include "session/fit_hunter.h"
#include "fit/engine_state.h"
#include "session/interpolation_drivers.h"
#include "session/graph_queue.h"
#include "session/headless_graph_host.h"
#include "platform/headless_ui.h"
#include "platform/profile_file.h"
#include "precision/errors.h"
#include "session/session.h"
#include "usermodel/interpreter.h"

namespace trendolin {
namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

constexpr double kPlentyOfTime = 20.0;  // seconds, even under the sanitizers
constexpr int kMillion = 1000000;

void FillPoints(CurveFit& doc, int n, const std::function<float(int)>& x, const std::function<float(int)>& y) {
  doc.ResetData();
  doc.AllocateData(n, 2, 0);
  for (int i = 0; i < n; ++i) {
    doc.At(i, 0) = x(i);
    doc.At(i, 1) = y(i);
  }
  doc.bStatsStale = 1;
}

class HangGuardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CurrentSession().graphQueue.SetHost(&host_);
  }
  void TearDown() override {
    CurrentSession().graphQueue.CloseAll();
    CurrentSession().graphQueue.SetHost(nullptr);
    ClearErrorInfo();
  }

  platform::HeadlessUi ui_{platform::HeadlessUi::Mode::Unattended};
  platform::ScopedUi installed_{ui_};
  HeadlessGraphHost host_;
  CurveFit doc_;
};

TEST_F(HangGuardTest, SortOfAMillionPointsEndsWhateverTheirOrder) {
  const std::vector<std::pair<const char*, std::function<float(int)>>> orders = {
      {"all equal", [](int) { return 1.0f; }},
      {"two values", [](int i) { return static_cast<float>(i % 2); }},
      {"descending", [](int i) { return static_cast<float>(kMillion - i); }},
      {"organ pipe", [](int i) { return static_cast<float>(i < kMillion / 2 ? i : kMillion - i); }},
  };
  for (const auto& [name, x] : orders) {
    FillPoints(doc_, kMillion, x, [](int i) { return static_cast<float>(i); });
    const Clock::time_point start = Clock::now();
    ASSERT_EQ(doc_.SortData(0), 0) << name;
    EXPECT_LT(SecondsSince(start), kPlentyOfTime) << name;
    for (int i = 1; i < kMillion; ++i) {
      ASSERT_LE(doc_.At(i - 1, 0), doc_.At(i, 0)) << name << " at " << i;
    }
  }
}

TEST_F(HangGuardTest, EverySplineOfEqualXEndsInAnAnswer) {
  // A million equal x values, and as many as each interpolation accepts.
  for (int id = kFirstInterpolation; id <= 538; ++id) {
    for (int n : {kMillion, kSplinePointLimit - 1, kQuadraticSplineMaxPoints, CurrentSession().settings.maxPolyDegree + 1}) {
      FillPoints(doc_, n, [](int) { return 2.0f; }, [](int i) { return static_cast<float>(i % 7); });
      Reexamine(doc_, 0);
      CurrentSession().modelDialogs.tension = 0;
      const Clock::time_point start = Clock::now();
      ClearErrorInfo();
      try {
        DispatchFitCommand(doc_, id);
      } catch (const errnotify&) {
      }
      EXPECT_LT(SecondsSince(start), kPlentyOfTime) << id << " with " << n;
      EXPECT_FALSE(FitIsCurrent(doc_, id)) << id << " with " << n << ": equal x cannot be interpolated";
      CurrentSession().graphQueue.CloseAll();
    }
  }
}

// A root finder that never finds a root and an integral that never settles
// stop at their step limits.
TEST_F(HangGuardTest, NewtonAndRombergStopAtTheirLimits) {
  long calls = 0;
  const NewtonFunction noRoot = [](const void* counter, datatype t) {
    ++*static_cast<long*>(const_cast<void*>(counter));
    return t * t + 1.0f;
  };
  try {
    NewtonRoot(noRoot, &calls, 3.0f);
  } catch (const errnotify&) {
  }
  EXPECT_GT(calls, 0);
  EXPECT_LE(calls, 3 * 500 + 1);

  long evaluations = 0;
  IntegrationRequest request;
  request.integrand = [&evaluations](datatype x) {
    ++evaluations;
    return std::sin(1.0f / (x * x + 1e-30f)) * 1e6f;
  };
  request.a = -1.0f;
  request.b = 1.0f;
  try {
    Romberg(request);
  } catch (const errnotify&) {
  }
  EXPECT_LE(evaluations, 4100 + 10);
}

// The interpreter reads what it is given once: a formula of a million
// characters, or a thousand nested brackets, is answered at once.
TEST_F(HangGuardTest, HugeFormulasAreAnsweredAtOnce) {
  const DataSummary data{};
  const datatype parameters[19] = {};
  const std::vector<std::string> formulas = {
      std::string(kMillion, '('),
      std::string(kMillion / 2, '-') + "x",
      "x" + std::string(kMillion / 2, '+'),
      std::string(1000, '(') + "x" + std::string(1000, ')'),
  };
  for (const std::string& f : formulas) {
    const Clock::time_point start = Clock::now();
    const int params = NumberofParams(f);
    EXPECT_GE(params, -1);
    try {
      InterpretFormula(f, 0, parameters, 1.0f, data, true);
      InterpretFormula(f, 0, parameters, 1.0f, data, false);
    } catch (const errnotify&) {
    }
    EXPECT_LT(SecondsSince(start), kPlentyOfTime) << f.substr(0, 20);
  }
}

// The counts in the settings file are a hand edit away from any number: a
// huge one must neither send the search through degrees no polynomial fit
// takes nor let one fit allocate histories of billions of iterations.
TEST_F(HangGuardTest, SettingsFileCountsStayWithinWhatTheProgramTakes) {
  platform::ProfileFile file;
  for (const char* key : {"MaxPolyDegree", "MaxIterations", "DivergeIterations", "UndoLevels"}) {
    file.Set(kSettingsSection, key, "2147483647");
  }
  CurrentSession().settings = ReadAppSettings(file);
  EXPECT_EQ(CurrentSession().settings.maxPolyDegree, 19);
  EXPECT_LE(CurrentSession().settings.maxIterations, 99999);
  EXPECT_LE(CurrentSession().settings.divergeIterations, 9999);
  EXPECT_LE(CurrentSession().settings.undoLevels, 99);
  file.Set(kSettingsSection, "UndoLevels", "-1");
  EXPECT_EQ(ReadAppSettings(file).undoLevels, 0) << "a negative depth would never trim the history";

  FillPoints(doc_, 5000, [](int i) { return static_cast<float>(i) / 100; },
             [](int i) { return std::cos(static_cast<float>(i) / 700); });
  Reexamine(doc_, 0);
  const Clock::time_point start = Clock::now();
  FitHunterSearch(doc_, CurrentSession().settings.maxPolyDegree, CLASS_POLYNOMIAL);
  EXPECT_LT(SecondsSince(start), kPlentyOfTime);
  EXPECT_LE(CurrentEngine().polynomialDegree, 19);
}

}  // namespace
}  // namespace trendolin
