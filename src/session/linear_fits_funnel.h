// What the closed-form fit drivers (regressions and interpolations) share:
// the calculation mode around the work, stop requests turned into errors,
// and the exception funnel that reports a failed fit once.
#pragma once

#include "fit/fit_types.h"

namespace trendolin {

// Enters single-fit mode when the program is idle (a batch keeps its mode).
void EnterFitMode();

// Back to idle after a single fit (a batch keeps its mode).
void LeaveFitMode();

// A stop request answered by the notify routine, as the error a driver
// raises: abort (4) is error 15 during a batch and 14 otherwise; accept (5)
// is error 14, since a closed-form fit has nothing to accept. Any other
// value is not a stop request and is returned unchanged.
int RaiseStopRequest(int request, int id);

// The undo a driver needs when its fit fails after the result was marked:
// the most recently fitted model as it was when the driver started.
struct FitAttempt {
  CurveFit& doc;
  int id;
  int lastModel;
};
FitAttempt BeginFitAttempt(CurveFit& doc, int id);

// The exception funnel, called from the driver's handler of errnotify:
// writes the driver's marker ("EX: " + marker), puts the model id into
// ErrorInfo, leaves the model not fitted (an interpolation record is
// released), returns to idle after a single fit, and then by error: 15 is
// raised again (a batch must end), 14 is dropped silently, any other is
// reported with ErrorHandle. Returns 1, the driver's "no result".
int FunnelFitError(const FitAttempt& attempt, const char* marker);

}  // namespace trendolin
