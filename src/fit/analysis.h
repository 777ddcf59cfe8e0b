// Numerical analysis of a fitted curve: value, inverse, derivative, definite
// integral and arc length of a function of one single-precision variable.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "fit/fit_types.h"

namespace trendolin {

// A curve y = f(x): for a fit, the model's evaluate routine. It may raise
// errnotify; division by zero and overflow it causes only show in the
// floating-point status flags, which every routine here tests after each
// evaluation.
using Curve = std::function<datatype(datatype)>;

// The curve of a model: its evaluate routine with the coefficients its result
// record holds. A descriptor that cannot be evaluated (no evaluate routine,
// or a regression without coefficients) gives a curve that raises errnotify.
Curve CurveOf(const ModelDesc& desc);

// One definite integral of `integrand` from a to b.
struct IntegrationRequest {
  Curve integrand;
  datatype a = 0.0f;  // lower limit
  datatype b = 0.0f;  // upper limit
  int n = 4;          // interval count
  datatype result = 0.0f;
};

// Composite Simpson rule with request.n intervals (fewer than 3 become 4, an
// odd count is made even and written back). Pumps pending events once.
// Returns 0 with the result stored, or 1 when an evaluation failed (logged
// as "Simpsons_1"; errnotify does not leave this routine).
int Simpsons(IntegrationRequest& request);

// Simpson estimates on 4, 8, ..., 2048 intervals refined by extrapolation
// until two diagonal entries agree to 1e-4 relative to the first estimate.
// Returns 0 when converged, 1 when not (the result then holds the last
// estimate). Raises errnotify when an estimate fails (with ErrorInfo cleared)
// or its own arithmetic faults.
int Romberg(IntegrationRequest& request);

// The width of the piece of a curve that serves x (a spline's interval
// between two knots), or 0 for a curve that is one formula everywhere.
using PieceWidth = std::function<double(datatype)>;
PieceWidth PieceWidthOf(const ModelDesc& desc);

// f'(x) by central differences on a first step halved four times, refined
// by extrapolation (at most 10 evaluations). The first step suits single
// precision at the scale of x; within a piece of the given width (when not
// 0) it is at most a quarter of that width, so that the differences see
// the piece that serves x rather than its neighbours. Without convergence
// the last estimate is returned. Raises errnotify on a fault.
datatype DiffRE(datatype x, const Curve& f, double pieceWidth = 0);

// Length of the curve from a to b: the integral of sqrt(1 + f'(x)^2) by
// Romberg with DiffRE. Limits in either order: b < a gives a negative
// length. Returns Romberg's status (0 converged, 1 not) and stores the
// length in *result; raises errnotify on a fault (*result unchanged).
int ArcLength(const Curve& f, datatype a, datatype b, datatype* result, const PieceWidth& width = {});

// f(x), raising errnotify when the evaluation faults.
datatype YAtX(const Curve& f, datatype x);

// f(x) for an output line, or nullopt when the evaluation raised errnotify
// (or ran out of memory); the guard's marker is then logged.
std::optional<datatype> GuardedCurveValue(const Curve& f, datatype x, const char* marker);

// "%g" of f(x), or "ERR" as GuardedCurveValue decides.
std::string CurveValueText(const Curve& f, datatype x, const char* marker);

// An x with f(x) = y by NewtonRoot from `start`. Raises errnotify on a fault,
// such as a zero slope; without convergence the last iterate is returned.
datatype XAtY(const Curve& f, datatype y, datatype start);

}  // namespace trendolin
