// Tests of the data file grammar, the scanning and reading passes, the import
// options and the writer.
#include "data/data_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "platform/debug_log.h"
#include "platform/headless_ui.h"
#include "support/temp_dir.h"

namespace trendolin {
namespace {

const std::string kFiles = TRENDOLIN_TEST_FILES;
using Rows = std::vector<std::vector<float>>;

// Scanning, then reading every column with the default options.
struct Loaded {
  int result = 0;  // the scan's answer
  int columns = 0;
  Rows rows;
  SkippedLines skipped;
};

Loaded Load(const std::string& textOrPath, bool isPath = false) {
  Loaded out;
  out.result = isPath ? ScanDataFile(textOrPath, &out.columns, false, &out.skipped)
                      : ScanDataText(textOrPath, &out.columns, &out.skipped);
  if (out.result <= 0) return out;
  std::vector<std::vector<float>> columns(out.columns, std::vector<float>(out.result));
  std::vector<datatype*> pointers;
  for (auto& c : columns) pointers.push_back(c.data());
  const ImportOptions options = DefaultImportOptions(isPath ? textOrPath : "", out.columns, out.result, false);
  const int read = isPath ? Read_TRDL_File(options, pointers.data(), false)
                          : ReadDataText(textOrPath, options, pointers.data());
  EXPECT_EQ(read, out.result);
  out.rows.resize(out.result);
  for (int r = 0; r < out.result; ++r) {
    for (const auto& c : columns) out.rows[r].push_back(c[r]);
  }
  return out;
}

// Bitwise, so that -0 stays -0 and denormals are exact.
void ExpectSameRows(const Rows& got, const Rows& expected) {
  ASSERT_EQ(got.size(), expected.size());
  for (std::size_t r = 0; r < got.size(); ++r) {
    ASSERT_EQ(got[r].size(), expected[r].size()) << "row " << r;
    for (std::size_t k = 0; k < got[r].size(); ++k) {
      EXPECT_EQ(got[r][k], expected[r][k]) << "row " << r << " column " << k;
      EXPECT_EQ(std::signbit(got[r][k]), std::signbit(expected[r][k])) << "row " << r << " column " << k;
    }
  }
}

TEST(DataFileGrammar, ReadsEachCase) {
  struct Case {
    const char* why;
    std::string text;
    int result;  // data lines, or the failure
    Rows rows;
  };
  const std::vector<Case> cases = {
      {"headings, and commas, tabs and blanks in any mix", "x, y\n1,2\n3\t4\nnote\n5 ,  6\n", 3,
       {{1, 2}, {3, 4}, {5, 6}}},
      {"D exponents; an e between letters is erased", "1.5D+03 height 2d-1\n", 1, {{1500, 0.2f}}},
      {"a letter is erased before the columns are counted", "1 2 a 3\n", 1, {{1, 2, 3}}},
      {"blanks, sign and point start a data line; sign, blank, digit do not", "- 5 1\n  -.5 +.25\n", 1,
       {{-0.5f, 0.25f}}},
      {"counting stops at a field not like a number; extra fields are ignored", "1 2 - 3\n4 5 6 7\n", 2,
       {{1, 2}, {4, 5}}},
      {"CR LF line ends, no line feed at the end", "1 2\r\n3 4", 2, {{1, 2}, {3, 4}}},
      {"too small for a float reads as strtof does", "1 1e-50\n2 -1e-50\n3 1e-40\n", 3,
       {{1, 0.0f}, {2, -0.0f}, {3, std::strtof("1e-40", nullptr)}}},
      {"a short data line", "1 2\n3\n", kFileBadLine, {}},
      {"too large for a float: skipped, never infinity", "1 2\n3 1e39\n", 1, {{1, 2}}},
      {"only a heading", "Temperature log\n\n", kFileNoData, {}},
      {"a NUL byte means no text file", std::string("1 2\n\0 5 6\n", 10), kFileBadLine, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    const Loaded loaded = Load(c.text);
    ASSERT_EQ(loaded.result, c.result);
    ExpectSameRows(loaded.rows, c.rows);
  }
}

// The rules read the plain way, one after the other: each data line cleaned
// in place, split at blanks, every field through sscanf "%g". The reader's
// in-place fast road must give exactly the same.
Loaded ReferenceRead(const std::string& text) {
  auto digit = [](char c) { return c >= '0' && c <= '9'; };
  auto numeric = [&](char c) { return digit(c) || c == '+' || c == '-' || c == '.'; };
  auto likeNumber = [&](const std::string& s) {
    const char c0 = s.size() > 0 ? s[0] : 'x', c1 = s.size() > 1 ? s[1] : 'x', c2 = s.size() > 2 ? s[2] : 'x';
    const bool sign = c0 == '-' || c0 == '+';
    return digit(c0) || ((sign || c0 == '.') && digit(c1)) || (sign && c1 == '.' && digit(c2));
  };
  Loaded ref;
  long lineNumber = 0;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t end = std::min(text.find('\n', pos), text.size());
    std::string line = text.substr(pos, end - pos);
    pos = end + 1;
    ++lineNumber;
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos || !likeNumber(line.substr(first))) continue;
    for (char& c : line) c = (numeric(c) || c == ' ' || std::strchr("eEdD", c)) ? c : ' ';
    for (std::size_t i = 0; i < line.size(); ++i) {
      if (!std::strchr("eEdD", line[i])) continue;
      line[i] = i > 0 && i + 1 < line.size() && numeric(line[i - 1]) && numeric(line[i + 1]) ? 'e' : ' ';
    }
    std::vector<std::string> fields;
    for (std::size_t i = line.find_first_not_of(' '); i != std::string::npos; i = line.find_first_not_of(' ', i)) {
      const std::size_t j = std::min(line.find(' ', i), line.size());
      fields.push_back(line.substr(i, j - i));
      i = j;
    }
    // A line with a number beyond the float range is skipped; before the
    // first row, any of its numbers counts, since the column count is not known.
    auto tooLarge = [&](int count) {
      float v = 0;
      for (int c = 0; c < count && c < static_cast<int>(fields.size()); ++c) {
        if (std::sscanf(fields[c].c_str(), "%g", &v) != 1) return false;  // a bad line, whatever follows
        if (std::isinf(v)) return true;
      }
      return false;
    };
    int count = ref.columns;
    if (ref.columns == 0) {
      while (count < static_cast<int>(fields.size()) && likeNumber(fields[count])) ++count;
    }
    if (tooLarge(count)) {
      if (ref.skipped.count++ == 0) ref.skipped.firstLine = lineNumber;
      continue;
    }
    ref.columns = count;
    std::vector<float> row(ref.columns);
    for (int c = 0; c < ref.columns; ++c) {
      if (c >= static_cast<int>(fields.size()) || std::sscanf(fields[c].c_str(), "%g", &row[c]) != 1) {
        return Loaded{kFileBadLine, 0, {}, {}};
      }
    }
    ref.rows.push_back(row);
  }
  ref.result = ref.rows.empty() ? kFileNoData : static_cast<int>(ref.rows.size());
  return ref;
}

TEST(DataFileGrammar, AgreesWithThePlainReadingOfTheRules) {
  const char* const odd[] = {"-",     "+",      ".",    "+-3",  "1-2",   "1e",     "5e+",      "1.5D+03",
                             "2d-1",  "1e39",   "-1e-50", "height", "x1", "7E",  "..5",    "-.e5",
                             "+.5",   "1e-45",  "12345678901234567890", "1.e5", "4ee5", "3.4028236e38"};
  const char* const separators[] = {" ", "\t", ",", " , ", ";", "  \t"};
  const char* const starts[] = {"", "", "  ", "\t", "x "};
  std::mt19937 random(7);
  auto pick = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  auto field = [&]() -> std::string {
    if (pick(10) < 3) return odd[pick(std::size(odd))];
    std::string f = pick(10) < 3 ? (pick(2) ? "-" : "+") : "";
    for (int i = 1 + pick(8); i > 0; --i) f += static_cast<char>('0' + pick(10));
    if (pick(10) < 6) f += "." + std::to_string(pick(10000));
    if (pick(10) < 4) f += std::string(1, "eEdD"[pick(4)]) + (pick(2) ? "-" : "") + std::to_string(pick(50));
    return f;
  };
  for (int trial = 0; trial < 20000; ++trial) {
    std::string text;
    for (int line = 0; line < 3; ++line) {
      text += starts[pick(std::size(starts))] + field();
      for (int f = pick(4); f > 0; --f) text += separators[pick(std::size(separators))] + field();
      text += "\n";
    }
    SCOPED_TRACE(text);
    const Loaded expected = ReferenceRead(text);
    const Loaded loaded = Load(text);
    ASSERT_EQ(loaded.result, expected.result);
    ASSERT_EQ(loaded.columns, expected.columns);
    ExpectSameRows(loaded.rows, expected.rows);
    if (expected.result != kFileBadLine) {
      EXPECT_EQ(loaded.skipped.count, expected.skipped.count);
      EXPECT_EQ(loaded.skipped.firstLine, expected.skipped.firstLine);
    }
    if (HasFailure()) return;
  }
}

TEST(DataFileGrammar, CommaLocaleReadsAndWritesCommaPoints) {
  bool found = false;
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8"}) {
    if (!found && std::setlocale(LC_NUMERIC, name) != nullptr) found = true;
  }
  if (!found) GTEST_SKIP() << "no locale with a decimal comma is installed";
  const Loaded commas = Load("x;y\n1,5;2,25\n-,5 3\n1,0e-50 4\n");
  const Loaded stops = Load("1.5 2\n");  // a full stop is no point there: it separates
  const float x[] = {1.5f};
  const float* columns[] = {x};
  const std::string written = FormatDataText(columns, 0, 0, 1, 1);
  std::setlocale(LC_NUMERIC, "C");
  ExpectSameRows(commas.rows, {{1.5f, 2.25f}, {-0.5f, 3}, {0, 4}});
  EXPECT_EQ(stops.columns, 3);
  EXPECT_EQ(written, "1,5\n");
}

