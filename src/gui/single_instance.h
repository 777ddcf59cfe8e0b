// One workstation per user: the first start listens on a per-user local
// socket; a later start finds it there, asks it to come to the front and
// ends.
#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QLocalServer;

namespace trendolin::gui {

// The socket's name for the current user.
QString InstanceSocketName();

// True when another instance answered on `name` and was asked to show
// itself: this one should end.
bool AskRunningInstanceToShow(const QString& name);

// Listens on `name` (a socket left by a crashed instance is taken over) and
// calls `show` whenever a later start knocks.
class InstanceListener : public QObject {
 public:
  InstanceListener(const QString& name, std::function<void()> show);
  bool Listening() const;

 private:
  QLocalServer* server_;
  std::function<void()> show_;
};

}  // namespace trendolin::gui
