// Data files: the tolerant grammar that reads them, the scanning and reading
// passes, and the writer.
#include "data/data_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/debug_log.h"
#include "platform/profile_file.h"
#include "data/notices.h"

namespace trendolin {
namespace {

constexpr long kProgressEvery = 25;                  // lines (rows when writing) between status updates
constexpr std::size_t kReadBlock = std::size_t{1} << 20;  // bytes read from a file at a time

// The decimal point of the current locale: the reader accepts it and the
// writer writes it, as the C library's "%g" does.
char LocalePoint() {
  const std::lconv* conv = std::localeconv();
  if (conv == nullptr || conv->decimal_point == nullptr || conv->decimal_point[0] == '\0') return '.';
  return conv->decimal_point[0];
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetterOrDigit(char c) { return IsDigit(c) || ((c | 0x20) >= 'a' && (c | 0x20) <= 'z'); }
bool IsSign(char c) { return c == '-' || c == '+'; }

// Case-blind: does `line` hold `word` at `i`?
bool HasWordAt(std::string_view line, std::size_t i, std::string_view word) {
  if (line.size() - i < word.size()) return false;
  for (std::size_t k = 0; k < word.size(); ++k) {
    if ((line[i + k] | 0x20) != word[k]) return false;
  }
  return true;
}

// The length of an infinity or not-a-number word at `i` ("inf", "Infinity",
// "NaN", "nan(7)": what the C library writes for such values), standing
// alone; 0 when there is none. Cleaning erases these words like any other,
// which would let the next number slide into their column or make the line
// pass for a heading: such a line is reported and skipped instead.
std::size_t NonFiniteWordAt(std::string_view line, std::size_t i) {
  const char c = static_cast<char>(line[i] | 0x20);
  if (c != 'i' && c != 'n') return 0;
  if (i > 0 && IsLetterOrDigit(line[i - 1])) return 0;
  std::size_t length = 0;
  if (HasWordAt(line, i, "infinity")) {
    length = 8;
  } else if (HasWordAt(line, i, "inf")) {
    length = 3;
  } else if (HasWordAt(line, i, "nan")) {
    length = 3;
    if (i + 3 < line.size() && line[i + 3] == '(') {
      const std::size_t close = line.find(')', i + 4);
      if (close != std::string_view::npos) length = close + 1 - i;
    }
  }
  if (length == 0) return 0;
  if (i + length < line.size() && IsLetterOrDigit(line[i + length])) return 0;
  return length;
}

// What reading one field of a data line found.
enum class FieldRead { kNumber, kNotANumber, kNoField, kNotFinite };

// One field of a data line: [begin, end) of the raw line. `rewrite` is set
// when its cleaned form differs from the raw text (an exponent letter other
// than "e", or a decimal point other than ".").
struct FieldSpan {
  std::size_t begin = 0;
  std::size_t end = 0;
  bool rewrite = false;
};

// The grammar of data lines for one decimal point. A line is never cleaned in
// place: each character's cleaned form is worked out as fields are found, and
// only a field whose cleaned form differs is copied. The cleaned form of a
// character depends on the raw line alone (cleaning never creates a digit,
// sign or point), so this gives what cleaning left to right would.
class Grammar {
 public:
  explicit Grammar(char point) : point_(point) {
    classes_.fill(kSeparator);
    for (char c = '0'; c <= '9'; ++c) classes_[static_cast<unsigned char>(c)] = kNumeric;
    classes_['+'] = kNumeric;
    classes_['-'] = kNumeric;
    for (char c : {'e', 'E', 'd', 'D'}) classes_[static_cast<unsigned char>(c)] = kExponent;
    classes_[static_cast<unsigned char>(point)] = kNumeric;
  }

  // Its first character that is not a blank or tab is a digit; or a point or
  // sign directly followed by a digit; or a sign, a point and a digit.
  bool IsDataLine(std::string_view line) const {
    std::size_t i = 0;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    return BeginsLikeNumber(line.substr(i), point_);
  }

  // The same test on a cleaned field, whose point is already ".".
  static bool BeginsLikeNumber(std::string_view s, char point = '.') {
    const char c0 = s.size() > 0 ? s[0] : '\0';
    const char c1 = s.size() > 1 ? s[1] : '\0';
    const char c2 = s.size() > 2 ? s[2] : '\0';
    const bool sign = c0 == '-' || c0 == '+';
    if (IsDigit(c0)) return true;
    if ((sign || c0 == point) && IsDigit(c1)) return true;
    return sign && c1 == point && IsDigit(c2);
  }

  // Finds the next field at or after `pos` and moves `pos` past it. Every
  // character that cleaning turns into a blank separates fields, so tabs,
  // commas (unless the comma is the point), words and stray exponent letters
  // all do.
  bool NextField(std::string_view line, std::size_t& pos, FieldSpan& field) const {
    std::size_t i = pos;
    const std::size_t n = line.size();
    while (i < n && !Kept(line, i)) ++i;
    if (i == n) {
      pos = n;
      return false;
    }
    field.begin = i;
    field.rewrite = false;
    for (; i < n && Kept(line, i); ++i) {
      const char c = line[i];
      if (c == point_ ? point_ != '.' : (Class(c) == kExponent && c != 'e')) field.rewrite = true;
    }
    field.end = i;
    pos = i;
    return true;
  }

  // The cleaned text of a field: a view of the line itself when nothing
  // changes, else a copy in `scratch` (reused, so lines cost no allocation).
  std::string_view Cleaned(std::string_view line, const FieldSpan& field, std::string& scratch) const {
    std::string_view raw = line.substr(field.begin, field.end - field.begin);
    if (!field.rewrite) return raw;
    scratch.assign(raw);
    for (char& c : scratch) {
      if (c == point_) {
        c = '.';
      } else if (Class(c) == kExponent) {
        c = 'e';
      }
    }
    return scratch;
  }

  // Finds the next field at or after `pos`, converts it and moves `pos` past
  // it: kNoField when the line has none left, kNotANumber when it is no
  // number, kNotFinite for an infinity or not-a-number word or a number
  // beyond the float range.
  //
  // With "." as the point the raw text of a plain number is already its
  // cleaned form: from_chars reads it in place, and only a field that goes on
  // after the number (a D exponent, "1-2") or is out of range takes the
  // general road. Everything from_chars takes (digits, point, signs, an
  // exponent letter followed by a digit or sign) is kept by cleaning, so the
  // field ends where it stops unless the next character is kept too.
  FieldRead NextNumber(std::string_view line, std::size_t& pos, std::string& scratch, datatype& value) const {
    std::size_t i = pos;
    const std::size_t n = line.size();
    if (const std::size_t word = SkipErased(line, i)) {
      pos = i + word;
      return FieldRead::kNotFinite;
    }
    if (i == n) {
      pos = n;
      return FieldRead::kNoField;
    }
    if (point_ == '.') {
      // from_chars also takes "inf" and "nan" after a sign, letters that
      // cleaning erases: such a field takes the general road below.
      const std::from_chars_result r = FromChars(line.data() + i, line.data() + n, value);
      if (r.ec == std::errc() && std::isfinite(value)) {
        const std::size_t stop = static_cast<std::size_t>(r.ptr - line.data());
        if (stop == n || !Kept(line, stop)) {
          pos = stop;
          return FieldRead::kNumber;
        }
      }
    }
    if (IsSign(line[i]) && i + 1 < n) {
      if (const std::size_t word = NonFiniteWordAt(line, i + 1)) {
        pos = i + 1 + word;
        return FieldRead::kNotFinite;
      }
    }
    pos = i;
    FieldSpan field;
    NextField(line, pos, field);
    return Convert(Cleaned(line, field, scratch), value);
  }

  // A line that is no data line by its start but begins with an infinity or
  // not-a-number word and holds nothing but numbers and such words: a row of
  // values that are not finite (what "%g" writes for them), not a heading.
  bool IsNonFiniteRow(std::string_view line) const {
    std::size_t i = 0;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i < line.size() && IsSign(line[i])) ++i;
    if (i == line.size() || NonFiniteWordAt(line, i) == 0) return false;
    while (i < line.size()) {
      if (const std::size_t word = NonFiniteWordAt(line, i)) {
        i += word;
      } else if (IsLetterOrDigit(line[i]) && !IsDigit(line[i]) && !Kept(line, i)) {
        return false;  // a word: a heading after all
      } else {
        ++i;
      }
    }
    return true;
  }

 private:
  enum CharClass : unsigned char { kSeparator, kNumeric, kExponent };

  CharClass Class(char c) const { return classes_[static_cast<unsigned char>(c)]; }

  // from_chars after a lone leading "+", which it does not take (strtof takes
  // one sign only, so "+-1" stays a failure).
  static std::from_chars_result FromChars(const char* first, const char* last, datatype& value) {
    if (last - first > 1 && first[0] == '+' && first[1] != '+' && first[1] != '-') ++first;
    return std::from_chars(first, last, value, std::chars_format::general);
  }

  // The "%g" input conversion of a cleaned field: the longest leading part
  // that forms a number, correctly rounded to the nearest float, exactly as
  // strtof gives it. A value too large for a float is not finite: storing
  // infinity would poison every statistic and fit. A value too small becomes
  // the nearest float (zero or a denormal), as strtof gives it.
  FieldRead Convert(std::string_view text, datatype& value) const {
    const std::from_chars_result r = FromChars(text.data(), text.data() + text.size(), value);
    if (r.ec == std::errc()) return FieldRead::kNumber;
    if (r.ec != std::errc::result_out_of_range) return FieldRead::kNotANumber;
    return ConvertOutOfRange(text, value);
  }

  // Moves `i` past the characters that cleaning erases, up to the next kept
  // one, but stops at an infinity or not-a-number word and answers its
  // length (0 when there was none).
  std::size_t SkipErased(std::string_view line, std::size_t& i) const {
    const std::size_t n = line.size();
    for (; i < n && !Kept(line, i); ++i) {
      if (const std::size_t word = NonFiniteWordAt(line, i)) return word;
    }
    return 0;
  }

  // Digits, signs and the point stay; an exponent letter stays (as "e") only
  // between two of them; everything else becomes a blank.
  bool Kept(std::string_view line, std::size_t i) const {
    const CharClass k = Class(line[i]);
    if (k == kNumeric) return true;
    if (k != kExponent) return false;
    return i > 0 && i + 1 < line.size() && Class(line[i - 1]) == kNumeric && Class(line[i + 1]) == kNumeric;
  }

  // from_chars reports both overflow and underflow to zero as out of range;
  // strtof tells them apart. This path runs only for such extreme fields.
  FieldRead ConvertOutOfRange(std::string_view text, datatype& value) const {
    std::string copy(text);
    for (char& c : copy) {
      if (c == '.') c = point_;  // strtof reads the locale's point
    }
    char* end = nullptr;
    const float parsed = std::strtof(copy.c_str(), &end);
    if (end == copy.c_str()) return FieldRead::kNotANumber;
    if (std::isinf(parsed)) return FieldRead::kNotFinite;
    value = parsed;
    return FieldRead::kNumber;
  }

  std::array<CharClass, 256> classes_{};
  char point_;
};

// The status-bar progress of a pass and the busy state around it. Busy is
// switched off by the destructor, so every way out restores the interface.
class Progress {
 public:
  Progress(bool enabled, const std::string& path, const char* label)
      : enabled_(enabled), path_(path), label_(label) {
    if (enabled_) SetBusy(true);
  }
  ~Progress() {
    if (enabled_) SetBusy(false);
  }
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;

