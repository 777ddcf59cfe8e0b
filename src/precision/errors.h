// The one error channel of numeric code: the exception errnotify and the
// global record ErrorInfo that says what went wrong.
#pragma once

#include <string>
#include <string_view>

namespace trendolin {

// Error identifiers. The message for identifier k is resource string k + 15.
enum ErrorId : int {
  kErrDivideByZero = 1,
  kErrOverflow = 2,
  kErrUnderflow = 3,
  kErrPrecisionLoss = 4,  // any other trap; loss of significance
  kErrDomain = 5,
  kErrSingularity = 6,
  kErrInvalidOperation = 7,
  kErrSolverFailed = 8,
  kErrGuessCancelled = 9,   // never shown
  kErrSuppressed = 10,      // an error arrived while reports were suppressed; never shown
  kErrOutOfMemory = 11,
  kErrTooManyPoints = 12,
  kErrExpression = 13,
  kErrUserStopped = 14,     // dropped by the drivers without a message
  kErrStoppedInSearch = 15, // passed on so that a search ends
};

constexpr int kFirstErrorId = 1;
constexpr int kLastErrorId = 15;
constexpr int kErrorMessageBase = 15;  // resource string of error k is k + 15
constexpr std::size_t kRoutineNameSize = 20;  // the record's name field, terminator included

struct ErrorRecord {
  int id = 0;
  int FitId = -1;         // model 500..539 concerned; -1 when none
  int fpFlag = 0;         // 1 when the error came from a floating-point fault
  std::string routine;    // failing math routine, "unknown" for a trap, else empty (at most 19 characters)
};

// The error record: overwritten by every raise, valid until ErrorHandle has
// reported it. Each thread has its own, so that work spread over several
// threads cannot garble the record of the thread that reports.
extern thread_local ErrorRecord ErrorInfo;

// id 0, FitId -1, flag 0, empty name.
void ClearErrorInfo();

// Thrown by value, caught by reference; it carries nothing: the details are in ErrorInfo.
class errnotify {
 public:
  errnotify() = default;
  int value = 1;
};

// Clears ErrorInfo, fills it and throws errnotify. The routine name is cut to
// the record's 19 characters.
[[noreturn]] void RaiseError(int id, int fitId = -1, std::string_view routine = {}, int fpFlag = 0);

// Logs the marker of a guard that caught errnotify: "EX: " + name + "\n",
// where name is a routine name with its guard number ("MarqLev_1"). Only
// while the diagnostic log is on.
void LogExceptionMarker(const char* routineAndGuard);

}  // namespace trendolin
