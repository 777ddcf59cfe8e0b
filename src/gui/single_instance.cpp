#include "gui/single_instance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QtGlobal>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/debug_log.h"

namespace trendolin::gui {
namespace {

constexpr int kConnectWaitMs = 1000;
constexpr char kShowRequest[] = "show\n";
constexpr char kShownAnswer[] = "shown\n";

// Where QLocalServer puts a socket of that name.
QString SocketPath(const QString& name) {
  return name.startsWith(QLatin1Char('/')) ? name : QDir::tempPath() + QLatin1Char('/') + name;
}

enum class PathKind { Missing, Socket, Other };

PathKind KindAt(const QString& path) {
  struct stat st {};
  if (::lstat(QFile::encodeName(path).constData(), &st) != 0) return PathKind::Missing;
  return S_ISSOCK(st.st_mode) ? PathKind::Socket : PathKind::Other;
}

bool Reachable(const QString& name) {
  QLocalSocket probe;
  probe.connectToServer(name);
  const bool connected = probe.waitForConnected(kConnectWaitMs);
  probe.abort();
  return connected;
}

}  // namespace

QString InstanceSocketName() {
  const QString perUser = QStringLiteral("trendolin-%1").arg(::getuid());
  // A settings folder named by TRENDOLIN_CONFIG_DIR (tests, trial runs) is a
  // workstation of its own: it neither hands over to the user's usual one
  // nor takes starts meant for it.
  const QByteArray folder = qgetenv("TRENDOLIN_CONFIG_DIR");
  if (folder.isEmpty()) return perUser;
  const QByteArray digest = QCryptographicHash::hash(folder, QCryptographicHash::Sha1).toHex().left(12);
  return perUser + QLatin1Char('-') + QString::fromLatin1(digest);
}

QStringList InstanceSocketNames() {
  const QString usual = InstanceSocketName();
  return {usual, usual + QStringLiteral("-alt"), usual + QStringLiteral("-alt2")};
}

KnockResult KnockOn(const QString& name, int waitMs) {
  QLocalSocket socket;
  socket.connectToServer(name);
  if (!socket.waitForConnected(kConnectWaitMs)) return KnockResult::Nobody;
  socket.write(kShowRequest);
  socket.waitForBytesWritten(waitMs);
  // A stopped instance's socket still accepts connections (the system queues
  // them): only its answer shows that it is alive and came forward.
  QByteArray answer;
  QElapsedTimer clock;
  clock.start();
  while (!answer.contains('\n') && clock.elapsed() < waitMs) {
    if (!socket.waitForReadyRead(static_cast<int>(waitMs - clock.elapsed()))) break;
    answer += socket.readAll();
  }
  socket.abort();
  return answer.startsWith(kShownAnswer) ? KnockResult::Answered : KnockResult::Silent;
}

bool AskRunningInstanceToShow(const QString& name) { return KnockOn(name) == KnockResult::Answered; }

bool AskRunningInstanceToShow(const QStringList& names) {
  bool silent = false;
  for (const QString& name : names) {
    switch (KnockOn(name)) {
      case KnockResult::Answered: return true;
      case KnockResult::Silent:
        DebugLogF("The instance on %s did not answer within %d ms.\n", qPrintable(name), kHandOverMs);
        silent = true;
        break;
      case KnockResult::Nobody: break;
    }
  }
  if (silent) qWarning("trendolin: a running instance did not answer within %d ms; starting a new one", kHandOverMs);
  return false;
}

InstanceListener::InstanceListener(const QString& name, std::function<void()> show)
    : InstanceListener(QStringList{name}, std::move(show)) {}

InstanceListener::InstanceListener(const QStringList& names, std::function<void()> show)
    : server_(new QLocalServer(this)), show_(std::move(show)) {
  // Only this user may knock.
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  for (const QString& name : names) {
    if (Listen(name)) break;
  }
  connect(server_, &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
      connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
      connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
        if (!socket->readAll().contains("show")) return;
        if (show_) show_();
        socket->write(kShownAnswer);
        socket->flush();
      });
    }
  });
}

bool InstanceListener::Listen(const QString& name) {
  // Looked at before listening: with the user-only option the server makes
  // its socket aside and renames it onto the path, which would silently
  // replace whatever is there.
  const QString path = SocketPath(name);
  switch (KindAt(path)) {
    case PathKind::Missing: break;
    case PathKind::Socket:
      // A socket that still takes connections belongs to a live instance
      // that did not answer (stopped, hung): taking its path would let it
      // delete ours when it ends. Only a leftover of an instance that did
      // not end cleanly, refusing connections, is replaced.
      if (Reachable(name)) {
        DebugLogF("%s belongs to an instance that does not answer; trying another name.\n", qPrintable(path));
        return false;
      }
      QLocalServer::removeServer(name);
      break;
    case PathKind::Other:
      // A folder or a file there is not ours to delete: it may hold
      // somebody's data. Use the next name and say why.
      DebugLogF("%s is in the way of the instance socket; trying another name.\n", qPrintable(path));
      qWarning("trendolin: %s is not a socket and is left alone; using another name", qPrintable(path));
      return false;
  }
  return server_->listen(name);
}

bool InstanceListener::Listening() const { return server_->isListening(); }

QString InstanceListener::Name() const { return server_->isListening() ? server_->serverName() : QString(); }

}  // namespace trendolin::gui