  void Tick(long lines, long rows) {
    if (!enabled_ || lines % kProgressEvery != 0) return;
    ShowStatusText(0, path_);
    ShowStatusText(1, std::to_string(lines));
    ShowStatusText(2, std::to_string(rows));
    ShowStatusText(3, label_);
    PumpEvents();
  }

 private:
  bool enabled_;
  const std::string& path_;
  const char* label_;
};

// Hands every line of `text` to `onLine` (a line feed ends a line; a last line
// without one still counts) until it answers false. False when stopped.
// A carriage return not followed by a line feed ends a line too: files
// written with CR-only line ends would otherwise read as one long line of
// every number. In CR LF the CR stays with its line, a separator like a blank.
template <class OnLine>
bool ForEachLine(std::string_view text, OnLine& onLine) {
  const char* const data = text.data();
  const std::size_t n = text.size();
  std::size_t pos = 0;
  while (pos < n) {
    const void* feed = std::memchr(data + pos, '\n', n - pos);
    const std::size_t end = feed ? static_cast<std::size_t>(static_cast<const char*>(feed) - data) : n;
    std::string_view line(data + pos, end - pos);
    for (std::size_t cr = line.find('\r'); cr != std::string_view::npos && cr + 1 < line.size();
         cr = line.find('\r')) {
      if (!onLine(line.substr(0, cr))) return false;
      line.remove_prefix(cr + 1);
    }
    if (!onLine(line)) return false;
    pos = end + 1;
  }
  return true;
}

// Text with a NUL byte is no text file (a binary file, or UTF-16 text): its
// "numbers" would be fragments, so it is refused as a whole.
bool HasNulByte(std::string_view text) { return std::memchr(text.data(), '\0', text.size()) != nullptr; }

constexpr int kStopped = 1;  // ForEachFileLine: `onLine` stopped the pass

// Opens `path` for reading. Only a regular file is a data file: a folder, a
// device or a pipe gives -1 (a pipe could not be read twice anyway, and
// opening one must not wait for a writer).
int OpenForReading(const std::string& path, std::size_t* size) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return -1;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return -1;
  }
  *size = st.st_size > 0 ? static_cast<std::size_t>(st.st_size) : 0;
  return fd;
}

