// The built-in nonlinear models 504..533: their formulas and their automatic
// initial guesses.
#pragma once

#include "fit/fit_types.h"

namespace trendolin {

// The formula of model `id` (504..533); nullptr for any other id.
ModelFunction ModelFunctionOf(int id);

// The initial-guess routine of model `id` (504..533); nullptr for any other.
// A routine raises errnotify (through the floating-point and math checks)
// when the data do not allow its computation.
InitialGuessFunction InitialGuessOf(int id);

}  // namespace trendolin
