// Settings files of the classic initialisation form: "[Section]" lines, then
// "key=value" lines. Reading is forgiving (any case, odd spacing, comments,
// blank lines, CR LF, junk), writing keeps every section and comment it did
// not touch and never leaves a half-written file behind.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace platform {

class ProfileFile {
 public:
  ProfileFile() = default;

  // Reads `path`. A missing or unreadable file, or one that is no regular
  // file (a folder, a device, a pipe), gives an empty profile: every read
  // then yields its default, as the program expects.
  static ProfileFile Load(const std::string& path);
  // For a change that will be saved: a file that exists but cannot be read
  // gives nullopt (and a reason), so that saving never replaces settings the
  // program could not see with a file that lacks them.
  static std::optional<ProfileFile> LoadForUpdate(const std::string& path, std::string* error = nullptr);
  static ProfileFile Parse(std::string_view text);

  // The value of `key` in `section` (names compare ignoring case), with
  // surrounding blanks and one pair of matching quotes removed; nullopt when
  // the section or key is absent. An empty value is present, not absent.
  std::optional<std::string> Get(std::string_view section, std::string_view key) const;

  // Get with a default for an absent key. `maxChars`, when non-zero, cuts the
  // result as a fixed buffer of maxChars + 1 bytes would.
  std::string GetString(std::string_view section, std::string_view key,
                        std::string_view defaultValue, std::size_t maxChars = 0) const;

  // Decimal integer: absent or empty gives the default; otherwise an optional
  // sign and the leading digits count, so text that is not a number reads as
  // 0. Values beyond the int range saturate.
  int GetInt(std::string_view section, std::string_view key, int defaultValue) const;

  // Writes `key` into `section`, replacing its first occurrence or appending
  // it at the end of the section; a missing section is created at the end.
  // Line breaks and other control characters in the value become blanks. A
  // value with blanks at either end, or quotes around it, is stored inside
  // one more pair of quotes, so that Get gives it back unchanged.
  void Set(std::string_view section, std::string_view key, std::string_view value);

  bool HasSection(std::string_view section) const;
  std::vector<std::string> SectionNames() const;
  std::vector<std::string> Keys(std::string_view section) const;

  // The whole file as text, LF line ends.
  std::string ToText() const;

  // Replaces `path` with this profile through a temporary file in the same
  // folder and a rename, so a failure leaves the previous file as it was.
  // On failure returns false and, if `error` is given, a reason for a person.
  bool Save(const std::string& path, std::string* error = nullptr) const;

 private:
  struct Line {
    bool isEntry = false;
    std::string key;    // entries: the key as written
    std::string value;  // entries: the raw value after "="
    std::string text;   // other lines (comments, blanks): the line as written
  };
  struct Section {
    std::string name;
    std::vector<Line> lines;
    // Line number of each entry by its key folded to lower case: files with
    // a million keys (recent files, user models) are read in linear time.
    std::unordered_map<std::string, std::size_t> entries;
    const Line* Find(std::string_view key) const;
  };

  const Section* FindSection(std::string_view name) const;
  Section* FindSection(std::string_view name);
  Section& AddSection(std::string name);

  std::vector<Line> preamble_;  // lines before the first section
  std::vector<Section> sections_;
  std::unordered_map<std::string, std::size_t> sectionIndex_;  // by folded name
};

// The classic one-call forms: each reads the file afresh; a write reads,
// changes and saves it.
std::string ReadProfileString(const std::string& path, std::string_view section, std::string_view key,
                              std::string_view defaultValue, std::size_t maxChars = 0);
int ReadProfileInt(const std::string& path, std::string_view section, std::string_view key,
                   int defaultValue);
bool WriteProfileString(const std::string& path, std::string_view section, std::string_view key,
                        std::string_view value, std::string* error = nullptr);

// Which step of an atomic write failed.
enum class WriteFailure {
  None,
  Create,   // no file could be created in the folder (missing, read-only, a folder in the way)
  Write,    // the data could not be written in full (disk full, I/O error)
  Replace,  // the finished file could not be renamed into place
};

// Writes `contents` to `path` through a temporary file in the same folder and
// a rename. Shared by every writer that must not leave a half-written file:
// on failure the previous file is untouched and no temporary is left behind.
// A target that exists but is no regular file (a device, a named pipe) is
// written in place instead, never replaced.
//
// The contents reach the disk before the rename unless the file is a
// diagnostic one (`durable` false): the rename still shows either the old
// file or the whole new one, but a power cut may lose the new one. Waiting
// for the disk costs milliseconds, too much for a file written after every
// fit of a search.
bool WriteFileAtomically(const std::string& path, std::string_view contents, std::string* error = nullptr,
                         WriteFailure* failure = nullptr, bool durable = true);

}  // namespace platform