class FileCloser {
 public:
  explicit FileCloser(int fd) : fd_(fd) {}
  ~FileCloser() { ::close(fd_); }
  FileCloser(const FileCloser&) = delete;
  FileCloser& operator=(const FileCloser&) = delete;

 private:
  int fd_;
};

// Reads `path` in large blocks and hands every whole line to `onLine`. A line
// longer than a block is gathered whole (the buffer grows to hold it), so no
// number is ever cut in two. Only the bytes the file had when it was opened
// are read: a file that another program keeps writing to would otherwise
// never end. `limit`, when not 0, reads no more than that many bytes (the
// reading pass takes the bytes its scan took, so lines added in between do
// not count), and `bytes` receives how many bytes were read. Returns 0,
// kStopped, kFileCannotOpen (also for a read error) or kFileBadLine (a NUL
// byte).
template <class OnLine>
int ForEachFileLine(const std::string& path, OnLine& onLine, std::size_t limit = 0, std::size_t* bytes = nullptr) {
  std::size_t fileSize = 0;
  const int fd = OpenForReading(path, &fileSize);
  if (fd < 0) return kFileCannotOpen;
  FileCloser closer(fd);
  if (limit > 0) fileSize = std::min(fileSize, limit);
  if (bytes) *bytes = 0;
  // A small file needs no large block.
  std::vector<char> buffer(std::max<std::size_t>(std::min(kReadBlock, fileSize), 1));
  std::size_t filled = 0;  // bytes of an unfinished line at the start of the buffer
  std::size_t left = fileSize;
  while (left > 0) {
    if (filled == buffer.size()) buffer.resize(buffer.size() * 2);
    const ssize_t got = ::read(fd, buffer.data() + filled, std::min(buffer.size() - filled, left));
    if (got < 0) {
      if (errno == EINTR) continue;
      return kFileCannotOpen;
    }
    if (got == 0) break;  // the file shrank meanwhile
    left -= static_cast<std::size_t>(got);
    if (bytes) *bytes += static_cast<std::size_t>(got);
    const std::string_view fresh(buffer.data() + filled, static_cast<std::size_t>(got));
    if (HasNulByte(fresh)) return kFileBadLine;
    filled += fresh.size();
    // The bytes before `fresh` hold no line feed, so the last one is in it.
    const void* lastFeed = ::memrchr(fresh.data(), '\n', fresh.size());
    if (lastFeed == nullptr) continue;
    const std::size_t whole = static_cast<std::size_t>(static_cast<const char*>(lastFeed) - buffer.data()) + 1;
    if (!ForEachLine(std::string_view(buffer.data(), whole), onLine)) return kStopped;
    std::memmove(buffer.data(), buffer.data() + whole, filled - whole);
    filled -= whole;
  }
  if (filled > 0 && !ForEachLine(std::string_view(buffer.data(), filled), onLine)) return kStopped;
  return 0;
}

