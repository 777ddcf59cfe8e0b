// One fit's graph in a top-level window: painted by the plot renderer from
// the window's graph attributes, with a popup menu of graph commands, arrow
// keys that pan, a dragged rectangle that zooms, and an off-screen picture of
// slow plots.
#pragma once

#include <QImage>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QWidget>

#include "graph/graph_attr.h"
#include "graph/plot_renderer.h"

class QMenu;
class QAction;
class QAbstractButton;

namespace trendolin {
class CurveFit;
}

namespace trendolin::gui {

// The commands of a graph window (its popup menu, its keys, its header button).
enum GraphCommand : int {
  kGraphCopy = 2,
  kGraphPrint = 4,
  kGraphFindMainWindow = 5,
  kGraphHelp = 6,
  kGraphHeaderButton = 11,
  kGraphProperties = 101,
  kGraphAnalyze = 102,
  kGraphInformation = 103,
  kGraphClose = 104,
  kGraphGenerateTable = 108,
};

inline constexpr const char* kRenderingNotice = "Rendering Plot.  Please Wait...";

// The interface font's measures on the screen, taken once.
const trendolin::UiMetrics& ScreenUiMetrics();

class GraphWindow : public QWidget {
  Q_OBJECT

 public:
  // `record` must outlive the window, or be detached first (DetachRecord):
  // the graph queue owns the record of a queued window, the owner that
  // created it the record of any other. `owner` becomes the parent of this
  // top-level window.
  GraphWindow(trendolin::CurveFit& doc, trendolin::GraphAttr& record, const QString& title, QWidget* owner);
  ~GraphWindow() override;

  // The record shown; nullptr once detached.
  trendolin::GraphAttr* Record() const { return record_; }
  // The window stops referring to its record (which is about to be freed)
  // and draws nothing more.
  void DetachRecord();

  // The handle under which the graph queue knows this window (kNoWindow when
  // it is not queued).
  void SetQueueId(trendolin::GraphWindowId id) { queueId_ = id; }
  trendolin::GraphWindowId QueueId() const { return queueId_; }
  // Residual plots and the initial-guess test view never enter the queue:
  // closing them only hides them.
  bool IsQueueable() const;

  // The main window that Find Main Window brings back.
  void SetMainWindow(QWidget* mainWindow) { mainWindow_ = mainWindow; }
  QWidget* MainWindow() const { return mainWindow_; }

  // After any change of the record: the cached picture goes, the window
  // repaints and the header button follows "DrawHeader".
  void Refresh();
  // Acts on a graph command as its menu item does.
  void Command(int id);

  QMenu* PopupMenu() const { return menu_; }
  QAbstractButton* HeaderButton() const { return header_; }
  bool HasCachedPicture() const { return !picture_.isNull(); }
  // The graph as the window shows it, rendered now into an image of the
  // client size (for the clipboard and checks).
  QImage RenderToImage();

 signals:
  // An unqueued window was closed (and hidden); its owner decides its fate.
  void closed(GraphWindow* window);
  // The window was refreshed: its record changed (a pan, a zoom ...).
  void refreshed();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void enterEvent(QEnterEvent* event) override;

 private:
  void BuildMenu();
  QAction* ActionOf(int id) const;
  void UpdateCommandStates();
  void PlaceHeaderButton();
  bool RendersOffScreen() const;
  void RenderPicture();
  void DrawGraph(QPainter& painter, const QSize& size);
  void DrawRubberBand(QPainter& painter) const;
  void StopDragging();
  void UpdateCursor();
  void ApplyZoom();
  void RestoreAutomaticAxes();
  void Pan(int key, bool minorStep);
  void OpenMenuAt(const QPoint& globalPos);
  void CopyToClipboard();
  void FindMainWindow();
  void ShowInformation();
  void LogCommand(int id);

  trendolin::CurveFit& doc_;
  trendolin::GraphAttr* record_;
  trendolin::GraphWindowId queueId_ = trendolin::kNoWindow;
  QPointer<QWidget> mainWindow_;
  QMenu* menu_ = nullptr;
  QAbstractButton* header_ = nullptr;
  QImage picture_;              // the cached rendering; null when there is none
  bool renderPending_ = false;  // an off-screen rendering is queued behind the notice
  bool pictureFailed_ = false;  // no picture could be had at this size: draw directly
  bool dragPicture_ = false;    // the picture exists only for the drag under way
};

}  // namespace trendolin::gui
