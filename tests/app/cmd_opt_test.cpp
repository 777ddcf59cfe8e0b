// Tests of the option parser, the command-line splitter and the program's own
// command line, down to the exact text printed.
#include "app/cmd_opt.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "platform/debug_log.h"
#include "platform/headless_ui.h"
#include "session/session.h"

namespace trendolin {
namespace {

// A temporary file standing in for standard output.
class Captured {
 public:
  Captured() : file_(std::tmpfile()) {}
  ~Captured() { std::fclose(file_); }
  std::FILE* file() const { return file_; }
  std::string Text() const {
    std::string text;
    std::rewind(file_);
    for (int c; (c = std::fgetc(file_)) != EOF;) text += static_cast<char>(c);
    return text;
  }

 private:
  std::FILE* file_;
};

using Args = std::vector<std::string>;

TEST(SplitCommandLine, WalksBlanksAndQuotes) {
  const struct {
    const char* text;
    Args pieces;  // after argument 0
  } cases[] = {
      {"", {}},
      {nullptr, {}},
      {" \t \r\n", {}},
      {"-d x.dat \t", {"-d", "x.dat"}},
      {"-d \"my data file.dat\"", {"-d", "my data file.dat"}},
      {"-d  x.dat", {"-d", "", "x.dat"}},
      {"a\"b c\"d", {"a\"b c\"d"}},   // quotes inside an argument stay
      {"\"open ended", {"open ended"}},
      {"\"\" x", {"", "x"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text ? c.text : "(null)");
    Args expected{"trdln32.exe"};
    expected.insert(expected.end(), c.pieces.begin(), c.pieces.end());
    EXPECT_EQ(SplitCommandLine(c.text), expected);
  }
}

class ProgramCommandLine : public ::testing::Test {
 protected:
  void SetUp() override {
    DebugFlags = 0;
    CurrentSession().autoOpenFlag = 0;
    CurrentSession().startupFile.clear();
  }
  void TearDown() override { DebugFlags = 0; }

  platform::HeadlessUi ui;
  platform::ScopedUi scoped{ui};
  Captured out;
};

TEST_F(ProgramCommandLine, SwitchesAndFile) {
  const struct {
    const char* text;
    int debugFlags;
    int autoOpen;
    const char* file;
    const char* printed;
  } cases[] = {
      {"", 0, 0, "", "\n"},
      {"-d", 255, 0, "", "\n"},
      {"-d -d", 255, 0, "",
       "Warning: option \"-d\" has already been found.\n"
       "         this option's value will be overridden.\n\n"},
      {"x.dat -d", 255, 0, "", "\n"},
      {"-d x.dat", 255, 0, "x.dat", "\n"},
      {"-i -a", 7, 0, "", "\n"},
      {"-e", 9, 0, "", "\n"},
      {"-e -a -d", 255, 0, "", "\n"},
      {"-D x.dat", 0, 0, "x.dat", "\n"},
      {"-auto  \"my data.dat\"", 0, 1, "my data.dat", "\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    Captured printed;
    DebugFlags = 17;  // cleared first, whatever was there
    const StartupOptions result = ParseProgramCommandText(c.text, printed.file());
    EXPECT_EQ(result.error, CommandLineError::None);
    EXPECT_EQ(DebugFlags, c.debugFlags);
    EXPECT_EQ(CurrentSession().autoOpenFlag, c.autoOpen);
    EXPECT_EQ(CurrentSession().startupFile, c.file);
    EXPECT_EQ(printed.Text(), c.printed);
  }
  EXPECT_TRUE(ui.Events().empty());
}

TEST_F(ProgramCommandLine, OverlongFileIsRefusedWithNothingSet) {
  const std::string longest(kMaxStartupFileLength, 'f');
  const std::string tooLong = longest + "f";
  const char* argv[] = {"/usr/bin/trendolin", "-a", longest.c_str(), tooLong.c_str()};
  ParseProgramCommandLine(ArgumentList(3, argv), out.file());
  EXPECT_EQ(CurrentSession().startupFile, longest);
  EXPECT_TRUE(ui.Events().empty());

  const StartupOptions result = ParseProgramCommandLine(ArgumentList(4, argv), out.file());
  EXPECT_EQ(result.error, CommandLineError::Unusable);
  EXPECT_EQ(DebugFlags, 0);
  EXPECT_EQ(CurrentSession().startupFile, "");
  ASSERT_EQ(ui.Events().size(), 1u);  // one message box
  const platform::UiEvent& box = ui.Events()[0];
  EXPECT_EQ(box.caption, "Error");
  EXPECT_EQ(box.text, "Error on command line to Trendolin");
  EXPECT_EQ(box.icon, platform::Icon::Exclamation);
  EXPECT_EQ(box.buttons, platform::Buttons::Ok);
}

// A table with one option of every kind.
class ValueOptions : public ::testing::Test {
 protected:
  int Parse(const char* line) {
    const Args args = *SplitCommandLine(line);
    return ParseOptions(static_cast<int>(args.size()), args, table, 4, out.file());
  }

  int number = -1;
  double real = -1.0;
  char text[6] = "zzzzz";
  int quiet = 7;
  CmdOption table[4] = {
      {"-n", 1, 0, 0, 0, &number},
      {"-x", 1, 1, 0, 0, &real},
      {"-s", static_cast<int>(sizeof text), 2, 0, 0, text},
      {"-q", 0, -2, 0, 0, &quiet},
  };
  Captured out;
};

TEST_F(ValueOptions, GoodValuesAreStored) {
  EXPECT_EQ(Parse("-n -42 -x 1.5e3 -s ab -q"), 0);
  EXPECT_EQ(number, -42);
  EXPECT_EQ(real, 1500.0);
  EXPECT_EQ(std::memcmp(text, "ab\0\0\0\0", 6), 0);  // the whole buffer is cleared
  EXPECT_EQ(quiet, 0);
  EXPECT_EQ(out.Text(), "\n");
}

TEST_F(ValueOptions, TextTakesTheNextArgumentWhateverItIs) {
  EXPECT_EQ(Parse("-s -n +7"), 0);
  EXPECT_STREQ(text, "-n");
  EXPECT_EQ(number, -1);
}

TEST_F(ValueOptions, LongTextIsTruncatedWithWarning) {
  EXPECT_EQ(Parse("-s abcdef"), 0);
  EXPECT_STREQ(text, "abcde");
  EXPECT_EQ(out.Text(), "Warning: the suboption \"abcdef\" has been truncated.\n\n");
}

TEST_F(ValueOptions, BadValuesAreUsageErrors) {
  const struct {
    const char* text;
    const char* printed;
  } cases[] = {
      {"-n 4x2",
       "ERROR: the option \"-n\" requires an integer suboption;\n"
       "       the given suboption was 4x2\n"},
      {"-n 1-2",
       "ERROR: the option \"-n\" requires an integer suboption;\n"
       "       the given suboption was 1-2\n"},
      {"-x 1,5",
       "ERROR: the option \"-x\" requires a floating point suboption;\n"
       "       the given suboption was 1,5\n"},
      {"-q -n", "ERROR: a suboption has been omitted from option -n\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    Captured printed;
    const Args args = *SplitCommandLine(c.text);
    EXPECT_EQ(ParseOptions(static_cast<int>(args.size()), args, table, 4, printed.file()), 1);
    EXPECT_EQ(printed.Text(), c.printed);
  }
}

TEST(ParseOptions, MandatoryOptions) {
  const char* mandatoryMissing =
      "\nERROR: \"-o\" is a mandatory argument.  Please specify this option when\n"
      "       the executable is run.\n\n\n";
  const struct {
    const char* text;
    int result;
    const char* printed;
  } cases[] = {
      {"", 5, ""},
      {"-v", 1, mandatoryMissing},
      {"-h", 0, "\n"},
      {"-o out.txt", 0, "\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    char output[8] = {};
    int help = 0;
    int verbose = 0;
    CmdOption table[] = {
        {"-o", 8, 2, 0, 1, output},
        {"-h", 0, -1, 0, -1, &help},
        {"-v", 0, -1, 0, 0, &verbose},
    };
    Captured printed;
    const Args args = *SplitCommandLine(c.text);
    EXPECT_EQ(ParseOptions(static_cast<int>(args.size()), args, table, 3, printed.file()),
              c.result);
    EXPECT_EQ(printed.Text(), c.printed);
  }
}

TEST(ParseOptionsDeathTest, UnsupportedTypeEndsTheProcess) {
  int value = 0;
  CmdOption table[] = {{"-z", 4, 7, 0, 0, &value}};
  const char* argv[] = {"trendolin", "-z", "1"};
  EXPECT_EXIT(ParseOptions(3, argv, table, 1, std::tmpfile()), ::testing::ExitedWithCode(1), "");
}

}  // namespace
}  // namespace trendolin
