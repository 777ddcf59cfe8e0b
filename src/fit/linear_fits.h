// The linear, quadratic and nth-order polynomial models (500, 501, 502):
// their model functions and evaluators (their fit routines are the
// session's: session/regression_routines.h).
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

}  // namespace trendolin
