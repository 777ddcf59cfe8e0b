// The global error record, the one raise helper and the log marker of a guard.
#include "precision/errors.h"

#include "platform/debug_log.h"

namespace trendolin {

thread_local ErrorRecord ErrorInfo;

void ClearErrorInfo() {
  ErrorInfo.id = 0;
  ErrorInfo.FitId = -1;
  ErrorInfo.fpFlag = 0;
  ErrorInfo.routine.clear();
}

void RaiseError(int id, int fitId, std::string_view routine, int fpFlag) {
  ClearErrorInfo();
  ErrorInfo.id = id;
  ErrorInfo.FitId = fitId;
  ErrorInfo.fpFlag = fpFlag;
  ErrorInfo.routine = std::string(routine.substr(0, kRoutineNameSize - 1));
  throw errnotify();
}

void LogExceptionMarker(const char* routineAndGuard) {
  if (DebugFlags == 0) return;
  DebugLog(std::string("EX: ") + routineAndGuard + "\n");
}

}  // namespace trendolin
