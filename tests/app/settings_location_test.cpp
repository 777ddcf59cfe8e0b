// Finding the settings file, and the questions when it is missing or cannot be made.
#include "app/settings_location.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "app/app_settings.h"
#include "platform/headless_ui.h"
#include "platform/profile_file.h"
#include "platform/resource_strings.h"
#include "session/session.h"
#include "support/temp_dir.h"

namespace trendolin {
namespace {

using platform::Answer;
using platform::HeadlessUi;
using platform::ScopedUi;
using platform::UiEvent;
using testsupport::ReadFile;
using testsupport::ScopedEnv;
using testsupport::TempDir;
using testsupport::WriteFile;

TEST(SettingsLocationTest, FolderComesFromTheEnvironment) {
  {
    ScopedEnv dir("TRENDOLIN_CONFIG_DIR", "/tmp/elsewhere");
    EXPECT_EQ(SettingsFolder(), "/tmp/elsewhere");
  }
  ScopedEnv none("TRENDOLIN_CONFIG_DIR", "");
  {
    ScopedEnv xdg("XDG_CONFIG_HOME", "/cfg");
    EXPECT_EQ(SettingsFolder(), "/cfg/Trendolin");
  }
  ScopedEnv xdg("XDG_CONFIG_HOME", "");
  ScopedEnv home("HOME", "/home/someone");
  EXPECT_EQ(SettingsFolder(), "/home/someone/.config/Trendolin");
}

TEST(SettingsLocationTest, ExistingFileIsUsedWithoutAQuestion) {
  TempDir dir;
  ScopedEnv env("TRENDOLIN_CONFIG_DIR", dir.Path());
  WriteFile(dir.File("REVUZI.INI"), "[Single-Precision]\nMaxIterations=7\n");
  HeadlessUi ui;
  ScopedUi installed(ui);
  EXPECT_EQ(LocateSettingsFile(), 0);
  EXPECT_EQ(CurrentSession().iniFile, dir.File("REVUZI.INI"));
  EXPECT_TRUE(ui.Events().empty());
  EXPECT_EQ(ReadFile(CurrentSession().iniFile), "[Single-Precision]\nMaxIterations=7\n");
}

TEST(SettingsLocationTest, MissingFileIsCreatedWithTheDefaultsWhenTheUserAgrees) {
  TempDir dir;
  const std::string folder = dir.File("deeper/Trendolin");
  ScopedEnv env("TRENDOLIN_CONFIG_DIR", folder);
  HeadlessUi ui;
  ScopedUi installed(ui);
  ui.QueueAnswer(Answer::Ok);
  EXPECT_EQ(LocateSettingsFile(), 0);
  auto asked = ui.EventsOf(UiEvent::Kind::MessageBox);
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].caption, platform::ResourceString(85));
  EXPECT_EQ(asked[0].text, platform::ResourceString(84));
  EXPECT_EQ(ReadFile(folder + "/REVUZI.INI"), DefaultSettingsText());
  EXPECT_EQ(RunFilesFolder(), folder);
}

// Cancel at the first start's question: the program runs on the defaults
// for this run, says so once, and has no settings file to read or write, so
// nothing is made; the next start asks again.
TEST(SettingsLocationTest, DecliningRunsOnTheDefaultsAndWritesNothing) {
  TempDir dir;
  ScopedEnv env("TRENDOLIN_CONFIG_DIR", dir.File("cfg"));
  HeadlessUi ui;
  ScopedUi installed(ui);
  ui.QueueAnswer(Answer::Cancel);
  EXPECT_EQ(LocateSettingsFile(), 0);
  EXPECT_EQ(CurrentSession().iniFile, "");
  EXPECT_FALSE(std::filesystem::exists(dir.File("cfg")));
  // The run's own files (the iteration history) go elsewhere too.
  EXPECT_EQ(RunFilesFolder().find(dir.File("cfg")), std::string::npos) << RunFilesFolder();
  const auto told = ui.EventsOf(UiEvent::Kind::MessageBox);
  ASSERT_EQ(told.size(), 2u);
  EXPECT_EQ(told[1].caption, platform::ResourceString(85));
  EXPECT_EQ(told[1].text, platform::ResourceString(150));
  EXPECT_EQ(told[1].buttons, platform::Buttons::Ok);

  ui.ClearEvents();
  ui.QueueAnswer(Answer::Cancel);
  EXPECT_EQ(LocateSettingsFile(), 0);
  EXPECT_EQ(ui.EventsOf(UiEvent::Kind::MessageBox).size(), 2u) << "asked again at the next start";
}

