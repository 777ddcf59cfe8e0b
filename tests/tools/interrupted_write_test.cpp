// A program ended by a signal in the middle of writing a file leaves no
// hidden temporary behind, and still dies of the signal (so a shell or a
// batch script sees what happened).
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <poll.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/pending_files.h"
#include "platform/profile_file.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::string> HiddenFiles(const std::string& folder) {
  std::vector<std::string> names;
  for (const fs::directory_entry& e : fs::directory_iterator(folder)) {
    const std::string name = e.path().filename().string();
    if (!name.empty() && name.front() == '.') names.push_back(name);
  }
  return names;
}

// Runs `body` in a child process and returns its wait status.
template <typename Body>
int InChild(Body body) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    body();
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return status;
}

TEST(PendingFilesTest, AnEndingSignalRemovesTheRegisteredTemporaryAndStillEndsTheProgram) {
  for (int signo : {SIGINT, SIGTERM, SIGHUP}) {
    testsupport::TempDir dir;
    const std::string tmpl = dir.File(".target.dat.XXXXXX");
    const int status = InChild([&] {
      platform::RemovePendingFilesOnSignal(signo);
      std::string name = tmpl;
      platform::PendingFile pending(name);
      if (pending.Descriptor() < 0 || !pending.Registered()) ::_exit(3);
      ::write(pending.Descriptor(), "1 2\n", 4);
      ::raise(signo);
      ::_exit(4);  // not reached when the signal ends the program
    });
    ASSERT_TRUE(WIFSIGNALED(status)) << "signal " << signo << ", status " << status;
    EXPECT_EQ(WTERMSIG(status), signo);
    EXPECT_TRUE(HiddenFiles(dir.Path()).empty()) << "signal " << signo;
  }
}

TEST(PendingFilesTest, ASignalTheProgramIgnoresStaysIgnored) {
  testsupport::TempDir dir;
  const int status = InChild([&] {
    ::signal(SIGHUP, SIG_IGN);  // as nohup starts a batch
    platform::RemovePendingFilesOnSignal(SIGHUP);
    std::string name = dir.File(".kept.XXXXXX");
    platform::PendingFile pending(name);
    ::raise(SIGHUP);
    ::_exit(pending.Registered() ? 0 : 5);
  });
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(HiddenFiles(dir.Path()).size(), 1u);  // the write went on; the file is its own business then
}

TEST(PendingFilesTest, AFinishedWriteIsForgottenSoASignalLaterTouchesNothing) {
  testsupport::TempDir dir;
  const std::size_t before = platform::PendingFileCount();
  ASSERT_TRUE(platform::WriteFileAtomically(dir.File("a.dat"), "1 2\n"));
  ASSERT_FALSE(platform::WriteFileAtomically(dir.File("missing/b.dat"), "1 2\n"));
  EXPECT_EQ(platform::PendingFileCount(), before);
  // Slots are reused: far more writes than slots all register.
  for (std::size_t i = 0; i < 3 * platform::kPendingFileSlots; ++i) {
    std::string name = dir.File(".n.XXXXXX");
    platform::PendingFile pending(name);
    EXPECT_TRUE(pending.Registered());
    ::unlink(name.c_str());
  }
  const int status = InChild([&] {
    platform::RemovePendingFilesOnSignal(SIGTERM);
    ::raise(SIGTERM);
  });
  EXPECT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(testsupport::ReadFile(dir.File("a.dat")), "1 2\n");
}

#ifdef TRENDOLIN_CLI
// The command-line tool interrupted while it writes a large data set: the
// signal is sent the moment the temporary appears beside the target.
TEST(InterruptedCliWriteTest, NoTemporaryIsLeftBesideTheTarget) {
  testsupport::TempDir dir;
  {
    std::FILE* f = std::fopen(dir.File("big.dat").c_str(), "w");
    ASSERT_NE(f, nullptr);
    for (int i = 0; i < 2000000; ++i) std::fprintf(f, "%d\t%.6f\n", i, i * 0.5 + 0.123456);
    std::fclose(f);
  }
  for (int signo : {SIGINT, SIGTERM, SIGHUP}) {
    const int watch = ::inotify_init1(IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(::inotify_add_watch(watch, dir.Path().c_str(), IN_CREATE), 0);
    const std::string out = dir.File("out.dat");
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::setenv("TRENDOLIN_CONFIG_DIR", dir.Path().c_str(), 1);
      ::execl(TRENDOLIN_CLI, TRENDOLIN_CLI, "data", dir.File("big.dat").c_str(), "-o", out.c_str(),
              static_cast<char*>(nullptr));
      ::_exit(127);
    }
    // Wait for the temporary's creation, then interrupt at once.
    bool created = false;
    alignas(inotify_event) char buffer[4096];
    pollfd p{watch, POLLIN, 0};
    while (!created && ::poll(&p, 1, 60000) > 0) {
      const ssize_t n = ::read(watch, buffer, sizeof buffer);
      for (ssize_t at = 0; at < n;) {
        const auto* e = reinterpret_cast<const inotify_event*>(buffer + at);
        if (e->len > 0 && std::string(e->name).rfind(".out.dat.", 0) == 0) created = true;
        at += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
      }
    }
    ::kill(pid, signo);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ::close(watch);
    ASSERT_TRUE(created);
    ASSERT_TRUE(WIFSIGNALED(status)) << "signal " << signo << ", status " << status;
    EXPECT_EQ(WTERMSIG(status), signo);
    if (fs::exists(out)) {
      fs::remove(out);  // the write won the race: nothing was interrupted this time
      continue;
    }
    EXPECT_TRUE(HiddenFiles(dir.Path()).empty()) << "signal " << signo;
  }
}
#endif

}  // namespace
