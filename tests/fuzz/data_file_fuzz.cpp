// libFuzzer target of the data-file scanner and reader: any bytes as a whole
// file must be scanned and read without a crash or undefined behaviour, and
//  - the text passes and the file passes (same bytes in a file) agree;
//  - the reading pass reads exactly the rows the scan counted;
//  - both agree with a plain reference reader that cleans each line in place
//    and converts its fields with strtof, as the grammar is written down
//    (lines with a number beyond the float range skipped and counted);
//  - values written back with the writer read back as the same text;
//  - the other import shapes (a later first column, generated x) read the
//    same rows or fail as the scan would;
//  - the Open command loads a file of 2 or 3 columns and refuses the rest.
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "data/curve_fit.h"
#include "data/data_file.h"
#include "session/data_file_flows.h"
#include "fuzz/fuzz_check.h"
#include "platform/headless_ui.h"

namespace {

using trendolin::datatype;

// ---- the reference reader ----

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsNumeric(char c) { return IsDigit(c) || c == '+' || c == '-' || c == '.'; }

bool BeginsLikeNumber(std::string_view s) {
  const char c0 = s.size() > 0 ? s[0] : '\0';
  const char c1 = s.size() > 1 ? s[1] : '\0';
  const char c2 = s.size() > 2 ? s[2] : '\0';
  const bool sign = c0 == '-' || c0 == '+';
  return IsDigit(c0) || ((sign || c0 == '.') && IsDigit(c1)) || (sign && c1 == '.' && IsDigit(c2));
}

bool IsDataLine(std::string_view line) {
  std::size_t i = 0;
  while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
  return BeginsLikeNumber(line.substr(i));
}

// Cleaning in place, left to right: what is not a digit, sign, point or
// exponent letter becomes a blank; an exponent letter survives (as "e") only
// between two characters that are digits, signs or points.
std::vector<std::string> CleanFields(std::string line) {
  for (char& c : line) {
    if (!IsNumeric(c) && c != 'e' && c != 'E' && c != 'd' && c != 'D') c = ' ';
  }
  for (std::size_t i = 0; i < line.size(); ++i) {
    char& c = line[i];
    if (c != 'e' && c != 'E' && c != 'd' && c != 'D') continue;
    const bool inside = i > 0 && i + 1 < line.size() && IsNumeric(line[i - 1]) && IsNumeric(line[i + 1]);
    c = inside ? 'e' : ' ';
  }
  std::vector<std::string> fields;
  std::size_t pos = 0;
  while (pos < line.size()) {
    const std::size_t begin = line.find_first_not_of(' ', pos);
    if (begin == std::string::npos) break;
    std::size_t end = line.find(' ', begin);
    if (end == std::string::npos) end = line.size();
    fields.push_back(line.substr(begin, end - begin));
    pos = end;
  }
  return fields;
}

// The "%g" input conversion: a number, no number, or a number beyond the
// float range (such a line is skipped, never read as infinity).
enum class Conversion { kNumber, kNotANumber, kOutOfRange };
Conversion Convert(const std::string& field, datatype& value) {
  char* end = nullptr;
  const float v = std::strtof(field.c_str(), &end);
  if (end == field.c_str()) return Conversion::kNotANumber;
  if (std::isinf(v)) return Conversion::kOutOfRange;
  value = v;
  return Conversion::kNumber;
}

struct Reference {
  bool known = true;  // false: the text holds a word the reference does not model
  int result = 0;     // rows, or a failure code of the scan
  int columns = 0;
  long skipped = 0;   // data lines skipped for a number beyond the float range
  std::vector<std::vector<datatype>> rows;
};

// Lines end at a line feed, and at a carriage return that is not the last
// character before one (a CR LF keeps its CR, which cleaning erases).
std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    for (std::size_t cr = line.find('\r'); cr != std::string_view::npos && cr + 1 < line.size(); cr = line.find('\r')) {
      lines.push_back(line.substr(0, cr));
      line.remove_prefix(cr + 1);
    }
    lines.push_back(line);
    pos = end + 1;
  }
  return lines;
}

