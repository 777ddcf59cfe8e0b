// The rules of the user model dialog and of its name dialog: what they show
// when they open and what each button does with the fields. The windows draw
// the fields and lists; these functions decide.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "session/linear_fits_dialogs.h"
#include "session/user_model_store.h"

namespace trendolin {

inline constexpr MessagePair kUserFormulaRefused{10, 11};     // error icon
inline constexpr MessagePair kUserFormulaTooDeep{10, 133};    // error icon: nested past kMaxFormulaNesting
inline constexpr MessagePair kDeleteUserModelQuestion{129, 130};  // yes/no, exclamation icon
inline constexpr MessagePair kModelNameHasComma{67, 68};      // warning icon

inline constexpr std::size_t kFormulaFieldMaxChars = 4086;   // what the formula field (103) accepts
inline constexpr std::size_t kFormulaReaderMaxChars = 4096;  // what OK and Save read from it
inline constexpr std::size_t kNameFieldMaxChars = 48;        // what the name field (101) accepts
inline constexpr std::size_t kNameReaderMaxChars = 49;       // what the name dialog's OK reads
inline constexpr const char* kDefaultUserModelName = "User Model";
inline constexpr const char* kUserModelHelpTopic = "custommodels.html";
inline constexpr int kUserModelHelpContext = 106;
inline constexpr int kUserModelDialogTemplate = 11;
inline constexpr int kNameDialogTemplate = 16;

// ---- the user model dialog ----

// What the dialog shows when it opens: the current formula (lower case, as
// stored; its text selected, with the focus) and the names of the stored
// models in key order.
struct UserModelDialogOpening {
  std::string formula;
  std::vector<StoredUserModel> library;
};

// Opening also marks the user model's fit not current, so that every
// confirmed dialog leads to a new fit, even with the formula unchanged.
UserModelDialogOpening OpenUserModelDialog(const std::string& settingsPath);

// Selecting entry `index` of the list (or double-clicking it, which then
// presses OK) puts its stored formula into the formula field.
std::string FormulaOfEntry(const std::vector<StoredUserModel>& library, std::size_t index);

// The check OK and Save apply to the formula field's text (read up to 4096
// characters): it must have a parameter, use the letters a, b, c, ... in
// order from a, and pass the checking-mode evaluation. The error pair
// 10/11 when it does not, or 10/133 when what stopped it is parentheses
// nested too deeply.
std::optional<MessagePair> CheckFormulaField(std::string_view fieldText);

// OK: the check; when it passes, the formula becomes the user model's (every
// parameter 1.0) and the dialog closes with 0 (nullopt answered). Otherwise
// nothing changes, the refusal of CheckFormulaField is answered and the
// dialog stays.
std::optional<MessagePair> UserModelDialogOk(std::string_view fieldText);

// Save, after the check passed and the name dialog was confirmed: the model
// is appended to the library in the settings file and its name (trailing
// blanks removed) goes to the end of the list (`library`). False when the
// settings file could not be written or the library is full (the list is
// unchanged; `error` says why).
bool SaveUserModelEntry(const std::string& settingsPath, std::vector<StoredUserModel>& library,
                        std::string_view name, std::string_view fieldText, std::string* error = nullptr);

// Delete, after the question 129/130 was answered Yes: the entry leaves the
// list and the first stored model of that name leaves the library.
bool DeleteUserModelEntry(const std::string& settingsPath, std::vector<StoredUserModel>& library,
                          std::size_t index, std::string* error = nullptr);

// ---- the name dialog ----

// OK of the name dialog (its field starts as "User Model"): the name is read
// up to 49 characters; a comma refuses it with 67/68 and the dialog stays.
struct ModelNameCheck {
  std::optional<std::string> name;     // the accepted name
  std::optional<MessagePair> warning;  // when refused
};
ModelNameCheck CheckModelName(std::string_view fieldText);

}  // namespace trendolin
