// The cost of a user model: the formula "a*exp(b*x)" fitted through the
// expression interpreter against the built-in Exponential model (504) on the
// same data and from the same initial guesses, the point passes of one solver
// iteration of each, and one evaluation of each. After the runs the ratio of
// the medians (user / built-in) is printed.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "bench_support.h"
#include "app/app_settings.h"
#include "data/curve_fit.h"
#include "fit/model_desc.h"
#include "fit/model_functions.h"
#include "fit/nonlinear.h"
#include "fit/nonlinear_passes.h"
#include "platform/headless_ui.h"
#include "session/nonlinear_routine.h"
#include "session/session.h"
#include "usermodel/interpreter.h"
#include "usermodel/user_model.h"
#include "session/user_model_routine.h"
#include "session/fit_routine_table.h"
#include "session/session.h"

namespace {

using trendolin::CurveFit;
using trendolin::datatype;

constexpr int kExponential = 504;
constexpr const char* kFormula = "a*exp(b*x)";
// Both fits start here (the dialog gives them), so they walk the same path.
const std::vector<float> kStart = {1.5f, 0.4f};

// y = 2 exp(0.5 x) (1 + 0.01 N(0, 1)) on [0, 4], N from the fully specified mt19937.
void FillNoisy(CurveFit& doc, int n) {
  std::mt19937 engine(2024);
  doc.ResetData();
  doc.AllocateData(n, 2, 0);
  for (int i = 0; i < n; ++i) {
    const double normal = benchsupport::NormalSample(engine);
    const float x = 4.0f * static_cast<float>(i) / static_cast<float>(n - 1);
    doc.At(i, 0) = x;
    doc.At(i, 1) = static_cast<float>(2 * std::exp(0.5 * x) * (1.0 + 0.01 * normal));
  }
  doc.bStatsStale = 1;
  doc.CalcDataStats();
}

using benchsupport::ScratchFolder;

// One fit per benchmark iteration. The dialog is answered with kStart once
// per fit and cancelled if the same fit asks again (after an error), so a
// fit that ends diverged is not retried. Counters: "iterations" of the
// solver, "fitted" 1 when every fit stored a result.
void RunFits(benchmark::State& state, bool userModel) {
  const ScratchFolder scratch;
  const int n = static_cast<int>(state.range(0));
  trendolin::CurrentSession().settings = trendolin::DefaultAppSettings();
  trendolin::CurrentSession().settings.initGuess = 1;  // the built-in fit shows the dialog too
  platform::HeadlessUi ui;
  platform::ScopedUi installed(ui);
  bool asked = false;
  ui.SetGuessDialogHandler([&asked](int, int m, float* guesses) {
    if (asked) return false;
    asked = true;
    for (int i = 0; i < m; ++i) guesses[i] = kStart[static_cast<std::size_t>(i)];
    return true;
  });
  CurveFit doc;
  FillNoisy(doc, n);
  trendolin::AcceptUserFormula(kFormula);

  long iterations = 0;
  int fitted = 1;
  for (auto _ : state) {
    asked = false;
    const int result = userModel ? trendolin::UserFit(doc, trendolin::kUserModel)
                                 : trendolin::NonlinearPrepareFit(doc, kExponential);
    fitted &= result == 0 ? 1 : 0;
    iterations += std::atoi(ui.StatusText(2).c_str());
  }
  state.counters["iterations"] = static_cast<double>(iterations) / static_cast<double>(state.iterations());
  state.counters["fitted"] = fitted;
}

void BM_BuiltInFit(benchmark::State& state) { RunFits(state, false); }
void BM_UserFit(benchmark::State& state) { RunFits(state, true); }
BENCHMARK(BM_BuiltInFit)->ArgName("points")->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_UserFit)->ArgName("points")->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The point passes of one solver iteration as a fit with the default
// settings runs them: chi-square at the parameters, then the normal sums
// with the residuals of those values. Unlike whole fits, both models do
// exactly the same work, however their iterations would have gone.
void RunPasses(benchmark::State& state, int id) {
  const int n = static_cast<int>(state.range(0));
  trendolin::CurrentSession().settings = trendolin::DefaultAppSettings();
  CurveFit doc;
  FillNoisy(doc, n);
  trendolin::AcceptUserFormula(kFormula);
  trendolin::CurrentEngine().userModelData = trendolin::SummaryOf(doc);
  const trendolin::ModelDesc desc = trendolin::DescriptorOf(doc, id);
  trendolin::NonlinearProblem problem;
  trendolin::FillProblemFromSettings(doc, desc, problem);
  const trendolin::UserModelFitScope fitting;  // as UserFit evaluates the formula (unused by 504)
  const trendolin::PointPasses passes(problem);
  std::vector<datatype> values;
  std::vector<datatype> a(static_cast<std::size_t>(desc.m * (desc.m + 1)));
  for (auto _ : state) {
    benchmark::DoNotOptimize(passes.ChiSquare(kStart.data(), values));
    passes.NormalSums(kStart.data(), values.data(), true, a.data(), desc.m + 1);
    benchmark::DoNotOptimize(a.data());
  }
}
void BM_BuiltInPasses(benchmark::State& state) { RunPasses(state, kExponential); }
void BM_UserPasses(benchmark::State& state) { RunPasses(state, trendolin::kUserModel); }
BENCHMARK(BM_BuiltInPasses)->ArgName("points")->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_UserPasses)->ArgName("points")->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

