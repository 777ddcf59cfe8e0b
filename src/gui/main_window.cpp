#include "gui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>

#include "app/app_settings.h"
#include "app/main_layout.h"
#include "app/main_menu.h"
#include "app/run_flags.h"
#include "app/settings_location.h"
#include "data/curve_fit.h"
#include "session/data_file_flows.h"
#include "data/document_hooks.h"
#include "session/grid_edits.h"
#include "session/drivers.h"
#include "session/fit_hunter.h"
#include "session/graph_queue.h"
#include "gui/help_viewer.h"
#include "gui/lock_keys.h"
#include "gui/main_client_area.h"
#include "gui/preview_widget.h"
#include "platform/debug_log.h"
#include "render_qt/qt_font.h"
#include "render_qt/ui_metrics.h"
#include "session/session.h"

namespace trendolin::gui {

MainWindow::MainWindow(CurveFit& doc) : doc_(doc) {
  setObjectName(QStringLiteral("Trendolin"));
  setWindowTitle(QString::fromUtf8(kAppCaption));
  setAcceptDrops(true);

  // The UI font: 9-point bold, measured once; the layout, the grid's cells
  // and the list's tab stops follow it.
  const UiMetrics ui = MeasureUiMetrics();
  textHeight_ = ui.textHeight;
  charWidth_ = ui.charWidth;
  QFont uiFont(FamilyForFace("MS Sans Serif"));
  uiFont.setPixelSize(12);
  uiFont.setBold(true);
  // The horizontal dialog base unit: the dialog font's average character width.
  dialogBaseX_ = std::max(1, QFontMetrics(QApplication::font()).averageCharWidth());

  client_ = new MainClientArea(this);
  client_->setFont(uiFont);
  setCentralWidget(client_);

  grid_ = new DataGrid(client_);
  grid_->setObjectName(QStringLiteral("TRDLN_DataWnd"));
  grid_->SetOwner(this);
  results_ = new ResultsList(client_);
  results_->setObjectName(QStringLiteral("ResultsList"));
  results_->setFont(uiFont);
  results_->installEventFilter(this);
  installEventFilter(this);
  client_->setMouseTracking(true);
  qApp->installEventFilter(this);
  InstallHelpKey();
  preview_ = new PreviewWidget(doc_, client_);
  preview_->setObjectName(QStringLiteral("TRDL_Thumb"));
  preview_->SetSelectedItemSource([this] { return results_->SelectedModel(); });

  BuildMenus();
  BuildToolbar();
  BuildStatusBar();
  BuildShortcuts();

  connect(results_, &QListWidget::itemSelectionChanged, preview_, [this] { preview_->Refresh(); });
  connect(results_, &QListWidget::itemDoubleClicked, this, [this] { ResultsDoubleClicked(); });
  connect(preview_, &PreviewWidget::openRequested, this, [this] { ResultsDoubleClicked(); });
  connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, [this] { ClipboardChanged(); });

  ResetGrid();
  doc_.AttachGrid(grid_);
  InstallHooks();

  const MinimumSize minimum = MainMinimumSize(charWidth_, textHeight_, 0, 0, statusBar()->sizeHint().height());
  setMinimumSize(minimum.width, minimum.height + menuBar()->sizeHint().height());
  resize(DefaultWindowWidth(textHeight_), DefaultWindowHeight(textHeight_));
  RestoreIdleStatus();
  ClipboardChanged();
}

MainWindow::~MainWindow() {
  qApp->removeEventFilter(this);
  doc_.AttachGrid(nullptr);
  DocumentHooks& hooks = Hooks();
  hooks.resetGrid = nullptr;
  hooks.repaintMain = nullptr;
  hooks.rebuildRecentMenu = nullptr;
  hooks.commitGridEdit = nullptr;
  hooks.animatePreview = nullptr;
  hooks.resultsListChanged = nullptr;
  InstallFitDriverHooks(doc_);
}

