// The list of recently opened data files: kept in the settings file and shown
// as numbered entries at the end of the File menu.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trendolin {

inline constexpr const char* kMruSection = "MRU Text";
inline constexpr std::size_t kMruCapacity = 9;
inline constexpr std::size_t kMruShown = 6;
// A name keeps at most kMruWidth - 1 bytes. The list holds file paths, and on
// Linux a path may be as long as PATH_MAX: a shorter limit would keep a cut
// name that opens nothing.
inline constexpr std::size_t kMruWidth = 4096;
inline constexpr int kMruFirstId = 8000;       // the separator; entries are kMruFirstId + 1 onwards
inline constexpr int kMruInsertBefore = 490;   // "E&xit": the entries go just above it

struct MruList {
  std::size_t capacity = kMruCapacity;  // names kept (and keys "File1".."File<capacity>" saved)
  std::size_t shown = kMruShown;        // names shown in the menu, at most capacity
  std::size_t width = kMruWidth;        // name buffer size, terminator included
  int firstId = kMruFirstId;
  std::vector<std::string> names;       // entry 0 is the most recent
};

// The program's recent-file list: loaded at start, updated after every data
// file opened, saved at shutdown.

// One item the list contributes to the File menu.
struct MruMenuItem {
  int commandId = 0;
  std::string label;       // empty for the separator
  bool separator = false;
};

// An empty list. `shown` is clamped to `capacity`.
MruList CreateMruList(std::size_t shown = kMruShown, std::size_t capacity = kMruCapacity,
                      std::size_t width = kMruWidth, int firstId = kMruFirstId);

// Replaces the names with those of keys "File1", "File2", ... of `section` in
// the settings file at `path`, stopping at the first key that is absent or
// empty. A missing file gives an empty list.
void LoadMruList(MruList& list, std::string_view section, const std::string& path);

// Writes keys "File1".."File<capacity>" (empty values past the last name) and
// saves the file in one step, keeping everything else in it. On failure
// returns false and, if `error` is given, a reason for a person.
bool SaveMruList(const MruList& list, std::string_view section, const std::string& path,
                 std::string* error = nullptr);

// Puts `name` (cut to width - 1 bytes, never inside a UTF-8 character) at the
// top. A name already in the
// list, compared ignoring ASCII case, moves up and takes the new spelling;
// otherwise the list grows up to its capacity and the oldest name drops off.
void AddMruName(MruList& list, std::string_view name);

std::size_t MruCount(const MruList& list);

// The name at `index`, or nullopt past the end.
std::optional<std::string> GetMruName(const MruList& list, std::size_t index);

// Removes the name at `index`; later names move up. False past the end.
bool RemoveMruName(MruList& list, std::size_t index);

// Sets how many names the menu shows, clamped to the capacity.
void SetMruShownCount(MruList& list, std::size_t shown);

// True for every command id the list owns in the menu: the separator and one
// per possible entry (8000..8009). Rebuilding the menu removes all of them
// first, then inserts MruMenuItems before "E&xit".
bool IsMruCommand(const MruList& list, int commandId);

// The items in menu order: "&1 name" (8001) .. "&n name" for the first
// min(count, shown) names, then the separator (8000). Empty for an empty list.
// An "&" in a name is doubled so the menu shows it instead of taking it as a
// mnemonic.
std::vector<MruMenuItem> MruMenuItems(const MruList& list);

// The index a menu command stands for (command - 8001), or nullopt when the
// command is no entry of the list.
std::optional<std::size_t> MruIndexForCommand(const MruList& list, int commandId);

// A menu entry was chosen: returns the file to open when `fileExists` says it
// is still there. A file that has gone is removed from the list without a
// message and nullopt is returned, as it is for a command that is no entry;
// on nullopt the caller rebuilds the menu.
std::optional<std::string> ChooseMruEntry(MruList& list, int commandId,
                                          const std::function<bool(const std::string&)>& fileExists);

// ChooseMruEntry asking the file system whether the file exists.
std::optional<std::string> ChooseMruEntry(MruList& list, int commandId);

}  // namespace trendolin