// Infinity and not-a-number words ("inf", "NaN(7)" ...) make a line a row of
// values that are not finite under rules this reference leaves to the unit
// tests; a text that holds such letters is not judged by it.
bool HoldsNonFiniteWord(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(c | 0x20);
  return lower.find("inf") != std::string::npos || lower.find("nan") != std::string::npos;
}

Reference ReadReference(std::string_view text) {
  Reference ref;
  if (std::memchr(text.data(), '\0', text.size()) != nullptr) {
    ref.result = trendolin::kFileBadLine;
    return ref;
  }
  if (HoldsNonFiniteWord(text)) {
    ref.known = false;
    return ref;
  }
  for (const std::string_view line : Lines(text)) {
    if (!IsDataLine(line)) continue;
    const std::vector<std::string> fields = CleanFields(std::string(line));
    datatype value = 0;
    bool skip = false;
    if (ref.columns == 0) {
      // Before the first row any leading number beyond the range skips the
      // line: the column count comes from a line of finite numbers.
      for (const std::string& f : fields) {
        const Conversion c = Convert(f, value);
        if (c == Conversion::kOutOfRange) skip = true;
        if (c != Conversion::kNumber) break;
      }
      if (skip) {
        ++ref.skipped;
        continue;
      }
      while (ref.columns < static_cast<int>(fields.size()) && BeginsLikeNumber(fields[ref.columns])) ++ref.columns;
    }
    std::vector<datatype> row(static_cast<std::size_t>(ref.columns));
    for (int c = 0; c < ref.columns && !skip; ++c) {
      const Conversion k = c < static_cast<int>(fields.size()) ? Convert(fields[c], row[c]) : Conversion::kNotANumber;
      if (k == Conversion::kNotANumber) {
        ref.result = trendolin::kFileBadLine;
        return ref;
      }
      skip = k == Conversion::kOutOfRange;
    }
    if (skip) {
      ++ref.skipped;
      continue;
    }
    ref.rows.push_back(row);
  }
  ref.result = ref.rows.empty() ? trendolin::kFileNoData : static_cast<int>(ref.rows.size());
  return ref;
}

// ---- helpers ----

struct Block {
  std::vector<std::vector<datatype>> columns;
  std::vector<datatype*> pointers;
  Block(int columnCount, int rowCount)
      : columns(static_cast<std::size_t>(columnCount), std::vector<datatype>(static_cast<std::size_t>(rowCount))) {
    for (auto& c : columns) pointers.push_back(c.data());
  }
};

bool SameBits(datatype a, datatype b) { return std::memcmp(&a, &b, sizeof a) == 0; }

std::string ScratchFile() {
  const char* dir = std::getenv("TMPDIR");
  std::string tmpl = std::string(dir && *dir ? dir : "/tmp") + "/data-file-fuzz-XXXXXX";
  const int fd = ::mkstemp(tmpl.data());
  if (fd < 0) std::abort();
  ::close(fd);
  return tmpl;
}

void WriteWhole(const std::string& path, std::string_view text) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) std::abort();
  if (!text.empty() && std::fwrite(text.data(), 1, text.size(), f) != text.size()) std::abort();
  std::fclose(f);
}


// Reads `text` with `options` through both the text and the file pass and
// checks they agree; returns the rows read.
int ReadBoth(std::string_view text, const std::string& path, const trendolin::ImportOptions& options,
             Block& block) {
  const int columns = options.dataSetColumns;
  const int read = trendolin::ReadDataText(text, options, block.pointers.data());
  Block again(columns, options.pointsInFile);
  trendolin::ImportOptions fromFile = options;
  fromFile.path = path;
  FUZZ_CHECK(trendolin::Read_TRDL_File(fromFile, again.pointers.data(), false) == read);
  for (int c = 0; c < columns && read > 0; ++c) {
    for (int r = 0; r < read; ++r) FUZZ_CHECK(SameBits(block.columns[c][r], again.columns[c][r]));
  }
  return read;
}