// Whether any number of a data line, up to its first field that is no
// number, is not finite. Decides the fate of the data lines before the first
// row: the column count comes from a line with finite numbers only, so that
// "1 inf" is not taken for a file of one column.
bool HasNonFiniteNumber(const Grammar& grammar, std::string_view line, std::string& scratch) {
  std::size_t pos = 0;
  datatype value = 0.0f;
  for (;;) {
    const FieldRead read = grammar.NextNumber(line, pos, scratch, value);
    if (read == FieldRead::kNotFinite) return true;
    if (read != FieldRead::kNumber) return false;
  }
}

// The scanning pass: counts the columns on the first data line and checks
// that every data line holds that many convertible fields. A line with a
// number that is not finite is skipped and counted, never taken for a
// heading or a bad line.
class ScanPass {
 public:
  ScanPass(const Grammar& grammar, Progress& progress) : grammar_(grammar), progress_(progress) {}

  bool operator()(std::string_view line) {
    ++lines_;
    if (grammar_.IsDataLine(line)) {
      if (columns_ == 0 && HasNonFiniteNumber(grammar_, line, scratch_)) {
        Skip();
      } else {
        if (columns_ == 0) columns_ = CountColumns(line);
        const FieldRead read = CheckLine(line);
        if (read == FieldRead::kNotFinite) {
          Skip();
        } else if (read != FieldRead::kNumber) {
          result_ = kFileBadLine;
          badLine_ = lines_;
          return false;
        } else {
          ++dataLines_;
        }
      }
    } else if (grammar_.IsNonFiniteRow(line)) {
      Skip();
    }
    progress_.Tick(lines_, dataLines_);
    return true;
  }

