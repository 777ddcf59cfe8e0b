// The FitHunter and Calculate Groups commands: their dialogs, the batch
// mode around the work, and what the user is shown at the end.
#include "session/fit_hunter.h"

#include <algorithm>

#include "app/app_settings.h"
#include "app/error_handle.h"
#include "app/run_flags.h"
#include "data/document_hooks.h"
#include "session/drivers.h"
#include "fit/engine_state.h"
#include "fit/model_desc.h"
#include "fit/nonlinear.h"
#include "session/graph_queue.h"
#include "platform/debug_log.h"
#include "platform/resource_strings.h"
#include "platform/ui.h"
#include "precision/errors.h"
#include "session/session.h"

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
    const SearchDialogCheck check = CheckFitHunterDialog(mask, degreeText, doc.nPoints, CurrentSession().settings.maxPolyDegree);
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

// Resource strings of the message that ends a group run (caption 47).
constexpr int kGroupFailuresText = 155;
constexpr int kGroupStoppedText = 156;
constexpr int kGroupUnfittedReason = 157;
constexpr int kGroupNotApplicableReason = 158;
constexpr int kGroupEndedText = 159;
constexpr int kGuessFailedText = 15;  // the automatic guesses failed

// A message's first paragraph: the sentence that says what went wrong,
// without the advice that follows it.
std::string FirstParagraph(std::string_view text) { return std::string(text.substr(0, text.find("\n\n"))); }

// Why model `id` opened no window: the data rule it breaks (its menu item
// is greyed for these data), else what its command left behind: the report
// held back while unattended or the automatic guesses that failed.
std::string FailureReason(int id) {
  if (CurrentSession().availability.enoughPoints && !CurrentSession().availability.ModelEnabled(id)) {
    return std::string(platform::ResourceString(kGroupNotApplicableReason));
  }
  if (!SuppressedReport.empty()) return FirstParagraph(SuppressedReport);
  if (ErrorInfo.id == kErrGuessCancelled) return FirstParagraph(platform::ResourceString(kGuessFailedText));
  return std::string(platform::ResourceString(kGroupUnfittedReason));
}

// The models that failed, by reason: a reason that names its model stands
// alone; models that failed for the same other reason share one paragraph,
// the reason and then their names.
std::string FailureParagraphs(CurveFit& doc, const std::vector<GroupRunEntry>& entries) {
  struct Group {
    std::string reason;
    std::vector<std::string> names;  // empty: the reason names its model
  };
  std::vector<Group> groups;
  for (const GroupRunEntry& entry : entries) {
    if (entry.reason.empty()) continue;
    const std::string name = ModelName(doc, entry.modelId);
    if (entry.reason.find(name) != std::string::npos) {
      groups.push_back({entry.reason, {}});
      continue;
    }
    const auto same = std::find_if(groups.begin(), groups.end(), [&entry](const Group& group) {
      return !group.names.empty() && group.reason == entry.reason;
    });
    if (same == groups.end()) {
      groups.push_back({entry.reason, {name}});
    } else {
      same->names.push_back(name);
    }
  }
  std::string text;
  for (const Group& group : groups) {
    if (!text.empty()) text += "\n\n";
    if (group.names.empty()) {
      text += group.reason;
      continue;
    }
    std::string heading = group.reason;
    if (!heading.empty() && heading.back() == '.') heading.pop_back();
    text += heading + ":\n";
    for (std::size_t i = 0; i < group.names.size(); ++i) text += (i ? ", " : "") + group.names[i];
    text += ".";
  }
  return text;
}

// The one message that ends a run that opened no window, left models out or
// ended early; nothing when every model got its window.
void TellGroupRunEnd(CurveFit& doc, const std::vector<GroupRunEntry>& entries, int result, int windowsOpened) {
  const std::string failures = FailureParagraphs(doc, entries);
  std::string text;
  if (!entries.empty() && entries.back().result == kWindowError) {
    const bool stopped = entries.back().reason.empty();
    const std::string format(platform::ResourceString(stopped ? kGroupStoppedText : kGroupEndedText));
    text = platform::FormatResource(format, {ModelName(doc, entries.back().modelId), std::to_string(windowsOpened)});
    if (!failures.empty()) {
      text += "\n\n" + platform::FormatResource(platform::ResourceString(kGroupFailuresText), {failures});
    }
  } else if (result == -1) {
    text = std::string(platform::ResourceString(kNoGroupWindow.text));
    if (!failures.empty()) text += "\n\n" + failures;
  } else if (!failures.empty()) {
    text = platform::FormatResource(platform::ResourceString(kGroupFailuresText), {failures});
  }
  if (text.empty()) return;
  platform::TellUser(std::string(platform::ResourceString(kNoGroupWindow.caption)), text);
}

// Every way out of a group run: the interface back, the dialogs back, the
// unattended flag clear.
void EndGroupRun() {
  SetCalculationMode(0);
  CurrentSession().modelDialogs.SetAll(1);
  CurrentEngine().unattended = 0;
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
    CurrentEngine().nonlinearFlags.forceDialog = false;
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
  CurrentSession().graphQueue.RemoveByClassMask(classMask);
  const int openBefore = CurrentSession().graphQueue.Count();
  CurrentSession().modelDialogs.SetAll(0);
  CurrentEngine().unattended = 1;
  SetCalculationMode(2);
  // A result left from an earlier command must not end this run.
  CurrentSession().lastOpenWindowResult = kWindowOpened;
  for (int id = kFirstModelId; id < kFirstModelId + kModelCount; ++id) {
    const CatalogueEntry* entry = CatalogueEntryOf(id);
    if (id == kPlotModel || entry == nullptr || (entry->classMask & classMask) == 0) continue;
    ClearErrorInfo();
    SuppressedReport.clear();
    DispatchFitCommand(doc, id);
    GroupRunEntry done{id, CurrentSession().lastOpenWindowResult, {}};
    // An abort says nothing of the model: the run ends with it.
    const bool aborted = done.result == kWindowError && ErrorInfo.id == kErrStoppedInSearch;
    if (done.result != kWindowOpened && !aborted) done.reason = FailureReason(id);
    if (log) log->push_back(done);
    if (done.result == kWindowError) {
      EndGroupRun();
      return 0;
    }
  }
  EndGroupRun();
  return CurrentSession().graphQueue.Count() == openBefore ? -1 : 0;
}

int RunCalculateGroups(CurveFit& doc, int classMask, std::vector<GroupRunEntry>* log) {
  std::vector<GroupRunEntry> entries;
  const int result = CalculateGroupsRun(doc, classMask, &entries);
  // The run closes the groups' windows first, so each window it reports is new.
  const auto opened = std::count_if(entries.begin(), entries.end(),
                                    [](const GroupRunEntry& entry) { return entry.result == kWindowOpened; });
  TellGroupRunEnd(doc, entries, result, static_cast<int>(opened));
  if (result == -1) RestoreIdleStatusBar(doc);
  if (log) *log = std::move(entries);
  return result;
}

int CalculateGroupsCommand(CurveFit& doc) {
  if (!GridAgrees()) return 0;
  const std::optional<int> mask = AskForGroups(doc);
  if (!mask) return 0;
  return RunCalculateGroups(doc, *mask);
}

}  // namespace trendolin
