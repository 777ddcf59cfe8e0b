// The user model's record operations, catalogue routines and fit routine.
#include "usermodel/user_model.h"

#include <algorithm>
#include <string>
#include <vector>

#include "app/app_settings.h"
#include "app/error_handle.h"
#include "app/run_flags.h"
#include "data/curve_fit.h"
#include "data/document_hooks.h"
#include "fit/fit_routines.h"
#include "fit/nonlinear.h"
#include "precision/errors.h"
#include "session/session.h"
#include "usermodel/interpreter.h"

namespace trendolin {
namespace {

std::string LowerCaseUpToNul(std::string_view text) {
  if (const std::size_t nul = text.find('\0'); nul != std::string_view::npos) text = text.substr(0, nul);
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

// Every parameter 1.0 and a zero covariance matrix of the record's size.
void AllocateParameters(UserFitResult& record) {
  const auto count = static_cast<std::size_t>(record.count);
  record.coefficients.assign(count, 1.0f);
  record.covariance.assign(count * count, 0.0f);
}

// The record's parsed formula made again when the count or the locale's
// decimal separator changed since it was made.
void RefreshCompiledFormula(UserFitResult& record) {
  if (record.compiled == nullptr || !CompiledStillFits(*record.compiled, record.count)) {
    record.compiled = CompileUserFormula(record.formula, record.count);
  }
}

// The record's parsed formula while a UserModelFitScope lives; null
// otherwise. Written on the user-interface thread only, before and after the
// fit, never while its points are evaluated.
const CompiledFormula* FittingFormula = nullptr;

// What every attempt starts from: no result of an earlier fit (a failed
// attempt leaves the coefficients where the solver stopped), room for the
// coefficients and the covariance matrix.
void ResetUserResult() {
  CurrentEngine().userModel.Release();
  AllocateParameters(CurrentEngine().userModel);
}

}  // namespace

UserModelFitScope::UserModelFitScope() {
  RefreshCompiledFormula(CurrentEngine().userModel);
  FittingFormula = CurrentEngine().userModel.compiled.get();
}

UserModelFitScope::~UserModelFitScope() { FittingFormula = nullptr; }

int SetUserFormula(UserFitResult& record, std::string_view text) {
  record.Release();
  record.formula = LowerCaseUpToNul(text);
  record.count = std::max(NumberofParams(record.formula), 0);
  record.compiled = CompileUserFormula(record.formula, record.count);
  AllocateParameters(record);
  UserModelFunction = UserModelValue;
  UserModelGuess = UserModelGuesses;
  return record.count < 1 ? 1 : 0;
}

int CheckUserFormula(const UserFitResult& record) {
  const std::vector<datatype> ones(static_cast<std::size_t>(std::max(record.count, 1)), 1.0f);
  try {
    datatype result = 0;
    InterpretMain(record, ones.data(), 1.0f, result, true);
    return 0;
  } catch (const errnotify&) {
    LogExceptionMarker("FillUserModels_1");
    return 1;
  }
}

bool AcceptUserFormula(std::string_view text) {
  UserFitResult scratch;
  if (SetUserFormula(scratch, text) != 0 || CheckUserFormula(scratch) != 0) return false;
  SetUserFormula(CurrentEngine().userModel, text);
  return true;
}

void InitUserModel() { SetUserFormula(CurrentEngine().userModel, kStartUserFormula); }

// Called for every point of a fit, on several threads at once: nothing
// shared is written. In a fit the parsed formula made current for it is used
// as it stands; elsewhere the record's, unless it no longer fits (the locale
// changed since, or the count was set by hand): then each call parses the
// formula for itself until the next fit makes it current again.
datatype UserModelValue(const datatype* parameters, datatype x) {
  if (FittingFormula != nullptr) return InterpretCompiled(*FittingFormula, parameters, x, CurrentEngine().userModelData);
  const CompiledFormula* compiled = CurrentEngine().userModel.compiled.get();
  if (compiled != nullptr && CompiledStillFits(*compiled, CurrentEngine().userModel.count)) {
    return InterpretCompiled(*compiled, parameters, x, CurrentEngine().userModelData);
  }
  return InterpretCompiled(ParseUserFormula(CurrentEngine().userModel.formula, CurrentEngine().userModel.count), parameters, x, CurrentEngine().userModelData);
}

void UserModelGuesses(const CurveFit& /*doc*/, datatype* guess) {
  std::fill(guess, guess + CurrentEngine().userModel.count, 1.0f);
}

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