  // The line (from 1) that made the pass kFileBadLine, else 0.
  long BadLine() const { return badLine_; }

  // The pass's answer once every line was seen (or it stopped).
  int Result(int* columns, SkippedLines* skipped) const {
    if (skipped) *skipped = skipped_;
    if (result_ != 0) return result_;
    if (dataLines_ == 0) return kFileNoData;
    if (columns) *columns = columns_;
    return static_cast<int>(dataLines_);
  }

 private:
  // The fields of the first data line up to the first one that does not
  // begin like a number (a word there was already erased by cleaning).
  int CountColumns(std::string_view line) {
    int count = 0;
    std::size_t pos = 0;
    FieldSpan field;
    while (grammar_.NextField(line, pos, field) &&
           Grammar::BeginsLikeNumber(grammar_.Cleaned(line, field, scratch_))) {
      ++count;
    }
    return count;
  }

  FieldRead CheckLine(std::string_view line) {
    std::size_t pos = 0;
    datatype value = 0.0f;
    for (int c = 0; c < columns_; ++c) {
      const FieldRead read = grammar_.NextNumber(line, pos, scratch_, value);
      if (read != FieldRead::kNumber) return read;
    }
    return FieldRead::kNumber;
  }

  void Skip() {
    if (skipped_.count++ == 0) skipped_.firstLine = lines_;
  }

  const Grammar& grammar_;
  Progress& progress_;
  int columns_ = 0;
  long lines_ = 0;
  long dataLines_ = 0;
  int result_ = 0;
  SkippedLines skipped_;
  long badLine_ = 0;  // the line that made the pass kFileBadLine
  std::string scratch_;
};

// Gathers the heading of a data file (see kMaxHeadingBytes): the lines
// before the first data line or line of values that are not finite, whole,
// up to the limit.
class HeadingKeeper {
 public:
  explicit HeadingKeeper(std::string* heading) : heading_(heading), open_(heading != nullptr) {
    if (heading_) heading_->clear();
  }

  void operator()(const Grammar& grammar, std::string_view line) {
    if (!open_) return;
    if (grammar.IsDataLine(line) || grammar.IsNonFiniteRow(line)) {
      open_ = false;
      return;
    }
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);  // CR LF: written back as LF
    if (heading_->size() + line.size() + 1 > kMaxHeadingBytes) {
      open_ = false;  // what is kept stays the start of the heading, whole lines only
      return;
    }
    heading_->append(line);
    heading_->push_back('\n');
  }

 private:
  std::string* heading_;
  bool open_;
};

