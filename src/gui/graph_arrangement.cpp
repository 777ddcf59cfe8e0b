// Tile, cascade, minimise and restore for every queued graph window.
#include "gui/graph_arrangement.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMargins>
#include <QScreen>
#include <QStyle>
#include <QWidget>

#include <vector>

#include "session/graph_queue.h"
#include "session/window_arrangement.h"
#include "gui/graph_window.h"
#include "gui/qt_graph_host.h"
#include "session/session.h"

namespace trendolin::gui {
namespace {

std::vector<GraphWindow*> QueuedWindows() {
  std::vector<GraphWindow*> windows;
  QtGraphHost* host = InstalledQtGraphHost();
  if (host == nullptr) return windows;
  for (GraphWindowId id : CurrentSession().graphQueue.Windows()) {
    if (GraphWindow* w = host->Window(id)) windows.push_back(w);
  }
  return windows;
}

QRect ScreenArea() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

// What the window manager's frame adds on each side (nothing before the
// window was first shown, or on a platform without frames).
QMargins FrameMargins(const QWidget* w) {
  const QRect frame = w->frameGeometry();
  const QRect inside = w->geometry();
  return QMargins(inside.left() - frame.left(), inside.top() - frame.top(), frame.right() - inside.right(),
                  frame.bottom() - inside.bottom());
}

FrameSizes CascadeFrameSizes(const QWidget* sample) {
  const QMargins m = FrameMargins(sample);
  if (!m.isNull()) return FrameSizes{m.top() - m.bottom(), m.left(), m.bottom()};
  const QStyle* style = QApplication::style();
  const int border = style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth);
  return FrameSizes{style->pixelMetric(QStyle::PM_TitleBarHeight), border, border};
}

// Shows `w` normally (not minimised or maximised) without taking the focus.
void ShowWithoutActivating(QWidget* w) {
  const bool had = w->testAttribute(Qt::WA_ShowWithoutActivating);
  w->setAttribute(Qt::WA_ShowWithoutActivating, true);
  w->showNormal();
  w->setAttribute(Qt::WA_ShowWithoutActivating, had);
}

}  // namespace

void TileGraphWindows() {
  const std::vector<GraphWindow*> windows = QueuedWindows();
  if (QtGraphHost* host = InstalledQtGraphHost(); host && host->MainWindow()) host->MainWindow()->lower();
  const QRect screen = ScreenArea();
  const int iconHeight = QApplication::style()->pixelMetric(QStyle::PM_LargeIconSize);
  const std::vector<Rect> cells =
      TileRects(static_cast<int>(windows.size()), screen.width(), screen.height(), iconHeight);
  for (std::size_t i = 0; i < windows.size(); ++i) {
    GraphWindow* w = windows[i];
    const Rect& c = cells[i];
    const QRect frame(screen.left() + c.left, screen.top() + c.top, c.Width(), c.Height());
    ShowWithoutActivating(w);
    w->setGeometry(frame.marginsRemoved(FrameMargins(w)));
  }
}

void CascadeGraphWindows(QWidget* mainWindow) {
  const std::vector<GraphWindow*> windows = QueuedWindows();
  if (windows.empty()) return;
  for (GraphWindow* w : windows) ShowWithoutActivating(w);
  const QRect screen = ScreenArea();
  const int lines = ScreenUiMetrics().textHeight;
  const QSize inside(DefaultGraphWidth(lines), DefaultGraphHeight(lines));
  const QMargins m = FrameMargins(windows.front());
  const QSize outside = inside.grownBy(m);
  const std::vector<Point> corners = CascadePositions(static_cast<int>(windows.size()), screen.width(),
                                                      screen.height(), outside.width(), outside.height(),
                                                      CascadeFrameSizes(windows.front()));
  auto place = [&](QWidget* w, Point corner) {
    w->resize(inside);
    w->move(screen.left() + corner.x, screen.top() + corner.y);
  };
  for (std::size_t i = 0; i < windows.size(); ++i) place(windows[i], corners[i]);
  // Each window goes behind the one placed before it, and the main window
  // behind them all: raising from the back forward gives that order.
  if (mainWindow != nullptr) {
    place(mainWindow, corners.back());
    mainWindow->raise();
  }
  for (auto it = windows.rbegin(); it != windows.rend(); ++it) (*it)->raise();
}

void MinimizeAllGraphWindows(QWidget* mainWindow) {
  for (GraphWindow* w : QueuedWindows()) w->showMinimized();
  if (mainWindow != nullptr) mainWindow->showNormal();
}

void RestoreAllGraphWindows() {
  for (GraphWindow* w : QueuedWindows()) ShowWithoutActivating(w);
}

}  // namespace trendolin::gui
