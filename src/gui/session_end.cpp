#include "gui/session_end.h"

#include <QSocketNotifier>
#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "platform/pending_files.h"

namespace trendolin::gui {
namespace {

constexpr int kGracefulSignals[] = {SIGTERM, SIGHUP};

// Written before the handlers are installed, read by them: plain data only.
int writeEnd = -1;
volatile sig_atomic_t requested = 0;

void OnSessionEnd(int signo) {
  if (requested != 0 || writeEnd < 0) platform::RemovePendingFilesAndDie(signo);
  requested = 1;
  const int savedErrno = errno;
  const unsigned char byte = static_cast<unsigned char>(signo);
  // Non-blocking: a full pipe already holds a request.
  [[maybe_unused]] const ssize_t n = ::write(writeEnd, &byte, 1);
  errno = savedErrno;
}

int fds[2] = {-1, -1};

}  // namespace

SessionEndWatcher::SessionEndWatcher(std::function<void(int)> endSession) : endSession_(std::move(endSession)) {
  platform::RemovePendingFilesOnSignal(SIGINT);
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, fds) != 0) {
    // Without the pair the signals still remove a half-written file.
    for (int signo : kGracefulSignals) platform::RemovePendingFilesOnSignal(signo);
    return;
  }
  requested = 0;
  writeEnd = fds[0];
  notifier_ = new QSocketNotifier(fds[1], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [this] { Drain(); });
  for (int signo : kGracefulSignals) {
    struct sigaction current {};
    if (sigaction(signo, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) continue;  // nohup
    struct sigaction action {};
    action.sa_handler = OnSessionEnd;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(signo, &action, nullptr);
  }
}

SessionEndWatcher::~SessionEndWatcher() {
  // From here on the program is ending anyway: the signals end it at once.
  for (int signo : kGracefulSignals) platform::RemovePendingFilesOnSignal(signo);
  writeEnd = -1;
  if (fds[0] >= 0) ::close(fds[0]);
  if (fds[1] >= 0) ::close(fds[1]);
  fds[0] = fds[1] = -1;
}

void SessionEndWatcher::Drain() {
  unsigned char byte = 0;
  int last = 0;
  while (::read(fds[1], &byte, 1) == 1) last = byte;
  if (last != 0 && endSession_) endSession_(last);
}

}  // namespace trendolin::gui