void MainWindow::InstallHooks() {
  InstallFitDriverHooks(doc_);
  DocumentHooks& hooks = Hooks();
  hooks.resetGrid = [this] { ResetGrid(); };
  hooks.repaintMain = [this] {
    grid_->update();
    preview_->Refresh();
    RestoreIdleStatus();
  };
  hooks.rebuildRecentMenu = [this] { RebuildRecentMenu(); };
  hooks.commitGridEdit = [this] { return CommitGridEdit(); };
  hooks.animatePreview = [this](int id) { preview_->Animate(id); };
  hooks.resultsListChanged = [this] { ShowRanking(); };
  // The application refresh: the drivers re-examine the data, then the
  // window brings its buttons, grid and preview up to date.
  std::function<void()> reexamine = hooks.refresh;
  hooks.refresh = [this, reexamine] {
    if (reexamine) reexamine();
    UpdateToolbar();
    grid_->update();
    preview_->Refresh();
  };
}

// ---- layout and painting ----

void MainWindow::LayoutChildren() {
  if (client_ == nullptr) return;
  const int toolbarHeight = toolbar_ && toolbar_->isVisible() ? toolbar_->height() : 0;
  MainLayoutInput in;
  in.width = client_->width();
  in.height = client_->height() + toolbarHeight + statusBar()->height();
  in.statusHeight = statusBar()->height();
  in.textHeight = textHeight_;
  in.charWidth = charWidth_;
  in.scrollWidth = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  in.dialogBaseX = dialogBaseX_;
  in.rankTextWidth = QFontMetrics(client_->font()).horizontalAdvance(QStringLiteral("Rank")) + 2 * charWidth_;
  const MainLayout layout = ComputeMainLayout(in);
  // The names of the list start under the "Regression" header.
  results_->SetTabStop(std::max(20 * dialogBaseX_ / 4, layout.regressionHeader.left - layout.resultsList.left + 2));
  client_->SetLayout(layout, toolbarHeight);
  grid_->setGeometry(client_->Local(layout.grid));
  results_->setGeometry(client_->Local(layout.resultsList));
  preview_->setGeometry(client_->Local(layout.preview));
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  LayoutChildren();
}

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  LayoutChildren();
}

void MainWindow::ResetGrid() {
  grid_->Reset(0);
  grid_->SetCellSize(3 * textHeight_ / 2, 15 * charWidth_);
  grid_->SetHeading(0, QStringLiteral("X"));
  grid_->SetHeading(1, QStringLiteral("Y"));
  grid_->SetHeading(2, QStringLiteral("STD"));
}

// ---- the Ui host ----

void MainWindow::SetStatusPart(int part, const QString& text) {
  if (part < 0 || part > 3) return;
  status_[part]->setText(text);
}

void MainWindow::SetWindowCaption(const QString& caption) { setWindowTitle(caption); }

bool MainWindow::Locked() const { return CurrentEngine().calcMode != 0 || dataBusy_; }

void MainWindow::LockInterface() {
  const bool locked = Locked();
  for (QMenu* menu : topMenus_) menu->menuAction()->setEnabled(!locked);
  grid_->setEnabled(!locked);
  results_->setEnabled(!locked);
  for (auto& [command, action] : toolbarActions_) {
    if (command == cmd::kAccept || command == cmd::kAbort) continue;
    if (locked) {
      if (!toolbarBeforeCalculation_.count(command)) toolbarBeforeCalculation_[command] = action->isEnabled();
      action->setEnabled(false);
    } else if (toolbarBeforeCalculation_.count(command)) {
      action->setEnabled(toolbarBeforeCalculation_[command]);
    }
  }
  if (!locked) toolbarBeforeCalculation_.clear();
}

void MainWindow::ApplyBusyState(bool busy) {
  dataBusy_ = busy;
  LockInterface();
  if (!busy) RestoreIdleStatus();
}

