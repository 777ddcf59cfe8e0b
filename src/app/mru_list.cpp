// The recently-used file list: its keys in the settings file, its order, and
// the File-menu items it stands for.
#include "app/mru_list.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/profile_file.h"

namespace trendolin {


namespace {

std::string KeyName(std::size_t number) { return "File" + std::to_string(number); }

// A name as the list keeps it: at most width - 1 bytes, backed off to the
// start of a UTF-8 character so a cut never leaves half of one.
std::string FitName(const MruList& list, std::string_view name) {
  const std::size_t limit = list.width > 0 ? list.width - 1 : 0;
  if (name.size() <= limit) return std::string(name);
  std::size_t cut = limit;
  while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
  return std::string(name.substr(0, cut));
}

// File names on Linux are case-sensitive, so two files that differ only in
// case share one entry; the list has always been kept that way, and the entry
// takes the spelling most recently opened.
bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return lower(x) == lower(y);
  });
}

std::string EscapeMnemonics(std::string_view name) {
  std::string out;
  for (char c : name) {
    if (c == '&') out += '&';
    out += c;
  }
  return out;
}

}  // namespace

MruList CreateMruList(std::size_t shown, std::size_t capacity, std::size_t width, int firstId) {
  MruList list;
  list.capacity = capacity;
  list.shown = std::min(shown, capacity);
  list.width = width;
  list.firstId = firstId;
  return list;
}

void LoadMruList(MruList& list, std::string_view section, const std::string& path) {
  const platform::ProfileFile profile = platform::ProfileFile::Load(path);
  list.names.clear();
  for (std::size_t i = 1; i <= list.capacity; ++i) {
    const std::string name = profile.GetString(section, KeyName(i), "");
    if (name.empty()) break;
    list.names.push_back(FitName(list, name));
  }
}

bool SaveMruList(const MruList& list, std::string_view section, const std::string& path, std::string* error) {
  std::optional<platform::ProfileFile> profile = platform::ProfileFile::LoadForUpdate(path, error);
  if (!profile) return false;
  for (std::size_t i = 1; i <= list.capacity; ++i) {
    profile->Set(section, KeyName(i), i <= list.names.size() ? list.names[i - 1] : std::string());
  }
  return profile->Save(path, error);
}

void AddMruName(MruList& list, std::string_view name) {
  if (list.capacity == 0) return;
  std::string fitted = FitName(list, name);
  auto found = std::find_if(list.names.begin(), list.names.end(),
                            [&](const std::string& entry) { return SameNameIgnoringCase(entry, fitted); });
  if (found != list.names.end()) {
    list.names.erase(found);
  } else if (list.names.size() >= list.capacity) {
    list.names.resize(list.capacity - 1);
  }
  list.names.insert(list.names.begin(), std::move(fitted));
}

std::size_t MruCount(const MruList& list) { return list.names.size(); }

std::optional<std::string> GetMruName(const MruList& list, std::size_t index) {
  if (index >= list.names.size()) return std::nullopt;
  return list.names[index];
}

bool RemoveMruName(MruList& list, std::size_t index) {
  if (index >= list.names.size()) return false;
  list.names.erase(list.names.begin() + static_cast<std::ptrdiff_t>(index));
  return true;
}

void SetMruShownCount(MruList& list, std::size_t shown) { list.shown = std::min(shown, list.capacity); }

bool IsMruCommand(const MruList& list, int commandId) {
  return commandId >= list.firstId && commandId <= list.firstId + static_cast<int>(list.capacity);
}

std::vector<MruMenuItem> MruMenuItems(const MruList& list) {
  std::vector<MruMenuItem> items;
  if (list.names.empty()) return items;
  const std::size_t visible = std::min(list.names.size(), list.shown);
  for (std::size_t j = 0; j < visible; ++j) {
    std::string label = "&";
    label += std::to_string(j + 1);
    label += ' ';
    label += EscapeMnemonics(list.names[j]);
    items.push_back({list.firstId + 1 + static_cast<int>(j), std::move(label), false});
  }
  items.push_back({list.firstId, std::string(), true});
  return items;
}

std::optional<std::size_t> MruIndexForCommand(const MruList& list, int commandId) {
  if (commandId <= list.firstId || !IsMruCommand(list, commandId)) return std::nullopt;
  const auto index = static_cast<std::size_t>(commandId - list.firstId - 1);
  if (index >= list.names.size()) return std::nullopt;
  return index;
}

std::optional<std::string> ChooseMruEntry(MruList& list, int commandId,
                                          const std::function<bool(const std::string&)>& fileExists) {
  const std::optional<std::size_t> index = MruIndexForCommand(list, commandId);
  if (!index) return std::nullopt;
  std::string name = list.names[*index];
  if (fileExists(name)) return name;
  RemoveMruName(list, *index);
  return std::nullopt;
}

std::optional<std::string> ChooseMruEntry(MruList& list, int commandId) {
  return ChooseMruEntry(list, commandId, [](const std::string& name) {
    std::error_code ec;
    return std::filesystem::exists(name, ec);
  });
}

}  // namespace trendolin
