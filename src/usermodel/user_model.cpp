// The user model's record operations, catalogue routines and fit routine.
#include "usermodel/user_model.h"

#include <algorithm>
#include <string>
#include <vector>

#include "data/curve_fit.h"
#include "fit/engine_state.h"
#include "precision/errors.h"
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

// The record's parsed formula made again when the count or the locale's
// decimal separator changed since it was made.
void RefreshCompiledFormula(UserFitResult& record) {
  if (record.compiled == nullptr || !CompiledStillFits(*record.compiled, record.count)) {
    record.compiled = CompileUserFormula(record.formula, record.count);
  }
}

}  // namespace

void AllocateParameters(UserFitResult& record) {
  const auto count = static_cast<std::size_t>(record.count);
  record.coefficients.assign(count, 1.0f);
  record.covariance.assign(count * count, 0.0f);
}

UserModelFitScope::UserModelFitScope() {
  RefreshCompiledFormula(CurrentEngine().userModel);
  CurrentEngine().fittingFormula = CurrentEngine().userModel.compiled.get();
}

UserModelFitScope::~UserModelFitScope() { CurrentEngine().fittingFormula = nullptr; }

int SetUserFormula(UserFitResult& record, std::string_view text) {
  record.Release();
  record.formula = LowerCaseUpToNul(text);
  record.count = std::max(NumberofParams(record.formula), 0);
  record.compiled = CompileUserFormula(record.formula, record.count);
  AllocateParameters(record);
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
  const EngineState& engine = CurrentEngine();
  if (engine.fittingFormula != nullptr) return InterpretCompiled(*engine.fittingFormula, parameters, x, engine.userModelData);
  const CompiledFormula* compiled = engine.userModel.compiled.get();
  if (compiled != nullptr && CompiledStillFits(*compiled, engine.userModel.count)) {
    return InterpretCompiled(*compiled, parameters, x, engine.userModelData);
  }
  return InterpretCompiled(ParseUserFormula(engine.userModel.formula, engine.userModel.count), parameters, x,
                           engine.userModelData);
}

void UserModelGuesses(const CurveFit& /*doc*/, datatype* guess) {
  std::fill(guess, guess + CurrentEngine().userModel.count, 1.0f);
}

}  // namespace trendolin
