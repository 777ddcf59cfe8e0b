// Reading and writing settings files of the classic initialisation form.
#include "platform/profile_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "platform/pending_files.h"

namespace platform {
namespace {

constexpr std::size_t kLargeSection = 4096;  // keys

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// Keys and section names compare ignoring case: the lookups go by this form.
std::string Folded(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

// A line holding control characters (NUL, escape, stray binary) is junk from a
// damaged file: it is neither read nor written back.
bool IsJunk(std::string_view line) {
  for (char c : line) {
    unsigned char u = static_cast<unsigned char>(c);
    if ((u < 0x20 && u != '\t') || u == 0x7f) return true;
  }
  return false;
}

std::string Sanitise(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    unsigned char u = static_cast<unsigned char>(c);
    if ((u < 0x20 && u != '\t') || u == 0x7f) c = ' ';
  }
  return out;
}

bool IsQuote(char c) { return c == '"' || c == '\''; }

// A value as it is written after "=": reading trims the blanks around a value
// and removes one pair of matching quotes, so a value that begins or ends
// with a blank, or is itself quoted, is written inside one more pair of
// quotes to read back as it was (a data path "/data/x " keeps its blank).
std::string StoredValue(std::string_view value) {
  std::string clean = Sanitise(value);
  if (clean.empty()) return clean;
  const bool padded = IsBlank(clean.front()) || IsBlank(clean.back());
  const bool quoted = clean.size() >= 2 && IsQuote(clean.front()) && clean.back() == clean.front();
  if (!padded && !quoted) return clean;
  return '"' + clean + '"';
}

std::string ErrnoText(const std::string& what, int err) {
  return what + ": " + std::strerror(err);
}

std::string FolderOf(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A settings file reached through a symbolic link is replaced at the link's
// target, so the link survives the rename.
std::string ResolveTarget(const std::string& path) {
  struct stat st {};
  if (lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    if (char* real = realpath(path.c_str(), nullptr)) {
      std::string resolved(real);
      std::free(real);
      return resolved;
    }
  }
  return path;
}

bool WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// Reads the whole of `path` into `text`. Only a regular file is read: a
// folder, a device such as /dev/zero (which never ends) or a pipe (which
// would wait for a writer) reads as unreadable, with errno set.
enum class ReadResult { Ok, Missing, Unreadable };

ReadResult ReadRegularFile(const std::string& path, std::string& text) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return errno == ENOENT ? ReadResult::Missing : ReadResult::Unreadable;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    return ReadResult::Unreadable;
  }
  text.clear();
  char buffer[65536];
  for (;;) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR) continue;
      const int err = errno;
      ::close(fd);
      errno = err;
      return ReadResult::Unreadable;
    }
    if (got == 0) break;
    text.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(fd);
  return ReadResult::Ok;
}

// A target that exists but is no regular file (a device such as /dev/null or
// /dev/full, a named pipe) is written in place: renaming a finished file over
// it would destroy the device node. A pipe without a reader fails at once
// instead of waiting for one.
bool WriteInPlace(const std::string& path, std::string_view contents, std::string* error, WriteFailure& stage) {
  stage = WriteFailure::Create;
  const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) {
    if (error) *error = ErrnoText("cannot open " + path, errno);
    return false;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  stage = WriteFailure::Write;
  if (!WriteAll(fd, contents)) {
    const int err = errno;
    ::close(fd);
    if (error) *error = ErrnoText("cannot write " + path, err);
    errno = err;
    return false;
  }
  if (::close(fd) != 0) {
    if (error) *error = ErrnoText("cannot write " + path, errno);
    return false;
  }
  stage = WriteFailure::None;
  return true;
}

}  // namespace