TEST(SettingsLocationTest, FolderThatCannotBeMadeAsksWhetherToGoOn) {
  TempDir dir;
  WriteFile(dir.File("blocker"), "a file where the folder should be");
  ScopedEnv env("TRENDOLIN_CONFIG_DIR", dir.File("blocker/Trendolin"));
  for (Answer second : {Answer::Ok, Answer::Cancel}) {
    HeadlessUi ui;
    ScopedUi installed(ui);
    ui.QueueAnswer(Answer::Ok);
    ui.QueueAnswer(second);
    EXPECT_EQ(LocateSettingsFile(), second == Answer::Ok ? 0 : 2);
    auto asked = ui.EventsOf(UiEvent::Kind::MessageBox);
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[1].text, platform::ResourceString(87));
    // Going on, the run has no settings file: nothing tries to write one.
    if (second == Answer::Ok) {
      EXPECT_EQ(CurrentSession().iniFile, "");
    }
  }
  EXPECT_EQ(ReadFile(dir.File("blocker")), "a file where the folder should be");
}

TEST(SettingsLocationTest, DefaultTextHoldsEverySectionANewFileNeeds) {
  platform::ProfileFile p = platform::ProfileFile::Parse(DefaultSettingsText());
  EXPECT_EQ(p.SectionNames(),
            (std::vector<std::string>{"Single-Precision", "User Defaults", "Plot Attributes", "User Models"}));
  EXPECT_EQ(p.Keys("Plot Attributes").size(), 8u + 26u + 12u + 3u + 5u);
  EXPECT_FALSE(p.Get("Single-Precision", "DataPath").has_value())
      << "the data folder defaults to the working directory";
  EXPECT_EQ(ReadAppSettings(p), DefaultAppSettings()) << "a new file reads exactly as no file at all";

  // Writing the settings back changes none of the lines a new file holds.
  platform::ProfileFile rewritten = p;
  StoreAppSettings(ReadAppSettings(p), rewritten);
  for (const std::string& key : p.Keys("Single-Precision")) {
    EXPECT_EQ(rewritten.Get("Single-Precision", key), p.Get("Single-Precision", key)) << key;
  }
}

}  // namespace
}  // namespace trendolin

namespace trendolin {
namespace {

// A settings file that is no settings file is kept once, beside it, before
// the defaults replace it; a merely odd one is left as it is.
TEST(DamagedSettingsTest, TellsDamageFromOddity) {
  EXPECT_TRUE(IsDamagedSettingsText(std::string("[Window]\nLeft=1\n\x00\x01\x02", 17)));
  EXPECT_TRUE(IsDamagedSettingsText("\x7f" "ELF\x02\x01"));
  EXPECT_TRUE(IsDamagedSettingsText("{\"settings\": {\"Left\": 3}}\n"));
  EXPECT_FALSE(IsDamagedSettingsText(""));
  EXPECT_FALSE(IsDamagedSettingsText("\n\r\n  \n"));
  EXPECT_FALSE(IsDamagedSettingsText("; only a comment\n# and another\n"));
  EXPECT_FALSE(IsDamagedSettingsText("; mine\r\n  [Window]\r\nLeft=\t1\r\n"));
}

TEST(DamagedSettingsTest, TheOriginalIsKeptAsBadAndTheDefaultsAreWritten) {
  TempDir dir;
  ScopedEnv env("TRENDOLIN_CONFIG_DIR", dir.Path());
  const std::string damaged("\x89PNG\r\n\x1a\n\x00\x00 not settings", 23);
  WriteFile(dir.File("REVUZI.INI"), damaged);
  WriteFile(dir.File("REVUZI.INI.bad"), "an older backup");
  HeadlessUi ui;
  ScopedUi installed(ui);
  EXPECT_EQ(LocateSettingsFile(), 0);
  EXPECT_EQ(ReadFile(dir.File("REVUZI.INI.bad")), damaged);  // one backup: the latest damaged file
  EXPECT_EQ(ReadFile(dir.File("REVUZI.INI")), DefaultSettingsText());
  const auto told = ui.EventsOf(UiEvent::Kind::MessageBox);
  ASSERT_EQ(told.size(), 1u);
  EXPECT_NE(told[0].text.find("REVUZI.INI.bad"), std::string::npos);

  // The next start finds good settings and says nothing.
  ui.ClearEvents();
  EXPECT_EQ(LocateSettingsFile(), 0);
  EXPECT_TRUE(ui.Events().empty());
  EXPECT_EQ(ReadFile(dir.File("REVUZI.INI.bad")), damaged);
}

TEST(DamagedSettingsTest, WithoutRoomForTheBackupTheFileIsLeftAlone) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  TempDir dir;
  ScopedEnv env("TRENDOLIN_CONFIG_DIR", dir.Path());
  const std::string damaged("\x00\x01\x02\x03", 4);
  WriteFile(dir.File("REVUZI.INI"), damaged);
  std::filesystem::permissions(dir.Path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  HeadlessUi ui;
  ScopedUi installed(ui);
  EXPECT_EQ(LocateSettingsFile(), 0);
  std::filesystem::permissions(dir.Path(), std::filesystem::perms::owner_all);
  EXPECT_EQ(ReadFile(dir.File("REVUZI.INI")), damaged);
  EXPECT_FALSE(std::filesystem::exists(dir.File("REVUZI.INI.bad")));
}

}  // namespace
}  // namespace trendolin
