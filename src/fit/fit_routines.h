// Which routine evaluates each model of the catalogue (the routines that fit
// them belong to the session: session/fit_routine_table.h).
#pragma once

#include "fit/fit_types.h"

namespace trendolin {

// The evaluate routine of `id` when it is not the model function applied to
// the stored coefficients (polynomials, interpolations); nullptr otherwise.
EvaluateFunction EvaluateRoutineOf(int id);

// The model function of a linear model (500..502) as a polynomial in x with
// the given coefficients; nullptr for others.
ModelFunction LinearModelFunctionOf(int id);

}  // namespace trendolin
