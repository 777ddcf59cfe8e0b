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

// Per interval i: y = slope[i] t + start[i] with t = x - x(i) and
// start[i] = y(i).
int LinearSpline(NonlinearProblem& problem, datatype* slope, datatype* start);

// Per interval i, in the distance t = x - x(i) from its left knot:
// y = a[i] t^2 + b[i] t + c[i], with c[i] = y(i) and the first piece a line
// (a[0] = 0). Built from its knot to the next one: the first slope is the
// chord's, and each later piece starts with the slope the previous one ends
// with and bends just enough to reach its right knot. That solves the same
// conditions as one system of 3(n - 1) unknowns, in O(n) time; a zero
// interval width divides by zero.
int QuadraticSpline(NonlinearProblem& problem, datatype* a, datatype* b, datatype* c);

// The natural cubic spline, zero second derivative at both ends: per
// interval i, y = d[i] t^3 + c[i] t^2 + b[i] t + a[i] with t = x - x(i) and
// a[i] = y(i).
//
// Pieces are kept in t, never in powers of x: far from x = 0 the power form
// sums terms of size |d| x^3 that cancel down to y, and in float that loses
// every digit (x near 1000 already makes the terms 10^9 times y).
int CubicSpline(NonlinearProblem& problem, datatype* d, datatype* c, datatype* b, datatype* a);

// The tension spline of tension t > 0: z[0..n-1], its generalised second
// derivatives at the knots (zero at both ends).
int TensionSpline(NonlinearProblem& problem, datatype* z, datatype tension);

// One piece at x, in double, rounded once; `knot` is the left knot x(i)
// the local pieces are written around. x - knot is exact in double.
inline datatype LinearPiece(datatype slope, datatype start, datatype knot, datatype x) {
  return static_cast<datatype>(slope * (static_cast<double>(x) - knot) + start);
}
inline datatype QuadraticPiece(datatype a, datatype b, datatype c, datatype knot, datatype x) {
  const double t = static_cast<double>(x) - knot;
  return static_cast<datatype>((a * t + b) * t + c);
}
inline datatype CubicPiece(datatype d, datatype c, datatype b, datatype a, datatype knot, datatype x) {
  const double t = static_cast<double>(x) - knot;
  return static_cast<datatype>(((d * t + c) * t + b) * t + a);
}

// A local piece written out in powers of x itself, for showing and
// exporting: expanded in double from the stored coefficients and rounded
// once. Highest power first, as the pieces are stored. The values are only
// for reading: evaluating them in float far from x = 0 cancels again.
struct LinearPowers {
  datatype x1, x0;
};
struct QuadraticPowers {
  datatype x2, x1, x0;
};
struct CubicPowers {
  datatype x3, x2, x1, x0;
};
LinearPowers LinearInPowersOfX(datatype slope, datatype start, datatype knot);
QuadraticPowers QuadraticInPowersOfX(datatype a, datatype b, datatype c, datatype knot);
CubicPowers CubicInPowersOfX(datatype d, datatype c, datatype b, datatype a, datatype knot);

// The tension spline at x, already clamped into [x0, x1], on the interval
// from knot (x0, y0) with z0 to knot (x1, y1) with z1.
datatype TensionPiece(datatype x0, datatype x1, datatype y0, datatype y1, datatype z0, datatype z1, datatype tension,
                      datatype x);

}  // namespace trendolin
