// Tests of reading, writing and logging the application settings.
#include "app/app_settings.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <clocale>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/debug_log.h"

namespace trendolin {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

class AppSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::path(::testing::TempDir()) / "app_settings_XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    path_ = (folder_ / "REVUZI.INI").string();
  }
  void TearDown() override { fs::remove_all(folder_); }

  void WriteFile(std::string_view text) const { std::ofstream(path_, std::ios::binary) << text; }

  std::string ReadFile() const {
    std::ifstream in(path_, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  // The non-blank lines of one section, as written.
  std::vector<std::string> SectionLines(const std::string& section) const {
    std::istringstream in(ReadFile());
    std::vector<std::string> lines;
    bool inside = false;
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line.front() == '[') {
        inside = line == "[" + section + "]";
      } else if (inside && !line.empty()) {
        lines.push_back(line);
      }
    }
    return lines;
  }

  fs::path folder_;
  std::string path_;
};

void ExpectDefaults(const AppSettings& s) {
  EXPECT_EQ(s.maxPolyDegree, 19);
  EXPECT_EQ(s.defPolyDegree, 4);
  EXPECT_EQ(s.maxIterations, 100);
  EXPECT_EQ(s.divergeIterations, 10);
  EXPECT_EQ(s.weighting, kWeightingNone);
  EXPECT_EQ(s.initGuess, 0);
  EXPECT_EQ(s.renderLevel, 1);
  EXPECT_EQ(s.undoLevels, 20);
  EXPECT_DOUBLE_EQ(s.nonlinearTolerance, 0.0001);
  EXPECT_DOUBLE_EQ(s.marginTop, 1.0);
  EXPECT_DOUBLE_EQ(s.marginLeft, 1.0);
  EXPECT_DOUBLE_EQ(s.marginRight, 1.0);
  EXPECT_DOUBLE_EQ(s.marginBottom, 1.0);
  EXPECT_EQ(s.flags, kFlagCtl3d | kFlagSaveWindowPos | kFlagQuickDerivatives | kFlagBackgroundProcess |
                         kFlagShowFileImportDlg | kFlagAnimatePlot | kFlagEnableThumb | kFlagHtmlHelp);
  EXPECT_EQ(s.dataPath, fs::current_path().string());
  EXPECT_EQ(s.dataExt, "DAT");
  EXPECT_EQ(s.locale, "English");
}

TEST_F(AppSettingsTest, MissingEmptyOrDamagedFilesGiveTheDefaults) {
  SCOPED_TRACE("missing file");
  ExpectDefaults(ReadAppSettings(path_));
  const std::string damaged[] = {
      "",
      "\x00\x01\xff\xfe[Single-Precision]\x00MaxPolyDegree=3\x1b"s,
      "[Single-Precision]\nMaxPolyDegree",  // cut off before its "="
      "[Single-Precis",
  };
  for (const std::string& text : damaged) {
    SCOPED_TRACE(text);
    WriteFile(text);
    ExpectDefaults(ReadAppSettings(path_));
  }
}

TEST_F(AppSettingsTest, FlagsCountTheirLowestBitAndAreWrittenAsMinusOneOrZero) {
  WriteFile(
      "[Single-Precision]\nNoGraphs=2\nSaveWindowPos=1\nctl3d=0\nAutoSort=-1\nAnimatePlot=-2\n"
      "[User Defaults]\nHtmlHelp=2\n");
  AppSettings s = ReadAppSettings(path_);
  EXPECT_FALSE(s.IsOn(kFlagNoGraphs));
  EXPECT_TRUE(s.IsOn(kFlagSaveWindowPos));
  EXPECT_FALSE(s.IsOn(kFlagCtl3d));
  EXPECT_TRUE(s.IsOn(kFlagAutoSort));
  EXPECT_FALSE(s.IsOn(kFlagAnimatePlot));
  EXPECT_FALSE(s.IsOn(kFlagHtmlHelp));

  ASSERT_TRUE(WriteAppSettings(s, path_));
  const std::vector<std::string> lines = SectionLines("Single-Precision");
  for (const char* expected : {"NoGraphs=0", "SaveWindowPos=-1", "ctl3d=0", "AutoSort=-1", "AnimatePlot=0"}) {
    EXPECT_NE(std::find(lines.begin(), lines.end(), expected), lines.end()) << expected;
  }
  EXPECT_EQ(SectionLines("User Defaults"), std::vector<std::string>{"HtmlHelp=0"});
}

