// Benchmarks of the closed-form fits: the linear and degree-8 polynomial
// fits through their drivers, and the natural cubic spline's construction
// and evaluation.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_support.h"
#include "app/app_settings.h"
#include "data/curve_fit.h"
#include "fit/engine_state.h"
#include "fit/interpolation_eval.h"
#include "fit/interpolation_search.h"
#include "fit/model_desc.h"
#include "fit/nonlinear.h"
#include "fit/splines.h"
#include "session/nonlinear_routine.h"
#include "session/regression_routines.h"
#include "session/session.h"
#include "session/fit_routine_table.h"

namespace {

using trendolin::CurveFit;
using trendolin::datatype;

constexpr int kEvaluations = 1000000;

using benchsupport::ScratchFolder;

const ScratchFolder scratchFolder;

// n points on [x0, x1] of y = sin(3x) + 0.1x, with x ascending.
void FillDocument(CurveFit& doc, int n, double x0, double x1) {
  trendolin::CurrentSession().settings = trendolin::DefaultAppSettings();
  doc.ResetData();
  doc.AllocateData(n, 2, 0);
  for (int i = 0; i < n; ++i) {
    const double x = x0 + (x1 - x0) * i / (n - 1);
    doc.At(i, 0) = static_cast<datatype>(x);
    doc.At(i, 1) = static_cast<datatype>(std::sin(3 * x) + 0.1 * x);
  }
  doc.bStatsStale = 1;
  doc.CalcDataStats();
}

// A fit routine of the catalogue, from reset to marked result.
void RunFit(benchmark::State& state, int id, int degree) {
  CurveFit doc;
  FillDocument(doc, static_cast<int>(state.range(0)), -1, 1);  // x^16 stays within float range
  trendolin::CurrentEngine().polynomialDegree = degree;
  const trendolin::FitRoutine fit = trendolin::FitRoutineOf(id);
  for (auto _ : state) {
    if (fit(doc, id) != 0) state.SkipWithError("fit failed");
    benchmark::DoNotOptimize(doc.Slot(id).coefficients.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_LinearFit(benchmark::State& state) { RunFit(state, 500, 1); }
void BM_PolynomialFitDegree8(benchmark::State& state) { RunFit(state, 502, 8); }

// The construction routine itself: the driver refuses 16375 points or more.
// It polls through FitNotify after every knot, as in the program.
struct SplineArrays {
  explicit SplineArrays(int n) : d(n), c(n), b(n), a(n) {}
  std::vector<datatype> d, c, b, a;
};

void FillSplineProblem(trendolin::NonlinearProblem& problem, CurveFit& doc) {
  problem.nPoints = doc.nPoints;
  problem.x = doc.Column(0);
  problem.y = doc.Column(1);
  problem.notify = trendolin::FitNotify;
  problem.modelId = 537;
}

void BM_CubicSplineBuild(benchmark::State& state) {
  CurveFit doc;
  const int n = static_cast<int>(state.range(0));
  FillDocument(doc, n, 0, 10);
  SplineArrays arrays(n);
  trendolin::NonlinearProblem problem;
  FillSplineProblem(problem, doc);
  for (auto _ : state) {
    trendolin::CubicSpline(problem, arrays.d.data(), arrays.c.data(), arrays.b.data(), arrays.a.data());
    benchmark::DoNotOptimize(arrays.a.data());
  }
  state.SetItemsProcessed(state.iterations() * n);
}

// A built spline of n knots stored in the document's record, and 10^6
// evaluation points spread evenly over the data, ascending as a plot asks.
struct BuiltSpline {
  explicit BuiltSpline(int n) {
      FillDocument(doc, n, 0, 10);
    doc.ResetFitResult(537, n);
    Build();
    xs.resize(kEvaluations);
    ys.resize(kEvaluations);
    for (int k = 0; k < kEvaluations; ++k) xs[static_cast<std::size_t>(k)] = static_cast<datatype>(10.0 * k / (kEvaluations - 1));
  }
  void Build() {
    trendolin::InterpResult& record = doc.Interp(537);
    trendolin::NonlinearProblem problem;
    FillSplineProblem(problem, doc);
    trendolin::CubicSpline(problem, record.arrays[0].data(), record.arrays[1].data(), record.arrays[2].data(),
                           record.arrays[3].data());
    trendolin::RememberKnotOrder(537, record, doc.Column(0), doc.nPoints);
    doc.MarkFitted(537, 1);
  }
  CurveFit doc;
  std::vector<datatype> xs, ys;
};

// One x at a time through the catalogue's evaluate routine (binary search).
void BM_CubicSplineEvaluateEach(benchmark::State& state) {
  BuiltSpline spline(static_cast<int>(state.range(0)));
  const trendolin::ModelDesc desc = trendolin::DescriptorOf(spline.doc, 537);
  for (auto _ : state) {
    for (int k = 0; k < kEvaluations; ++k) spline.ys[static_cast<std::size_t>(k)] = desc.Evaluate(spline.xs[static_cast<std::size_t>(k)]);
    benchmark::DoNotOptimize(spline.ys.data());
  }
  state.SetItemsProcessed(state.iterations() * kEvaluations);
}

// The run of x values at once (the search continues from one x to the next).
void BM_CubicSplineEvaluateRun(benchmark::State& state) {
  BuiltSpline spline(static_cast<int>(state.range(0)));
  const trendolin::ModelDesc desc = trendolin::DescriptorOf(spline.doc, 537);
  for (auto _ : state) {
    trendolin::EvaluateInterpolation(desc, spline.xs, spline.ys);
    benchmark::DoNotOptimize(spline.ys.data());
  }
  state.SetItemsProcessed(state.iterations() * kEvaluations);
}

// What scipy_spline.py times: build on n knots, then evaluate 10^6 points.
void BM_CubicSplineBuildAndEvaluate(benchmark::State& state) {
  BuiltSpline spline(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    spline.Build();
    const trendolin::ModelDesc desc = trendolin::DescriptorOf(spline.doc, 537);
    trendolin::EvaluateInterpolation(desc, spline.xs, spline.ys);
    benchmark::DoNotOptimize(spline.ys.data());
  }
}

BENCHMARK(BM_LinearFit)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PolynomialFitDegree8)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CubicSplineBuild)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CubicSplineEvaluateEach)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CubicSplineEvaluateRun)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CubicSplineBuildAndEvaluate)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
