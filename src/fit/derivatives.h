// Numerical partial derivatives of a model with respect to one parameter,
// and Newton's method for one unknown.
#pragma once

#include "fit/fit_types.h"

namespace trendolin {

// Central difference with step 0.0001 (the quick derivatives).
datatype Partial(int i, datatype x, const datatype* p, ModelFunction f, int m);

// Central differences on halved steps refined in a table of up to five rows.
datatype PartialRE(int i, datatype x, const datatype* p, ModelFunction f, int m);

using DerivativeFunction = datatype (*)(int i, datatype x, const datatype* p, ModelFunction f, int m);

// Root of g(data, t) by Newton's method from `start` (up to 500 steps).
using NewtonFunction = datatype (*)(const void* data, datatype t);
datatype NewtonRoot(NewtonFunction g, const void* data, datatype start);

}  // namespace trendolin
