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
#include <algorithm>
#include <cfenv>
#include <cstring>
#include <vector>

#include "app/error_handle.h"
#include "app/errors.h"
#include "app/fp_guard.h"
#include "app/out_of_memory.h"
#include "fit/nonlinear.h"
#include "fit/nonlinear_passes.h"
#include "fit/solvers.h"

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
  std::vector<datatype> trial;        // the parameters of the step being tried
  std::vector<datatype> values;       // f(parameters, x_k), for the residuals
  std::vector<datatype> trialValues;  // f(trial, x_k)
  bool valuesKnown = false;           // values belong to the accepted parameters
};

void AllocateHistories(NonlinearProblem& problem) {
  const std::size_t length = static_cast<std::size_t>(std::max(problem.maxIterations, 0)) + 1;
  GuardAllocation([&] {
    problem.chiSquareHistory.assign(length, 0);
    problem.parameterHistories.assign(static_cast<std::size_t>(problem.m), std::vector<datatype>(length, 0));
  });
}

void RecordHistory(NonlinearProblem& problem, int index, const datatype* params, datatype chiSquare) {
  const auto at = static_cast<std::size_t>(index);
  if (at >= problem.chiSquareHistory.size()) return;
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
  return passes.ChiSquare(ws.trial.data(), ws.trialValues);
}

// The steps after the starting point; the caller catches what they raise.
int Iterate(NonlinearProblem& problem, const PointPasses& passes, Workspace& ws) {
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

    // A trial chi-square that is not a number compares false: the step is
    // refused like any other that does not lower chi-square.
    if (problem.chiSquare > chiNew) {
      lambda = lambda / kLambdaFactor;
      std::copy(ws.trial.begin(), ws.trial.end(), problem.parameters);
      std::swap(ws.values, ws.trialValues);
      ws.valuesKnown = true;
      failures = 0;
      const datatype improvement = problem.chiSquare - chiNew;
      problem.chiSquare = chiNew;
      // The test is absolute: a decrease below the tolerance ends the fit.
      if (problem.tolerance > improvement) {
        ShrinkHistories(problem, problem.iteration + 1);
        ComputeCovariance(problem);
        problem.notify(problem, kNotifyIteration);  // shows the last step; a stop request now changes nothing
        ws.Release();
        if (problem.notify(problem, kNotifyFinish) != 0) {
          problem.ReleaseHistories();
          return kMarqLevAborted;
        }
        return kMarqLevConverged;
      }
    } else {
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