void MainWindow::ApplyCalculationMode(int mode, bool backgroundProcess, bool redrawPreview) {
  const bool busy = mode != 0;
  LockInterface();
  for (int command : {cmd::kAbort, cmd::kAccept}) {
    QAction* action = toolbarActions_.at(command);
    action->setVisible(busy);
    action->setEnabled(busy && backgroundProcess);
  }
  if (!busy) {
    RestoreIdleStatus();
    if (redrawPreview) preview_->Refresh();
  }
}

// ---- the grid's owner ----

void MainWindow::GridCellCommitted(int column, int row, double value) {
  if (trendolin::GridCellCommitted(doc_, column, row, value) != 1) preview_->Refresh();
  UpdateToolbar();
}

int MainWindow::GridAddPoint(int column, double value) {
  const int result = trendolin::GridAddPoint(doc_, column, value);
  if (result == 0) preview_->Refresh();
  UpdateToolbar();
  return result;
}

void MainWindow::GridClearSelection() { Command(cmd::kClear); }

void MainWindow::GridAddColumn(int) {
  GridColumnHooks hooks = grid_->ColumnHooks();
  const std::function<void()> repaint = hooks.repaint;
  hooks.repaint = [this, repaint] {
    if (repaint) repaint();
    preview_->Refresh();
  };
  trendolin::GridAddColumn(doc_, hooks);
  UpdateToolbar();
}

void MainWindow::DeleteGridColumn(int column) {
  trendolin::GridDeleteColumn(doc_, column, grid_->ColumnHooks());
  UpdateToolbar();
}

void MainWindow::GridContextMenu(const QPoint& globalPos) {
  QMenu* edit = TopMenu(kEditMenuIndex);
  UpdateMenu(edit);
  edit->exec(globalPos);
}

void MainWindow::contextMenuEvent(QContextMenuEvent* event) {
  QMenu* file = TopMenu(kFileMenuIndex);
  UpdateMenu(file);
  file->exec(event->globalPos());
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  // Caps Lock and Num Lock refresh their indicators whichever child has the
  // keyboard; so does coming back to the window.
  if (event->type() == QEvent::KeyPress && CurrentEngine().calcMode != 0 && QApplication::activeModalWidget() == nullptr) {
    // Accept and Abort reach a running calculation from any of the program's
    // windows (a batch opens graph windows that take the keyboard); in the
    // main window its own shortcuts have taken them already.
    const int command = CalculationKeyCommand(*static_cast<QKeyEvent*>(event));
    if (command != 0) {
      Command(command, 1);
      return true;
    }
  }
  if (event->type() == QEvent::KeyPress) {
    const int command = AcceleratorFromGraphWindow(watched, *static_cast<QKeyEvent*>(event));
    if (command != 0) {
      if (RunsNow(command)) Command(command, 1);
      return true;
    }
  }
  if (event->type() == QEvent::KeyRelease) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_CapsLock || key == Qt::Key_NumLock) RefreshLockIndicators();
  } else if (watched == this && event->type() == QEvent::WindowActivate) {
    RefreshLockIndicators();
  } else if ((watched == this && event->type() == QEvent::WindowDeactivate) ||
             (watched == client_ && event->type() == QEvent::MouseMove)) {
    // Menu help stays only while the menu is there.
    if (CurrentEngine().calcMode == 0 && status_[0]->text() != QString::fromUtf8(kAppCaption)) {
      status_[0]->setText(QString::fromUtf8(kAppCaption));
    }
  }
  if (watched == results_ && event->type() == QEvent::ContextMenu) {
    auto* menuEvent = static_cast<QContextMenuEvent*>(event);
    QMenu* fit = TopMenu(kApplyFitMenuIndex);
    UpdateMenu(fit);
    fit->exec(menuEvent->globalPos());
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

void MainWindow::ResultsDoubleClicked() {
  const std::optional<int> model = results_->SelectedModel();
  Command(model && *model >= kFirstModelId ? *model : cmd::kPlot);
}

int MainWindow::CalculationKeyCommand(const QKeyEvent& key) {
  const Qt::KeyboardModifiers modifiers = key.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
  switch (key.key()) {
    case Qt::Key_Escape:
      if (modifiers == Qt::NoModifier) return cmd::kAccept;
      if (modifiers == Qt::ShiftModifier) return cmd::kAbort;
      return 0;
    case Qt::Key_O: return modifiers == Qt::ControlModifier ? cmd::kAccept : 0;
    case Qt::Key_S: return modifiers == Qt::ControlModifier ? cmd::kAbort : 0;
    default: return 0;
  }
}

// ---- dropped files and the clipboard ----

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  event->acceptProposedAction();
  FilesDropped(event->mimeData()->urls());
}

