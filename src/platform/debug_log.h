// The diagnostic log "DAVU%04d.REC" and the debug console: switched on from
// the command line (or Shift+F8) and written by log sites all over the program.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace trendolin {

// The diagnostic switch byte. 0: no diagnostics. Any other value opens the
// log; bit 0 also opens the console. Log sites test it against the masks
// 1, 3, 5, 0x11 and 0x21.
extern std::uint8_t DebugFlags;

// Opens diagnostics when DebugFlags is non-zero: creates the first free
// "DAVU%04d.REC" in the current directory and writes the banner. A log that
// cannot be created switches diagnostics off (DebugFlags = 0) silently.
// `created`, when given, runs between the file's creation and the banner
// (the desktop program attaches its console there, so that the console shows
// the banner too). Returns true when a log is open afterwards.
bool OpenDiagnostics(std::string_view versionText, const std::function<void()>& created = {});

// Writes "Debug file closing...\n" and closes the log (if one is open).
void CloseDiagnostics();

bool DiagnosticsOpen();
const std::string& DiagnosticsFileName();  // empty when none is open

// The open log's file descriptor, -1 when none is open. A plain atomic
// load, so the fault handlers may read it inside a signal handler and write
// their last words with write(2).
int DiagnosticsDescriptor();

// Nothing when DebugFlags is 0; otherwise the text goes to the log file
// (flushed at once) and to the console.
void DebugLog(std::string_view text);

// printf-style form for the log sites that format one or more values.
void DebugLogF(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Silences the log on this thread for a scope: work done speculatively (and
// repeated, logged, when it fails) must not log twice. Only this thread is
// silenced, so that sessions on other threads log on; the threads that run
// a caller's point parts take on its silence. `active` false: no effect.
class ScopedLogMute {
 public:
  explicit ScopedLogMute(bool active = true);
  ~ScopedLogMute();
  ScopedLogMute(const ScopedLogMute&) = delete;
  ScopedLogMute& operator=(const ScopedLogMute&) = delete;

 private:
  bool active_;
};

// True while a ScopedLogMute lives on this thread.
bool LogMuted();

// Appends text to the debug console. The console window comes with the
// desktop program; until one is attached, console text goes to standard error.
void ConsolePrint(std::string_view text);
void ConsolePrintF(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Where console text goes. The desktop program attaches its console window
// here; an empty function restores standard error. The sink is called from
// whichever thread logs (sessions run on worker threads too), one call at a
// time; once SetConsoleSink has returned, no thread is inside the old sink
// any more, so its target may go.
void SetConsoleSink(std::function<void(std::string_view)> sink);

// Logs the system's text for the current errno (when diagnostics are on) and
// always writes it, with a line feed, to the developer channel (standard
// error). Returns 0, or 1 when no text could be had.
int LogLastSystemError();

}  // namespace trendolin
