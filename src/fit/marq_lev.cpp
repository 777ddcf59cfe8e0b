// The Levenberg-Marquardt iteration and the covariance of its result.
//
// Each iteration solves the damped normal equations
//
//   (J^T W J + lambda diag(J^T W J)) delta = J^T W r
//
// where J holds the numerical derivatives d_i(x_k), W the weights 1/w_k and
// r the residuals y_k - f(p, x_k). A step that lowers chi-square is taken and
// lambda shrinks tenfold; a step that does not is refused and lambda grows
// tenfold. Everything is single precision, and each sum is accumulated in
// point order, so the figures (and where a fault occurs) are reproducible.
//
// When it ends. Every test is relative to the problem's own chi-square, so
// that the outcome does not depend on the units of y:
// - a step that lowers chi-square by less than the tolerance times its value
//   ends the fit (converged to the tolerance);
// - at a refused step, the fit ends converged when even the full Gauss-Newton
//   step, g^T A^-1 g by the linearised model, could lower chi-square by no
//   more than the tolerance allows, or by no more than the rounding noise of
//   chi-square itself (converged to the resolution of single precision):
//   there the rounded chi-square cannot tell a better point from a worse one,
//   and refusing steps until the divergence limit would report the minimum
//   as a failure;
// - the same holds for a taken step whose gain and promise both lie within
//   that noise.
// A point where the normal matrix is not positive definite never counts as a
// minimum, so a flat start still ends in divergence or in its fault.
#include <algorithm>
#include <array>
#include <cfenv>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "precision/allocation_guard.h"
#include "fit/nonlinear.h"
#include "fit/nonlinear_passes.h"
#include "fit/solvers.h"
#include "platform/debug_log.h"
#include "precision/errors.h"
#include "precision/fp_guard.h"
#include "precision/rounding.h"

namespace trendolin {
namespace {

constexpr datatype kStartLambda = 0.001f;
constexpr datatype kLambdaFactor = 10;

// The work arrays of one fit, allocated once.
struct Workspace {
  Workspace(int m, int n)
      : matrix(static_cast<std::size_t>(m * (m + 1))),
        normal(static_cast<std::size_t>(m * (m + 1))),
        normalAt(static_cast<std::size_t>(m)),
        trial(static_cast<std::size_t>(m)),
        values(static_cast<std::size_t>(n)),
        trialValues(static_cast<std::size_t>(n)) {}

  void Release() {
    matrix = {};
    normal = {};
    normalAt = {};
    normalKnown = false;
    trial = {};
  }

