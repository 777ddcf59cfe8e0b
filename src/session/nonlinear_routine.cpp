// The fit routine of the nonlinear models: initial guesses, the dialog, the
// iteration, the result message, and the retry after a reported error.
#include "session/nonlinear_routine.h"

#include <algorithm>
#include <cfenv>
#include <cstdio>
#include <string>
#include <utility>

#include "app/app_settings.h"
#include "app/error_handle.h"
#include "app/run_flags.h"
#include "data/curve_fit.h"
#include "data/document_hooks.h"
#include "fit/engine_state.h"
#include "fit/model_desc.h"
#include "fit/nonlinear.h"
#include "fit/nonlinear_passes.h"
#include "platform/debug_log.h"
#include "platform/ui.h"
#include "precision/errors.h"
#include "precision/fp_guard.h"
#include "session/session.h"

namespace trendolin {


namespace {

// Told after the result message when the covariance cannot be one: the
// data do not determine the parameters, and their standard errors and
// correlations mean nothing.
constexpr const char* kCovarianceNotUsable =
    "The covariance matrix is not usable: a variance is negative or not finite, or a correlation exceeds 1 "
    "(these data do not determine the parameters). ";

// Resource strings of the warning that the automatic guesses failed.
constexpr int kGuessFailedCaption = 14;
constexpr int kGuessFailedText = 15;

// What the model starts from when its automatic guesses give nothing (a
// search that accepts no candidate leaves the vector as it was, a failing
// routine may leave it half written): the values its own last fit started
// from, else 1 for every parameter.
std::vector<datatype> OwnStart(const ModelDesc& desc) {
  const auto stored = CurrentEngine().startingGuesses.find(desc.id);
  if (stored != CurrentEngine().startingGuesses.end() && static_cast<int>(stored->second.size()) == desc.m) return stored->second;
  return std::vector<datatype>(static_cast<std::size_t>(desc.m), 1.0f);
}

// The automatic guesses, once per fit. A failure is not an error:
// the user is warned and asked for guesses (unattended: error 9).
void ObtainGuesses(const CurveFit& doc, const ModelDesc& desc) {
  if (CurrentEngine().nonlinearFlags.guessesObtained) {
    CurrentEngine().nonlinearFlags.forceDialog = true;  // a repeated attempt shows the same guesses
    return;
  }
  CurrentEngine().nonlinearFlags.guessesObtained = true;
  const std::vector<datatype>& supplied = CurrentEngine().nonlinearFlags.suppliedGuesses;
  if (static_cast<int>(supplied.size()) >= desc.m) {
    std::copy(supplied.begin(), supplied.begin() + desc.m, CurrentEngine().guessVector.begin());
    return;
  }
  ShowFitProgress(0, desc.id, true, 0);
  const std::vector<datatype> own = OwnStart(desc);
  std::copy(own.begin(), own.end(), CurrentEngine().guessVector.begin());
  if (desc.initialGuess == nullptr) {  // a model without a guess routine: the user gives them
    if (CurrentEngine().unattended) RaiseError(kErrGuessCancelled, desc.id);
    CurrentEngine().nonlinearFlags.forceDialog = true;
    return;
  }
  try {
    FpGuard guard;
    desc.initialGuess(doc, CurrentEngine().guessVector.data());
    guard.Check();
  } catch (const errnotify&) {
    std::copy(own.begin(), own.end(), CurrentEngine().guessVector.begin());
    LogExceptionMarker("NonlinearFit_1");
    if (CurrentEngine().unattended) RaiseError(kErrGuessCancelled, desc.id);
    platform::ResourceMessageBox(kGuessFailedCaption, kGuessFailedText, platform::Icon::Exclamation,
                                 platform::Buttons::Ok);
    CurrentEngine().nonlinearFlags.forceDialog = true;
  }
}

// The initial-guess dialog, when the user asked for it or the last
// attempt failed.
void AskForGuesses(const ModelDesc& desc) {
  if (CurrentEngine().unattended) return;
  if (CurrentSession().settings.initGuess == 0 && !CurrentEngine().nonlinearFlags.forceDialog) return;
  CurrentEngine().nonlinearFlags.forceDialog = false;
  if (!platform::CurrentUi().InitialGuessDialog(desc.id, desc.m, CurrentEngine().guessVector.data())) {
    CurrentEngine().nonlinearFlags.guessesObtained = false;
    RaiseError(kErrGuessCancelled, desc.id);
  }
}

void BuildProblem(CurveFit& doc, const ModelDesc& desc, NonlinearProblem& problem) {
  FillProblemFromSettings(doc, desc, problem);
  problem.initial = CurrentEngine().guessVector.data();
  problem.iteration = 0;
  problem.chiSquare = 0;
}

std::string ResultComment(int result, const NonlinearProblem& problem) {
  std::string text;
  if (result == kMarqLevConverged) {
    text = FormatText("The fit converged to a tolerance of %g in %d iterations. ",
                      static_cast<double>(problem.tolerance), problem.iteration);
  } else if (result == kMarqLevResolution) {
    text = FormatText("The fit converged to the resolution of single precision in %d iterations. ", problem.iteration);
  } else if (result == kMarqLevIterationLimit) {
    text = FormatText(
        "The iteration count of %d was exceeded.  The fit failed to converge to tolerance of %f (CHI2 at "
        "%f). ",
        problem.maxIterations, CurrentSession().settings.nonlinearTolerance, static_cast<double>(problem.chiSquare));
  } else {
    text = FormatText("The fit converged to a Chi Square level of %g in %d iterations.  Aborted by user. ",
                      static_cast<double>(problem.chiSquare), problem.iteration);
  }
  return text + WeightingText(problem.flags);
}

// A result is stored only when every figure is a number: a singular step
// or a model that gives 0/0 can make them quietly not-a-number.
void RejectNonFinite(const NonlinearProblem& problem) {
  const bool finite = AllFinite(problem.parameters, problem.m) && AllFinite(&problem.chiSquare, 1) &&
                      (problem.covariance == nullptr || AllFinite(problem.covariance, problem.m * problem.m));
  if (!finite) fpe_catch(FE_INVALID);
}

// The record owns the histories from now on, shortened to the iterations
// they describe (an accepted stop leaves them at their full length).
void StoreHistories(NonlinearProblem& problem, const ModelDesc& desc) {
  const auto length = static_cast<std::size_t>(problem.iteration + 1);
  if (problem.chiSquareHistory.size() > length) problem.chiSquareHistory.resize(length);
  for (auto& history : problem.parameterHistories) {
    if (history.size() > length) history.resize(length);
  }
  if (desc.parameterHistoriesLocation) *desc.parameterHistoriesLocation = std::move(problem.parameterHistories);
  if (desc.chiSquareHistoryLocation) *desc.chiSquareHistoryLocation = std::move(problem.chiSquareHistory);
  if (desc.iterationCountLocation) *desc.iterationCountLocation = problem.iteration;
}

}  // namespace

std::string WeightingText(unsigned flags) {
  if (flags & kNlNoWeighting) return "No weighting used. ";
  const char* name = "";
  if (flags & kNlWeightY2) {
    name = "y^2";
  } else if (flags & kNlWeightY) {
    name = "y";
  } else if (flags & kNlWeightX) {
    name = "x";
  } else if (flags & kNlWeightX2) {
    name = "x^2";
  } else if (flags & kNlWeightUncertainty) {
    name = "uncertainty";
  }
  return std::string("Regression weighted by ") + name + ". ";
}

int NonlinearFit(CurveFit& doc, int id) {
  const ModelDesc desc = DescriptorOf(doc, id);
  if (desc.m < 1 || desc.m > kMaxParameters || desc.modelFunction == nullptr || desc.coefficients == nullptr) {
    RaiseError(kErrSolverFailed, id);  // not a model this solver can fit
  }
  ObtainGuesses(doc, desc);
  AskForGuesses(desc);
  CurrentEngine().startingGuesses[id].assign(CurrentEngine().guessVector.begin(), CurrentEngine().guessVector.begin() + desc.m);
  if (CurrentEngine().calcMode == 0) SetCalculationMode(1);

  NonlinearProblem problem;
  BuildProblem(doc, desc, problem);
  int result = 0;
  try {
    result = MarqLev(problem);
  } catch (const errnotify&) {
    LogExceptionMarker("NonlinearFit_2");
    throw;
  }

  switch (result) {
    case kMarqLevConverged:
    case kMarqLevResolution:
    case kMarqLevIterationLimit: break;
    case kMarqLevAccepted: ComputeCovariance(problem); break;
    case kMarqLevDiverged: RaiseError(kErrSolverFailed, id);
    default:  // aborted
      RaiseError(CurrentEngine().calcMode == 2 ? kErrStoppedInSearch : kErrUserStopped, id);
  }
  RejectNonFinite(problem);
  std::string comment = ResultComment(result, problem);
  if (problem.covariance != nullptr && !CovarianceUsable(problem.covariance, problem.m)) comment += kCovarianceNotUsable;
  doc.SetFitComment(id, comment);
  StoreHistories(problem, desc);

  CurrentEngine().nonlinearFlags.guessesObtained = false;
  if (CurrentEngine().calcMode == 1) SetCalculationMode(0);
  return 0;
}

int NonlinearPrepareFit(CurveFit& doc, int id) {
  CurrentEngine().nonlinearFlags.guessesObtained = false;
  for (;;) {
    doc.ResetFitResult(id);
    DebugLogF("About to solve regression for %s, FitID %d\n", DescriptorOf(doc, id).name.c_str(), id);
    try {
      NonlinearFit(doc, id);
    } catch (const errnotify&) {
      LogExceptionMarker("NonlinearPrepareFit_1");
      if (CurrentEngine().calcMode == 1) SetCalculationMode(0);
      ErrorInfo.FitId = id;
      if (ErrorInfo.id == kErrStoppedInSearch) throw;
      if (ErrorInfo.id == kErrGuessCancelled || ErrorInfo.id == kErrUserStopped) return 1;
      ErrorHandle(ErrorInfo);
      if (ErrorInfo.id == kErrSuppressed) return 1;
      CurrentEngine().nonlinearFlags.forceDialog = true;
      DebugLog("Go fetch initial guesses\n");
      continue;
    }
    doc.MarkFitted(id, CurrentSession().settings.weighting);
    doc.CalcStat(id);
    CallHook(Hooks().refreshFitList);
    return 0;
  }
}

// The flag value of the weighting scheme in force.
unsigned WeightingFlag(const CurveFit& doc) {
  switch (CurrentSession().settings.weighting) {
    case kWeightingY2: return kNlWeightY2;
    case kWeightingY: return kNlWeightY;
    case kWeightingX2: return kNlWeightX2;
    case kWeightingX: return kNlWeightX;
    case kWeightingUncertainty: return doc.bUncertainty ? kNlWeightUncertainty : kNlNoWeighting;
    default: return kNlNoWeighting;
  }
}

void FillProblemFromSettings(CurveFit& doc, const ModelDesc& desc, NonlinearProblem& problem) {
  problem.m = desc.m;
  problem.parameters = desc.coefficients;
  problem.covariance = desc.covariance;
  problem.modelFunction = desc.modelFunction;
  problem.tolerance = static_cast<datatype>(CurrentSession().settings.nonlinearTolerance);
  problem.flags = (CurrentSession().settings.IsOn(kFlagQuickDerivatives) ? kNlQuickDerivatives : 0u) | WeightingFlag(doc);
  problem.maxIterations = CurrentSession().settings.maxIterations;
  problem.divergeLimit = CurrentSession().settings.divergeIterations;
  problem.nPoints = doc.nPoints;
  problem.x = doc.Column(0);
  problem.y = doc.Column(1);
  if (problem.flags & kNlWeightUncertainty) problem.uncertainties = doc.Column(doc.nColumns - 1);
  problem.notify = FitNotify;
  problem.modelId = desc.id;
  problem.modelName = desc.name;
}

}  // namespace trendolin