TEST(DataFileRead, LongLinesAreReadWholeAcrossBlocks) {
  // A number straddling character 1023 would be cut in two if lines were read in pieces.
  ExpectSameRows(Load("1" + std::string(1019, ' ') + "123456 7\n").rows, {{1, 123456, 7}});

  // A 10 MB heading line, a 10 MB data line, then many short lines: all
  // cross the reader's blocks.
  testsupport::TempDir dir;
  std::string text(10 << 20, 'x');
  text += "\n1 2\n3 4";
  for (int i = 0; i < (5 << 20); ++i) text += " 5";
  Rows expected = {{1, 2}, {3, 4}};
  for (int i = 0; i < 200000; ++i) {
    text += "\n" + std::to_string(i) + "\t" + std::to_string(i) + ".25e-2";
    expected.push_back({static_cast<float>(i), std::strtof((std::to_string(i) + ".25e-2").c_str(), nullptr)});
  }
  testsupport::WriteFile(dir.File("long.dat"), text);
  const Loaded loaded = Load(dir.File("long.dat"), true);
  EXPECT_EQ(loaded.columns, 2);
  ExpectSameRows(loaded.rows, expected);
}

TEST(DataFileRead, ImportOptionsChooseAndGenerateColumns) {
  // Row k of a generated x is x start plus k increments, added in single precision.
  ImportOptions generated = DefaultImportOptions("", 1, 12, false);
  generated.generateX = true;
  generated.xIncrement = 0.1f;
  DeriveImportOptions(generated);
  std::string text;
  for (int i = 0; i < 12; ++i) text += std::to_string(i * 10) + "\n";
  std::vector<float> x(12), y(12);
  datatype* xy[] = {x.data(), y.data()};
  ASSERT_EQ(ReadDataText(text, generated, xy), 12);
  float expected = 0.0f;
  for (int i = 0; i < 12; ++i, expected += 0.1f) EXPECT_EQ(x[i], expected) << i;
  EXPECT_EQ(y[11], 110.0f);

  // Columns 3 and 4 of four; the skipped fields need not be numbers.
  ImportOptions last = DefaultImportOptions("", 4, 2, false);
  last.firstColumn = 3;
  last.columnsToRead = 2;
  ASSERT_EQ(ReadDataText("1 - 3 4\n5 6 7 8\n", last, xy), 2);
  EXPECT_EQ(std::vector<float>(x.begin(), x.begin() + 2), (std::vector<float>{3, 7}));
  EXPECT_EQ(std::vector<float>(y.begin(), y.begin() + 2), (std::vector<float>{4, 8}));
  EXPECT_EQ(ReadDataText("1 2 3 4\n5 6 7\n", last, xy), kFileBadLine);

  // More data lines than the scan counted (the file grew): refused, nothing
  // written past the rows the columns have.
  x.assign(12, -7.0f);
  EXPECT_EQ(ReadDataText("1 2\n3 4\n5 6\n", DefaultImportOptions("", 2, 2, false), xy), kFileBadLine);
  EXPECT_EQ(x[2], -7.0f);
}

