// A program that comes to a bad end on purpose, for the fault handler tests:
//   crash_child FOLDER FAULT [--notice PROGRAM]
// switches diagnostics on with the log in FOLDER, installs the fault
// handlers (with the notice when asked) and then does FAULT.
//   crash_child --crash-notice CODE
// plays the notice: prints its arguments and exits with 40 + CODE.
#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>

#include "app/fault_handlers.h"
#include "platform/debug_log.h"
#include "platform/pending_files.h"

namespace {

// The code the child exits with when the handlers could not be installed
// (a sanitizer keeping SIGSEGV for itself): the test skips then.
constexpr int kHandlersRefused = 77;

// A pointer into memory that may not be touched. Not a null pointer: the
// undefined-behaviour sanitizer would stop a null store before it faults.
volatile int* ForbiddenAddress() {
  void* page = ::mmap(nullptr, 4096, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  return page == MAP_FAILED ? nullptr : static_cast<volatile int*>(page);
}

int Recurse(volatile int* depth) {
  volatile char frame[1024];
  frame[0] = static_cast<char>(*depth);
  *depth = *depth + 1;
  if (*depth < 0) return 0;  // never: the stack runs out first
  return Recurse(depth) + frame[0];
}

// An exception that faults when asked what it is: a fault inside the
// terminate handler.
struct BrokenException : std::exception {
  const char* what() const noexcept override {
    return *reinterpret_cast<const char* const volatile*>(ForbiddenAddress());
  }
};

int Fault(std::string_view fault) {
  if (fault == "segv") {
    *ForbiddenAddress() = 1;
  } else if (fault == "abort") {
    std::abort();
  } else if (fault == "throw") {
    throw std::runtime_error("widget count overflow");
  } else if (fault == "throw-int") {
    throw 7;
  } else if (fault == "throw-broken") {
    throw BrokenException();
  } else if (fault == "overflow") {
    volatile int depth = 0;
    return Recurse(&depth);
  } else if (fault == "sigbus") {
    ::raise(SIGBUS);
  } else if (fault == "sigill") {
    ::raise(SIGILL);
  } else if (fault == "sigfpe") {
    ::raise(SIGFPE);
  } else if (fault == "restored-abort") {
    trendolin::RestoreFaultHandlers();
    std::abort();
  }
  return 2;  // no such fault, or it did not end the program
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], "--crash-notice") == 0) {
    std::printf("notice %s %s %s\n", argv[0], argv[1], argv[2]);
    return 40 + std::atoi(argv[2]);
  }
  if (argc < 3) return 2;
  if (::chdir(argv[1]) != 0) return 2;
  trendolin::DebugFlags = 255;
  // The log only; standard error is kept for the handlers' records.
  trendolin::SetConsoleSink([](std::string_view) {});
  if (!trendolin::OpenDiagnostics("1.4")) return 2;

  trendolin::FaultHandlerOptions options;
  if (argc >= 5 && std::strcmp(argv[3], "--notice") == 0) {
    options.crashNotice = true;
    options.noticeProgram = argv[4];
  }
  if (!trendolin::InstallFaultHandlers(options)) return kHandlersRefused;

  // A file half written when the end comes: the handlers remove it.
  std::string partial = std::string(argv[1]) + "/partial-XXXXXX";
  platform::PendingFile pending(partial);
  if (pending.Descriptor() < 0) return 2;
  return Fault(argv[2]);
}
