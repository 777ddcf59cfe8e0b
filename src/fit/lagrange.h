// Polynomial interpolation: the polynomial of degree n - 1 through all n
// data points, built from the Lagrange basis polynomials in power form.
#pragma once

#include "fit/nonlinear.h"

namespace trendolin {

// Writes c0..c(n-1) (ascending powers) into `coefficients` (n values) for
// the problem's n points. Polls after every basis factor (n^2 polls) and
// returns 0 or the stop request a poll answered. Two equal x divide by
// zero; that fault, and a result that is not finite, raise errnotify after
// the marker "LagrangeInterpolation_1" and the finish notification.
// Work: O(n^3) time and two n x n matrices (the driver takes at most
// MaxPolyDegree + 1 points).
int LagrangeInterpolation(NonlinearProblem& problem, datatype* coefficients);

}  // namespace trendolin