TEST(DataFileImportOptions, ConsistencyRuleAllowsFourShapesAndNamesTheFirstViolation) {
  EXPECT_TRUE(DefaultImportOptions("", 3, 9, false).uncertainty);
  EXPECT_FALSE(DefaultImportOptions("", 2, 9, false).uncertainty);
  EXPECT_EQ(CheckImportOptions(DefaultImportOptions("", 4, 9, false)), 111);
  struct Case {
    int firstColumn, columnsToRead;
    bool generateX, uncertainty;
    int expected;
  };
  const Case cases[] = {
      {2, 2, false, false, 0},   {2, 3, false, true, 0},  // x y; x y uncertainty
      {4, 1, true, false, 0},    {3, 2, true, true, 0},   // y; y uncertainty; x generated
      {0, 0, false, false, 113},                          // nothing to read is tested first
      {0, 2, false, false, 116}, {5, 1, true, false, 116},
      {3, 3, false, true, 114},  {1, 2147483647, true, false, 114},
      {1, 3, false, false, 111}, {1, 2, false, true, 111},  // two y; x and uncertainty only
  };
  for (const Case& c : cases) {
    ImportOptions options = DefaultImportOptions("", 4, 9, false);
    options.firstColumn = c.firstColumn;
    options.columnsToRead = c.columnsToRead;
    options.generateX = c.generateX;
    options.uncertainty = c.uncertainty;
    EXPECT_EQ(CheckImportOptions(options), c.expected) << c.firstColumn << " " << c.columnsToRead;
  }
}

