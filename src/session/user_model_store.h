// The library of named user models in the settings file: section
// "User Models", key "Number" and one key "Model%d" = "name,formula" per
// stored model, in the order they were saved.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/profile_file.h"

namespace trendolin {

inline constexpr const char* kUserModelsSection = "User Models";
inline constexpr const char* kUserModelsNumberKey = "Number";
// What a key below "Number" that is missing reads as: a model named Error
// whose formula Error fails the check.
inline constexpr const char* kMissingUserModel = "Error,Error";
// A value holds a name of at most 49 characters, a comma and a formula of
// at most 4096.
inline constexpr std::size_t kStoredValueMaxChars = 4146;
// A library holds at most this many models: "Number" is believed up to it
// (a hand-edited count of millions would otherwise list millions of missing
// entries), and a full library takes no more. The settings file keeps every
// entry in one section that is searched key by key, so a library much
// larger than this gets slow to list and to delete from.
inline constexpr int kMaxStoredUserModels = 16384;

struct StoredUserModel {
  std::string name;     // never holds a comma
  std::string formula;  // as typed, not lower-cased
};

// "name,formula": the name up to the first comma, the formula after it. A
// value without any comma (a hand-edited file) is a name with an empty
// formula, which the check refuses.
StoredUserModel ParseStoredUserModel(std::string_view value);

// The key of entry `index`: "Model%d".
std::string UserModelKey(int index);

// "Number" as stored: absent or negative is 0; more than
// kMaxStoredUserModels counts as that many.
int StoredUserModelCount(const platform::ProfileFile& profile);

// Every stored model in key order, Model0 .. Model(Number-1); a missing key
// reads as "Error,Error".
std::vector<StoredUserModel> ReadUserModelLibrary(const platform::ProfileFile& profile);

// Save: the key for entry Number gets "name,formula" (trailing blanks of the
// name removed first) and Number grows by 1. Answers the name as stored, or
// nullopt (and nothing written) when the library is full.
std::optional<std::string> AppendUserModel(platform::ProfileFile& profile, std::string_view name,
                                           std::string_view formula);

// Delete: the first entry in key order whose name is `name` is removed: every
// later value moves down one key, the key of the last entry is left with an
// empty value and Number shrinks by 1. False (and nothing changed) when no
// entry has that name.
bool RemoveUserModel(platform::ProfileFile& profile, std::string_view name);

// The reason a save into a full library gives.
std::string LibraryFullText();

// The same on the settings file at `path`: read, change and write back. A
// file that exists but cannot be read is left alone; false (with a reason in
// `error`) when the file cannot be read or written, the library is full or
// nothing was removed.
std::vector<StoredUserModel> LoadUserModelLibrary(const std::string& path);
bool SaveUserModelToFile(const std::string& path, std::string_view name, std::string_view formula,
                         std::string* error = nullptr);
bool DeleteUserModelFromFile(const std::string& path, std::string_view name, std::string* error = nullptr);

}  // namespace trendolin