TEST_F(AppSettingsTest, WeightingMapsTheOldSwitchValuesAndRejectsStrangers) {
  const struct {
    const char* stored;
    int expected;
  } cases[] = {
      {"0", kWeightingNone}, {"1", kWeightingY2},     // the old off / on switch
      {"455", 455},          {"459", 459},            // menu commands stand
      {"454", kWeightingNone}, {"461", kWeightingNone}, {"-1", kWeightingNone},
      {"abc", kWeightingNone},  // not a number reads as 0, which is "none"
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stored);
    WriteFile(std::string("[Single-Precision]\nWeighting=") + c.stored + "\n");
    EXPECT_EQ(ReadAppSettings(path_).weighting, c.expected);
  }
}

TEST_F(AppSettingsTest, OddValuesReadAsDocumented) {
  const std::string longPath = "/" + std::string(300, 'p');
  WriteFile(
      "[Single-Precision]\n"
      "MaxPolyDegree=abc\nUndoLevels=12abc\n"
      "NonlinearTolerance=abc\nMarginTop=2.5cm\nMarginLeft=0,75\nMarginRight=nan\nMarginBottom=1e-3\n"
      "DataExt=JSON\nDataPath=" + longPath + "\n");
  AppSettings s = ReadAppSettings(path_);
  EXPECT_EQ(s.maxPolyDegree, 0);  // integers that are no number read as 0
  EXPECT_EQ(s.undoLevels, 12);
  EXPECT_DOUBLE_EQ(s.nonlinearTolerance, 0.0001);  // numbers that are none keep their default
  EXPECT_DOUBLE_EQ(s.marginTop, 2.5);
  EXPECT_DOUBLE_EQ(s.marginLeft, 0.75);
  EXPECT_DOUBLE_EQ(s.marginRight, 1.0);
  EXPECT_DOUBLE_EQ(s.marginBottom, 0.001);
  EXPECT_EQ(s.dataExt, "JSO");
  EXPECT_EQ(s.dataPath, longPath) << "a Linux path is kept whole";
}

TEST_F(AppSettingsTest, WritesEveryKeyInItsOrderAndFormat) {
  AppSettings s = DefaultAppSettings();
  s.nonlinearTolerance = 1.5e-7;
  s.marginTop = 0.5;
  s.marginLeft = 2;
  s.marginRight = 0.25;
  s.marginBottom = 1.125;
  s.weighting = kWeightingX;
  s.dataPath = "/home/someone/fits";
  s.locale = "de_DE.UTF-8";
  s.SetFlag(kFlagColorPrint, true);
  s.SetFlag(kFlagCtl3d, false);
  ASSERT_TRUE(WriteAppSettings(s, path_));

  const std::vector<std::string> expected = {
      "MaxPolyDegree=19", "DefPolyDegree=4", "NonlinearTolerance=1.5e-07", "DivergeIterations=10",
      "MaxIterations=100", "InitGuess=0", "BackgroundProcess=-1", "QuickDerivatives=-1",
      "ShowFileImportDlg=-1", "UndoLevels=20", "NoGraphs=0", "Weighting=458", "RenderLevel=1", "ctl3d=0",
      "SaveWindowPos=-1", "EnableThumb=-1", "AnimatePlot=-1", "MarginTop=0.500000",
      "MarginBottom=1.125000", "MarginLeft=2.000000", "MarginRight=0.250000", "ColorPrint=-1",
      "DataPath=/home/someone/fits", "DataExt=DAT", "AutoSort=0",
  };
  EXPECT_EQ(SectionLines("Single-Precision"), expected);  // no "Locale": it is only read
  EXPECT_EQ(SectionLines("User Defaults"), std::vector<std::string>{"HtmlHelp=-1"});

  s.locale = "English";
  EXPECT_EQ(ReadAppSettings(path_), s);
}