TEST(DataFileScan, BadFilesGetTheirAnswer) {
  testsupport::TempDir dir;
  const std::pair<std::string, int> cases[] = {
      {kFiles + "/heading_mixed.dat", 5},         {kFiles + "/four_columns.dat", 2},
      {kFiles + "/heading_only.dat", kFileNoData}, {kFiles + "/nul_bytes.dat", kFileBadLine},
      {kFiles + "/short_line.dat", kFileBadLine},  {kFiles + "/overflow.dat", 2},
      {dir.File("missing.dat"), kFileCannotOpen},  {dir.Path(), kFileCannotOpen},  // a folder
      {"/dev/null", kFileCannotOpen},                                             // a device
  };
  for (const auto& [path, result] : cases) {
    int columns = 0;
    EXPECT_EQ(ScanDataFile(path, &columns, false), result) << path;
  }
  if (::geteuid() != 0) {  // root reads every file
    testsupport::WriteFile(dir.File("secret.dat"), "1 2\n");
    std::filesystem::permissions(dir.File("secret.dat"), std::filesystem::perms::none);
    int columns = 0;
    EXPECT_EQ(ScanDataFile(dir.File("secret.dat"), &columns, false), kFileCannotOpen);
  }
  ExpectSameRows(Load(kFiles + "/heading_mixed.dat", true).rows,
                 {{1, 2.5f}, {2, 3.5f}, {3, 4.5f}, {4, 5.5f}, {5, 6.5f}});
  ExpectSameRows(Load(kFiles + "/d_exponents.dat", true).rows, {{1500, 0.2f}, {2500, 0.3f}});
}