// The Open command without its dialogs: a file of 2 or 3 columns becomes
// the data set, anything else is refused with a warning and the data set
// stays as it was; skipped lines are told in a warning of their own.
void CheckOpenCommand(const std::string& path, int points, int columns, bool skipped) {
  platform::HeadlessUi ui(platform::HeadlessUi::Mode::Unattended);
  platform::ScopedUi installed(ui);
  trendolin::CurveFit doc;
  const int opened = trendolin::OpenDataFile(doc, path, false, false, true);
  const bool fits = points > 0 && (columns == 2 || columns == 3);
  FUZZ_CHECK(opened == (fits ? 1 : 0));
  const std::size_t shown = ui.EventsOf(platform::UiEvent::Kind::MessageBox).size();
  if (fits) {
    FUZZ_CHECK(shown == (skipped ? 1u : 0u));
  } else {
    FUZZ_CHECK(shown >= 1u);
  }
  if (fits) {
    FUZZ_CHECK(doc.nPoints == points && doc.nColumns == columns && doc.bUncertainty == (columns == 3 ? 1 : 0));
    FUZZ_CHECK(doc.bModified == 0);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const FuzzSession fresh;
  static const std::string path = ScratchFile();
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  WriteWhole(path, text);

  int columns = -7;
  trendolin::SkippedLines skipped;
  const int points = trendolin::ScanDataText(text, &columns, &skipped);
  int fileColumns = -7;
  trendolin::SkippedLines fileSkipped;
  FUZZ_CHECK(trendolin::ScanDataFile(path, &fileColumns, false, &fileSkipped) == points);
  FUZZ_CHECK(fileSkipped.count == skipped.count && fileSkipped.firstLine == skipped.firstLine);
  if (points > 0) FUZZ_CHECK(fileColumns == columns);

  const Reference ref = ReadReference(text);
  if (ref.known) FUZZ_CHECK(ref.result == points);
  if (ref.known && points > 0) FUZZ_CHECK(ref.skipped == skipped.count);
  CheckOpenCommand(path, points, columns, skipped.count > 0);
  if (points <= 0) return 0;
  FUZZ_CHECK(columns > 0);
  if (ref.known) FUZZ_CHECK(columns == ref.columns);

  // Every column from the first, as the clipboard and a plain open read.
  trendolin::ImportOptions options = trendolin::DefaultImportOptions(path, columns, points, false);
  options.columnsToRead = columns;
  options.uncertainty = false;
  trendolin::DeriveImportOptions(options);
  FUZZ_CHECK(options.dataSetColumns == columns);
  Block block(columns, points);
  FUZZ_CHECK(ReadBoth(text, path, options, block) == points);
  for (int r = 0; r < points && ref.known; ++r) {
    for (int c = 0; c < columns; ++c) FUZZ_CHECK(SameBits(block.columns[c][r], ref.rows[r][c]));
  }

  // Written back and read again: the same numbers as "%g" shows them.
  const std::string written = trendolin::FormatDataText(block.pointers.data(), 0, 0, points, columns);
  int writtenColumns = 0;
  FUZZ_CHECK(trendolin::ScanDataText(written, &writtenColumns) == points && writtenColumns == columns);
  Block reread(columns, points);
  FUZZ_CHECK(trendolin::ReadDataText(written, options, reread.pointers.data()) == points);
  FUZZ_CHECK(trendolin::FormatDataText(reread.pointers.data(), 0, 0, points, columns) == written);

  // The last column alone, with generated x: the same rows, x counting up.
  trendolin::ImportOptions generated = options;
  generated.firstColumn = columns;
  generated.columnsToRead = 1;
  generated.generateX = true;
  generated.xStart = -1.5f;
  generated.xIncrement = 0.25f;
  trendolin::DeriveImportOptions(generated);
  Block shaped(generated.dataSetColumns, points);
  FUZZ_CHECK(ReadBoth(text, path, generated, shaped) == points);
  datatype x = generated.xStart;
  for (int r = 0; r < points; ++r) {
    FUZZ_CHECK(SameBits(shaped.columns[0][r], x));
    FUZZ_CHECK(SameBits(shaped.columns[1][r], block.columns[columns - 1][r]));
    x += generated.xIncrement;
  }
  return 0;
}