// The reading pass: fills the data-set columns as the import options say.
class ReadPass {
 public:
  ReadPass(const Grammar& grammar, Progress& progress, const ImportOptions& options, datatype* const* columns,
           bool logRows, std::string* heading)
      : grammar_(grammar),
        progress_(progress),
        options_(options),
        columns_(columns),
        x_(options.xStart),
        logRows_(logRows),
        heading_(heading) {}

  // Skips exactly the lines the scanning pass skipped (lines that begin with
  // an infinity or not-a-number word are no data lines to it either).
  bool operator()(std::string_view line) {
    ++lines_;
    heading_(grammar_, line);
    if (grammar_.IsDataLine(line) && !(!sawRow_ && HasNonFiniteNumber(grammar_, line, scratch_))) {
      sawRow_ = true;
      const FieldRead read = ReadRow(line);
      if (read == FieldRead::kNumber) {
        if (logRows_) LogRow();
        ++rows_;
      } else if (read != FieldRead::kNotFinite) {
        result_ = kFileBadLine;
        return false;
      }
    }
    progress_.Tick(lines_, rows_);
    return true;
  }

  int Result() const { return result_ != 0 ? result_ : rows_; }

 private:
  FieldRead ReadRow(std::string_view line) {
    std::size_t pos = 0;
    datatype value = 0.0f;
    // The fields before the first column read need not be numbers, but one
    // that is not finite makes the line one the scan skipped.
    for (int skip = 1; skip < options_.firstColumn; ++skip) {
      const FieldRead read = grammar_.NextNumber(line, pos, scratch_, value);
      if (read == FieldRead::kNoField || read == FieldRead::kNotFinite) return read;
    }
    row_.resize(static_cast<std::size_t>(std::max(options_.columnsToRead, 0)));
    for (datatype& field : row_) {
      const FieldRead read = grammar_.NextNumber(line, pos, scratch_, field);
      if (read != FieldRead::kNumber) return read;
    }
    // The scan checks the columns past the last one read as well.
    for (int c = options_.firstColumn + options_.columnsToRead; c <= options_.columnsInFile; ++c) {
      if (grammar_.NextNumber(line, pos, scratch_, value) == FieldRead::kNotFinite) return FieldRead::kNotFinite;
    }
    // More data lines than the scan counted: the file changed in between,
    // and the columns have no room for them.
    if (rows_ >= options_.pointsInFile) return FieldRead::kNoField;
    const int firstTarget = options_.generateX ? 1 : 0;
    if (options_.generateX) {
      columns_[0][rows_] = x_;
      x_ += options_.xIncrement;  // accumulated in single precision, row by row
    }
    for (std::size_t c = 0; c < row_.size(); ++c) columns_[firstTarget + static_cast<int>(c)][rows_] = row_[c];
    return FieldRead::kNumber;
  }

  // Diagnostics: the row as read, "%g\t" per value.
  void LogRow() {
    const int count = options_.columnsToRead + (options_.generateX ? 1 : 0);
    std::string text;
    char number[64];
    for (int c = 0; c < count; ++c) {
      std::snprintf(number, sizeof number, "%g\t", static_cast<double>(columns_[c][rows_]));
      text += number;
    }
    text += '\n';
    DebugLog(text);
  }

  const Grammar& grammar_;
  Progress& progress_;
  const ImportOptions& options_;
  datatype* const* columns_;
  datatype x_;
  bool logRows_;
  HeadingKeeper heading_;
  bool sawRow_ = false;
  long lines_ = 0;
  int rows_ = 0;
  int result_ = 0;
  std::vector<datatype> row_;
  std::string scratch_;
};

// "%g" as the C library writes it in the C locale (to_chars with a precision
// is defined to match it), then the locale's point.
char* FormatValue(char* out, char* limit, datatype value, char point) {
  char* const start = out;
  out = std::to_chars(out, limit, value, std::chars_format::general, 6).ptr;
  if (point != '.') {
    for (char* p = start; p != out; ++p) {
      if (*p == '.') *p = point;
    }
  }
  return out;
}

