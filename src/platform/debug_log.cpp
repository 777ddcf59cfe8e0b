// The diagnostic log file, the console mirror and the system-error logger.
#include "platform/debug_log.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <mutex>
#include <vector>

namespace trendolin {

std::uint8_t DebugFlags = 0;

namespace {

// The open log, owned here from OpenDiagnostics to CloseDiagnostics.
std::FILE* logFile = nullptr;
std::string logFileName;
// logFile's descriptor, for the fault handlers.
std::atomic<int> logDescriptor{-1};
static_assert(std::atomic<int>::is_always_lock_free, "read inside signal handlers");
std::function<void(std::string_view)> consoleSink;
std::mutex consoleSinkLock;
// How many ScopedLogMute live on this thread.
thread_local int muteDepth = 0;

std::string FormatV(const char* format, va_list args) {
  va_list copy;
  va_copy(copy, args);
  int needed = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  if (needed <= 0) return {};
  std::vector<char> buffer(static_cast<std::size_t>(needed) + 1);
  std::vsnprintf(buffer.data(), buffer.size(), format, args);
  return std::string(buffer.data(), static_cast<std::size_t>(needed));
}

// The first "DAVU%04d.REC" that does not exist yet, created exclusively so an
// existing log is never overwritten.
std::FILE* CreateNextLog(std::string& name) {
  for (int i = 0; i <= 9999; ++i) {
    char candidate[16];
    std::snprintf(candidate, sizeof candidate, "DAVU%04d.REC", i);
    int fd = ::open(candidate, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return nullptr;
    }
    std::FILE* f = ::fdopen(fd, "w");
    if (!f) {
      ::close(fd);
      ::unlink(candidate);
      return nullptr;
    }
    name = candidate;
    return f;
  }
  return nullptr;
}

}  // namespace

bool OpenDiagnostics(std::string_view versionText, const std::function<void()>& created) {
  if (DebugFlags == 0) return false;
  if (logFile) return true;
  logFile = CreateNextLog(logFileName);
  if (!logFile) {
    DebugFlags = 0;
    logFileName.clear();
    return false;
  }
  logDescriptor.store(::fileno(logFile));
  if (created) created();
  DebugLog("=========TRENDOLIN DEBUG MODE=========\n");
  DebugLogF("Application Version: Trendolin %.*s\n", static_cast<int>(versionText.size()), versionText.data());
  // The build's real word size: this program is not a 32-bit one on Linux.
  DebugLogF("%d-bit.\n", static_cast<int>(sizeof(void*) * 8));
  return true;
}

void CloseDiagnostics() {
  if (!logFile) return;
  DebugLog("Debug file closing...\n");
  logDescriptor.store(-1);
  std::fclose(logFile);
  logFile = nullptr;
  logFileName.clear();
}

bool DiagnosticsOpen() { return logFile != nullptr; }

const std::string& DiagnosticsFileName() { return logFileName; }

int DiagnosticsDescriptor() { return logDescriptor.load(); }

ScopedLogMute::ScopedLogMute(bool active) : active_(active) {
  if (active_) ++muteDepth;
}

ScopedLogMute::~ScopedLogMute() {
  if (active_) --muteDepth;
}

bool LogMuted() { return muteDepth > 0; }

void DebugLog(std::string_view text) {
  if (DebugFlags == 0 || muteDepth > 0) return;
  if (logFile) {
    std::fwrite(text.data(), 1, text.size(), logFile);
    std::fflush(logFile);
  }
  ConsolePrint(text);
}

void DebugLogF(const char* format, ...) {
  if (DebugFlags == 0 || muteDepth > 0) return;
  va_list args;
  va_start(args, format);
  std::string text = FormatV(format, args);
  va_end(args);
  DebugLog(text);
}

void ConsolePrint(std::string_view text) {
  {
    std::lock_guard<std::mutex> hold(consoleSinkLock);
    if (consoleSink) {
      consoleSink(text);
      return;
    }
  }
  std::cerr << text;
  std::cerr.flush();
}

void ConsolePrintF(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = FormatV(format, args);
  va_end(args);
  // The console formats into a 1024-character line buffer.
  if (text.size() > 1023) text.resize(1023);
  ConsolePrint(text);
}

void SetConsoleSink(std::function<void(std::string_view)> sink) {
  std::function<void(std::string_view)> old;
  {
    std::lock_guard<std::mutex> hold(consoleSinkLock);
    old.swap(consoleSink);
    consoleSink = std::move(sink);
  }
  // The old sink's captures are released outside the lock.
}

int LogLastSystemError() {
  const int err = errno;
  if (err == 0) {
    std::cerr << "No system error text is available.\n";
    return 1;
  }
  std::string text = std::strerror(err);
  if (DebugFlags != 0) {
    DebugLog(text + "\n");  // reaches the console (standard error) as well
  } else {
    std::cerr << text << '\n';
  }
  return 0;
}

}  // namespace trendolin
