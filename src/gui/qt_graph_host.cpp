// The Qt graph window host and its hidden graph server.
#include "gui/qt_graph_host.h"

#include <QTimer>
#include <QWidget>

#include "app/settings_location.h"
#include "session/graph_queue.h"
#include "gui/graph_window.h"
#include "platform/profile_file.h"
#include "session/session.h"

namespace trendolin::gui {

QtGraphHost::QtGraphHost(CurveFit& doc) : doc_(doc), server_(std::make_unique<QWidget>()) {
  server_->setObjectName(QStringLiteral("TRDL_GrfServ"));
  server_->setWindowTitle(QString::fromUtf8(kGraphServerTitle));
  server_->setGeometry(0, 0, 100, 100);
}

QtGraphHost::~QtGraphHost() {
  if (&CurrentSession().graphQueue.Host() == this) {
    CurrentSession().graphQueue.CloseAll();
    CurrentSession().graphQueue.SetHost(nullptr);
  }
}

void QtGraphHost::SetMainWindow(QWidget* mainWindow) {
  mainWindow_ = mainWindow;
  for (const auto& [id, window] : windows_) {
    if (window) window->SetMainWindow(mainWindow);
  }
}

GraphWindow* QtGraphHost::Window(GraphWindowId window) const {
  const auto it = windows_.find(window);
  return it == windows_.end() ? nullptr : it->second.data();
}

GraphWindowId QtGraphHost::CreateGraphWindow(const std::string& title, GraphAttr& record) {
  // A new graph starts from the stored defaults; only what it shows comes
  // from the caller.
  const int modelId = record.modelId;
  ReadGraphDefaults(platform::ProfileFile::Load(CurrentSession().iniFile), record, doc_);
  record.modelId = modelId;

  auto* window = new GraphWindow(doc_, record, QString::fromStdString(title), server_.get());
  const GraphWindowId id = nextId_++;
  window->SetQueueId(id);
  window->SetMainWindow(mainWindow_);
  windows_[id] = window;
  return id;
}

void QtGraphHost::ShowGraphWindow(GraphWindowId window) {
  if (GraphWindow* w = Window(window)) w->showNormal();
}

void QtGraphHost::RaiseGraphWindow(GraphWindowId window) {
  if (GraphWindow* w = Window(window)) {
    w->showNormal();
    w->raise();
    w->activateWindow();
  }
}

void QtGraphHost::PostInformationCommand(GraphWindowId window) {
  if (GraphWindow* w = Window(window)) {
    QTimer::singleShot(0, w, [w] { w->Command(kGraphInformation); });
  }
}

void QtGraphHost::RefreshGraphWindow(GraphWindowId window) {
  if (GraphWindow* w = Window(window)) w->Refresh();
}

void QtGraphHost::GraphWindowClosing(GraphWindowId window) { emit graphWindowClosed(window); }

void QtGraphHost::DestroyGraphWindow(GraphWindowId window) {
  const auto it = windows_.find(window);
  if (it == windows_.end()) return;
  if (GraphWindow* w = it->second.data()) {
    // The record is freed as soon as this returns; the widget itself goes
    // when control is back in the event loop, which may be inside its own
    // close handler now.
    w->DetachRecord();
    w->SetQueueId(kNoWindow);
    w->hide();
    w->deleteLater();
  }
  windows_.erase(it);
}

QtGraphHost* InstalledQtGraphHost() { return dynamic_cast<QtGraphHost*>(&CurrentSession().graphQueue.Host()); }

}  // namespace trendolin::gui
