// Numerical partial derivatives of a model with respect to one parameter,
// and Newton's method for one unknown.
#pragma once

#include <algorithm>

#include "fit/fit_types.h"

namespace trendolin {

// The step of the derivatives with respect to a parameter of value p:
// 0.0001, but never less than a ten-thousandth nor more than a thousandth of
// |p| (0.0001 when p is 0). Parameters from 0.1 to 1 keep the plain step; a
// coefficient that carries the units of y (1e8 or 1e-6, say) moves by the
// same share of itself at any scale. With the plain step alone, 1e8 + 0.0001
// rounds back to 1e8, and a coefficient of 1e-6 moves by a hundred times its
// own size.
inline double DerivativeStep(datatype p) {
  constexpr double kStep = 0.0001;
  const double magnitude = p < 0 ? -double{p} : double{p};
  if (magnitude == 0) return kStep;
  return std::clamp(kStep, 0.0001 * magnitude, 0.001 * magnitude);
}

// The first step of the refined derivatives: 0.005, within a two-hundredth
// and a twentieth of |p|. Four halvings later it is still about fifty times
// the rounding of a float, so the extrapolation, which amplifies rounding at
// every level, starts from differences that carry their digits.
inline double RefinedDerivativeStep(datatype p) {
  constexpr double kStep = 0.005;
  const double magnitude = p < 0 ? -double{p} : double{p};
  if (magnitude == 0) return kStep;
  return std::clamp(kStep, 0.005 * magnitude, 0.05 * magnitude);
}

// A central difference over the width the two moved parameters really lie
// apart; a subnormal parameter that cannot move has no usable derivative (0).
inline double DifferenceQuotient(double difference, double width) { return width != 0 ? difference / width : 0; }

// Central difference over the step above (the quick derivatives), divided by
// the distance the two moved parameters really lie apart once rounded.
datatype Partial(int i, datatype x, const datatype* p, ModelFunction f, int m);

// Central differences on halved steps, from RefinedDerivativeStep, refined in
// a table of up to five rows.
datatype PartialRE(int i, datatype x, const datatype* p, ModelFunction f, int m);

using DerivativeFunction = datatype (*)(int i, datatype x, const datatype* p, ModelFunction f, int m);

// Root of g(data, t) by Newton's method from `start` (up to 500 steps).
using NewtonFunction = datatype (*)(const void* data, datatype t);
datatype NewtonRoot(NewtonFunction g, const void* data, datatype start);

}  // namespace trendolin
