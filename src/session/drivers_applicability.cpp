// Which fits apply to the data (Reexamine), when stored fits stop being
// current (Clear Curvefits, the weighting menu), and the hooks through which
// the data flows reach the drivers.
#include "session/drivers.h"

#include <cmath>

#include "app/app_settings.h"
#include "data/document_hooks.h"
#include "session/fit_hunter.h"
#include "fit/model_desc.h"
#include "session/graph_queue.h"
#include "platform/ui.h"
#include "precision/rounding.h"
#include "session/session.h"

namespace trendolin {


namespace {

// Commands whose menu items and toolbar buttons need two points or more.
constexpr int kCmdSaveAs = 496;
constexpr int kCmdSave = 497;
constexpr int kCmdPrint = 492;
constexpr int kCmdCut = 489;
constexpr int kCmdCopy = 488;
constexpr int kCmdPaste = 487;
constexpr int kCmdUndo = 485;
constexpr int kCmdRedo = 454;
constexpr int kCmdAutoGuess = 493;

bool IsModel(int id) { return id >= kFirstModelId && id < kFirstModelId + kModelCount; }

// Anything below the smallest normal float counts as x = 0: the models that
// divide by x or take its logarithm would fault on it.
struct XScan {
  bool zero = false;
  bool negative = false;
};

XScan ScanX(const CurveFit& doc) {
  XScan scan;
  for (int i = 0; i < doc.nPoints; ++i) {
    const datatype x = doc.At(i, 0);
    if (std::fabs(x) < kDatatypeMinNormal) {
      scan.zero = true;
    } else if (x < 0) {
      scan.negative = true;
    }
  }
  return scan;
}

void DecideAvailability(const CurveFit& doc) {
  CommandAvailability& a = CurrentSession().availability;
  a.enoughPoints = doc.nPoints >= 2;
  a.models.fill(a.enoughPoints);
  const XScan scan = ScanX(doc);
  for (int id = kFirstModelId; id < kFirstModelId + kModelCount; ++id) {
    if ((scan.zero && ExcludedByZeroX(id)) || (scan.negative && ExcludedByNegativeX(id))) {
      a.models[static_cast<std::size_t>(id - kFirstModelId)] = false;
    }
  }
  a.paste = platform::CurrentUi().ClipboardText().has_value();
  a.undo = !doc.history.undo.Empty();
  a.redo = !doc.history.redo.Empty();
}

}  // namespace

bool CommandAvailability::ModelEnabled(int id) const {
  return IsModel(id) && models[static_cast<std::size_t>(id - kFirstModelId)];
}

bool CommandAvailability::MenuItemEnabled(int command) const {
  if (IsModel(command)) return ModelEnabled(command);
  switch (command) {
    case kCmdSaveAs:
    case kCmdSave:
    case kCmdPrint:
    case kCmdFitHunter:
    case kCmdCalculateGroups:
      return enoughPoints;
    default:
      return true;
  }
}

bool CommandAvailability::ToolbarButtonEnabled(int command) const {
  switch (command) {
    case kCmdCut:
    case kCmdCopy:
    case kCmdSave:
    case kCmdPrint:
    case kLinearModel:
    case kQuadraticModel:
    case kPolynomialModel:
    case kCmdFitHunter:
    case kUserModel:
    case kCmdAutoGuess:
      return enoughPoints;
    case kCmdPaste:
      return paste;
    case kCmdUndo:
      return undo;
    case kCmdRedo:
      return redo;
    default:
      return true;
  }
}

void Reexamine(CurveFit& doc, int flag) {
  platform::Ui& ui = platform::CurrentUi();
  ui.SetBusy(true);
  DecideAvailability(doc);
  // bStatsStale is set by every change of the data and cleared when the
  // statistics are recomputed: it is "changed since last examined".
  if (flag == 0 && doc.bStatsStale) {
    CurrentSession().graphQueue.RefreshAll();
    doc.ClearAllFittedMarks();
    doc.CalcDataStats();
  }
  ui.SetBusy(false);
}

void ClearCurvefits(CurveFit& doc) {
  doc.ClearAllFittedMarks();
  RebuildRankingList(doc);
  CurrentSession().graphQueue.CloseAll();
  doc.ReleaseAllResults();
  Reexamine(doc, 0);
}

WeightingMenuState RefreshWeightingMenu(const CurveFit& doc) {
  WeightingMenuState state;
  state.uncertaintyEnabled = doc.bUncertainty != 0;
  if (!state.uncertaintyEnabled && CurrentSession().settings.weighting == kWeightingUncertainty) CurrentSession().settings.weighting = kWeightingNone;
  state.checked = CurrentSession().settings.weighting;
  return state;
}

WeightingMenuState WeightingCommand(const CurveFit& doc, int command) {
  if (command >= kWeightingY2 && command <= kWeightingNone) CurrentSession().settings.weighting = command;
  return RefreshWeightingMenu(doc);
}

void RestoreIdleStatusBar(const CurveFit& doc) {
  platform::Ui& ui = platform::CurrentUi();
  ui.SetStatusText(0, kAppCaption);
  ui.SetStatusText(1, "");
  ui.SetStatusText(2, "");
  ui.SetStatusText(3, doc.szFileName);
}

void InstallFitDriverHooks(CurveFit& doc) {
  DocumentHooks& hooks = Hooks();
  hooks.refreshFitList = [&doc] { RebuildRankingList(doc); };
  hooks.emptyResultsList = [] { ClearRankingList(); };
  hooks.closeAllGraphs = [] { CurrentSession().graphQueue.CloseAll(); };
  hooks.refresh = [&doc] { Reexamine(doc, 0); };
  hooks.setWeighting = [&doc](int command) { WeightingCommand(doc, command); };
}

}  // namespace trendolin
