// The diagnostic log: file numbering, banner, flushing, and the silent
// fall-back when no log can be created.
#include "platform/debug_log.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <thread>

#include "app/error_handle.h"
#include "app/system_info.h"
#include "support/temp_dir.h"

namespace trendolin {
namespace {

using testsupport::ReadFile;
using testsupport::ScopedCurrentDir;
using testsupport::TempDir;
using testsupport::WriteFile;

class DebugLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetConsoleSink([this](std::string_view text) { console_ += text; });
  }
  void TearDown() override {
    CloseDiagnostics();
    DebugFlags = 0;
    SetConsoleSink(nullptr);
  }
  std::string console_;
};

TEST_F(DebugLogTest, TakesTheFirstFreeNumberAndWritesTheBanner) {
  TempDir dir;
  ScopedCurrentDir here(dir.Path());
  WriteFile("DAVU0000.REC", "old");
  WriteFile("DAVU0001.REC", "old");
  DebugFlags = 255;
  ASSERT_TRUE(OpenDiagnostics("1.4"));
  EXPECT_EQ(DiagnosticsFileName(), "DAVU0002.REC");
  DebugLog("INI found successfully.\n");
  // Each call is flushed: the file holds it while the log is still open.
  const std::string text = ReadFile("DAVU0002.REC");
  EXPECT_EQ(text.rfind("=========TRENDOLIN DEBUG MODE=========\nApplication Version: Trendolin 1.4\n", 0), 0u);
  EXPECT_NE(text.find("INI found successfully.\n"), std::string::npos);
  EXPECT_EQ(ReadFile("DAVU0000.REC"), "old") << "existing logs are never overwritten";
  EXPECT_NE(console_.find("INI found successfully.\n"), std::string::npos) << "mirrored to the console";

  CloseDiagnostics();
  EXPECT_NE(ReadFile("DAVU0002.REC").find("Debug file closing...\n"), std::string::npos);
}

TEST_F(DebugLogTest, NothingIsWrittenWhenDiagnosticsAreOff) {
  TempDir dir;
  ScopedCurrentDir here(dir.Path());
  DebugFlags = 0;
  EXPECT_FALSE(OpenDiagnostics("1.4"));
  DebugLog("should not appear");
  DebugLogF("%d", 5);
  EXPECT_TRUE(console_.empty());
  EXPECT_FALSE(std::filesystem::exists("DAVU0000.REC"));
}

TEST_F(DebugLogTest, UnwritableFolderSwitchesDiagnosticsOff) {
  // /proc takes no new files, whoever asks; elsewhere a read-only folder does.
  TempDir dir;
  const bool root = ::geteuid() == 0;
  if (!root) ::chmod(dir.Path().c_str(), 0555);
  {
    ScopedCurrentDir here(root ? "/proc" : dir.Path());
    DebugFlags = 255;
    EXPECT_FALSE(OpenDiagnostics("1.4"));
  }
  ::chmod(dir.Path().c_str(), 0755);
  EXPECT_EQ(DebugFlags, 0);
  DebugLog("nowhere to go");
  EXPECT_TRUE(console_.empty());
}

TEST_F(DebugLogTest, GuardMarkersGoToTheLog) {
  TempDir dir;
  ScopedCurrentDir here(dir.Path());
  DebugFlags = 255;
  ASSERT_TRUE(OpenDiagnostics("1.4"));
  LogExceptionMarker("MarqLev_1");
  EXPECT_NE(ReadFile(DiagnosticsFileName()).find("EX: MarqLev_1\n"), std::string::npos);
}

// Muting silences the muting thread alone: another thread (another
// session's) logs on meanwhile, and the switch itself is never touched, so
// mutes that overlap on two threads cannot leave the log switched off.
TEST_F(DebugLogTest, AMuteSilencesOnlyItsOwnThread) {
  DebugFlags = 1;
  {
    const ScopedLogMute outer;
    const ScopedLogMute inner;
    DebugLog("muted\n");
    EXPECT_EQ(DebugFlags, 1);
    std::thread other([] {
      EXPECT_FALSE(LogMuted());
      DebugLog("other thread\n");
      const ScopedLogMute muted;
      DebugLog("muted there\n");
    });
    other.join();
    DebugLog("still muted\n");
    const ScopedLogMute inactive(false);
    DebugLog("still muted\n");
  }
  DebugLog("heard\n");
  EXPECT_EQ(console_, "other thread\nheard\n");
}

TEST_F(DebugLogTest, LastSystemErrorIsLoggedWithItsText) {
  TempDir dir;
  ScopedCurrentDir here(dir.Path());
  DebugFlags = 255;
  ASSERT_TRUE(OpenDiagnostics("1.4"));
  errno = ENOSPC;
  EXPECT_EQ(LogLastSystemError(), 0);
  EXPECT_NE(ReadFile(DiagnosticsFileName()).find("No space left on device\n"), std::string::npos);
  errno = 0;
  EXPECT_EQ(LogLastSystemError(), 1);
}

}  // namespace
}  // namespace trendolin

namespace trendolin {
namespace {

TEST(SystemInfoDumpTest, WritesTheMachineAndTheProgramsRecords) {
  testsupport::TempDir dir;
  testsupport::ScopedCurrentDir here(dir.Path());
  SetConsoleSink([](std::string_view) {});
  DebugFlags = 255;
  ASSERT_TRUE(OpenDiagnostics("1.4"));
  WriteSystemInfoDump({{"datatype", 4}, {"CurveFit", 1234}});
  const std::string text = testsupport::ReadFile(DiagnosticsFileName());
  CloseDiagnostics();
  DebugFlags = 0;
  SetConsoleSink(nullptr);
  for (const char* expected :
       {"The debug file is DAVU0000.REC\n", "Distribution file information:\n", "Memory Load -- ",
        "Attempting to Enumerate Tasks/Processes:\n", "\tszGrfWindow:\tTRDL_GrfWnd\n",
        "Sizes of Important Structures:\n\tdatatype:\t4\n\tCurveFit:\t1234\n"}) {
    EXPECT_NE(text.find(expected), std::string::npos) << expected;
  }
}

}  // namespace
}  // namespace trendolin
