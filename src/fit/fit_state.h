// Process-wide state of the fitting engine shared by its parts.
#pragma once

#include <array>
#include <map>
#include <vector>

#include "fit/fit_types.h"

namespace trendolin {

// The current polynomial degree (model 502).
extern int PolynomialDegree;

// The guess vector: the initial-guess routines and the initial-guess dialog
// write it; the nonlinear solver starts from its first m values.
extern std::array<datatype, kGuessVectorSize> GuessVector;

// The guesses each nonlinear model's last fit started from, by model id. A
// model whose automatic guesses give nothing starts from these (or from 1
// for every parameter before its first fit), never from the values another
// model left in the guess vector.
extern std::map<int, std::vector<datatype>> StartingGuesses;

// The coefficients the initial-guess dialog's test graph draws (the
// descriptor of a negative model id points at them).
extern std::array<datatype, kGuessVectorSize> TestCoefficients;

}  // namespace trendolin
