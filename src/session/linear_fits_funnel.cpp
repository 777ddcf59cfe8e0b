// The calculation mode, stop requests and exception funnel of the
// closed-form fit drivers.
#include "session/linear_fits_funnel.h"

#include "app/error_handle.h"
#include "app/run_flags.h"
#include "data/curve_fit.h"
#include "fit/engine_state.h"
#include "fit/nonlinear.h"
#include "precision/errors.h"

namespace trendolin {

void EnterFitMode() {
  if (CurrentEngine().calcMode == 0) SetCalculationMode(1);
}

void LeaveFitMode() {
  if (CurrentEngine().calcMode == 1) SetCalculationMode(0);
}

int RaiseStopRequest(int request, int id) {
  if (request == kStopAbort) RaiseError(CurrentEngine().calcMode == 2 ? kErrStoppedInSearch : kErrUserStopped, id);
  if (request == kStopAccept) RaiseError(kErrUserStopped, id);
  return request;
}

FitAttempt BeginFitAttempt(CurveFit& doc, int id) { return FitAttempt{doc, id, doc.nLastModel}; }

int FunnelFitError(const FitAttempt& attempt, const char* marker) {
  LogExceptionMarker(marker);
  ErrorInfo.FitId = attempt.id;
  // A fault after the result was marked (the statistics of constant y, for
  // one) must not leave a fit that counts as current: the next command would
  // show it without fitting again.
  if (attempt.id >= kFirstInterpolation && attempt.id <= kLastInterpolation) {
    attempt.doc.Interp(attempt.id).Release();
  } else {
    attempt.doc.Slot(attempt.id).fittedWith = 0;
  }
  attempt.doc.nLastModel = attempt.lastModel;
  LeaveFitMode();
  if (ErrorInfo.id == kErrStoppedInSearch) throw;  // still inside the driver's handler
  if (ErrorInfo.id != kErrUserStopped) ErrorHandle(ErrorInfo);
  return 1;
}

}  // namespace trendolin