TEST_F(AppSettingsTest, WriteKeepsOtherSectionsCommentsAndTheLocale) {
  WriteFile(
      "; kept by hand\n"
      "[Window]\nLeft=10\n\n"
      "[Single-Precision]\n; tuned for the lab\nMaxPolyDegree=7\nLocale=de_DE.UTF-8\n\n"
      "[Plot Attributes]\nColor=3\n");
  AppSettings s = ReadAppSettings(path_);
  s.maxPolyDegree = 8;
  ASSERT_TRUE(WriteAppSettings(s, path_));

  const std::string text = ReadFile();
  for (const char* kept : {"; kept by hand\n", "[Window]\nLeft=10\n", "; tuned for the lab\nMaxPolyDegree=8\n",
                           "Locale=de_DE.UTF-8\n", "[Plot Attributes]\nColor=3\n"}) {
    EXPECT_NE(text.find(kept), std::string::npos) << kept << "\n--- in ---\n" << text;
  }
  EXPECT_EQ(ReadAppSettings(path_), s);
}

TEST_F(AppSettingsTest, WriteThatCannotHappenSaysWhy) {
  WriteFile("[Window]\nLeft=1\n");
  std::string error;
  EXPECT_FALSE(WriteAppSettings(DefaultAppSettings(), path_ + "/REVUZI.INI", &error));
  EXPECT_FALSE(error.empty());
}

TEST_F(AppSettingsTest, LocaleEnglishIsTheCLocaleAndARefusedNameFallsBackToIt) {
  const std::string before = std::setlocale(LC_ALL, nullptr);
  EXPECT_TRUE(ApplyLocaleSetting("English"));
  EXPECT_STREQ(std::setlocale(LC_ALL, nullptr), "C");
  std::setlocale(LC_ALL, "C.UTF-8");
  EXPECT_FALSE(ApplyLocaleSetting("no_SUCH.locale"));
  EXPECT_STREQ(std::setlocale(LC_ALL, nullptr), "C");
  std::setlocale(LC_ALL, before.c_str());
}

TEST_F(AppSettingsTest, DumpWritesItsLinesOnlyWhenDebugging) {
  std::string logged;
  SetConsoleSink([&logged](std::string_view text) { logged += text; });
  AppSettings s = DefaultAppSettings();
  s.dataPath = "/data";
  s.marginTop = 0.5;
  s.marginLeft = 1.5;
  s.marginRight = 2.5;
  s.marginBottom = 3.5;

  DebugFlags = 0;
  DumpSettings(s);
  EXPECT_EQ(logged, "");

  DebugFlags = 1;
  DumpSettings(s);
  DebugFlags = 0;
  SetConsoleSink({});
  EXPECT_EQ(logged,
            "User Defaults: Single-Precision Package\n"
            "\tTolerance:\t0.000100\n\tMaxPoly:\t19\n\tDefPoly:\t4\n\tDivergeIt:\t10\n\tMaxIt:\t100\n"
            "\tQuickDerivs:\t-1\n\tNoGraphs:\t0\n\tInitGuess:\t0\n\tBackgroundProcess:\t-1\n"
            "\tRenderLevel:\t1\n\tColorPrint:\t0\n\tctl3dON:\t-1\n\tSaveWindowPos:\t-1\n\tAnimatePlot:\t-1\n"
            "\tWeighting:\t460\n\tUndoLevels:\t20\n\tDataPath:\t/data\n\tDataExt:\tDAT\n"
            "Printing Margins are 0.5,1.5,2.5,3.5\n");
}

}  // namespace
}  // namespace trendolin
