// The linear, quadratic and nth-order polynomial fits (models 500, 501,
// 502): their fit routines, model functions and evaluators.
#pragma once

#include "fit/fit_types.h"

namespace trendolin {

// c0 + c1 x + ... + c_degree x^degree by Horner's rule, c0 first. Each
// partial value x * v + c_k is formed in double and kept as a datatype, as
// the evaluator's temporary array of partial values holds it.
datatype PolynomialValue(const datatype* c, int degree, datatype x);

// The model functions: c0 + c1 x (500), c0 + x (c1 + x c2) (501), and the
// polynomial of the current degree (502). The first two are Horner's rule
// of degree 1 and 2, so a quadratic fit and a polynomial of degree 2 give
// the same numbers.
datatype LinearModel(const datatype* c, datatype x);
datatype QuadraticModel(const datatype* c, datatype x);
datatype PolynomialModel(const datatype* c, datatype x);

// The evaluators: the model function on the coefficients of the model's slot.
datatype EvaluateLinear(const ModelDesc& desc, datatype x);
datatype EvaluateQuadratic(const ModelDesc& desc, datatype x);
datatype EvaluatePolynomial(const ModelDesc& desc, datatype x);

// The fit routines of the catalogue (`id` is 500, 501, 502). The polynomial
// is fitted with the current degree (PolynomialDegree, 1..19), which is
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
