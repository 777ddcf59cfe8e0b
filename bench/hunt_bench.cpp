// Benchmark of FitHunter as Ctrl+F runs it: every group but the
// interpolations, polynomial degrees 3..8, on 10^3 and 10^4 points of
// power-law data (bench/scipy_hunt.py fits the same data with scipy).
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench_support.h"
#include "app/app_settings.h"
#include "app/run_flags.h"
#include "data/curve_fit.h"
#include "session/drivers.h"
#include "session/fit_hunter.h"
#include "fit/engine_state.h"
#include "session/session.h"

namespace {

using trendolin::CurveFit;
using trendolin::datatype;

using benchsupport::ScratchFolder;

const ScratchFolder scratchFolder{"trendolin-hunt"};

// y = 2.5 x^1.3 on [1, 10] with 2% uniform relative noise from a 32-bit
// linear congruential generator, so that bench/scipy_hunt.py can make the
// very same points.
void FillPowerLaw(CurveFit& doc, int n) {
  doc.ResetData();
  doc.AllocateData(n, 2, 0);
  std::uint32_t state = 2024;
  for (int i = 0; i < n; ++i) {
    state = state * 1664525u + 1013904223u;
    const double noise = static_cast<double>(state) / 4294967296.0 - 0.5;
    const double x = 1.0 + 9.0 * i / (n - 1);
    doc.At(i, 0) = static_cast<datatype>(x);
    doc.At(i, 1) = static_cast<datatype>(2.5 * std::pow(x, 1.3) * (1.0 + 0.02 * noise));
  }
  doc.bStatsStale = 1;
}

void BM_FitHunter(benchmark::State& state) {
  trendolin::CurrentSession().settings = trendolin::DefaultAppSettings();
  CurveFit doc;
  FillPowerLaw(doc, static_cast<int>(state.range(0)));
  trendolin::Reexamine(doc, 0);
  trendolin::FitHunterOutcome outcome;
  for (auto _ : state) {
    trendolin::CurrentEngine().polynomialDegree = 4;
    outcome = trendolin::RunFitHunter(doc, trendolin::SearchRequest{});
    benchmark::DoNotOptimize(outcome);
  }
  state.counters["best"] = outcome.best;
  state.counters["fitted"] = static_cast<double>(trendolin::RankFittedModels(doc).size());
  state.counters["degree"] = trendolin::CurrentEngine().polynomialDegree;
}
BENCHMARK(BM_FitHunter)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// The search alone, one group at a time: where the time of a search goes.
void BM_FitHunterGroup(benchmark::State& state) {
  trendolin::CurrentSession().settings = trendolin::DefaultAppSettings();
  CurveFit doc;
  FillPowerLaw(doc, 10000);
  trendolin::Reexamine(doc, 0);
  trendolin::SetCalculationMode(2);
  for (auto _ : state) {
    trendolin::CurrentEngine().polynomialDegree = 4;
    benchmark::DoNotOptimize(trendolin::FitHunterSearch(doc, 8, static_cast<int>(state.range(0))));
  }
  trendolin::SetCalculationMode(0);
}
BENCHMARK(BM_FitHunterGroup)
    ->ArgName("group")
    ->Arg(trendolin::CLASS_LINEAR)
    ->Arg(trendolin::CLASS_POLYNOMIAL)
    ->Arg(trendolin::CLASS_MISC)
    ->Arg(trendolin::CLASS_EXPONENTIAL)
    ->Arg(trendolin::CLASS_SIGMOIDAL)
    ->Arg(trendolin::CLASS_GROWTH)
    ->Arg(trendolin::CLASS_POWER)
    ->Arg(trendolin::CLASS_YIELD_DENSITY)
    ->Unit(benchmark::kMillisecond);

}  // namespace
