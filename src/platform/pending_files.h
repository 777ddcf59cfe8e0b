// Temporary files being written, known to signal handlers: a program ended by
// Ctrl+C, a hang-up or a kill in the middle of writing a large file removes
// the hidden temporary instead of leaving up to hundreds of megabytes beside
// the target.
//
// The registry is process-wide by nature (a signal ends the whole process)
// and of fixed size, so that a handler can walk it without allocating or
// locking: each slot holds a path copied in before the first byte is written
// and is freed after the rename.
#pragma once

#include <cstddef>
#include <string>

namespace platform {

inline constexpr std::size_t kPendingFileSlots = 32;
inline constexpr std::size_t kPendingPathBytes = 4096;  // PATH_MAX on Linux, the terminating NUL included

// Creates a unique temporary file from `tmpl` (a mkstemp template, rewritten
// in place with the name made) and registers it, with the ending signals
// held back in between, so no signal falls between the file's birth and its
// registration. The file stays registered until the object goes; release it
// after the rename (or after removing the file on failure). When every slot
// is taken or the path is too long the file is still made, only without the
// cleanup.
class PendingFile {
 public:
  explicit PendingFile(std::string& tmpl);
  ~PendingFile();
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;

  int Descriptor() const { return fd_; }  // -1 (errno set) when no file could be made
  bool Registered() const { return slot_ >= 0; }

 private:
  int fd_ = -1;
  int slot_ = -1;
};

// Unlinks every registered file. Async-signal-safe.
void RemovePendingFiles();

// How many files are registered now (for tests and the log).
std::size_t PendingFileCount();

// Installs, for `signo`, the handler that removes the pending files and then
// ends the program by the signal's default action, so the parent sees the
// usual "killed by signal" status. A signal the process ignores (a batch
// started with nohup) stays ignored.
void RemovePendingFilesOnSignal(int signo);

// For handlers of the program's own (a graceful close on SIGTERM): the same
// removal and default death, callable from inside a signal handler.
[[noreturn]] void RemovePendingFilesAndDie(int signo);

}  // namespace platform
