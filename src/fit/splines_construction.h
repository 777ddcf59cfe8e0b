// The frame every interpolation construction runs in: start and finish
// notifications, polls that first raise any pending fault, the exception
// marker, the finiteness test of the result, and the tridiagonal solver
// the cubic and tension splines share.
#pragma once

#include <cfenv>
#include <initializer_list>
#include <new>

#include "fit/nonlinear.h"
#include "fit/nonlinear_passes.h"
#include "precision/errors.h"
#include "precision/fp_guard.h"
#include "precision/rounding.h"

namespace trendolin {

// After a unit of work: a fault of that unit raises first, as a trap at the
// faulting operation would, then the user is asked for a stop request.
inline int CheckAndPoll(NonlinearProblem& problem) {
  CheckFpFaults();
  return problem.notify(problem, kNotifyPoll);
}

// A result that holds a not-a-number or an infinity (0/0 of equal
// neighbours with equal values, for one) is an invalid operation, never an
// interpolation.
inline void RequireFinite(std::initializer_list<const datatype*> arrays, int count) {
  for (const datatype* values : arrays) {
    if (!AllFinite(values, count)) fpe_catch(FE_INVALID);
  }
}

// Runs `build` between the start and finish notifications. On errnotify
// (std::bad_alloc becomes error 11) the marker "EX: <marker>" is logged,
// the finish notification sent and the error raised again; the work arrays
// of `build` are gone by then.
template <typename Build>
int RunConstruction(NonlinearProblem& problem, const char* marker, Build build) {
  problem.notify(problem, kNotifyStart);
  int result = 0;
  try {
    try {
      ClearFpFaults();
      result = build();
      if (result == 0) CheckFpFaults();
    } catch (const std::bad_alloc&) {
      RaiseError(kErrOutOfMemory, problem.modelId);
    }
  } catch (const errnotify&) {
    LogExceptionMarker(marker);
    problem.notify(problem, kNotifyFinish);
    throw;
  }
  problem.notify(problem, kNotifyFinish);
  return result;
}

// The tridiagonal system sub(i) u(i-1) + diag(i) u(i) + super(i) u(i+1) =
// rhs(i), i = 0..n-1 (sub(0) and super(n-1) unused), by forward elimination
// and back substitution without pivoting (the Thomas algorithm). diag and
// rhs are overwritten by the eliminated system; every stored value is a
// datatype computed in double.
void SolveTridiagonal(const datatype* sub, datatype* diag, const datatype* super, datatype* rhs, datatype* solution,
                      int n);

// Natural ends: rows 0 and n-1 of the system say that the unknown (the
// second derivative) is zero at both ends.
inline void SetNaturalEnds(datatype* sub, datatype* diag, datatype* super, datatype* rhs, int n) {
  diag[0] = 1;
  super[0] = 0;
  rhs[0] = 0;
  diag[n - 1] = 1;
  sub[n - 1] = 0;
  rhs[n - 1] = 0;
}

}  // namespace trendolin
