// Process-wide state of the fitting engine shared by its parts.
#pragma once

#include <array>

#include "fit/fit_types.h"

namespace trendolin {

// The current polynomial degree (model 502).
extern int PolynomialDegree;

// The guess vector: the initial-guess routines and the initial-guess dialog
// write it; the nonlinear solver starts from its first m values.
extern std::array<datatype, kGuessVectorSize> GuessVector;

// The coefficients the initial-guess dialog's test graph draws (the
// descriptor of a negative model id points at them).
extern std::array<datatype, kGuessVectorSize> TestCoefficients;

}  // namespace trendolin