bool WriteFileAtomically(const std::string& requestedPath, std::string_view contents, std::string* error,
                         WriteFailure* failure, bool durable) {
  WriteFailure ignored;
  WriteFailure& stage = failure ? *failure : ignored;
  stage = WriteFailure::Create;
  const std::string path = ResolveTarget(requestedPath);
  struct stat existing {};
  const bool exists = ::stat(path.c_str(), &existing) == 0;
  if (exists && S_ISDIR(existing.st_mode)) {
    if (error) *error = path + " is a folder, not a file";
    errno = EISDIR;
    return false;
  }
  if (exists && !S_ISREG(existing.st_mode)) return WriteInPlace(path, contents, error, stage);

  std::string tmpl = FolderOf(path) + "/." + BaseNameOf(path) + ".XXXXXX";
  // Registered until the rename, so a signal that ends the program mid-write
  // removes the temporary.
  PendingFile pending(tmpl);
  int fd = pending.Descriptor();
  if (fd < 0) {
    if (error) *error = ErrnoText("cannot create a file in " + FolderOf(path), errno);
    return false;
  }
  stage = WriteFailure::Write;
  auto fail = [&](const std::string& what) {
    int err = errno;
    ::close(fd);
    ::unlink(tmpl.c_str());
    if (error) *error = ErrnoText(what, err);
    errno = err;
    return false;
  };
  if (!WriteAll(fd, contents)) return fail("cannot write " + path);
  if (durable && ::fsync(fd) != 0) return fail("cannot write " + path);
  // Keep the permissions of the file being replaced; a new file gets the
  // usual permissions for the user's umask.
  mode_t mode = 0666;
  if (exists) {
    mode = existing.st_mode & 07777;
  } else {
    mode_t mask = ::umask(0);
    ::umask(mask);
    mode &= ~mask;
  }
  if (::fchmod(fd, mode) != 0) return fail("cannot set the permissions of " + path);
  if (::close(fd) != 0) {
    int err = errno;
    ::unlink(tmpl.c_str());
    if (error) *error = ErrnoText("cannot write " + path, err);
    errno = err;
    return false;
  }
  stage = WriteFailure::Replace;
  if (::rename(tmpl.c_str(), path.c_str()) != 0) {
    int err = errno;
    ::unlink(tmpl.c_str());
    if (error) *error = ErrnoText("cannot replace " + path, err);
    errno = err;
    return false;
  }
  stage = WriteFailure::None;
  return true;
}

ProfileFile ProfileFile::Load(const std::string& path) {
  std::string text;
  if (ReadRegularFile(path, text) != ReadResult::Ok) return ProfileFile();
  return Parse(text);
}

std::optional<ProfileFile> ProfileFile::LoadForUpdate(const std::string& path, std::string* error) {
  std::string text;
  switch (ReadRegularFile(path, text)) {
    case ReadResult::Ok: return Parse(text);
    case ReadResult::Missing: return ProfileFile();
    case ReadResult::Unreadable: break;
  }
  if (error) {
    if (errno == EISDIR) {
      *error = path + " is a folder, not a file";
    } else if (errno == EINVAL) {
      *error = path + " is not a regular file";
    } else {
      *error = ErrnoText("cannot read " + path, errno);
    }
  }
  return std::nullopt;
}

ProfileFile ProfileFile::Parse(std::string_view text) {
  ProfileFile profile;
  Section* current = nullptr;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    std::string_view raw = text.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos);
    pos = end == std::string_view::npos ? text.size() : end + 1;
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    if (IsJunk(raw)) continue;

    std::string_view line = Trim(raw);
    if (!line.empty() && line.front() == '[') {
      std::size_t close = line.find(']');
      std::string_view name = Trim(line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
      // A section that appears twice continues the first one: reads find the
      // first value of every key, and a write leaves one clean section.
      current = profile.FindSection(name);
      if (!current) current = &profile.AddSection(std::string(name));
      continue;
    }

    Line entry;
    std::size_t eq = line.find('=');
    const bool isComment = !line.empty() && (line.front() == ';' || line.front() == '#');
    if (eq != std::string_view::npos && eq > 0 && !isComment) {
      entry.isEntry = true;
      entry.key = std::string(Trim(line.substr(0, eq)));
      entry.value = std::string(line.substr(eq + 1));
      if (current) {
        // A section that turns out large gets room for every line left at
        // once, rather than growing its table step by step.
        if (current->entries.size() == kLargeSection) {
          current->entries.reserve(kLargeSection + static_cast<std::size_t>(std::count(text.begin() + pos, text.end(), '\n')));
        }
        // The first value wins, and only it is kept.
        if (!current->entries.try_emplace(Folded(entry.key), current->lines.size()).second) continue;
      }
    } else {
      entry.text = std::string(raw);
    }
    (current ? current->lines : profile.preamble_).push_back(std::move(entry));
  }
  return profile;
}

const ProfileFile::Section* ProfileFile::FindSection(std::string_view name) const {
  const auto found = sectionIndex_.find(Folded(name));
  return found == sectionIndex_.end() ? nullptr : &sections_[found->second];
}

ProfileFile::Section* ProfileFile::FindSection(std::string_view name) {
  const auto found = sectionIndex_.find(Folded(name));
  return found == sectionIndex_.end() ? nullptr : &sections_[found->second];
}

ProfileFile::Section& ProfileFile::AddSection(std::string name) {
  sectionIndex_.emplace(Folded(name), sections_.size());
  sections_.push_back(Section{std::move(name), {}, {}});
  return sections_.back();
}

