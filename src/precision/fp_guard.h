// Floating-point fault detection for numeric work. Faults are found by testing
// the floating-point status flags after guarded work (no signal handlers), and
// become errnotify with the error identifiers of the program.
#pragma once

#include <exception>

#include "platform/debug_log.h"
#include "precision/errors.h"

namespace trendolin {

// Resets the floating-point status: clears every raised flag. Logs its
// start and end; returns 0 (the Linux set-up cannot fail).
int ReinitFP();

// Clears the flags before a piece of guarded work.
void ClearFpFaults();

// After guarded work: raises errnotify when a division by zero (1) or an
// overflow (2) happened since the last clear. 0/0 and other invalid
// operations stay quiet not-a-numbers; underflow is not a fault.
void CheckFpFaults();

// True when a division by zero or overflow is pending (without raising).
bool FpFaultPending();

// Turns a trapped floating-point condition (FE_DIVBYZERO, FE_OVERFLOW,
// FE_INVALID, FE_UNDERFLOW or anything else) into errnotify: ErrorInfo gets
// the matching identifier, FitId 0, the floating-point flag and the routine
// name "unknown", and the flags are reset for the next piece of work.
[[noreturn]] void fpe_catch(int trapCode);

// Runs `fast` (a loop that looks at the status flags only at its end, with
// the log muted); when it raised or left a fault pending, runs `checked`,
// which looks after every operation and so raises the first fault in point
// order, exactly as a trap at the faulting instruction would. Faults are
// rare, so the cost of looking at the flags is paid almost never.
template <typename Fast, typename Checked>
auto RunFastThenChecked(Fast fast, Checked checked) -> decltype(fast()) {
  std::exception_ptr raised;
  ClearFpFaults();
  try {
    ScopedLogMute muted;
    auto result = fast();
    if (!FpFaultPending()) return result;
  } catch (const errnotify&) {
    raised = std::current_exception();
  }
  ClearFpFaults();
  auto result = checked();
  if (raised) std::rethrow_exception(raised);  // the checked run raises the same fault first
  return result;
}

// Clears the flags on construction; Check() raises for faults since then.
class FpGuard {
 public:
  FpGuard() { ClearFpFaults(); }
  void Check() const { CheckFpFaults(); }
};

}  // namespace trendolin
