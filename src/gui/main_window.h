// The main window: menu bar, toolbar, status bar, the data grid, the results
// list with its headers and the preview, and the command handler every
// menu item, toolbar button and accelerator reaches.
#pragma once

#include <QList>
#include <QMainWindow>
#include <QUrl>
#include <map>
#include <vector>

#include "app/main_layout.h"
#include "gui/data_grid.h"
#include "gui/results_list.h"
#include "gui/ui_host_window.h"

class QAction;
class QKeyEvent;
class QLabel;
class QMenu;
class QToolBar;

namespace trendolin {
class CurveFit;
struct MenuEntry;
}  // namespace trendolin

namespace trendolin::gui {

class MainClientArea;
class PreviewWidget;

// `normal` (the window's restored rectangle, screen coordinates) fitted onto
// `desktop` (a screen's work area), in screen coordinates.
trendolin::WindowPlacement MainWindowPlacementToKeep(const QRect& normal, const QRect& desktop, int defaultWidth,
                                                     int defaultHeight);

class MainWindow : public QMainWindow, public UiHostWindow, public DataGridOwner {
  Q_OBJECT

 public:
  explicit MainWindow(CurveFit& doc);
  ~MainWindow() override;

  // The command handler. `notifyCode` 0: a menu item or toolbar button;
  // 1: an accelerator.
  void Command(int command, int notifyCode = 0);

  // UiHostWindow
  QWidget* DialogParent() override { return this; }
  void SetStatusPart(int part, const QString& text) override;
  void SetWindowCaption(const QString& caption) override;
  void ApplyCalculationMode(int mode, bool backgroundProcess, bool redrawPreview) override;
  void ApplyBusyState(bool busy) override;
  // A calculation or long data work is running: no command may start.
  bool Locked() const;

  // DataGridOwner
  void GridCellCommitted(int column, int row, double value) override;
  int GridAddPoint(int column, double value) override;
  void GridClearSelection() override;
  void GridAddColumn(int column) override;
  void GridContextMenu(const QPoint& globalPos) override;

  // The children, for the program's start and for tests.
  DataGrid& Grid() { return *grid_; }
  ResultsList& Results() { return *results_; }
  PreviewWidget& Preview() { return *preview_; }
  QToolBar& Toolbar() { return *toolbar_; }
  QLabel& StatusPart(int part) { return *status_[part]; }
  // The menu item of `command` (the first, when a command has several), or nullptr.
  QAction* MenuAction(int command) const;
  QAction* ToolbarAction(int command) const;
  QMenu* TopMenu(int index) const;

  // Brings the menus' enabled states, texts and check marks up to date, as
  // opening each menu does.
  void UpdateMenus();
  void UpdateToolbar();
  // The results list shows the session's ranking again.
  void ShowRanking();
  // The recent-file entries of the File menu follow the session's recent files again.
  void RebuildRecentMenu();
  // The status bar's idle text, the file name and the key indicators.
  void RestoreIdleStatus();
  void RefreshLockIndicators();
  // Files dropped on the window: one is opened, more are refused.
  void FilesDropped(const QList<QUrl>& urls);
  // The UI font's measures the layout and the grid's cells follow.
  int UiTextHeight() const { return textHeight_; }
  // The rectangle written to the settings at exit, fitted to the window's screen.
  trendolin::WindowPlacement PlacementToKeep() const;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildMenus();
  QMenu* BuildMenu(const QString& title, const std::vector<MenuEntry>& entries, QWidget* parent);
  void BuildToolbar();
  void BuildStatusBar();
  void BuildShortcuts();
  void InstallHooks();
  void LayoutChildren();
  // Greys the menus and disables the grid and the toolbar while Locked(),
  // and gives each toolbar button its state back afterwards.
  void LockInterface();
  void UpdateMenu(QMenu* menu);
  void ShowMenuHelp(QAction* action);
  void ResetGrid();
  bool CommitGridEdit();
  void DeleteGridColumn(int column);
  bool RunsNow(int command);
  // Whether the clipboard offers text (what Paste needs).
  static bool ClipboardHasText();
  void EditCommand(int command);
  void UndoRedo(int command);
  void ShowDataInformation();
  void ShowAbout();
  void DebugKey(int key, Qt::KeyboardModifiers modifiers);
  // Accept (298) or Abort (299) for a key of a calculation, else 0.
  static int CalculationKeyCommand(const QKeyEvent& key);
  // The main window's command for an accelerator pressed in a graph window
  // (`receiver` has the keyboard), else 0.
  static int AcceleratorFromGraphWindow(QObject* receiver, const QKeyEvent& key);
  void ResultsDoubleClicked();
  void ClipboardChanged();

  CurveFit& doc_;
  DataGrid* grid_ = nullptr;
  ResultsList* results_ = nullptr;
  PreviewWidget* preview_ = nullptr;
  MainClientArea* client_ = nullptr;
  QToolBar* toolbar_ = nullptr;
  QLabel* status_[4] = {};
  std::vector<QMenu*> topMenus_;
  QAction* exitAction_ = nullptr;
  std::vector<QAction*> recentActions_;
  std::multimap<int, QAction*> menuActions_;
  std::map<int, QAction*> toolbarActions_;
  // The toolbar buttons' enabled states while a calculation has them disabled.
  std::map<int, bool> toolbarBeforeCalculation_;
  bool dataBusy_ = false;
  int textHeight_ = 16;
  int charWidth_ = 7;
  int dialogBaseX_ = 6;
};

}  // namespace trendolin::gui