TEST(DataFileProgress, StatusEvery25LinesAndBusyOnEveryWayOut) {
  testsupport::TempDir dir;
  std::string text = "heading\n";
  for (int i = 0; i < 59; ++i) text += "1 2\n";
  const std::string path = dir.File("sixty.dat");
  testsupport::WriteFile(path, text);
  platform::HeadlessUi ui;
  platform::ScopedUi scoped(ui);

  int columns = 0;
  ASSERT_EQ(ScanDataFile(path, &columns, true), 59);
  EXPECT_EQ(ui.StatusText(0), path);
  EXPECT_EQ(ui.StatusText(1), "50");  // lines, at the last multiple of 25
  EXPECT_EQ(ui.StatusText(2), "49");  // data lines by then
  EXPECT_EQ(ui.StatusText(3), "SCANNING");
  EXPECT_EQ(ui.PumpCount(), 2);
  std::vector<float> x(59), y(59);
  datatype* xy[] = {x.data(), y.data()};
  ASSERT_EQ(Read_TRDL_File(DefaultImportOptions(path, 2, 59, false), xy, true), 59);
  EXPECT_EQ(ui.StatusText(3), "READING");
  ASSERT_EQ(WriteDataFile(dir.File("out.dat"), xy, 0, 0, 59, 2, true), 0);
  EXPECT_EQ(ui.StatusText(3), "WRITING");

  EXPECT_EQ(ScanDataFile(dir.File("missing.dat"), &columns, true), kFileCannotOpen);
  EXPECT_EQ(ScanDataFile(kFiles + "/short_line.dat", &columns, true), kFileBadLine);
  EXPECT_EQ(WriteDataFile(dir.Path(), xy, 0, 0, 59, 2, true), -1);
  const auto busy = ui.EventsOf(platform::UiEvent::Kind::Busy);
  ASSERT_EQ(busy.size(), 12u);
  for (std::size_t i = 0; i < busy.size(); ++i) EXPECT_EQ(busy[i].part, i % 2 == 0 ? 1 : 0) << i;
}

TEST(DataFileRead, DiagnosticsLogTheFileAndEveryRow) {
  std::string log;
  SetConsoleSink([&log](std::string_view text) { log += text; });
  const std::uint8_t savedFlags = DebugFlags;
  std::vector<float> x(2), y(2);
  datatype* xy[] = {x.data(), y.data()};
  const ImportOptions options = DefaultImportOptions(kFiles + "/d_exponents.dat", 2, 2, false);
  const std::string heading = "Reading Data with Read_TRDL_File...\nFilename is " + options.path + "\n";
  DebugFlags = 0x10;
  Read_TRDL_File(options, xy, false);
  EXPECT_EQ(log, heading + "1500\t0.2\t\n2500\t0.3\t\n");
  log.clear();
  DebugFlags = 0x02;  // diagnostics on, but not the rows
  Read_TRDL_File(options, xy, false);
  EXPECT_EQ(log, heading);
  DebugFlags = savedFlags;
  SetConsoleSink({});
}

