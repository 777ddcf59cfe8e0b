// The evaluators of the five interpolations (534..538): y at any x from the
// stored record and the knots of the data set.
#pragma once

#include <span>

#include "fit/fit_types.h"

namespace trendolin {

// The catalogue's evaluate routines. The splines take the piece of the
// first interval whose right knot is not left of x (extended beyond the
// data); the tension spline first clamps x into [x(0), x(n-1)], so it is
// flat beyond the data. The polynomial interpolation is Horner's rule over
// its n coefficients. With fewer than two knots (one coefficient for 534)
// or no stored record the value is a quiet not-a-number.
datatype EvaluateLagrange(const ModelDesc& desc, datatype x);
datatype EvaluateLinearSpline(const ModelDesc& desc, datatype x);
datatype EvaluateQuadraticSpline(const ModelDesc& desc, datatype x);
datatype EvaluateCubicSpline(const ModelDesc& desc, datatype x);
datatype EvaluateTensionSpline(const ModelDesc& desc, datatype x);

// The interpolation desc.id at every x of `xs` into `ys` (same size): the
// values of the routines above, with the knot order looked up once and the
// interval search continued from one x to the next (plots and tables).
void EvaluateInterpolation(const ModelDesc& desc, std::span<const datatype> xs, std::span<datatype> ys);

}  // namespace trendolin
