// Which routine fits each model of the catalogue.
#pragma once

#include "fit/fit_types.h"

namespace trendolin {

// The fit routine of `id`, or nullptr while none exists for it. A negative
// id (the initial-guess dialog's test view) fits nothing: PlotOnlyFit.
FitRoutine FitRoutineOf(int id);

// The plot-only "fit" of model 503: fits nothing, marks 503 as the most
// recently fitted model and succeeds.
int PlotOnlyFit(CurveFit& doc, int id);

}  // namespace trendolin