// One evaluation of the model function at a moving x (the user model's as
// in a fit).
void BM_BuiltInValue(benchmark::State& state) {
  const trendolin::ModelFunction f = trendolin::ModelFunctionOf(kExponential);
  float x = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(f(kStart.data(), x));
    x = x < 4 ? x + 0.001f : 0;
  }
}
void BM_UserValue(benchmark::State& state) {
  trendolin::AcceptUserFormula(kFormula);
  const trendolin::UserModelFitScope fitting;  // evaluated as in a fit
  float x = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(trendolin::UserModelValue(kStart.data(), x));
    x = x < 4 ? x + 0.001f : 0;
  }
}
BENCHMARK(BM_BuiltInValue);
BENCHMARK(BM_UserValue);

// Keeps the time of every run, by benchmark name and aggregate, for the
// ratio printed at the end: the median when repetitions were asked for,
// else the single run. Wall time for the fits and passes, which spread their
// points over the cores (the CPU time of the calling thread would leave the
// other threads' share out); CPU time for the single evaluations, where
// wall time on a busy machine also counts the other programs.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      const std::string aggregate = run.run_type == Run::RT_Aggregate ? run.aggregate_name : "single";
      const bool wall = run.run_name.time_type == "real_time";
      times_[run.run_name.str()][aggregate] = wall ? run.GetAdjustedRealTime() : run.GetAdjustedCPUTime();
      const auto iterations = run.counters.find("iterations");
      if (iterations != run.counters.end()) iterations_[run.run_name.str()][aggregate] = iterations->second.value;
    }
    ConsoleReporter::ReportRuns(runs);
  }

  // The two fits may end after different numbers of solver iterations (at
  // 10^5 points both end diverged, each at its own step), so the time per
  // iteration is compared too.
  void PrintRatio(const std::string& user, const std::string& builtIn, const char* what) const {
    const auto u = Median(times_, user);
    const auto b = Median(times_, builtIn);
    if (!u || !b) return;
    std::printf("%s: user %.4g, built-in %.4g (%s), ratio %.2f", what, u->first, b->first, u->second.c_str(),
                u->first / b->first);
    const auto ui = Median(iterations_, user);
    const auto bi = Median(iterations_, builtIn);
    if (ui && bi && ui->first > 0 && bi->first > 0) {
      std::printf("; solver iterations %g and %g, ratio per iteration %.2f", ui->first, bi->first,
                  (u->first / ui->first) / (b->first / bi->first));
    }
    std::printf("\n");
  }

 private:
  using Table = std::map<std::string, std::map<std::string, double>>;

  static std::optional<std::pair<double, std::string>> Median(const Table& table, const std::string& name) {
    const auto found = table.find(name);
    if (found == table.end()) return std::nullopt;
    for (const char* aggregate : {"median", "single"}) {
      const auto time = found->second.find(aggregate);
      if (time != found->second.end()) return std::pair{time->second, std::string(aggregate)};
    }
    return std::nullopt;
  }

  Table times_;
  Table iterations_;
};

}  // namespace

int main(int argc, char** argv) {
  trendolin::Session session;
  trendolin::SessionScope bound(session);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\nUser model \"%s\" against the built-in Exponential model (times in the benchmarks' units):\n",
              kFormula);
  reporter.PrintRatio("BM_UserFit/points:10000/real_time", "BM_BuiltInFit/points:10000/real_time",
                      "fit of 10^4 points");
  reporter.PrintRatio("BM_UserFit/points:100000/real_time", "BM_BuiltInFit/points:100000/real_time",
                      "fit of 10^5 points");
  reporter.PrintRatio("BM_UserPasses/points:100000/real_time", "BM_BuiltInPasses/points:100000/real_time",
                      "passes of one iteration at 10^5 points");
  reporter.PrintRatio("BM_UserValue", "BM_BuiltInValue", "one evaluation");
  benchmark::Shutdown();
  return 0;
}
