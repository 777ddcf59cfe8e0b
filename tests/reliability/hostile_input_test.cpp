// Inputs the fuzz targets found mishandled, kept as cases: words that a
// number parser would take for infinity or NaN in data files, and settings
// values that did not read back as they were written.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app_settings.h"
#include "data/data_file.h"
#include "platform/profile_file.h"

namespace trendolin {
namespace {

// A number parser takes "-inf" or "nan(7)" for a value that is not finite:
// such a line is left out and counted, and no infinity or NaN reaches the
// data set.
TEST(HostileInputTest, InfinityAndNanWordsAreNoNumbers) {
  for (const char* text : {"1 2\n3 -inf\n", "1 2\n3 +INF\n", "1 2\n3 -nan\n", "1 2\n3 +infinity\n",
                           "1 2\n3 -nan(7)\n"}) {
    int columns = 0;
    SkippedLines skipped;
    EXPECT_EQ(ScanDataText(text, &columns, &skipped), 1) << text;
    EXPECT_EQ(skipped.count, 1) << text;
    EXPECT_EQ(skipped.firstLine, 2) << text;
  }
  // A word that merely follows the numbers is still ignored once the column
  // count is known; on the first data line it would have set that count.
  const char* text = "1 2 -inf\n3 4\n5 6 nan\n";
  int columns = 0;
  ASSERT_EQ(ScanDataText(text, &columns), 2);
  EXPECT_EQ(columns, 2);
  std::vector<datatype> x(2), y(2);
  datatype* pointers[] = {x.data(), y.data()};
  ImportOptions options = DefaultImportOptions("", 2, 2, false);
  ASSERT_EQ(ReadDataText(text, options, pointers), 2);
  EXPECT_EQ(y[0], 4.0f);
  EXPECT_EQ(y[1], 6.0f);
}

// Reading trims the blanks around a value and one pair of quotes: a value
// that has either is stored so that it reads back unchanged.
TEST(HostileInputTest, SettingsValuesReadBackAsWritten) {
  for (const std::string value : {"  /data/with blanks  ", "\"quoted\"", "'single'", "\"", "x\"", "\t"}) {
    platform::ProfileFile file;
    file.Set("Single-Precision", "DataPath", value);
    const platform::ProfileFile again = platform::ProfileFile::Parse(file.ToText());
    EXPECT_EQ(again.Get("Single-Precision", "DataPath"), value) << "[" << value << "]";
  }
  const platform::ProfileFile file = platform::ProfileFile::Parse("[Single-Precision]\nDataPath=\" /tmp/x \"\n");
  const AppSettings read = ReadAppSettings(file);
  platform::ProfileFile written;
  StoreAppSettings(read, written);
  EXPECT_EQ(ReadAppSettings(platform::ProfileFile::Parse(written.ToText())).dataPath, " /tmp/x ");
}

// A margin written with "%lf" must fit what the reader takes: 1e300 inches
// once came back as 1e258.
TEST(HostileInputTest, HugeMarginsReadBackAsWritten) {
  const AppSettings read =
      ReadAppSettings(platform::ProfileFile::Parse("[Single-Precision]\nMarginTop=1e300\nMarginLeft=-1e300\n"));
  platform::ProfileFile written;
  StoreAppSettings(read, written);
  const AppSettings again = ReadAppSettings(platform::ProfileFile::Parse(written.ToText()));
  EXPECT_EQ(again.marginTop, read.marginTop);
  EXPECT_EQ(again.marginLeft, read.marginLeft);
  EXPECT_LT(again.marginTop, 1e6);
}

}  // namespace
}  // namespace trendolin
