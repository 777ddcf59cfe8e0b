// Building the interpolating splines through the data points (linear,
// quadratic, natural cubic and tension splines) and evaluating their pieces.
//
// The construction routines read problem.nPoints (n >= 2), x, y, notify and
// modelId, and fill arrays of at least n - 1 values per interval (n for the
// tension spline). Each notifies 1 at the start, 6 (poll) after every unit
// of work and 3 at the end. They return 0, or the stop request (4 or 5) a
// poll answered, after releasing their work arrays. A floating-point fault
// (a zero interval width, a zero pivot, an overflow) or a result that is not
// finite raises errnotify after the routine's marker and the finish
// notification; the arrays are then partly written and must not be used.
//
// Arithmetic: each quantity the algorithms name (a width, a matrix element,
// a slope, a stored coefficient) is a datatype; the expression that gives
// it is evaluated in double (long double for the hyperbolic terms of the
// tension spline, where small tensions cancel) and rounded once.
#pragma once

#include "fit/nonlinear.h"

namespace trendolin {

// Per interval i: y = slope[i] x + intercept[i].
int LinearSpline(NonlinearProblem& problem, datatype* slope, datatype* intercept);

// Per interval i: y = a[i] x^2 + b[i] x + c[i], the first piece a line; one
// dense system of 3(n - 1) unknowns solved without pivoting, so its cost is
// O(n^3) time and O(n^2) memory (the driver takes at most 100 points).
int QuadraticSpline(NonlinearProblem& problem, datatype* a, datatype* b, datatype* c);

// The natural cubic spline: per interval i, y = d[i] x^3 + c[i] x^2 + b[i] x
// + a[i], with zero second derivative at both ends.
int CubicSpline(NonlinearProblem& problem, datatype* d, datatype* c, datatype* b, datatype* a);

// The tension spline of tension t > 0: z[0..n-1], its generalised second
// derivatives at the knots (zero at both ends).
int TensionSpline(NonlinearProblem& problem, datatype* z, datatype tension);

// One piece at x, in double, rounded once.
inline datatype LinearPiece(datatype slope, datatype intercept, datatype x) {
  return static_cast<datatype>(static_cast<double>(slope) * x + intercept);
}
inline datatype QuadraticPiece(datatype a, datatype b, datatype c, datatype x) {
  const double u = x;
  return static_cast<datatype>((a * u + b) * u + c);
}
inline datatype CubicPiece(datatype d, datatype c, datatype b, datatype a, datatype x) {
  const double u = x;
  return static_cast<datatype>(((d * u + c) * u + b) * u + a);
}

// The tension spline at x, already clamped into [x0, x1], on the interval
// from knot (x0, y0) with z0 to knot (x1, y1) with z1.
datatype TensionPiece(datatype x0, datatype x1, datatype y0, datatype y1, datatype z0, datatype z1, datatype tension,
                      datatype x);

}  // namespace trendolin
