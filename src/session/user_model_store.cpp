// Reading, appending to and deleting from the library of user models.
#include "session/user_model_store.h"

#include <algorithm>
#include <optional>

namespace trendolin {
namespace {

std::string ValueOf(const platform::ProfileFile& profile, int index) {
  return profile.GetString(kUserModelsSection, UserModelKey(index), kMissingUserModel, kStoredValueMaxChars);
}

std::string_view WithoutTrailingBlanks(std::string_view text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

}  // namespace

std::string LibraryFullText() {
  return "the library of user models is full (" + std::to_string(kMaxStoredUserModels) + " models)";
}

StoredUserModel ParseStoredUserModel(std::string_view value) {
  const std::size_t comma = value.find(',');
  if (comma == std::string_view::npos) return StoredUserModel{std::string(value), std::string()};
  return StoredUserModel{std::string(value.substr(0, comma)), std::string(value.substr(comma + 1))};
}

std::string UserModelKey(int index) { return "Model" + std::to_string(index); }

int StoredUserModelCount(const platform::ProfileFile& profile) {
  const int number = profile.GetInt(kUserModelsSection, kUserModelsNumberKey, 0);
  return std::clamp(number, 0, kMaxStoredUserModels);
}

std::vector<StoredUserModel> ReadUserModelLibrary(const platform::ProfileFile& profile) {
  const int count = StoredUserModelCount(profile);
  std::vector<StoredUserModel> library;
  library.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) library.push_back(ParseStoredUserModel(ValueOf(profile, i)));
  return library;
}

std::optional<std::string> AppendUserModel(platform::ProfileFile& profile, std::string_view name,
                                           std::string_view formula) {
  const std::string stored(WithoutTrailingBlanks(name));
  const int count = StoredUserModelCount(profile);
  if (count >= kMaxStoredUserModels) return std::nullopt;
  profile.Set(kUserModelsSection, UserModelKey(count), stored + "," + std::string(formula));
  profile.Set(kUserModelsSection, kUserModelsNumberKey, std::to_string(count + 1));
  return stored;
}

bool RemoveUserModel(platform::ProfileFile& profile, std::string_view name) {
  const int count = StoredUserModelCount(profile);
  std::optional<int> found;
  for (int i = 0; i < count && !found; ++i) {
    if (ParseStoredUserModel(ValueOf(profile, i)).name == name) found = i;
  }
  if (!found) return false;
  for (int j = *found + 1; j < count; ++j) profile.Set(kUserModelsSection, UserModelKey(j - 1), ValueOf(profile, j));
  profile.Set(kUserModelsSection, UserModelKey(count - 1), "");
  profile.Set(kUserModelsSection, kUserModelsNumberKey, std::to_string(count - 1));
  return true;
}

std::vector<StoredUserModel> LoadUserModelLibrary(const std::string& path) {
  return ReadUserModelLibrary(platform::ProfileFile::Load(path));
}

bool SaveUserModelToFile(const std::string& path, std::string_view name, std::string_view formula,
                         std::string* error) {
  std::optional<platform::ProfileFile> profile = platform::ProfileFile::LoadForUpdate(path, error);
  if (!profile) return false;
  if (!AppendUserModel(*profile, name, formula)) {
    if (error) *error = LibraryFullText();
    return false;
  }
  return profile->Save(path, error);
}

bool DeleteUserModelFromFile(const std::string& path, std::string_view name, std::string* error) {
  std::optional<platform::ProfileFile> profile = platform::ProfileFile::LoadForUpdate(path, error);
  if (!profile) return false;
  if (!RemoveUserModel(*profile, name)) {
    if (error) *error = "no stored user model is named " + std::string(name);
    return false;
  }
  return profile->Save(path, error);
}

}  // namespace trendolin
