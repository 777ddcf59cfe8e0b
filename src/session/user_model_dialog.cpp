// What the user model dialog and the name dialog accept and store.
#include "session/user_model_dialog.h"

#include "fit/engine_state.h"
#include "fit/fit_result.h"
#include "usermodel/expression_reader.h"
#include "usermodel/user_model.h"

namespace trendolin {
namespace {

std::string_view Cut(std::string_view text, std::size_t maxChars) { return text.substr(0, maxChars); }

// Why a formula was refused. Nesting too deep gets its own message: the
// general one would send the user looking for a wrong letter or name.
MessagePair RefusalOf(std::string_view text) {
  UserFitResult scratch;
  SetUserFormula(scratch, text);
  return NestsTooDeeply(scratch.formula, scratch.count, CurrentDecimalSeparator()) ? kUserFormulaTooDeep
                                                                                    : kUserFormulaRefused;
}

// A run without a settings file (its creation was declined at start) has no
// library to change.
bool NoSettingsFile(const std::string& settingsPath, std::string* error) {
  if (!settingsPath.empty()) return false;
  if (error) {
    *error = "The library of user models is kept in the settings file, and this run has none: it was not "
             "created at start.";
  }
  return true;
}

}  // namespace

UserModelDialogOpening OpenUserModelDialog(const std::string& settingsPath) {
  if (CurrentEngine().userModel.formula.empty()) InitUserModel();
  CurrentEngine().userModel.fittedWith = 0;
  return UserModelDialogOpening{CurrentEngine().userModel.formula, LoadUserModelLibrary(settingsPath)};
}

std::string FormulaOfEntry(const std::vector<StoredUserModel>& library, std::size_t index) {
  return index < library.size() ? library[index].formula : std::string();
}

std::optional<MessagePair> CheckFormulaField(std::string_view fieldText) {
  UserFitResult scratch;
  const std::string_view text = Cut(fieldText, kFormulaReaderMaxChars);
  if (SetUserFormula(scratch, text) != 0 || CheckUserFormula(scratch) != 0) return RefusalOf(text);
  return std::nullopt;
}

std::optional<MessagePair> UserModelDialogOk(std::string_view fieldText) {
  const std::string_view text = Cut(fieldText, kFormulaReaderMaxChars);
  if (!AcceptUserFormula(text)) return RefusalOf(text);
  return std::nullopt;
}

bool SaveUserModelEntry(const std::string& settingsPath, std::vector<StoredUserModel>& library,
                        std::string_view name, std::string_view fieldText, std::string* error) {
  if (NoSettingsFile(settingsPath, error)) return false;
  std::optional<platform::ProfileFile> profile = platform::ProfileFile::LoadForUpdate(settingsPath, error);
  if (!profile) return false;
  const std::string formula(Cut(fieldText, kFormulaReaderMaxChars));
  const std::optional<std::string> stored = AppendUserModel(*profile, name, formula);
  if (!stored) {
    if (error) *error = LibraryFullText();
    return false;
  }
  if (!profile->Save(settingsPath, error)) return false;
  library.push_back(StoredUserModel{*stored, formula});
  return true;
}

bool DeleteUserModelEntry(const std::string& settingsPath, std::vector<StoredUserModel>& library,
                          std::size_t index, std::string* error) {
  if (index >= library.size() || NoSettingsFile(settingsPath, error)) return false;
  std::optional<platform::ProfileFile> profile = platform::ProfileFile::LoadForUpdate(settingsPath, error);
  if (!profile) return false;
  // A list out of step with the file (edited meanwhile) loses the entry all
  // the same; the file is only written when it held the name.
  if (RemoveUserModel(*profile, library[index].name) && !profile->Save(settingsPath, error)) return false;
  library.erase(library.begin() + static_cast<std::ptrdiff_t>(index));
  return true;
}

ModelNameCheck CheckModelName(std::string_view fieldText) {
  const std::string_view name = Cut(fieldText, kNameReaderMaxChars);
  if (name.find(',') != std::string_view::npos) return ModelNameCheck{std::nullopt, kModelNameHasComma};
  return ModelNameCheck{std::string(name), std::nullopt};
}

}  // namespace trendolin
