// Math-library wrappers that report domain, pole and overflow errors.
#include "precision/math_guard.h"

#include <cfenv>
#include <cmath>

#include "platform/debug_log.h"
#include "precision/errors.h"
#include "precision/fp_guard.h"

namespace trendolin {

void RaiseMathError(std::string_view routine, MathErrorKind kind) {
  // A division by zero earlier in the same piece of work (x/0 feeding exp,
  // say) would have stopped the calculation there, before this routine ran:
  // report that fault, not its consequence. (The routines checked here never
  // divide by zero themselves: their poles are caught before they are called.)
  if (std::fetestexcept(FE_DIVBYZERO)) fpe_catch(FE_DIVBYZERO);
  DebugLog("Entering _matherr\n");
  ClearErrorInfo();
  ErrorInfo.routine = std::string(routine.substr(0, kRoutineNameSize - 1));
  switch (kind) {
    case MathErrorKind::Domain: ErrorInfo.id = kErrDomain; break;
    case MathErrorKind::Singularity: ErrorInfo.id = kErrSingularity; break;
    case MathErrorKind::Overflow: ErrorInfo.id = kErrOverflow; break;
    case MathErrorKind::Underflow: ErrorInfo.id = kErrUnderflow; break;
    case MathErrorKind::PartialLoss:
    case MathErrorKind::TotalLoss: ErrorInfo.id = kErrPrecisionLoss; break;
  }
  ErrorInfo.FitId = 0;
  DebugLogF("Exception caught in _matherr: %s, id = %d, FitId = %d.\n", ErrorInfo.routine.c_str(), ErrorInfo.id,
            ErrorInfo.FitId);
  throw errnotify();
}

namespace guarded {
namespace {

// An infinite result from finite arguments is an overflow of the routine.
double CheckedResult(double result, const char* routine) {
  if (std::isinf(result)) RaiseMathError(routine, MathErrorKind::Overflow);
  return result;
}

}  // namespace

double log(double x) {
  if (x < 0.0) RaiseMathError("log", MathErrorKind::Domain);
  if (x == 0.0) RaiseMathError("log", MathErrorKind::Singularity);
  return std::log(x);
}

double log10(double x) {
  if (x < 0.0) RaiseMathError("log10", MathErrorKind::Domain);
  if (x == 0.0) RaiseMathError("log10", MathErrorKind::Singularity);
  return std::log10(x);
}

double sqrt(double x) {
  if (x < 0.0) RaiseMathError("sqrt", MathErrorKind::Domain);
  return std::sqrt(x);
}

double exp(double x) {
  if (std::isinf(x)) {
    if (x > 0) RaiseMathError("exp", MathErrorKind::Overflow);
    return 0.0;
  }
  return CheckedResult(std::exp(x), "exp");
}

double pow(double x, double y) {
  if (std::isnan(x) || std::isnan(y)) return std::pow(x, y);
  if (x == 0.0 && y < 0.0) RaiseMathError("pow", MathErrorKind::Singularity);
  if (x < 0.0 && std::isfinite(y) && y != std::floor(y)) RaiseMathError("pow", MathErrorKind::Domain);
  if (std::isinf(x) || std::isinf(y)) return std::pow(x, y);
  return CheckedResult(std::pow(x, y), "pow");
}

double asin(double x) {
  if (x < -1.0 || x > 1.0) RaiseMathError("asin", MathErrorKind::Domain);
  return std::asin(x);
}

double acos(double x) {
  if (x < -1.0 || x > 1.0) RaiseMathError("acos", MathErrorKind::Domain);
  return std::acos(x);
}

double atan2(double y, double x) {
  if (y == 0.0 && x == 0.0) RaiseMathError("atan2", MathErrorKind::Domain);
  return std::atan2(y, x);
}

double sinh(double x) {
  if (std::isinf(x)) return std::sinh(x);
  return CheckedResult(std::sinh(x), "sinh");
}

double cosh(double x) {
  if (std::isinf(x)) return std::cosh(x);
  return CheckedResult(std::cosh(x), "cosh");
}

double tan(double x) {
  if (std::isinf(x)) RaiseMathError("tan", MathErrorKind::Domain);
  return CheckedResult(std::tan(x), "tan");
}

double j0(double x) { return ::j0(x); }

double j1(double x) { return ::j1(x); }

double y0(double x) {
  if (x < 0.0) RaiseMathError("y0", MathErrorKind::Domain);
  if (x == 0.0) RaiseMathError("y0", MathErrorKind::Singularity);
  return ::y0(x);
}

double y1(double x) {
  if (x < 0.0) RaiseMathError("y1", MathErrorKind::Domain);
  if (x == 0.0) RaiseMathError("y1", MathErrorKind::Singularity);
  return ::y1(x);
}

}  // namespace guarded
}  // namespace trendolin
