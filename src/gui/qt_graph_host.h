// The graph windows of the desktop program: the graph queue and the fit
// drivers create, show, refresh and destroy them through this host. Every
// queued window is a top-level window owned by the hidden graph server, not
// by the main window.
#pragma once

#include <QObject>
#include <QPointer>

#include <map>
#include <memory>
#include <string>

#include "session/graph_window_host.h"

class QWidget;

namespace trendolin {
class CurveFit;
}

namespace trendolin::gui {

class GraphWindow;

inline constexpr const char* kGraphServerTitle = "TRDL Graph Server";

class QtGraphHost : public QObject, public trendolin::GraphWindowHost {
  Q_OBJECT

 public:
  explicit QtGraphHost(trendolin::CurveFit& doc);
  // Closes the windows it still has in the graph queue, and leaves the
  // queue to its own host when it was installed there.
  ~QtGraphHost() override;

  // The main window: Find Main Window brings it back, and the Window menu
  // arranges it with the graphs.
  void SetMainWindow(QWidget* mainWindow);
  QWidget* MainWindow() const { return mainWindow_; }
  // The hidden owner of every graph window; never shown.
  QWidget* Server() const { return server_.get(); }

  // The window behind a handle, or nullptr once it is destroyed.
  GraphWindow* Window(trendolin::GraphWindowId window) const;

  // Creates the window and fills `record` with the default attributes of
  // "Plot Attributes" and the automatic axes of the data (its model and
  // plot kind stay). May raise errnotify from the axes of a residual plot.
  trendolin::GraphWindowId CreateGraphWindow(const std::string& title, trendolin::GraphAttr& record) override;
  void ShowGraphWindow(trendolin::GraphWindowId window) override;
  void RaiseGraphWindow(trendolin::GraphWindowId window) override;
  void PostInformationCommand(trendolin::GraphWindowId window) override;
  void RefreshGraphWindow(trendolin::GraphWindowId window) override;
  void GraphWindowClosing(trendolin::GraphWindowId window) override;
  void DestroyGraphWindow(trendolin::GraphWindowId window) override;

 signals:
  // A window is leaving the graph queue (its menu check mark is already off).
  void graphWindowClosed(int window);

 private:
  trendolin::CurveFit& doc_;
  std::unique_ptr<QWidget> server_;
  QPointer<QWidget> mainWindow_;
  std::map<trendolin::GraphWindowId, QPointer<GraphWindow>> windows_;
  trendolin::GraphWindowId nextId_ = 1;
};

// The Qt host the graph queue uses, or nullptr while another is installed.
QtGraphHost* InstalledQtGraphHost();

}  // namespace trendolin::gui
