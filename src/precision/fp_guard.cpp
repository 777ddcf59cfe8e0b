// Floating-point status checks that turn faults into errnotify.
#include "precision/fp_guard.h"

#include <cfenv>

#include "platform/debug_log.h"
#include "precision/errors.h"

namespace trendolin {

int ReinitFP() {
  DebugLog("ReinitFP: Start.\n");
  std::feclearexcept(FE_ALL_EXCEPT);
  DebugLog("ReinitFP: Finished.\n");
  return 0;
}

void ClearFpFaults() { std::feclearexcept(FE_ALL_EXCEPT); }

bool FpFaultPending() { return std::fetestexcept(FE_DIVBYZERO | FE_OVERFLOW) != 0; }

void CheckFpFaults() {
  const int raised = std::fetestexcept(FE_DIVBYZERO | FE_OVERFLOW);
  if (raised == 0) return;
  // Division by zero is reported first: it is usually the cause of an
  // overflow seen in the same piece of work, not the other way round.
  fpe_catch((raised & FE_DIVBYZERO) ? FE_DIVBYZERO : FE_OVERFLOW);
}

void fpe_catch(int trapCode) {
  DebugLog("Entering fpe_catch.\n");
  ClearErrorInfo();
  ErrorInfo.fpFlag = 1;
  int id = kErrPrecisionLoss;
  if (trapCode == FE_INVALID) {
    id = kErrInvalidOperation;
  } else if (trapCode == FE_DIVBYZERO) {
    id = kErrDivideByZero;
  } else if (trapCode == FE_OVERFLOW) {
    id = kErrOverflow;
  } else if (trapCode == FE_UNDERFLOW) {
    id = kErrUnderflow;
  }
  ErrorInfo.id = id;
  DebugLogF("Exception caught in fpe_catch(): id = %d\n", trapCode);
  ErrorInfo.FitId = 0;
  ReinitFP();
  ErrorInfo.routine = "unknown";
  throw errnotify();
}

}  // namespace trendolin