TEST(DataFileWrite, WritesEveryFloatAsPrintfGDoesAndReadsItBack) {
  const std::vector<float> x = {0, 1.2345678f, 100000.0f, 1e6f}, y = {0, 1e-5f, 0.0001f, -0.0f};
  const float* columns[] = {x.data(), y.data()};
  EXPECT_EQ(FormatDataText(columns, 1, 0, 3, 2), "1.23457\t1e-05\n100000\t0.0001\n1e+06\t-0\n");
  EXPECT_EQ(FormatDataText(columns, 2, 1, 1, 1), "0.0001\n");
  ExpectSameRows(Load(FormatDataText(columns, 1, 0, 3, 2)).rows, {{1.23457f, 1e-5f}, {1e5f, 1e-4f}, {1e6f, -0.0f}});

  std::mt19937 random(20240607);
  std::vector<float> values;
  std::string expected;
  char buffer[64];
  while (values.size() < 200000) {
    const std::uint32_t bits = random();
    float f;
    std::memcpy(&f, &bits, sizeof f);
    if (!std::isfinite(f)) continue;
    values.push_back(f);
    std::snprintf(buffer, sizeof buffer, "%g\n", static_cast<double>(f));
    expected += buffer;
  }
  const float* randomColumn[] = {values.data()};
  EXPECT_TRUE(FormatDataText(randomColumn, 0, 0, static_cast<int>(values.size()), 1) == expected);
}

// A file read from disk with its heading: the scan's answer, the rows and the heading.
struct LoadedWithHeading {
  Loaded data;
  std::string heading;
};

LoadedWithHeading LoadWithHeading(const std::string& path) {
  LoadedWithHeading out;
  out.data = Load(path, true);
  if (out.data.result <= 0) return out;
  std::vector<float> ignored(static_cast<std::size_t>(out.data.result) * out.data.columns);
  std::vector<datatype*> pointers;
  for (int c = 0; c < out.data.columns; ++c) pointers.push_back(ignored.data() + c * out.data.result);
  const ImportOptions options = DefaultImportOptions(path, out.data.columns, out.data.result, false);
  EXPECT_EQ(Read_TRDL_File(options, pointers.data(), false, &out.heading), out.data.result);
  return out;
}

// The heading is the text before the first data line, kept as read (CR LF
// becomes LF). Written before the numbers, it reads back unchanged, and the
// numbers with it.
TEST(DataFileHeading, IsTheTextBeforeTheFirstDataLineAndSurvivesAWriteAndARead) {
  struct Case {
    const char* why;
    std::string text;
    std::string heading;
  };
  const std::vector<Case> cases = {
      {"description, blank line, column names; CR LF", "Sample 4, 20 C\r\n\r\n  x \t y\r\n1 2\r\n3 4\r\n",
       "Sample 4, 20 C\n\n  x \t y\n"},
      {"a CR alone ends a line", "a\rb\r1 2\r3 4", "a\nb\n"},
      {"text between data lines is not heading", "h\n1 2\nnote\n3 4\n", "h\n"},
      {"a line of values that are not finite ends it", "h\ninf 1\nnote\n2 3\n", "h\n"},
      {"text that only looks like numbers", "- 5 apples\n.e5\n+ .5\ninf is left out\n1 2\n",
       "- 5 apples\n.e5\n+ .5\ninf is left out\n"},
      {"none", "1 2\n", ""},
  };
  testsupport::TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    testsupport::WriteFile(dir.File("in.dat"), c.text);
    const LoadedWithHeading in = LoadWithHeading(dir.File("in.dat"));
    EXPECT_EQ(in.heading, c.heading);
    std::string fromText = "stale";
    std::vector<float> x(2), y(2);
    datatype* xy[] = {x.data(), y.data()};
    ReadDataText(c.text, DefaultImportOptions("", 2, 2, false), xy, &fromText);
    EXPECT_EQ(fromText, c.heading);

    std::vector<std::vector<float>> columns(2);
    for (const auto& row : in.data.rows) {
      for (int k = 0; k < 2; ++k) columns[k].push_back(row[k]);
    }
    const float* pointers[] = {columns[0].data(), columns[1].data()};
    const int rows = static_cast<int>(in.data.rows.size());
    ASSERT_EQ(WriteDataFile(dir.File("out.dat"), pointers, 0, 0, rows, 2, false, nullptr, in.heading), 0);
    const LoadedWithHeading out = LoadWithHeading(dir.File("out.dat"));
    EXPECT_EQ(out.heading, c.heading);
    ExpectSameRows(out.data.rows, in.data.rows);
  }
}