void MainWindow::FilesDropped(const QList<QUrl>& urls) {
  if (Locked()) {
    QApplication::beep();
    return;
  }
  std::vector<std::string> paths;
  for (const QUrl& url : urls) paths.push_back(url.toLocalFile().toStdString());
  OpenDroppedFiles(doc_, paths);
  UpdateToolbar();
}

bool MainWindow::ClipboardHasText() {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  return data != nullptr && data->hasText();
}

void MainWindow::ClipboardChanged() {
  CurrentSession().availability.paste = ClipboardHasText();
  if (QAction* paste = ToolbarAction(cmd::kPaste); paste && !Locked()) paste->setEnabled(CurrentSession().availability.paste);
}

// ---- closing ----

void MainWindow::closeEvent(QCloseEvent* event) {
  // A file half read or half written is finished first.
  if (dataBusy_) QApplication::beep();
  if (Locked() || QuerySaveChanges(doc_) == 1) {
    event->ignore();
    return;
  }
  std::string error;
  if (!CurrentSession().iniFile.empty()) SaveMainWindowPlacement(PlacementToKeep(), CurrentSession().iniFile, &error);
  CurrentSession().graphQueue.CloseAll();
  event->accept();
}

// The rectangle the next start opens with, fitted to the screen the window
// is on: a window grown or moved beyond it by hand, or by the window system,
// is not written back that way.
WindowPlacement MainWindowPlacementToKeep(const QRect& normal, const QRect& desktop, int defaultWidth,
                                          int defaultHeight) {
  const WindowPlacement relative{normal.x() - desktop.x(), normal.y() - desktop.y(), normal.width(),
                                 normal.height()};
  WindowPlacement kept = FitPlacementToDesktop(relative, desktop.width(), desktop.height(), defaultWidth,
                                               defaultHeight);
  kept.left += desktop.x();
  kept.top += desktop.y();
  return kept;
}

WindowPlacement MainWindow::PlacementToKeep() const {
  const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
  const QRect desktop = screen ? screen->availableGeometry() : QRect();
  return MainWindowPlacementToKeep(normalGeometry(), desktop, DefaultWindowWidth(UiTextHeight()),
                                   DefaultWindowHeight(UiTextHeight()));
}

// ---- status bar ----

void MainWindow::RestoreIdleStatus() {
  if (Locked()) return;  // the calculation or the file's progress shows here
  status_[0]->setText(QString::fromUtf8(kAppCaption));
  status_[3]->setText(QString::fromStdString(doc_.szFileName));
  RefreshLockIndicators();
}

void MainWindow::RefreshLockIndicators() {
  if (CurrentEngine().calcMode != 0) return;  // the calculation reports in these parts
  const std::optional<LockKeys> keys = ReadLockKeys();
  status_[1]->setText(keys && keys->capsLock ? QStringLiteral("CAPS") : QString());
  status_[2]->setText(keys && keys->numLock ? QStringLiteral("NUM") : QString());
}

}  // namespace trendolin::gui
