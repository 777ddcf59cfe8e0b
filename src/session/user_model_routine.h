// The fit routine of the user model (539).
#pragma once

#include "fit/fit_types.h"

namespace trendolin {

// The fit routine of 539: the nonlinear fit of the user model, showing the
// initial-guess dialog before every attempt (unless the run is unattended)
// and trying again after a reported error until the user cancels it.
// 0 when a result was stored, 1 when the fit ended without one. Raises
// errnotify for an abort during a batch (15).
int UserFit(CurveFit& doc, int id);

}  // namespace trendolin
