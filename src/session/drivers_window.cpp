// From a model command to a graph window: reusing a current window, opening
// the fit window (fitting first when needed), and the three commands that
// ask for a value before they fit.
#include "session/drivers.h"
#include "session/fit_routine_table.h"

#include <memory>
#include <string>

#include "app/app_settings.h"
#include "app/error_handle.h"
#include "app/out_of_memory.h"
#include "app/settings_location.h"
#include "data/document_hooks.h"
#include "fit/engine_state.h"
#include "session/interpolation_drivers.h"
#include "session/linear_fits_dialogs.h"
#include "fit/model_desc.h"
#include "session/graph_queue.h"
#include "platform/resource_strings.h"
#include "platform/ui.h"
#include "precision/errors.h"
#include "session/session.h"
#include "session/user_model_dialog.h"
#include "session/user_model_store.h"

namespace trendolin {
namespace {



// The data grid finishes a pending cell edit first; false when it cannot.
bool GridAgrees() {
  const DocumentHooks& hooks = Hooks();
  return !hooks.commitGridEdit || hooks.commitGridEdit();
}

void Warn(const MessagePair& pair) {
  platform::Ui& ui = platform::CurrentUi();
  ui.Beep();
  platform::ResourceMessageBox(pair.caption, pair.text, platform::Icon::Exclamation, platform::Buttons::Ok);
}

// Steps 5 to 7 of opening: fit when needed, create and queue the window,
// show it. May raise errnotify.
int FitAndShow(CurveFit& doc, int id, const std::string& title, std::unique_ptr<GraphAttr>& record) {
  if (!FitIsCurrent(doc, id)) {
    const FitRoutine fit = FitRoutineOf(id);
    if (fit == nullptr || fit(doc, id) != 0) return kWindowDeclined;
  }
  GraphWindowHost& host = CurrentSession().graphQueue.Host();
  const GraphWindowId window = host.CreateGraphWindow(title, *record);
  if (window == kNoWindow) return kWindowDeclined;
  if (!CurrentSession().graphQueue.Add(window, title, record)) {
    host.DestroyGraphWindow(window);  // the queue was full; the record goes with `record`
    return kWindowDeclined;
  }
  RestoreIdleStatusBar(doc);
  if (CurrentSession().settings.IsOn(kFlagNoGraphs) && id != kPlotModel) {
    host.PostInformationCommand(window);
  } else {
    host.ShowGraphWindow(window);
  }
  return kWindowOpened;
}

int OpenFitWindowOnce(CurveFit& doc, int id) {
  if (!GridAgrees()) return kWindowDeclined;
  auto record = std::make_unique<GraphAttr>();
  record->modelId = id;
  const std::string title = GraphWindowTitle(doc, id);
  const bool wasCurrent = FitIsCurrent(doc, id);
  const int lastModel = doc.nLastModel;
  try {
    return GuardAllocation([&] { return FitAndShow(doc, id, title, record); });
  } catch (const errnotify&) {
    // A fit that escaped half done (its statistics faulted after it was
    // marked) must not count as current for the next command.
    if (!wasCurrent && id != kPlotModel) {
      doc.MarkFitted(id, 0);
      doc.nLastModel = lastModel;
    }
    // A stop during a batch (15) ends the batch, which reads the result; a
    // user's stop (14) says nothing; anything else (such a fault, memory)
    // is told once.
    if (ErrorInfo.id != kErrStoppedInSearch && ErrorInfo.id != kErrUserStopped) {
      ErrorInfo.FitId = id;
      ErrorHandle(ErrorInfo);
    }
    RestoreIdleStatusBar(doc);
    return kWindowError;
  }
}

// The degree dialog: the current degree, a spin control from 3 to
// min(MaxPolyDegree, n - 1); OK takes a degree the rules accept.
bool AskForDegree(const CurveFit& doc) {
  if (const auto warning = DegreeDialogOpenWarning(doc.nPoints)) {
    platform::ResourceMessageBox(warning->caption, warning->text, platform::Icon::Exclamation, platform::Buttons::Ok);
    return false;
  }
  const SpinRange spin = DegreeSpinRange(doc.nPoints, CurrentSession().settings.maxPolyDegree, CurrentEngine().polynomialDegree);
  platform::ValueDialogRequest request;
  request.fieldText = std::to_string(CurrentEngine().polynomialDegree);
  request.spinLower = spin.lower;
  request.spinUpper = spin.upper;
  request.spinPosition = spin.position;
  request.accept = [&doc](const std::string& text) {
    const DegreeCheck check = CheckDegreeText(text, doc.nPoints, CurrentSession().settings.maxPolyDegree);
    if (check.verdict == DegreeVerdict::Accepted) {
      CurrentEngine().polynomialDegree = check.degree;
      return true;
    }
    if (check.warning) Warn(*check.warning);
    return false;
  };
  return platform::CurrentUi().PolynomialDegreeDialog(request);
}

// The tension dialog: OK takes a positive tension into `tension`.
bool AskForTension(datatype& tension) {
  platform::ValueDialogRequest request;
  request.fieldText = kTensionInitialText;
  request.spinLower = kTensionSpinLowest;
  request.spinUpper = kTensionSpinHighest;
  request.spinPosition = kTensionSpinStart;
  request.spinText = TensionSpinText;
  request.accept = [&tension](const std::string& text) {
    const TensionCheck check = CheckTensionText(text);
    if (check.verdict == TensionVerdict::Accepted) {
      tension = check.tension;
      return true;
    }
    if (check.warning) {
      Warn(*check.warning);
    } else {
      platform::CurrentUi().Beep();
    }
    return false;
  };
  return platform::CurrentUi().TensionDialog(request);
}

// A cleared skip-dialog flag: the window opens at once and the flag is set.
int OpenSkippingDialog(CurveFit& doc, int id, std::uint8_t& flag) {
  const int result = OpenFitWindow(doc, id);
  flag = 1;
  return result;
}

}  // namespace

std::string GraphWindowTitle(CurveFit& doc, int id) { return ModelName(doc, id); }

bool FitIsCurrent(const CurveFit& doc, int id) {
  if (id == kPlotModel) return doc.IsFitted(id, -1);
  if (!doc.IsFitted(id, CurrentSession().settings.weighting)) return false;
  return id != kPolynomialModel || doc.modelIntegers[kPolynomialModel - kFirstModelId] == CurrentEngine().polynomialDegree;
}

int ReuseOpenWindow(CurveFit& doc, int id) {
  // A model has an open window exactly when its menu item is checked; a
  // greyed item does not count.
  if (!CurrentSession().graphQueue.IsChecked(id) || !CurrentSession().availability.ModelEnabled(id)) return 0;
  const GraphWindowId window = CurrentSession().graphQueue.FindByTitle(GraphWindowTitle(doc, id));
  if (window == kNoWindow) return 0;
  if (doc.bStatsStale) Reexamine(doc, 0);
  if (!FitIsCurrent(doc, id)) {
    CurrentSession().graphQueue.Remove(window);
    return 0;
  }
  CurrentSession().graphQueue.Host().RaiseGraphWindow(window);
  return 1;
}

int OpenFitWindow(CurveFit& doc, int id) {
  CurrentSession().lastOpenWindowResult = OpenFitWindowOnce(doc, id);
  return CurrentSession().lastOpenWindowResult;
}

int ModelCommand(CurveFit& doc, int id) {
  if (ReuseOpenWindow(doc, id)) return kWindowOpened;
  return OpenFitWindow(doc, id);
}

int PolynomialCommand(CurveFit& doc) {
  if (!CurrentSession().modelDialogs.polynomial) return OpenSkippingDialog(doc, kPolynomialModel, CurrentSession().modelDialogs.polynomial);
  if (!GridAgrees()) return kWindowDeclined;
  if (ReuseOpenWindow(doc, kPolynomialModel)) return kWindowOpened;
  if (!AskForDegree(doc)) return kWindowDeclined;
  // Degrees 1 and 2 are the linear and quadratic models' own commands.
  if (CurrentEngine().polynomialDegree == 1 || CurrentEngine().polynomialDegree == 2) return ModelCommand(doc, 499 + CurrentEngine().polynomialDegree);
  return OpenFitWindow(doc, kPolynomialModel);
}

int TensionSplineCommand(CurveFit& doc) {
  if (!CurrentSession().modelDialogs.tension) return OpenSkippingDialog(doc, kTensionSplineModel, CurrentSession().modelDialogs.tension);
  if (!GridAgrees()) return kWindowDeclined;
  if (ReuseOpenWindow(doc, kTensionSplineModel)) return kWindowOpened;
  datatype tension = CurrentTension(doc);
  if (!AskForTension(tension)) return kWindowDeclined;
  ApplyTension(doc, tension);
  return OpenFitWindow(doc, kTensionSplineModel);
}

// The user model dialog: OK takes a formula that passes the check; the fit
// window follows.
int UserModelCommand(CurveFit& doc) {
  if (!CurrentSession().modelDialogs.userModel) return OpenSkippingDialog(doc, kUserModel, CurrentSession().modelDialogs.userModel);
  if (!GridAgrees()) return kWindowDeclined;
  if (ReuseOpenWindow(doc, kUserModel)) return kWindowOpened;
  const UserModelDialogOpening opening = OpenUserModelDialog(CurrentSession().iniFile);
  platform::UserModelDialogRequest request;
  request.formula = opening.formula;
  for (const StoredUserModel& stored : opening.library) {
    request.names.push_back(stored.name);
    request.formulas.push_back(stored.formula);
  }
  request.accept = [](const std::string& text) {
    if (const auto warning = UserModelDialogOk(text)) {
      Warn(*warning);
      return false;
    }
    return true;
  };
  if (!platform::CurrentUi().UserModelDialog(request)) return kWindowDeclined;
  return OpenFitWindow(doc, kUserModel);
}

}  // namespace trendolin
