#include "app/fault_handlers.h"

#include <signal.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <exception>
#include <iterator>

#include "platform/debug_log.h"
#include "platform/pending_files.h"

namespace trendolin {
namespace {

constexpr int kFaultSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT};
constexpr std::size_t kSignalCount = std::size(kFaultSignals);
// Enough for the handlers, which call nothing deeper than write(2).
constexpr std::size_t kAltStackBytes = 64 * 1024;

// Process-wide by nature: a fault ends the whole process. Everything below
// is set up at install time, so that no handler allocates or formats.
bool installed = false;
struct sigaction previousActions[kSignalCount];
std::terminate_handler previousTerminate = nullptr;
void* altStack = nullptr;
stack_t previousAltStack;

bool noticeEnabled = false;
char noticePath[PATH_MAX];
char noticeSwitch[] = "--crash-notice";
char noticeCode[] = "0";
char* noticeArgv[] = {noticePath, noticeSwitch, noticeCode, nullptr};

// The thread handling a fault (0 while none is) and the code it ends with.
std::atomic<pid_t> faultThread{0};
std::atomic<int> faultCode{0};
static_assert(std::atomic<pid_t>::is_always_lock_free && std::atomic<int>::is_always_lock_free,
              "used inside signal handlers");

void WriteAll(int fd, const char* text) {
  std::size_t left = std::strlen(text);
  while (left > 0) {
    const ssize_t n = ::write(fd, text, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return;
    }
    text += n;
    left -= static_cast<std::size_t>(n);
  }
}

// A record goes to the log, when one is open, and to standard error.
void Record(const char* text) {
  const int log = DiagnosticsDescriptor();
  if (log >= 0) WriteAll(log, text);
  WriteAll(STDERR_FILENO, text);
}

// Claims the fault for this thread. A fault inside the handling ends the
// program at once; a fault of another thread meanwhile waits for the first
// thread to end the process.
void Enter(int code) {
  const auto self = static_cast<pid_t>(::syscall(SYS_gettid));
  pid_t none = 0;
  if (faultThread.compare_exchange_strong(none, self)) {
    faultCode.store(code);
    return;
  }
  if (none == self) ::_exit(faultCode.load());
  for (;;) ::pause();
}

// The shutdown that is still safe: the log's last line, no half-written
// temporaries left behind, and the notice or the exit.
[[noreturn]] void Finish(int code) {
  const int log = DiagnosticsDescriptor();
  if (log >= 0) WriteAll(log, "Debug file closing...\n");
  platform::RemovePendingFiles();
  if (noticeEnabled) {
    noticeCode[0] = static_cast<char>('0' + code);
    ::execv(noticePath, noticeArgv);
  }
  ::_exit(code);
}

void OnFaultSignal(int signo) {
  const bool abort = signo == SIGABRT;
  const int code = abort ? kCrashAbort : kCrashBadPointer;
  Enter(code);
  Record(abort ? "Abort signal caught.\n" : "Bad Pointer Caught!!!!\n");
  Finish(code);
}

[[noreturn]] void OnTerminate() {
  Enter(kCrashUnexpectedException);
  Record("Unexpected exception caught.\n");
  // The exception in flight, if any, is rethrown in place (no copy, no
  // allocation) just to ask it what it is.
  const char* what = nullptr;
  if (std::current_exception()) {
    try {
      throw;
    } catch (const std::exception& e) {
      what = e.what();
    } catch (...) {
    }
  }
  if (what) {
    Record("Exception: ");
    Record(what);
    Record("\n");
  } else {
    Record("No exception information is available.\n");
  }
  Finish(kCrashUnexpectedException);
}

// Where the notice comes from; false when the path cannot be had.
bool PrepareNotice(const FaultHandlerOptions& options) {
  if (!options.crashNotice) return false;
  if (!options.noticeProgram.empty()) {
    if (options.noticeProgram.size() >= sizeof noticePath) return false;
    std::memcpy(noticePath, options.noticeProgram.c_str(), options.noticeProgram.size() + 1);
    return true;
  }
  const ssize_t n = ::readlink("/proc/self/exe", noticePath, sizeof noticePath - 1);
  if (n <= 0) return false;
  noticePath[n] = '\0';
  return true;
}

bool InstallAltStack() {
  altStack = ::mmap(nullptr, kAltStackBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (altStack == MAP_FAILED) {
    altStack = nullptr;
    return false;
  }
  stack_t stack{};
  stack.ss_sp = altStack;
  stack.ss_size = kAltStackBytes;
  if (::sigaltstack(&stack, &previousAltStack) != 0) {
    ::munmap(altStack, kAltStackBytes);
    altStack = nullptr;
    return false;
  }
  return true;
}

}  // namespace

bool InstallFaultHandlers(const FaultHandlerOptions& options) {
  noticeEnabled = PrepareNotice(options);
  if (installed) return true;
  // Without its own stack a handler still catches every fault but the
  // overflow of the stack it would run on.
  InstallAltStack();
  bool all = true;
  for (std::size_t i = 0; i < kSignalCount; ++i) {
    struct sigaction action {};
    action.sa_handler = OnFaultSignal;
    sigemptyset(&action.sa_mask);
    // A fault inside the handler meets the default action and ends the
    // program there.
    action.sa_flags = SA_RESETHAND | SA_ONSTACK;
    if (::sigaction(kFaultSignals[i], &action, &previousActions[i]) != 0) {
      all = false;
      continue;
    }
    struct sigaction now {};
    ::sigaction(kFaultSignals[i], nullptr, &now);
    if (now.sa_handler != OnFaultSignal) all = false;
  }
  previousTerminate = std::set_terminate(OnTerminate);
  installed = true;
  return all;
}

void RestoreFaultHandlers() {
  if (!installed) return;
  for (std::size_t i = 0; i < kSignalCount; ++i) ::sigaction(kFaultSignals[i], &previousActions[i], nullptr);
  std::set_terminate(previousTerminate);
  if (altStack) {
    ::sigaltstack(&previousAltStack, nullptr);
    ::munmap(altStack, kAltStackBytes);
    altStack = nullptr;
  }
  noticeEnabled = false;
  installed = false;
}

}  // namespace trendolin
