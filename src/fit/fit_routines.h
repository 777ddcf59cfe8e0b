// Which routine fits, and which evaluates, each model of the catalogue.
#pragma once

#include "fit/fit_types.h"

namespace trendolin {

// The fit routine of `id`, or nullptr while none exists for it.
FitRoutine FitRoutineOf(int id);

// The evaluate routine of `id` when it is not the model function applied to
// the stored coefficients (polynomials, interpolations); nullptr otherwise.
EvaluateFunction EvaluateRoutineOf(int id);

// The model function of a linear model (500..502) as a polynomial in x with
// the given coefficients; nullptr for others.
ModelFunction LinearModelFunctionOf(int id);

// The plot-only "fit" of model 503: fits nothing, marks 503 as the most
// recently fitted model and succeeds.
int PlotOnlyFit(CurveFit& doc, int id);

// The user model's formula and guess routine, installed by the user-model
// store (nullptr until a formula is set).
extern ModelFunction UserModelFunction;
extern InitialGuessFunction UserModelGuess;

}  // namespace trendolin