// The block's lines after `heading`.
std::string FormatBlock(const datatype* const* columns, int firstRow, int firstColumn, int rowCount,
                        int columnCount, Progress* progress, std::string_view heading = {}) {
  std::string text(heading);
  if (rowCount <= 0 || columnCount <= 0) return text;
  const char point = LocalePoint();
  // "%g" of a float needs at most 12 characters ("-1.17549e-38"), plus the separator.
  constexpr std::size_t kMaxField = 14;
  const std::size_t rowBytes = kMaxField * static_cast<std::size_t>(columnCount);
  text.resize(heading.size() + rowBytes * static_cast<std::size_t>(rowCount));
  char* out = text.data() + heading.size();
  for (int r = 0; r < rowCount; ++r) {
    char* const limit = out + rowBytes;
    for (int c = 0; c < columnCount; ++c) {
      out = FormatValue(out, limit, columns[firstColumn + c][firstRow + r], point);
      *out++ = (c + 1 < columnCount) ? '\t' : '\n';
    }
    if (progress) progress->Tick(r + 1, r + 1);
  }
  text.resize(static_cast<std::size_t>(out - text.data()));
  return text;
}

}  // namespace

int ScanDataText(std::string_view text, int* columns, SkippedLines* skipped) {
  if (skipped) *skipped = SkippedLines{};
  if (HasNulByte(text)) return kFileBadLine;
  const Grammar grammar(LocalePoint());
  const std::string noPath;
  Progress progress(false, noPath, "SCANNING");
  ScanPass pass(grammar, progress);
  ForEachLine(text, pass);
  return pass.Result(columns, skipped);
}

int ScanDataFile(const std::string& path, int* columns, bool progress, SkippedLines* skipped, long* badLine,
                 std::size_t* bytes) {
  if (skipped) *skipped = SkippedLines{};
  if (badLine) *badLine = 0;
  Progress shown(progress, path, "SCANNING");
  const Grammar grammar(LocalePoint());
  ScanPass pass(grammar, shown);
  const int status = ForEachFileLine(path, pass, 0, bytes);
  if (badLine) *badLine = pass.BadLine();
  if (status < 0) return status;
  return pass.Result(columns, skipped);
}

int ReadDataText(std::string_view text, const ImportOptions& options, datatype* const* columns,
                 std::string* heading) {
  if (heading) heading->clear();
  if (HasNulByte(text)) return kFileBadLine;
  const Grammar grammar(LocalePoint());
  Progress progress(false, options.path, "READING");
  ReadPass pass(grammar, progress, options, columns, false, heading);
  ForEachLine(text, pass);
  return pass.Result();
}

int Read_TRDL_File(const ImportOptions& options, datatype* const* columns, bool progress, std::string* heading) {
  DebugLog("Reading Data with Read_TRDL_File...\n");
  DebugLogF("Filename is %s\n", options.path.c_str());
  Progress shown(progress, options.path, "READING");
  const Grammar grammar(LocalePoint());
  ReadPass pass(grammar, shown, options, columns, (DebugFlags & 0x11) != 0, heading);
  const int status = ForEachFileLine(options.path, pass, options.scannedBytes);
  if (status < 0) return status;
  return pass.Result();
}

std::string FormatDataText(const datatype* const* columns, int firstRow, int firstColumn, int rowCount,
                           int columnCount) {
  return FormatBlock(columns, firstRow, firstColumn, rowCount, columnCount, nullptr);
}

int WriteDataFile(const std::string& path, const datatype* const* columns, int firstRow, int firstColumn,
                  int rowCount, int columnCount, bool progress, std::string* error, std::string_view heading) {
  Progress shown(progress, path, "WRITING");
  const std::string text = FormatBlock(columns, firstRow, firstColumn, rowCount, columnCount, &shown, heading);
  return platform::WriteFileAtomically(path, text, error) ? 0 : -1;
}

std::string FileTitle(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  std::string title = slash == std::string::npos ? path : path.substr(slash + 1);
  if (title == "." || title == "..") return {};
  return title;
}

}  // namespace trendolin