  std::vector<datatype> matrix;       // m rows of m + 1: the augmented system
  // The undamped system of the parameters in normalAt: a refused step leaves
  // the parameters as they were, and the next try needs the same sums.
  std::vector<datatype> normal;
  std::vector<datatype> normalAt;
  bool normalKnown = false;
  // g^T A^-1 g of the undamped system above: the most the linearised model
  // promises from the parameters in normalAt (infinite when A is not
  // positive definite).
  double predicted = 0;
  // 2 g^T d - d^T A d: what the linearised model promises for the step d
  // being tried (lambda shrinks it, so it is at most `predicted`).
  double stepPredicted = 0;
  std::vector<datatype> trial;        // the parameters of the step being tried
  std::vector<datatype> values;       // f(parameters, x_k), for the residuals
  std::vector<datatype> trialValues;  // f(trial, x_k)
  bool valuesKnown = false;           // values belong to the accepted parameters
};

// The histories start with room for the starting point and grow with the
// iterations actually made: an iteration limit of millions costs nothing
// until a fit really runs that long.
void AllocateHistories(NonlinearProblem& problem) {
  GuardAllocation([&] {
    problem.chiSquareHistory.assign(1, 0);
    problem.parameterHistories.assign(static_cast<std::size_t>(problem.m), std::vector<datatype>(1, 0));
  });
}

void RecordHistory(NonlinearProblem& problem, int index, const datatype* params, datatype chiSquare) {
  const auto at = static_cast<std::size_t>(index);
  if (at > static_cast<std::size_t>(std::max(problem.maxIterations, 0))) return;
  if (at >= problem.chiSquareHistory.size()) {
    GuardAllocation([&] {
      problem.chiSquareHistory.resize(at + 1);
      for (auto& history : problem.parameterHistories) history.resize(at + 1);
    });
  }
  problem.chiSquareHistory[at] = chiSquare;
  for (int i = 0; i < problem.m; ++i) problem.parameterHistories[static_cast<std::size_t>(i)][at] = params[i];
}

void ShrinkHistories(NonlinearProblem& problem, int count) {
  const auto length = static_cast<std::size_t>(count);
  if (problem.chiSquareHistory.size() > length) {
    problem.chiSquareHistory.resize(length);
    problem.chiSquareHistory.shrink_to_fit();
  }
  for (auto& history : problem.parameterHistories) {
    if (history.size() > length) {
      history.resize(length);
      history.shrink_to_fit();
    }
  }
}

// g^T A^-1 g for the m x m matrix A with the column g beside it (rows of
// m + 1), by a Cholesky factorisation in double. A is summed in float, so a
// pivot that elimination brings below a millionth of its diagonal element is
// rounding, not information: the parameters are not determined by the data
// (all x equal, say), and the answer is infinite as for any matrix that is
// not positive definite.
double PredictedDecrease(const datatype* normal, int m) {
  constexpr double kSingularShare = 1e-6;
  const int row = m + 1;
  std::array<double, kMaxParameters * kMaxParameters> l{};
  std::array<double, kMaxParameters> z{};
  double decrease = 0;
  for (int j = 0; j < m; ++j) {
    double diagonal = normal[j * row + j];
    for (int k = 0; k < j; ++k) diagonal -= l[j * m + k] * l[j * m + k];
    if (!(diagonal > kSingularShare * std::fabs(double{normal[j * row + j]})) || !std::isfinite(diagonal)) {
      return std::numeric_limits<double>::infinity();
    }
    const double pivot = std::sqrt(diagonal);
    l[j * m + j] = pivot;
    for (int i = j + 1; i < m; ++i) {
      double v = normal[i * row + j];
      for (int k = 0; k < j; ++k) v -= l[i * m + k] * l[j * m + k];
      l[i * m + j] = v / pivot;
    }
    double g = normal[j * row + m];
    for (int k = 0; k < j; ++k) g -= l[j * m + k] * z[k];
    z[j] = g / pivot;
    decrease += z[j] * z[j];
  }
  return std::isfinite(decrease) ? decrease : std::numeric_limits<double>::infinity();
}

// 2 g^T d - d^T A d for the step d, from the undamped system (rows of m + 1).
double StepDecrease(const datatype* normal, const datatype* d, int m) {
  const int row = m + 1;
  double decrease = 0;
  for (int i = 0; i < m; ++i) {
    double ad = 0;
    for (int j = 0; j < m; ++j) ad += double{normal[i * row + j]} * d[j];
    decrease += double{d[i]} * (2.0 * normal[i * row + m] - ad);
  }
  return std::isfinite(decrease) ? decrease : std::numeric_limits<double>::infinity();
}

// One damped step from the accepted parameters into ws.trial; answers the
// chi-square there.
datatype TryStep(const NonlinearProblem& problem, const PointPasses& passes, Workspace& ws, datatype lambda) {
  const int m = problem.m;
  const int row = m + 1;
  datatype* a = ws.matrix.data();
  const auto bytes = static_cast<std::size_t>(m) * sizeof(datatype);
  if (!ws.normalKnown || std::memcmp(ws.normalAt.data(), problem.parameters, bytes) != 0) {
    ws.normalKnown = false;
    passes.NormalSums(problem.parameters, ws.valuesKnown ? ws.values.data() : nullptr, true, ws.normal.data(), row);
    std::memcpy(ws.normalAt.data(), problem.parameters, bytes);
    ws.normalKnown = true;
    ws.predicted = PredictedDecrease(ws.normal.data(), m);
  }
  std::copy(ws.normal.begin(), ws.normal.end(), a);
  {
    FpGuard guard;
    const datatype damping = 1 + lambda;
    for (int i = 0; i < m; ++i) a[i * row + i] = a[i * row + i] * damping;
    guard.Check();
    if (SolveAugmented(a, m, 0) != 0) RaiseError(kErrSolverFailed, problem.modelId);
    guard.Check();
    for (int i = 0; i < m; ++i) ws.trial[static_cast<std::size_t>(i)] = problem.parameters[i] + a[i];
    guard.Check();
  }
  ws.stepPredicted = StepDecrease(ws.normal.data(), a, m);
  // A trial point where the model cannot be evaluated (an overflow, ln of a
  // negative number) is a step too far, not the end of the fit: it is
  // refused like any step that does not lower chi-square, and lambda grows.
  // The accepted point's own faults still end the fit.
  try {
    ScopedLogMute muted;
    return passes.ChiSquare(ws.trial.data(), ws.trialValues);
  } catch (const errnotify&) {
    ClearErrorInfo();
    ClearFpFaults();
    return kDatatypeNaN;
  }
}

// The last steps of a fit that ends with a result at the accepted point.
int FinishConverged(NonlinearProblem& problem, Workspace& ws, int result) {
  ShrinkHistories(problem, problem.iteration + 1);
  ComputeCovariance(problem);
  problem.notify(problem, kNotifyIteration);  // shows the last step; a stop request now changes nothing
  ws.Release();
  if (problem.notify(problem, kNotifyFinish) != 0) {
    problem.ReleaseHistories();
    return kMarqLevAborted;
  }
  return result;
}

// How closely chi-square can resolve the accepted point: a few standard
// deviations of its rounding noise, plus what rounding the parameters to
// datatype alone can cost (moving p_i by one unit in its last place changes
// chi-square by about A_ii ulp(p_i)^2). 0 while the model values of the
// point are unknown (a start where the model could not be evaluated).
double Resolution(const NonlinearProblem& problem, const PointPasses& passes, const Workspace& ws) {
  constexpr double kNoiseDeviations = 4;
  if (!ws.valuesKnown) return 0;
  double quantum = 0;
  if (ws.normalKnown) {
    for (int i = 0; i < problem.m; ++i) {
      const datatype p = problem.parameters[i];
      const double ulp = double{std::nextafter(p, std::numeric_limits<datatype>::infinity())} - p;
      quantum += std::fabs(double{ws.normal[static_cast<std::size_t>(i * (problem.m + 1) + i)]}) * ulp * ulp;
    }
  }
  const double resolution = kNoiseDeviations * passes.RoundingNoise(ws.values.data(), problem.chiSquare) + quantum;
  return std::isfinite(resolution) ? resolution : 0;
}

// The steps after the starting point; the caller catches what they raise.
int Iterate(NonlinearProblem& problem, const PointPasses& passes, Workspace& ws) {
  // With fewer points than parameters the minimum is not a point: a fit
  // there ends only when a step's own gain falls below the tolerance.
  const bool determined = problem.nPoints >= problem.m;
  datatype lambda = kStartLambda;
  int failures = 0;
  problem.iteration = 1;
  for (;;) {
    if (problem.iteration > problem.maxIterations) {
      ComputeCovariance(problem);
      ws.Release();
      if (problem.notify(problem, kNotifyFinish) != 0) return kMarqLevAborted;
      problem.iteration = problem.maxIterations;
      return kMarqLevIterationLimit;
    }
    const datatype chiNew = TryStep(problem, passes, ws, lambda);
    RecordHistory(problem, problem.iteration, ws.trial.data(), chiNew);
    // The tolerance is a share of the chi-square the step starts from.
    const double allowed = double{problem.tolerance} * std::fabs(double{problem.chiSquare});

    // A trial chi-square that is not a number compares false: the step is
    // refused like any other that does not lower chi-square.
    if (problem.chiSquare > chiNew) {
      const double improvement = double{problem.chiSquare} - chiNew;
      const bool withinTolerance = improvement < allowed;
      bool withinNoise = false;
      if (!withinTolerance && determined && std::isfinite(ws.predicted)) {
        const double resolution = Resolution(problem, passes, ws);
        withinNoise = ws.stepPredicted <= resolution && improvement <= resolution;
      }
      lambda = lambda / kLambdaFactor;
      std::copy(ws.trial.begin(), ws.trial.end(), problem.parameters);
      std::swap(ws.values, ws.trialValues);
      ws.valuesKnown = true;
      failures = 0;
      problem.chiSquare = chiNew;
      if (withinTolerance) return FinishConverged(problem, ws, kMarqLevConverged);
      if (withinNoise) return FinishConverged(problem, ws, kMarqLevResolution);
    } else {
      if (determined && std::isfinite(ws.predicted)) {
        if (ws.predicted < allowed) return FinishConverged(problem, ws, kMarqLevConverged);
        const double resolution = Resolution(problem, passes, ws);
        if (ws.predicted <= resolution || ws.stepPredicted <= resolution) {
          return FinishConverged(problem, ws, kMarqLevResolution);
        }
      }
      FpGuard guard;
      lambda = lambda * kLambdaFactor;
      guard.Check();
      if (++failures > problem.divergeLimit) {
        ws.Release();
        if (problem.notify(problem, kNotifyFinish) != 0) {
          problem.ReleaseHistories();
          return kMarqLevAborted;
        }
        ShrinkHistories(problem, problem.iteration + 1);
        return kMarqLevDiverged;
      }
    }
    if (const int answer = problem.notify(problem, kNotifyIteration); answer != 0) {
      ws.Release();
      return answer;
    }
    ++problem.iteration;
  }
}

}  // namespace

int MarqLev(NonlinearProblem& problem) {
  const PointPasses passes(problem);
  Workspace ws = GuardAllocation([&] { return Workspace(problem.m, problem.nPoints); });
  std::copy(problem.initial, problem.initial + problem.m, problem.parameters);

  // A start where the model cannot be evaluated is not an error yet: with
  // chi-square 0 no step can lower it, and the fit ends as diverged unless
  // the matrix pass raises the fault first.
  try {
    problem.chiSquare = passes.ChiSquare(problem.parameters, ws.values);
    ws.valuesKnown = true;
  } catch (const errnotify&) {
    problem.chiSquare = 0;
  }

  problem.iteration = 0;
  if (problem.notify(problem, kNotifyStart) != 0) return kMarqLevAborted;
  AllocateHistories(problem);
  RecordHistory(problem, 0, problem.parameters, problem.chiSquare);
  if (const int answer = problem.notify(problem, kNotifyIteration); answer != 0) return answer;

  try {
    return Iterate(problem, passes, ws);
  } catch (const errnotify&) {
    LogExceptionMarker("MarqLev_1");
    ws.Release();
    problem.ReleaseHistories();
    problem.notify(problem, kNotifyFinish);
    throw;
  }
}

void ComputeCovariance(NonlinearProblem& problem) {
  const int m = problem.m;
  std::vector<datatype> c = GuardAllocation([&] { return std::vector<datatype>(static_cast<std::size_t>(m * m)); });
  PointPasses(problem).NormalSums(problem.parameters, nullptr, false, c.data(), m);
  {
    FpGuard guard;
    if (InvertMatrix(c.data(), m) != 0) RaiseOutOfMemory();
    guard.Check();
  }
  // Derivatives that are not numbers (0/0 in the model) invert quietly to
  // not-a-numbers: that is an invalid operation, never a covariance. (A
  // zero pivot divides the identity's 1 by zero and has raised above.)
  if (!AllFinite(c.data(), m * m)) fpe_catch(FE_INVALID);
  if (problem.covariance != nullptr) std::copy(c.begin(), c.end(), problem.covariance);
}

}  // namespace trendolin
