#include "session/user_model_routine.h"

#include "app/app_settings.h"
#include "app/error_handle.h"
#include "app/run_flags.h"
#include "data/curve_fit.h"
#include "data/document_hooks.h"
#include "fit/engine_state.h"
#include "precision/errors.h"
#include "session/nonlinear_routine.h"
#include "session/session.h"
#include "usermodel/interpreter.h"
#include "usermodel/user_model.h"

namespace trendolin {
namespace {

// What every attempt starts from: no result of an earlier fit (a failed
// attempt leaves the coefficients where the solver stopped), room for the
// coefficients and the covariance matrix.
void ResetUserResult() {
  CurrentEngine().userModel.Release();
  AllocateParameters(CurrentEngine().userModel);
}

}  // namespace

int UserFit(CurveFit& doc, int /*id*/) {
  if (CurrentEngine().userModel.formula.empty()) InitUserModel();  // a record that never had a formula starts like the program
  CurrentEngine().userModelData = SummaryOf(doc);
  CurrentEngine().nonlinearFlags.guessesObtained = false;
  for (;;) {
    ResetUserResult();
    // The initial-guess dialog comes before every attempt: a user model has
    // no guesses of its own worth trusting.
    CurrentEngine().nonlinearFlags.forceDialog = true;
    try {
      const UserModelFitScope fitting;
      NonlinearFit(doc, kUserModel);
    } catch (const errnotify&) {
      LogExceptionMarker("::UserFit_1");
      if (CurrentEngine().calcMode == 1) SetCalculationMode(0);
      ErrorInfo.FitId = kUserModel;
      if (ErrorInfo.id == kErrStoppedInSearch) throw;
      if (ErrorInfo.id == kErrGuessCancelled || ErrorInfo.id == kErrUserStopped) return 1;
      ErrorHandle(ErrorInfo);
      if (ErrorInfo.id == kErrSuppressed) return 1;  // unattended: the report was suppressed
      continue;
    }
    doc.MarkFitted(kUserModel, CurrentSession().settings.weighting);
    doc.CalcStat(kUserModel);
    CallHook(Hooks().refreshFitList);
    return 0;
  }
}

}  // namespace trendolin
