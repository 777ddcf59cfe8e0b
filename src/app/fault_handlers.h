// The program's last words: a bad pointer (or any other hardware fault), an
// abort and an exception nobody caught each leave a record in the log and on
// standard error, and end the program with their own exit code. The
// workstation then has itself started again to tell the person what happened.
#pragma once

#include <string>

namespace trendolin {

// Exit codes of a program ended by a fault; the crash notice is started
// with the same code.
inline constexpr int kCrashBadPointer = 1;
inline constexpr int kCrashAbort = 3;
inline constexpr int kCrashUnexpectedException = 4;

struct FaultHandlerOptions {
  // After the record the process is replaced by `noticeProgram
  // --crash-notice CODE`; without it the handler just exits with CODE.
  bool crashNotice = false;
  // Empty: this very program (its path is read now, while that is still safe).
  std::string noticeProgram;
};

// Handlers for SIGSEGV, SIGBUS, SIGILL and SIGFPE (bad pointer, code 1) and
// SIGABRT (code 3), run on an alternate stack of their own so that a stack
// overflow of the installing thread is caught too, and a terminate handler
// (code 4). Everything a handler needs is prepared here: inside a handler
// only write(2), execv and _exit are used. Installing again replaces the
// options. Returns false when a handler could not be installed (a sanitizer
// may keep SIGSEGV for itself).
bool InstallFaultHandlers(const FaultHandlerOptions& options = {});

// Puts back the handlers that were in place before InstallFaultHandlers
// (the defaults, in a normal run) and releases the alternate stack.
void RestoreFaultHandlers();

}  // namespace trendolin
