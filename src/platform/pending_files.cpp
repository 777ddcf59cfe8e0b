#include "platform/pending_files.h"

#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

namespace platform {
namespace {

// A slot is free, being filled or taken by one thread, or ready for the
// handler. Only ready slots are read from a handler, and a slot's path is
// never changed while it is ready.
enum SlotState : int { kFree = 0, kFilling = 1, kReady = 2 };

struct Slot {
  std::atomic<int> state{kFree};
  char path[kPendingPathBytes];
};
static_assert(std::atomic<int>::is_always_lock_free, "the handler reads the slots without locks");

Slot slots[kPendingFileSlots];

// The signals that end a program through RemovePendingFilesOnSignal or the
// workstation's own handlers: held back while a temporary file is born.
sigset_t EndingSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGHUP);
  sigaddset(&set, SIGQUIT);
  return set;
}

int Claim(const std::string& path) {
  if (path.size() >= kPendingPathBytes) return -1;
  for (std::size_t i = 0; i < kPendingFileSlots; ++i) {
    int expected = kFree;
    if (!slots[i].state.compare_exchange_strong(expected, kFilling, std::memory_order_acquire)) continue;
    std::memcpy(slots[i].path, path.c_str(), path.size() + 1);
    slots[i].state.store(kReady, std::memory_order_release);
    return static_cast<int>(i);
  }
  return -1;
}

void OnEndingSignal(int signo) { RemovePendingFilesAndDie(signo); }

}  // namespace

PendingFile::PendingFile(std::string& tmpl) {
  const sigset_t ending = EndingSignals();
  sigset_t previous;
  pthread_sigmask(SIG_BLOCK, &ending, &previous);
  fd_ = ::mkstemp(tmpl.data());
  const int err = errno;
  if (fd_ >= 0) slot_ = Claim(tmpl);
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  errno = err;
}

PendingFile::~PendingFile() {
  if (slot_ >= 0) slots[slot_].state.store(kFree, std::memory_order_release);
}

void RemovePendingFiles() {
  const int savedErrno = errno;
  for (Slot& slot : slots) {
    if (slot.state.load(std::memory_order_acquire) == kReady) ::unlink(slot.path);
  }
  errno = savedErrno;
}

std::size_t PendingFileCount() {
  std::size_t count = 0;
  for (const Slot& slot : slots) count += slot.state.load(std::memory_order_acquire) == kReady ? 1 : 0;
  return count;
}

void RemovePendingFilesOnSignal(int signo) {
  struct sigaction current {};
  if (sigaction(signo, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) return;
  struct sigaction action {};
  action.sa_handler = OnEndingSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(signo, &action, nullptr);
}

void RemovePendingFilesAndDie(int signo) {
  RemovePendingFiles();
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  sigemptyset(&fallback.sa_mask);
  sigaction(signo, &fallback, nullptr);
  // The signal is held while its handler runs: let it through so the default
  // action ends the program here, with the signal as its status.
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, signo);
  pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
  ::raise(signo);
  ::_exit(128 + signo);  // a signal whose default is not to end the program
}

}  // namespace platform
