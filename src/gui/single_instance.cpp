#include "gui/single_instance.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <unistd.h>

namespace trendolin::gui {
namespace {

constexpr int kAnswerWaitMs = 1000;
constexpr char kShowRequest[] = "show\n";

}  // namespace

QString InstanceSocketName() { return QStringLiteral("trendolin-%1").arg(::getuid()); }

bool AskRunningInstanceToShow(const QString& name) {
  QLocalSocket socket;
  socket.connectToServer(name);
  if (!socket.waitForConnected(kAnswerWaitMs)) return false;
  socket.write(kShowRequest);
  socket.waitForBytesWritten(kAnswerWaitMs);
  socket.disconnectFromServer();
  return true;
}

InstanceListener::InstanceListener(const QString& name, std::function<void()> show)
    : server_(new QLocalServer(this)), show_(std::move(show)) {
  // Only this user may knock.
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  if (!server_->listen(name)) {
    // Nobody answered on the name (checked before), so the socket is a
    // leftover of an instance that did not end cleanly.
    QLocalServer::removeServer(name);
    server_->listen(name);
  }
  connect(server_, &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
      connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
      connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
        if (socket->readAll().contains("show") && show_) show_();
      });
    }
  });
}

bool InstanceListener::Listening() const { return server_->isListening(); }

}  // namespace trendolin::gui
