// One workstation per user: the first start listens on a per-user local
// socket; a later start finds it there, asks it to come to the front, waits
// for its answer and ends. An instance that does not answer in time (stopped,
// hung) does not keep later starts from opening a window.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

class QLocalServer;

namespace trendolin::gui {

// How long a later start waits for the running instance to answer.
inline constexpr int kHandOverMs = 2500;

// The socket's name for the current user (and for the settings folder,
// when TRENDOLIN_CONFIG_DIR names one).
QString InstanceSocketName();
// The names an instance may listen on, in order: the usual one, then others
// used when the usual one's path is taken by something that is no socket (a
// folder, a file) or by an instance that does not answer.
QStringList InstanceSocketNames();

enum class KnockResult {
  Answered,  // an instance came to the front and said so
  Silent,    // something accepted the knock but did not answer in time
  Nobody,    // nothing listens there
};
KnockResult KnockOn(const QString& name, int waitMs = kHandOverMs);

// True when another instance answered on `name` (or on one of `names`) and
// came to the front: this one should end.
bool AskRunningInstanceToShow(const QString& name);
bool AskRunningInstanceToShow(const QStringList& names);

// Listens on the first of `names` it can take, and calls `show` (then
// answers) whenever a later start knocks. A socket left by a crashed
// instance is taken over. The socket of a live instance that does not answer
// (stopped, hung) and anything that is no socket are not ours to delete:
// they are left alone, the next name is tried and the log says so.
class InstanceListener : public QObject {
 public:
  InstanceListener(const QString& name, std::function<void()> show);
  InstanceListener(const QStringList& names, std::function<void()> show);
  bool Listening() const;
  // The name listened on, or empty.
  QString Name() const;

 private:
  bool Listen(const QString& name);

  QLocalServer* server_;
  std::function<void()> show_;
};

}  // namespace trendolin::gui