// Megabytes of text before the numbers are not all kept: the start of the
// heading up to the limit, in whole lines. A first line longer than the
// limit leaves none.
TEST(DataFileHeading, KeepsAtMostItsLimitInWholeLines) {
  const std::string line(99, 'n');
  std::string text;
  while (text.size() < 3 * kMaxHeadingBytes) text += line + "\n";
  std::string heading;
  std::vector<float> x(1), y(1);
  datatype* xy[] = {x.data(), y.data()};
  ASSERT_EQ(ReadDataText(text + "1 2\n", DefaultImportOptions("", 2, 1, false), xy, &heading), 1);
  EXPECT_EQ(heading.size(), kMaxHeadingBytes / 100 * 100);
  EXPECT_EQ(text.compare(0, heading.size(), heading), 0);

  const std::string huge(kMaxHeadingBytes, 'n');
  ASSERT_EQ(ReadDataText(huge + "\nshort\n1 2\n", DefaultImportOptions("", 2, 1, false), xy, &heading), 1);
  EXPECT_EQ(heading, "");
}

TEST(DataFileWrite, FailedWriteLeavesThePreviousFileIntact) {
  testsupport::TempDir dir;
  const std::string path = dir.File("keep.dat");
  testsupport::WriteFile(path, "old contents\n");
  std::vector<float> x(100000, 1.5f);
  const float* columns[] = {x.data(), x.data()};
  auto files = [&dir] { return std::distance(std::filesystem::directory_iterator(dir.Path()), {}); };

  // A disk that fills up part-way: the file size limit stops the write after 4 KB, even for root.
  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 4096;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const int full = WriteDataFile(path, columns, 0, 0, 100000, 2, false);
  ::setrlimit(RLIMIT_FSIZE, &saved);
  ::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(full, -1);
  EXPECT_EQ(testsupport::ReadFile(path), "old contents\n");
  EXPECT_EQ(files(), 1);  // no temporary file left behind

  // A folder where the file should be; a file where its folder should be.
  std::filesystem::create_directory(dir.File("folder.dat"));
  EXPECT_EQ(WriteDataFile(dir.File("folder.dat"), columns, 0, 0, 2, 2, false), -1);
  EXPECT_TRUE(std::filesystem::is_directory(dir.File("folder.dat")));
  EXPECT_EQ(WriteDataFile(path + "/inner.dat", columns, 0, 0, 2, 2, false), -1);

  ASSERT_EQ(WriteDataFile(path, columns, 0, 0, 1, 2, false), 0);
  EXPECT_EQ(testsupport::ReadFile(path), "1.5\t1.5\n");
  EXPECT_EQ(files(), 2);
}

TEST(DataFileTitle, IsTheNameWithoutFolders) {
  EXPECT_EQ(FileTitle("/home/ana/runs/day1.dat"), "day1.dat");
  EXPECT_EQ(FileTitle("day1.dat"), "day1.dat");
  EXPECT_EQ(FileTitle("/home/ana/runs/"), "");
  EXPECT_EQ(FileTitle("/home/.."), "");
}

