// Exact weighted least squares for a polynomial of degree m, by an
// orthogonal factorisation in double of the design matrix in centred and
// scaled x.
#pragma once

#include "fit/nonlinear.h"

namespace trendolin {

// Fits c0 + c1 x + ... + cm x^m (m = degree, 1..19) to the problem's points,
// minimising the sum of w(i) r(i)^2 with w(i) = 1 / d(i) for the divisor of
// the weighting bit (1, sigma^2, x, x^2, y or y^2). Weights of both signs
// give the solution of the normal equations, which then are indefinite.
// Reads problem.nPoints, x, y, flags, uncertainties (when weighting by
// them), notify and modelId; writes the m + 1 coefficients, c0 first, into
// problem.parameters and, when problem.covariance is set, the inverse of the
// unscaled normal matrix X^T W X in powers of x ((m + 1)^2 values) into it.
// Both are computed in double and rounded to datatype once.
//
// Notifies 1 at the start, polls 3m times (6) while it goes through the
// points and 3 at the end. Returns 0, or the stop request (4 abort, 5 accept)
// a poll was answered with; nothing is written then. A zero divisor (before
// any poll), an overflow of a divisor or of a rounded result raise errnotify
// after the marker "PolynomialRegression_1" and the finish notification. So
// does a singular problem (error 7): fewer than m + 1 distinct x, columns
// dependent to within rounding, or a result that is not finite; a singular
// fit never ends with numbers that look like coefficients. A degree outside
// 1..19 is refused with error 7 as well.
int PolynomialRegression(NonlinearProblem& problem, int degree);

}  // namespace trendolin
