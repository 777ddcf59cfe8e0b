// The routing table of the commands the fit drivers answer.
#include "session/drivers.h"

#include "app/app_settings.h"
#include "data/document_hooks.h"
#include "session/fit_hunter.h"

namespace trendolin {

bool DispatchFitCommand(CurveFit& doc, int command, int notifyCode) {
  switch (command) {
    case kPolynomialModel:
      PolynomialCommand(doc);
      return true;
    case kTensionSplineModel:
      TensionSplineCommand(doc);
      return true;
    case kUserModel:
      UserModelCommand(doc);
      return true;
    case kCmdFitHunter:
      FitHunterCommand(doc, notifyCode);
      return true;
    case kCmdCalculateGroups:
      CalculateGroupsCommand(doc);
      return true;
    case kCmdReexamine:
      // Like every command that looks at the data, it waits for the grid's edit.
      if (!Hooks().commitGridEdit || Hooks().commitGridEdit()) Reexamine(doc, 0);
      return true;
    case kCmdClearCurvefits:
      ClearCurvefits(doc);
      return true;
    default:
      break;
  }
  if (command >= kWeightingY2 && command <= kWeightingNone) {
    WeightingCommand(doc, command);
    return true;
  }
  if (command >= kFirstModelId && command < kFirstModelId + kModelCount) {
    ModelCommand(doc, command);
    return true;
  }
  return false;
}

}  // namespace trendolin
