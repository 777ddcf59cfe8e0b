// The global error record and the one raise helper.
#include "precision/errors.h"

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

}  // namespace trendolin
