// Benchmarks of one nonlinear fit (automatic guesses, iteration, covariance
// and statistics) of four models on synthetic data with 1% noise.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "app/app_settings.h"
#include "bench_support.h"
#include "data/curve_fit.h"
#include "fit/model_functions.h"
#include "fit/nonlinear.h"
#include "platform/headless_ui.h"
#include "precision/errors.h"
#include "session/nonlinear_routine.h"
#include "session/session.h"

namespace {

using trendolin::CurveFit;
using trendolin::datatype;

struct BenchModel {
  int id;
  std::vector<float> truth;
  float x0, x1;
};

// Exponential, Logistic, Weibull and Sinusoidal: two to four parameters,
// guesses by linearisation and by grid searches.
const BenchModel kModels[] = {
    {504, {2, 0.5f}, 0, 4},
    {522, {10, 20, 1}, 0, 10},
    {523, {10, 8, 0.3f, 1.5f}, 0.5f, 10},
    {529, {3, 2, 1.2f, 0.5f}, 0, 10},
};

const BenchModel& ModelOf(int id) {
  for (const BenchModel& model : kModels) {
    if (model.id == id) return model;
  }
  std::abort();
}

// y = f(x) (1 + 0.01 N(0, 1)), N from the fully specified mt19937.
void FillNoisy(CurveFit& doc, const BenchModel& model, int n) {
  const trendolin::ModelFunction f = trendolin::ModelFunctionOf(model.id);
  std::mt19937 engine(2024);
  doc.ResetData();
  doc.AllocateData(n, 2, 0);
  for (int i = 0; i < n; ++i) {
    const double normal = benchsupport::NormalSample(engine);
    const float x = model.x0 + (model.x1 - model.x0) * static_cast<float>(i) / static_cast<float>(n - 1);
    doc.At(i, 0) = x;
    doc.At(i, 1) = static_cast<float>(f(model.truth.data(), x) * (1.0 + 0.01 * normal));
  }
  doc.bStatsStale = 1;
  doc.CalcDataStats();
}

using benchsupport::ScratchFolder;

// Counters: "iterations" of the solver (the last one the status bar showed,
// so a fit that ends without a result counts too), "per_iteration" the time
// of one (the fit's time over its iterations), "fitted" 1 when a result was
// stored. With 10^5 points the chi-square sums are so large that the last
// steps cannot lower them in single precision: such fits end diverged.
void BM_NonlinearFit(benchmark::State& state) {
  const ScratchFolder scratch;
  const BenchModel& model = ModelOf(static_cast<int>(state.range(0)));
  const int n = static_cast<int>(state.range(1));
  trendolin::CurrentSession().settings = trendolin::DefaultAppSettings();
  platform::HeadlessUi ui;
  platform::ScopedUi installed(ui);
  ui.SetGuessDialogHandler([](int, int, float*) { return false; });  // a failed fit is not retried
  CurveFit doc;
  FillNoisy(doc, model, n);

  long iterations = 0;
  int fitted = 1;
  for (auto _ : state) {
    fitted &= trendolin::NonlinearPrepareFit(doc, model.id) == 0 ? 1 : 0;
    iterations += std::atoi(ui.StatusText(2).c_str());
  }
  state.counters["iterations"] = static_cast<double>(iterations) / static_cast<double>(state.iterations());
  state.counters["per_iteration"] =
      benchmark::Counter(static_cast<double>(iterations), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["fitted"] = fitted;
}

void FitArguments(benchmark::internal::Benchmark* b) {
  for (const BenchModel& model : kModels) {
    for (int n : {1000, 10000, 100000}) b->Args({model.id, n});
  }
}
BENCHMARK(BM_NonlinearFit)->Apply(FitArguments)->ArgNames({"model", "points"})->Unit(benchmark::kMillisecond);

}  // namespace

