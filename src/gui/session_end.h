// The end of the desktop session: a logout (SIGTERM) or a lost terminal
// (SIGHUP) closes the workstation as Exit would, but without questions,
// instead of killing it with its settings unsaved and its data lost.
// Ctrl+C in the starting terminal (SIGINT) still ends it at once, removing
// any half-written temporary file.
#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace trendolin::gui {

// Installs the handlers. A signal only writes its number to a socket pair
// (all a handler may safely do); the event loop reads it there and calls
// `endSession` with it. A second SIGTERM or SIGHUP before the first was
// served ends the program at once, as one would without this watcher, so a
// stuck close can still be killed the ordinary way. One per process.
class SessionEndWatcher : public QObject {
 public:
  explicit SessionEndWatcher(std::function<void(int signo)> endSession);
  ~SessionEndWatcher() override;
  SessionEndWatcher(const SessionEndWatcher&) = delete;
  SessionEndWatcher& operator=(const SessionEndWatcher&) = delete;

  bool Installed() const { return notifier_ != nullptr; }

 private:
  void Drain();

  QSocketNotifier* notifier_ = nullptr;
  std::function<void(int)> endSession_;
};

}  // namespace trendolin::gui
