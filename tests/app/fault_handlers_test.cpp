// The fault handlers, watched from outside: a child program crashes on
// purpose and the test reads its exit status, its standard error and its log.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "support/temp_dir.h"

extern char** environ;

namespace {

using testsupport::ReadFile;
using testsupport::TempDir;

constexpr int kHandlersRefused = 77;
constexpr std::string_view kClosing = "Debug file closing...\n";

struct Ending {
  int exitCode = -1;  // -1 when the child did not exit
  int signal = 0;     // the signal that killed it, 0 when it exited
  std::string log;    // its diagnostic log
  std::string out;
  std::string err;
};

// Runs the crash child in `dir` and waits for its end.
Ending Crash(const TempDir& dir, const std::vector<std::string>& args) {
  std::vector<std::string> all = {TRENDOLIN_CRASH_CHILD, dir.Path()};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& arg : all) argv.push_back(arg.data());
  argv.push_back(nullptr);
  const std::string out = dir.File("stdout.txt");
  const std::string err = dir.File("stderr.txt");
  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  posix_spawn_file_actions_addopen(&files, STDOUT_FILENO, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&files, STDERR_FILENO, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = -1;
  const int spawned = posix_spawn(&pid, argv[0], &files, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&files);
  Ending ending;
  if (spawned != 0) return ending;
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (WIFEXITED(status)) ending.exitCode = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) ending.signal = WTERMSIG(status);
  ending.log = ReadFile(dir.File("DAVU0000.REC"));
  ending.out = ReadFile(out);
  ending.err = ReadFile(err);
  return ending;
}

bool HalfWrittenFileLeft(const TempDir& dir) {
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
    if (entry.path().filename().string().starts_with("partial-")) return true;
  }
  return false;
}

// The log holds `record` and then closes; standard error has the record too.
void ExpectRecord(const Ending& ending, const std::string& record) {
  const std::size_t at = ending.log.find(record);
  ASSERT_NE(at, std::string::npos) << ending.log;
  EXPECT_GT(ending.log.size(), at);
  EXPECT_EQ(ending.log.find(kClosing), ending.log.size() - kClosing.size()) << "closed once, at the end";
  EXPECT_NE(ending.err.find(record), std::string::npos) << ending.err;
}

#define SKIP_IF_REFUSED(ending)                                                                  \
  if ((ending).exitCode == kHandlersRefused)                                                     \
  GTEST_SKIP() << "the sanitizer in this build keeps the fault signals for itself "              \
                  "(ASAN_OPTIONS allow_user_segv_handler=0); the normal build runs these cases"

TEST(FaultHandlersTest, BadPointerIsRecordedAndEndsWithCodeOne) {
  TempDir dir;
  const Ending ending = Crash(dir, {"segv"});
  SKIP_IF_REFUSED(ending);
  EXPECT_EQ(ending.exitCode, 1) << "signal " << ending.signal;
  ExpectRecord(ending, "Bad Pointer Caught!!!!\n");
  EXPECT_FALSE(HalfWrittenFileLeft(dir)) << "a temporary being written is removed";
}

TEST(FaultHandlersTest, StackOverflowIsCaughtOnTheHandlersOwnStack) {
  TempDir dir;
  const Ending ending = Crash(dir, {"overflow"});
  SKIP_IF_REFUSED(ending);
  EXPECT_EQ(ending.exitCode, 1) << "signal " << ending.signal;
  ExpectRecord(ending, "Bad Pointer Caught!!!!\n");
}

TEST(FaultHandlersTest, EveryHardwareFaultSignalCountsAsABadPointer) {
  for (const char* fault : {"sigbus", "sigill", "sigfpe"}) {
    TempDir dir;
    const Ending ending = Crash(dir, {fault});
    SKIP_IF_REFUSED(ending);
    EXPECT_EQ(ending.exitCode, 1) << fault << ", signal " << ending.signal;
    EXPECT_NE(ending.log.find("Bad Pointer Caught!!!!\n"), std::string::npos) << fault;
  }
}

TEST(FaultHandlersTest, AbortIsRecordedAndEndsWithCodeThree) {
  TempDir dir;
  const Ending ending = Crash(dir, {"abort"});
  SKIP_IF_REFUSED(ending);
  EXPECT_EQ(ending.exitCode, 3) << "signal " << ending.signal;
  ExpectRecord(ending, "Abort signal caught.\n");
  EXPECT_EQ(ending.log.find("Bad Pointer"), std::string::npos);
}

TEST(FaultHandlersTest, UncaughtExceptionsEndWithCodeFourAndSayWhatTheyCan) {
  TempDir known;
  const Ending withText = Crash(known, {"throw"});
  SKIP_IF_REFUSED(withText);
  EXPECT_EQ(withText.exitCode, 4) << "signal " << withText.signal;
  ExpectRecord(withText, "Unexpected exception caught.\nException: widget count overflow\n");

  TempDir unknown;
  const Ending withoutText = Crash(unknown, {"throw-int"});
  EXPECT_EQ(withoutText.exitCode, 4) << "signal " << withoutText.signal;
  ExpectRecord(withoutText, "Unexpected exception caught.\nNo exception information is available.\n");
}

TEST(FaultHandlersTest, AFaultInsideTheHandlerEndsAtOnce) {
  TempDir dir;
  const Ending ending = Crash(dir, {"throw-broken"});
  SKIP_IF_REFUSED(ending);
  // The exception's what() faults while the terminate handler asks it.
  EXPECT_EQ(ending.exitCode, 4) << "signal " << ending.signal;
  EXPECT_NE(ending.log.find("Unexpected exception caught.\n"), std::string::npos) << ending.log;
  EXPECT_EQ(ending.log.find("Bad Pointer"), std::string::npos) << "no second record";
}

TEST(FaultHandlersTest, TheNoticeProgramTakesOverWithTheCode) {
  TempDir dir;
  const Ending ending = Crash(dir, {"segv", "--notice", TRENDOLIN_CRASH_CHILD});
  SKIP_IF_REFUSED(ending);
  EXPECT_EQ(ending.exitCode, 41) << "the notice's own status; signal " << ending.signal;
  EXPECT_EQ(ending.out, std::string("notice ") + TRENDOLIN_CRASH_CHILD + " --crash-notice 1\n");
  ExpectRecord(ending, "Bad Pointer Caught!!!!\n");

  TempDir aborted;
  EXPECT_EQ(Crash(aborted, {"abort", "--notice", TRENDOLIN_CRASH_CHILD}).exitCode, 43);
  TempDir thrown;
  EXPECT_EQ(Crash(thrown, {"throw", "--notice", TRENDOLIN_CRASH_CHILD}).exitCode, 44);
}

TEST(FaultHandlersTest, ANoticeThatCannotStartLeavesTheCode) {
  TempDir dir;
  const Ending ending = Crash(dir, {"abort", "--notice", dir.File("no-such-program")});
  SKIP_IF_REFUSED(ending);
  EXPECT_EQ(ending.exitCode, 3) << "signal " << ending.signal;
  ExpectRecord(ending, "Abort signal caught.\n");
}

TEST(FaultHandlersTest, RestoredHandlersLetTheDefaultActionEndTheProgram) {
  TempDir dir;
  const Ending ending = Crash(dir, {"restored-abort"});
  SKIP_IF_REFUSED(ending);
  EXPECT_EQ(ending.signal, SIGABRT) << "exit code " << ending.exitCode;
  EXPECT_EQ(ending.log.find("Abort signal caught."), std::string::npos);
}

}  // namespace
