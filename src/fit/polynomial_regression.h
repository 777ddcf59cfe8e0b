// Exact weighted least squares for a polynomial of degree m: the normal
// equations built from power sums in single precision and solved by
// Gauss-Jordan elimination.
#pragma once

#include "fit/nonlinear.h"

namespace trendolin {

// Fits c0 + c1 x + ... + cm x^m (m = degree, 1..19) to the problem's points.
// Reads problem.nPoints, x, y, flags (the one weighting bit; uncertainties
// when weighting by uncertainty), notify and modelId; writes the m + 1
// coefficients, c0 first, into problem.parameters, which must hold them.
//
// Returns 0, or the stop request (4 abort, 5 accept) the notify routine
// answered to a poll; nothing is written then. A floating-point fault (a
// zero pivot, a zero weight divisor, an overflow) raises errnotify after the
// marker "PolynomialRegression_1" and the finish notification. So does a
// system that is singular whatever the rounding, that is points with fewer
// than m + 1 distinct x (error 7), and a solution that is not finite
// (error 7): a singular fit never ends with not-a-number coefficients.
// A degree outside 1..19 is refused with error 7 as well.
int PolynomialRegression(NonlinearProblem& problem, int degree);

// The covariance of a polynomial fit from its power sums: the derivative of
// the model by c_i is x^i, so the unscaled normal matrix is the block
// S_(i+j) of the same weighted sums, inverted into problem.covariance
// ((degree + 1)^2 values). Faults and a non-finite inverse raise errnotify.
// For the polynomials whose coefficient count exceeds what the numerical
// derivatives of ComputeCovariance take.
void PowerSumCovariance(NonlinearProblem& problem, int degree);

}  // namespace trendolin
