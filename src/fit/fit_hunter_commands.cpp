// The FitHunter and Calculate Groups commands: their dialogs, the batch
// mode around the work, and what the user is shown at the end.
#include "fit/fit_hunter.h"

#include "app/app_settings.h"
#include "app/debug_log.h"
#include "app/errors.h"
#include "app/run_flags.h"
#include "data/document_hooks.h"
#include "fit/drivers.h"
#include "fit/fit_state.h"
#include "fit/model_desc.h"
#include "fit/nonlinear.h"
#include "graph/graph_queue.h"
#include "platform/ui.h"

namespace trendolin {
namespace {

bool GridAgrees() {
  const DocumentHooks& hooks = Hooks();
  return !hooks.commitGridEdit || hooks.commitGridEdit();
}

void ShowWarning(const MessagePair& pair) {
  platform::ResourceMessageBox(pair.caption, pair.text, platform::Icon::Exclamation, platform::Buttons::Ok);
}

platform::ModelGroupsDialogRequest DialogRequest(const GroupsDialogSetup& setup, bool fitHunter) {
  platform::ModelGroupsDialogRequest request;
  request.fitHunter = fitHunter;
  request.groupMask = setup.groupMask;
  request.checkedMask = setup.checkedMask;
  request.polynomialEnabled = setup.polynomialEnabled;
  request.degreeText = fitHunter ? std::to_string(setup.degree) : std::string();
  request.spinLower = setup.spinLower;
  request.spinUpper = setup.spinUpper;
  return request;
}

// The FitHunter dialog; nothing when cancelled.
std::optional<SearchRequest> AskForSearch(const CurveFit& doc) {
  const GroupsDialogSetup setup = GroupsDialogOpening(doc, false);
  platform::ModelGroupsDialogRequest request = DialogRequest(setup, true);
  std::optional<SearchRequest> chosen;
  request.accept = [&](int mask, const std::string& degreeText) {
    const SearchDialogCheck check = CheckFitHunterDialog(mask, degreeText, doc.nPoints, Settings.maxPolyDegree);
    if (check.verdict == SearchDialogVerdict::Accepted) {
      chosen = check.request;
      return true;
    }
    if (check.warning) {
      platform::CurrentUi().Beep();
      ShowWarning(*check.warning);
    }
    return false;
  };
  if (!platform::CurrentUi().ModelGroupsDialog(request)) return std::nullopt;
  return chosen;
}

// The Calculate Groups dialog: the mask of the checked groups, or nothing.
std::optional<int> AskForGroups(const CurveFit& doc) {
  const GroupsDialogSetup setup = GroupsDialogOpening(doc, true);
  platform::ModelGroupsDialogRequest request = DialogRequest(setup, false);
  std::optional<int> chosen;
  request.accept = [&chosen](int mask, const std::string&) {
    chosen = mask;
    return true;
  };
  if (!platform::CurrentUi().ModelGroupsDialog(request)) return std::nullopt;
  return chosen;
}

// Every way out of a group run: the interface back, the dialogs back, the
// unattended flag clear.
void EndGroupRun() {
  SetCalculationMode(0);
  ModelDialogs.SetAll(1);
  UnattendedFlag = 0;
}

}  // namespace

FitHunterOutcome RunFitHunter(CurveFit& doc, const SearchRequest& request) {
  FitHunterOutcome outcome;
  DebugLog("FH: Placing TL in forced iteration state.\n");
  SetCalculationMode(2);
  DebugLog("FH: Entering FitHunter Routine\n");
  try {
    outcome.best = FitHunterSearch(doc, request.maxDegree, request.classMask);
  } catch (const errnotify&) {
    DebugLog("FH: Exited FitHunter with exception\n");
    DebugLog("EX: WndProc_1\n");
    SetCalculationMode(0);
    outcome.end = FitHunterEnd::Aborted;
    return outcome;
  }
  DebugLog("FH: Exited FitHunter normally\n");
  SetCalculationMode(0);
  DebugLog("Finished removing TL from iteration\n");
  if (outcome.best == -1) {
    DebugLog("FH: did not found a best fit\n");
    ShowWarning(kNoFitFound);
    RestoreIdleStatusBar(doc);
    outcome.end = FitHunterEnd::NotFound;
  } else {
    DebugLog("FH: found a best fit\n");
    NonlinearFlags.forceDialog = false;
    // Its fit is current: the command only opens the window (for 502 and
    // 539 without the dialog, whose flag the search cleared).
    DispatchFitCommand(doc, outcome.best);
    outcome.end = FitHunterEnd::Found;
  }
  DebugLog("FH: exiting Menu routine normally\n");
  return outcome;
}

FitHunterOutcome FitHunterCommand(CurveFit& doc, int notifyCode) {
  if (!GridAgrees()) return {};
  SearchRequest request;  // the accelerators' default
  if (notifyCode == 0) {
    const std::optional<SearchRequest> asked = AskForSearch(doc);
    if (!asked) return {};
    request = *asked;
  }
  return RunFitHunter(doc, request);
}

int CalculateGroupsRun(CurveFit& doc, int classMask, std::vector<GroupRunEntry>* log) {
  GraphQueue.RemoveByClassMask(classMask);
  const int openBefore = GraphQueue.Count();
  ModelDialogs.SetAll(0);
  UnattendedFlag = 1;
  SetCalculationMode(2);
  // A result left from an earlier command must not end this run.
  LastOpenWindowResult = kWindowOpened;
  for (int id = kFirstModelId; id < kFirstModelId + kModelCount; ++id) {
    const CatalogueEntry* entry = CatalogueEntryOf(id);
    if (id == kPlotModel || entry == nullptr || (entry->classMask & classMask) == 0) continue;
    DispatchFitCommand(doc, id);
    if (log) log->push_back({id, LastOpenWindowResult});
    if (LastOpenWindowResult == kWindowError) {
      EndGroupRun();
      return 0;
    }
  }
  EndGroupRun();
  return GraphQueue.Count() == openBefore ? -1 : 0;
}

int RunCalculateGroups(CurveFit& doc, int classMask, std::vector<GroupRunEntry>* log) {
  const int result = CalculateGroupsRun(doc, classMask, log);
  if (result == -1) {
    ShowWarning(kNoGroupWindow);
    RestoreIdleStatusBar(doc);
  }
  return result;
}

int CalculateGroupsCommand(CurveFit& doc) {
  if (!GridAgrees()) return 0;
  const std::optional<int> mask = AskForGroups(doc);
  if (!mask) return 0;
  return RunCalculateGroups(doc, *mask);
}

}  // namespace trendolin