const ProfileFile::Line* ProfileFile::Section::Find(std::string_view key) const {
  const auto found = entries.find(Folded(key));
  return found == entries.end() ? nullptr : &lines[found->second];
}

std::optional<std::string> ProfileFile::Get(std::string_view section, std::string_view key) const {
  const Section* s = FindSection(Trim(section));
  if (!s) return std::nullopt;
  const Line* l = s->Find(Trim(key));
  if (!l) return std::nullopt;
  std::string_view v = Trim(l->value);
  if (v.size() >= 2 && IsQuote(v.front()) && v.back() == v.front()) {
    v = v.substr(1, v.size() - 2);
  }
  return std::string(v);
}

std::string ProfileFile::GetString(std::string_view section, std::string_view key,
                                   std::string_view defaultValue, std::size_t maxChars) const {
  std::string value = Get(section, key).value_or(std::string(defaultValue));
  if (maxChars != 0 && value.size() > maxChars) value.resize(maxChars);
  return value;
}

int ProfileFile::GetInt(std::string_view section, std::string_view key, int defaultValue) const {
  std::optional<std::string> text = Get(section, key);
  if (!text || text->empty()) return defaultValue;
  std::string_view s = *text;
  bool negative = false;
  if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  long long value = 0;
  for (char c : s) {
    if (c < '0' || c > '9') break;
    value = value * 10 + (c - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) break;
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

void ProfileFile::Set(std::string_view section, std::string_view key, std::string_view value) {
  std::string cleanSection = Sanitise(Trim(section));
  std::string cleanKey = Sanitise(Trim(key));
  Section* s = FindSection(cleanSection);
  if (!s) s = &AddSection(cleanSection);
  if (const auto found = s->entries.find(Folded(cleanKey)); found != s->entries.end()) {
    s->lines[found->second].value = StoredValue(value);
    return;
  }
  // New keys go after the last entry, ahead of the blank lines that separate
  // this section from the next; only those blank lines move, so the line
  // numbers of the entries stay valid.
  std::size_t at = s->lines.size();
  while (at > 0 && !s->lines[at - 1].isEntry && Trim(s->lines[at - 1].text).empty()) --at;
  s->entries.emplace(Folded(cleanKey), at);
  Line entry;
  entry.isEntry = true;
  entry.key = cleanKey;
  entry.value = StoredValue(value);
  s->lines.insert(s->lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(entry));
}

bool ProfileFile::HasSection(std::string_view section) const { return FindSection(Trim(section)) != nullptr; }

std::vector<std::string> ProfileFile::SectionNames() const {
  std::vector<std::string> names;
  for (const Section& s : sections_) names.push_back(s.name);
  return names;
}

std::vector<std::string> ProfileFile::Keys(std::string_view section) const {
  std::vector<std::string> keys;
  if (const Section* s = FindSection(Trim(section))) {
    for (const Line& l : s->lines) {
      if (l.isEntry) keys.push_back(l.key);
    }
  }
  return keys;
}

std::string ProfileFile::ToText() const {
  std::string out;
  auto put = [&out](const Line& l) {
    if (l.isEntry) {
      out += l.key;
      out += '=';
      out += l.value;
    } else {
      out += l.text;
    }
    out += '\n';
  };
  for (const Line& l : preamble_) put(l);
  bool first = true;
  for (const Section& s : sections_) {
    // Keep sections apart by a blank line when the file did not already.
    if (!first && out.size() >= 2 && out[out.size() - 2] != '\n') out += '\n';
    first = false;
    out += '[';
    out += s.name;
    out += "]\n";
    for (const Line& l : s.lines) put(l);
  }
  return out;
}

bool ProfileFile::Save(const std::string& path, std::string* error) const {
  return WriteFileAtomically(path, ToText(), error);
}

std::string ReadProfileString(const std::string& path, std::string_view section, std::string_view key,
                              std::string_view defaultValue, std::size_t maxChars) {
  return ProfileFile::Load(path).GetString(section, key, defaultValue, maxChars);
}

int ReadProfileInt(const std::string& path, std::string_view section, std::string_view key, int defaultValue) {
  return ProfileFile::Load(path).GetInt(section, key, defaultValue);
}

bool WriteProfileString(const std::string& path, std::string_view section, std::string_view key,
                        std::string_view value, std::string* error) {
  std::optional<ProfileFile> profile = ProfileFile::LoadForUpdate(path, error);
  if (!profile) return false;
  profile->Set(section, key, value);
  return profile->Save(path, error);
}

}  // namespace platform
