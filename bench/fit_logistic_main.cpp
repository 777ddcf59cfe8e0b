// Times the Logistic fit of 10^5 points with 1% noise from a start 20% off
// the true parameters, the fit bench/scipy_logistic.py times with scipy, so
// the two can be compared on the same data.
//
//   fit_logistic_main [--runs N]       times the fit, prints the medians
//   fit_logistic_main --write FILE     writes the data set ("x<TAB>y" lines)
//
// Two figures: the solver alone (MarqLev from the start, covariance
// included: what curve_fit does), and the model's whole fit routine with
// InitGuess = 1 and the start typed into the initial-guess dialog (the
// automatic guesses are still computed first, then replaced; the statistics
// follow the fit).
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "app/app_settings.h"
#include "data/curve_fit.h"
#include "fit/model_desc.h"
#include "fit/model_functions.h"
#include "fit/nonlinear.h"
#include "platform/headless_ui.h"
#include "session/nonlinear_routine.h"
#include "session/session.h"
#include "session/session.h"

namespace {

using trendolin::CurveFit;
using trendolin::NonlinearProblem;

constexpr int kLogistic = 522;
constexpr int kPoints = 100000;
const std::vector<float> kTruth = {10, 20, 1};
const std::vector<float> kStart = {12, 24, 1.2f};  // 20% off

// y = a/(1 + b exp(-c x)) (1 + 0.01 N(0, 1)) on [0, 10], N from mt19937.
void FillData(CurveFit& doc) {
  const trendolin::ModelFunction f = trendolin::ModelFunctionOf(kLogistic);
  std::mt19937 engine(2024);
  doc.ResetData();
  doc.AllocateData(kPoints, 2, 0);
  for (int i = 0; i < kPoints; ++i) {
    const double u1 = (engine() + 1.0) / 4294967297.0;
    const double u2 = (engine() + 1.0) / 4294967297.0;
    const double normal = std::sqrt(-2.0 * std::log(u1)) * std::cos(6.283185307179586 * u2);
    const float x = 10.0f * static_cast<float>(i) / static_cast<float>(kPoints - 1);
    doc.At(i, 0) = x;
    doc.At(i, 1) = static_cast<float>(f(kTruth.data(), x) * (1.0 + 0.01 * normal));
  }
  doc.bStatsStale = 1;
  doc.CalcDataStats();
}

// Nine significant digits give every float back exactly.
int WriteData(const CurveFit& doc, const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "w");
  if (file == nullptr) {
    std::fprintf(stderr, "fit_logistic_main: cannot write %s\n", path.c_str());
    return 1;
  }
  for (int i = 0; i < doc.nPoints; ++i) std::fprintf(file, "%.9g\t%.9g\n", doc.At(i, 0), doc.At(i, 1));
  return std::fclose(file) == 0 ? 0 : 1;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

template <typename Work>
double MilliSeconds(Work work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// The problem NonlinearFit builds for this model with the default settings.
struct SolverRun {
  std::vector<float> parameters = std::vector<float>(3);
  std::vector<float> covariance = std::vector<float>(9);
  int result = -1;
  int iterations = 0;

  void Run(CurveFit& doc) {
    NonlinearProblem problem;
    problem.m = 3;
    problem.parameters = parameters.data();
    problem.covariance = covariance.data();
    problem.initial = kStart.data();
    problem.modelFunction = trendolin::ModelFunctionOf(kLogistic);
    problem.tolerance = static_cast<float>(trendolin::CurrentSession().settings.nonlinearTolerance);
    problem.flags = trendolin::kNlQuickDerivatives | trendolin::kNlNoWeighting;
    problem.maxIterations = trendolin::CurrentSession().settings.maxIterations;
    problem.divergeLimit = trendolin::CurrentSession().settings.divergeIterations;
    problem.nPoints = doc.nPoints;
    problem.x = doc.Column(0);
    problem.y = doc.Column(1);
    problem.notify = trendolin::FitNotify;
    problem.modelId = kLogistic;
    problem.modelName = trendolin::ModelName(doc, kLogistic);
    result = trendolin::MarqLev(problem);
    iterations = problem.iteration;
  }
};

int Time(int runs) {
  // Each fit writes "history.dmp" into the current folder: work in a private one.
  std::string folder = (std::filesystem::temp_directory_path() / "trendolin-bench-XXXXXX").string();
  if (::mkdtemp(folder.data()) == nullptr) return 1;
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(folder);

  trendolin::CurrentSession().settings = trendolin::DefaultAppSettings();
  platform::HeadlessUi ui;
  platform::ScopedUi installed(ui);
  CurveFit doc;
  FillData(doc);

  std::vector<double> solver;
  std::vector<double> routine;
  SolverRun run;
  for (int i = 0; i < runs; ++i) solver.push_back(MilliSeconds([&] { run.Run(doc); }));

  trendolin::CurrentSession().settings.initGuess = 1;
  ui.SetGuessDialogHandler([](int, int m, float* guesses) {
    std::copy(kStart.begin(), kStart.begin() + m, guesses);
    return true;
  });
  int status = 0;
  for (int i = 0; i < runs; ++i) {
    routine.push_back(MilliSeconds([&] { status |= trendolin::NonlinearPrepareFit(doc, kLogistic); }));
  }
  const trendolin::FitResult& slot = doc.Slot(kLogistic);

  std::printf("engine: logistic fit of %d points, 1%% noise, start 20%% off, %d runs\n", kPoints, runs);
  std::printf("  solver (MarqLev + covariance): median %.2f ms, result %d, %d iterations, a=%.6g b=%.6g c=%.6g\n",
              Median(solver), run.result, run.iterations, run.parameters[0], run.parameters[1], run.parameters[2]);
  std::printf("  fit routine (InitGuess = 1): median %.2f ms, status %d, %d iterations, a=%.6g b=%.6g c=%.6g\n",
              Median(routine), status, slot.iterationCount, slot.coefficients[0], slot.coefficients[1],
              slot.coefficients[2]);
  std::printf("solver_ms=%.3f routine_ms=%.3f\n", Median(solver), Median(routine));

  std::error_code ec;
  std::filesystem::current_path(previous, ec);
  std::filesystem::remove_all(folder, ec);
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  trendolin::Session session;
  trendolin::SessionScope bound(session);
  const std::string option = argc > 1 ? argv[1] : "";
  if (argc == 3 && option == "--write") {
    CurveFit doc;
    FillData(doc);
    return WriteData(doc, argv[2]);
  }
  if (argc == 1 || (argc == 3 && option == "--runs")) return Time(argc == 3 ? std::max(1, std::atoi(argv[2])) : 7);
  std::fprintf(stderr, "usage: fit_logistic_main [--runs N] | fit_logistic_main --write FILE\n");
  return 2;
}