// What "%g" writes for values that are not finite, and numbers beyond the
// float range, appear in data files: such a line is skipped and counted,
// never read as a heading, never slid into by the next number, and never
// allowed to set the column count.
TEST(DataFileNonFinite, LinesWithNumbersThatAreNotFiniteAreSkippedAndCounted) {
  struct Case {
    const char* why;
    std::string text;
    int result;
    Rows rows;
    long skipped, firstLine;
  };
  const std::vector<Case> cases = {
      {"what the writer gives for an infinite x", "x y\n1 2\ninf\t2\n-inf\t3\n4 5\n", 2, {{1, 2}, {4, 5}}, 2, 3},
      {"not-a-number words, signed and with a payload", "1 2\n3 -nan(7)\n5 NaN\n6 +Infinity\n7 8\n", 2,
       {{1, 2}, {7, 8}}, 3, 2},
      {"a word between numbers does not let the next one slide in", "1 2\n3 inf 4\n", 1, {{1, 2}}, 1, 2},
      {"a first line with an infinity does not set the column count", "1\tinf\n2 3\n4 5\n", 2, {{2, 3}, {4, 5}}, 1,
       1},
      {"beyond the float range", "1 2\n3 1e39\n-3.5e38 4\n5 6\n", 2, {{1, 2}, {5, 6}}, 2, 2},
      {"after the columns read a word is still ignored", "1 2\n3 4 -inf\n5 6 nan\n", 3, {{1, 2}, {3, 4}, {5, 6}}, 0,
       0},
      {"headings that merely begin like the words", "Infinity of points\nnan values follow\ninformation 1\n1 2\n", 1,
       {{1, 2}}, 0, 0},
      {"nothing left", "inf 1\nnan 2\n", kFileNoData, {}, 2, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    const Loaded loaded = Load(c.text);
    ASSERT_EQ(loaded.result, c.result);
    ExpectSameRows(loaded.rows, c.rows);
    EXPECT_EQ(loaded.skipped.count, c.skipped);
    EXPECT_EQ(loaded.skipped.firstLine, c.firstLine);
  }

  // The reading pass skips the same lines with any import options: a
  // column that is not read still decides, and a skipped line takes no
  // generated x.
  const std::string text = "1 2 3\n4 inf 6\n7 8 9\n1e39 1 1\n10 11 12\n";
  int columns = 0;
  ASSERT_EQ(ScanDataText(text, &columns), 3);
  ImportOptions options = DefaultImportOptions("", 3, 3, false);
  options.firstColumn = 3;
  options.columnsToRead = 1;
  options.generateX = true;
  options.xStart = 10.0f;
  DeriveImportOptions(options);
  std::vector<float> x(3), y(3);
  datatype* xy[] = {x.data(), y.data()};
  ASSERT_EQ(ReadDataText(text, options, xy), 3);
  EXPECT_EQ(x, (std::vector<float>{10, 11, 12}));
  EXPECT_EQ(y, (std::vector<float>{3, 9, 12}));
}

TEST(DataFileNonFinite, GeneratedXMustStayFinite) {
  ImportOptions options = DefaultImportOptions("", 1, 4, false);
  options.generateX = true;
  DeriveImportOptions(options);
  EXPECT_EQ(CheckImportOptions(options), 0);
  options.xStart = std::nanf("");
  EXPECT_EQ(CheckImportOptions(options), 145);
  options.xStart = 0.0f;
  options.xIncrement = INFINITY;
  EXPECT_EQ(CheckImportOptions(options), 145);
  // Finite start and step, but the fourth x, accumulated row by row, is not.
  options.xStart = 3.0e38f;
  options.xIncrement = 0.2e38f;
  EXPECT_EQ(CheckImportOptions(options), 145);
  options.pointsInFile = 2;
  EXPECT_EQ(CheckImportOptions(options), 0);
}

// A file that another program keeps writing to: only what it held when it
// was opened is read, so the pass ends.
TEST(DataFileScan, AFileThatKeepsGrowingIsReadUpToItsSizeWhenOpened) {
  testsupport::TempDir dir;
  const std::string path = dir.File("growing.dat");
  std::string text;
  for (int i = 0; i < 100; ++i) text += "1 2\n";
  testsupport::WriteFile(path, text);
  platform::HeadlessUi ui;
  platform::ScopedUi scoped(ui);
  // Every 25 lines read, 100 more are written: without a limit the pass would
  // never end. The writer gives up after a while so that a failure ends too.
  FILE* writer = std::fopen(path.c_str(), "a");
  ASSERT_NE(writer, nullptr);
  int appended = 0;
  ui.SetPumpHook([&] {
    if (appended >= 2000) return;
    ++appended;
    for (int i = 0; i < 100; ++i) std::fputs("3 4\n", writer);
    std::fflush(writer);
  });
  int columns = 0;
  EXPECT_EQ(ScanDataFile(path, &columns, true), 100);
  EXPECT_LT(appended, 2000);
  std::fclose(writer);
}

}  // namespace
}  // namespace trendolin
