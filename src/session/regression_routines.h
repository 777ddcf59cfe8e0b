// The fit routines of the linear, quadratic and nth-order polynomial models
// (500, 501, 502): the regression, then the result steps.
#pragma once

#include "fit/fit_types.h"

namespace trendolin {

// The fit routines of the catalogue (`id` is 500, 501, 502). The polynomial
// is fitted with the current degree (the engine state's polynomialDegree, 1..19), which is
// recorded in doc.modelIntegers[2] when the fit succeeds. 0 when a result
// was stored and marked fitted with the Weighting setting; 1 when the fit
// ended without one (reported, or silent for a user stop). An abort during
// a batch raises errnotify with error 15.
int LinearFit(CurveFit& doc, int id);
int QuadraticFit(CurveFit& doc, int id);
int PolynomialFit(CurveFit& doc, int id);

// The weighting bit of the Weighting setting for this data set (459 without
// an uncertainty column is no weighting).
unsigned RegressionWeightingFlag(const CurveFit& doc);

}  // namespace trendolin
