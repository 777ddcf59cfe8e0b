// The graph window: painting (directly or through a cached picture), the
// popup menu and keys, the rubber-band zoom, panning, and the commands.
#include "gui/graph_window.h"

#include <QAbstractButton>
#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <qdrawutil.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "app/app_settings.h"
#include "app/error_handle.h"
#include "app/main_layout.h"
#include "app/run_flags.h"
#include "data/curve_fit.h"
#include "fit/fit_types.h"
#include "fit/model_desc.h"
#include "session/graph_queue.h"
#include "graph/graph_zoom.h"
#include "graph/system_colours.h"
#include "session/window_arrangement.h"
#include "gui/dialogs/analyze_dialog.h"
#include "gui/dialogs/graph_props_dialog.h"
#include "gui/dialogs/table_dialog.h"
#include "gui/dialogs/save_picture_dialog.h"
#include "gui/graph_picture.h"
#include "gui/info_window.h"
#include "gui/help_viewer.h"
#include "gui/print_commands.h"
#include "platform/debug_log.h"
#include "precision/errors.h"
#include "render_qt/qt_font.h"
#include "render_qt/qt_surface.h"
#include "render_qt/ui_metrics.h"
#include "session/session.h"

namespace trendolin::gui {
namespace {

constexpr const char* kGraphHelpTopic = "graphing.html";

constexpr int kPaintFailedText = 58;  // in place of a graph the window cannot draw
constexpr int kOnlyUserModelsOffScreen = 1;
constexpr int kHeaderButtonWidth = 45;
constexpr int kHeaderButtonHeight = 25;
// Save Picture: the graph as a PNG, SVG or PDF file. Its key is not Ctrl+S,
// which the main window's Abort takes in every window.
constexpr int kGraphSavePicture = 7;

QColor ToQColor(Colour c) { return QColor(RedOf(c), GreenOf(c), BlueOf(c)); }

// The popup menu "GMenu": command, label, and the key shown beside it.
struct MenuItem {
  int id;
  const char* label;
  const char* key;
  const char* name;  // the command's name in notes to the user
  bool separatorAfter;
};
constexpr MenuItem kMenuItems[] = {
    {kGraphFindMainWindow, "&Find Main Window", "Ctrl+W", "Find Main Window", true},
    {kGraphProperties, "&Graph Properties...", "Ctrl+G", "Graph Properties", false},
    {kGraphInformation, "&Information...", "I", "Information", false},
    {kGraphGenerateTable, "Generate &Table...", "T", "Generate Table", false},
    {kGraphAnalyze, "Ana&lyze...", "L", "Analyze", true},
    {kGraphCopy, "&Copy", "Ctrl+C", "Copy", false},
    {kGraphSavePicture, "&Save Picture...", "Ctrl+Shift+S", "Save Picture", false},
    {kGraphPrint, "&Print...", "Ctrl+P", "Print", true},
    {kGraphHelp, "&Help...", "F1", "Help", true},
    {kGraphClose, "Close/E&xit", "Ctrl+X", "Close", false},
};

const MenuItem* MenuItemOf(int id) {
  for (const MenuItem& item : kMenuItems) {
    if (item.id == id) return &item;
  }
  return nullptr;
}

// One drag at a time happens in the whole program, so all graph windows
// share one rubber band; `owner` tells which window it belongs to.
struct RubberBand {
  QPoint start;
  QPoint current;
  bool drawn = false;
  bool dragging = false;
  QPointer<GraphWindow> owner;
};

RubberBand& SharedRubberBand() {
  static RubberBand band;
  return band;
}

// The header button: a small picture button above the plot that opens the
// model information. Painted here so that it looks the same on every
// desktop style.
class GraphHeaderButton final : public QAbstractButton {
 public:
  explicit GraphHeaderButton(QWidget* parent) : QAbstractButton(parent) {
    setFocusPolicy(Qt::NoFocus);
    setToolTip(QStringLiteral("Information"));
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    const QRect area = rect();
    painter.fillRect(area, ToQColor(kSystemButtonFace));
    const int shift = isDown() ? 1 : 0;
    DrawGlyph(painter, area.center() + QPoint(shift, shift));
    if (!isEnabled()) {
      // Thin bars of the shadow colour grey the picture out.
      painter.setPen(ToQColor(kSystemButtonShadow));
      for (int y = area.top() + 3; y < area.bottom() - 2; y += 2) painter.drawLine(4, y, area.right() - 4, y);
    }
    qDrawShadePanel(&painter, area, palette(), isDown(), 1);
  }

 private:
  // An information sign: a blue disc with a white "i".
  static void DrawGlyph(QPainter& painter, QPoint centre) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 160));
    painter.drawEllipse(centre, 8, 8);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QPointF(centre.x() + 0.5, centre.y() - 4), 1.6, 1.6);
    painter.drawRect(QRectF(centre.x() - 1, centre.y() - 1, 3, 6.5));
    painter.restore();
  }
};

}  // namespace

const UiMetrics& ScreenUiMetrics() {
  static const UiMetrics metrics = MeasureUiMetrics();
  return metrics;
}

GraphWindow::GraphWindow(CurveFit& doc, GraphAttr& record, const QString& title, QWidget* owner)
    : QWidget(owner, Qt::Window), doc_(doc), record_(&record) {
  setWindowTitle(title);
  setObjectName(QStringLiteral("TRDL_GrfWnd"));
  // The paint covers every pixel, and the windows must not keep the program
  // running once the main window has gone.
  setAttribute(Qt::WA_OpaquePaintEvent, true);
  setAttribute(Qt::WA_QuitOnClose, false);
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
  setCursor(Qt::CrossCursor);
  if (DebugFlags & 0x5) DebugLogF("Creating %s window.\n", title.toUtf8().constData());

  header_ = new GraphHeaderButton(this);
  connect(header_, &QAbstractButton::clicked, this, [this] { Command(kGraphHeaderButton); });
  BuildMenu();
  PlaceHeaderButton();
  UpdateCommandStates();
  const UiMetrics& ui = ScreenUiMetrics();
  resize(DefaultGraphWidth(ui.textHeight), DefaultGraphHeight(ui.textHeight));
}

GraphWindow::~GraphWindow() {
  picture_ = QImage();
  RubberBand& band = SharedRubberBand();
  if (band.owner == this) band = RubberBand{};
  if (DebugFlags & 0x5) DebugLogF("%s window destroyed.\n", windowTitle().toUtf8().constData());
}

void GraphWindow::DetachRecord() {
  record_ = nullptr;
  picture_ = QImage();
}

bool GraphWindow::IsQueueable() const {
  return record_ != nullptr && record_->plotKind != PlotKind::Residual && record_->modelId >= 0;
}

// ---- menu, commands and their states ----

void GraphWindow::BuildMenu() {
  menu_ = new QMenu(this);
  menu_->setObjectName(QStringLiteral("GMenu"));
  for (const MenuItem& item : kMenuItems) {
    // The key goes after a tab, where menus show accelerators; the keys
    // themselves are handled by the window whether the menu is open or not.
    QAction* action = menu_->addAction(QString::fromUtf8(item.label) + QLatin1Char('\t') + QString::fromUtf8(item.key));
    action->setData(item.id);
    const int id = item.id;
    connect(action, &QAction::triggered, this, [this, id] { Command(id); });
    if (item.separatorAfter) menu_->addSeparator();
  }
}

QAction* GraphWindow::ActionOf(int id) const {
  for (QAction* action : menu_->actions()) {
    if (action->data().toInt() == id && !action->isSeparator()) return action;
  }
  return nullptr;
}

void GraphWindow::UpdateCommandStates() {
  // The data plot, residual plots and the initial-guess view have no fit of
  // their own to inform about, analyse or tabulate.
  const bool hasFit = record_ != nullptr && record_->plotKind != PlotKind::Residual &&
                      record_->modelId != kPlotModel && record_->modelId >= 0;
  for (int id : {kGraphInformation, kGraphAnalyze, kGraphGenerateTable}) ActionOf(id)->setEnabled(hasFit);
  header_->setEnabled(hasFit);
}

void GraphWindow::LogCommand(int id) {
  if (const MenuItem* item = MenuItemOf(id)) {
    DebugLogF("GRAPH menu -- %s\n", item->label);
  } else {
    // The control is named by its address: asking for a native handle
    // would make the button a native window just for the log.
    const QObject* control = id == kGraphHeaderButton ? header_ : nullptr;
    DebugLogF("GRAPH Command -- id = %d, hwndCtl = %ld, Notify = %u.\n", id, reinterpret_cast<long>(control), 0u);
  }
}

void GraphWindow::Command(int id) {
  LogCommand(id);
  switch (id) {
    case kGraphFindMainWindow: FindMainWindow(); break;
    case kGraphCopy: CopyToClipboard(); break;
    case kGraphSavePicture:
      if (record_ != nullptr) RunSavePictureCommand(this, doc_, *record_, size(), windowTitle());
      break;
    case kGraphPrint: PrintGraphCommand(*this, doc_); break;
    case kGraphClose: close(); break;
    case kGraphHeaderButton:
      if (header_->isEnabled()) ShowInformation();
      break;
    case kGraphInformation: ShowInformation(); break;
    case kGraphAnalyze:
      UpdateCommandStates();
      if (ActionOf(kGraphAnalyze)->isEnabled()) ShowAnalyzeDialog(this, doc_, record_->modelId);
      break;
    case kGraphGenerateTable:
      UpdateCommandStates();
      if (ActionOf(kGraphGenerateTable)->isEnabled()) RunTableCommand(this, doc_, *record_);
      break;
    case kGraphProperties:
      if (record_ != nullptr) ShowGraphProperties(*this, doc_);
      break;
    case kGraphHelp: ShowHelp(kGraphHelpTopic); break;
    default: break;
  }
}

void GraphWindow::ShowInformation() {
  UpdateCommandStates();
  if (!ActionOf(kGraphInformation)->isEnabled()) return;
  ShowModelInformation(doc_, *this);
  // With "NoGraphs" the window was never shown: the information stood in
  // for it, and once read the graph leaves the queue rather than linger
  // unseen with its model checked in the menu.
  if (!isVisible() && queueId_ != kNoWindow) CurrentSession().graphQueue.Remove(queueId_);
}

void GraphWindow::OpenMenuAt(const QPoint& globalPos) {
  UpdateCommandStates();
  menu_->popup(globalPos);
}

void GraphWindow::FindMainWindow() {
  QWidget* main = mainWindow_;
  if (main == nullptr) return;
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen != nullptr) {
    const QRect desk = screen->geometry();
    const QRect frame = main->frameGeometry().translated(-desk.topLeft());
    const int lines = ScreenUiMetrics().textHeight;
    const std::optional<Point> rescued =
        RescuedMainWindowPosition(Rect{frame.left(), frame.top(), frame.right() + 1, frame.bottom() + 1},
                                  desk.width(), desk.height(), DefaultWindowWidth(lines), DefaultWindowHeight(lines));
    if (rescued) main->move(desk.left() + rescued->x, desk.top() + rescued->y);
  }
  main->showNormal();
  main->raise();
  main->activateWindow();
}

// ---- painting ----

bool GraphWindow::RendersOffScreen() const {
  if (pictureFailed_ || record_ == nullptr) return false;
  if (CurrentSession().settings.renderLevel <= 0) return false;
  if (CurrentSession().settings.renderLevel == kOnlyUserModelsOffScreen) return std::abs(record_->modelId) == kUserModel;
  return true;
}

QImage GraphWindow::RenderToImage() {
  if (record_ == nullptr) return QImage();
  QImage image = ScreenImage(size(), devicePixelRatioF(), logicalDpiY(), ToQColor(kSystemButtonFace));
  if (image.isNull()) return image;
  QPainter painter(&image);
  DrawGraph(painter, size());
  return image;
}

void GraphWindow::DrawGraph(QPainter& painter, const QSize& size) {
  QtSurface surface(painter, false);
  RenderGraphOrNote(surface, doc_, *record_, Rect{0, 0, size.width(), size.height()}, kRenderScreen,
                    "Graph_OnPaint_1", kPaintFailedText);
}

void GraphWindow::RenderPicture() {
  renderPending_ = false;
  if (record_ == nullptr || !picture_.isNull() || !RendersOffScreen()) return;
  picture_ = RenderToImage();
  if (picture_.isNull()) pictureFailed_ = true;  // no memory for it: draw directly instead
  update();
}

void GraphWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (record_ == nullptr) {
    painter.fillRect(rect(), ToQColor(kSystemButtonFace));
    return;
  }
  if (picture_.isNull() && RendersOffScreen()) {
    // Slow plots draw behind a notice: it reaches the screen before the
    // rendering starts, which waits for the next turn of the event loop.
    painter.fillRect(rect(), ToQColor(kSystemButtonFace));
    painter.setFont(FontFromSpec(InterfaceFontSpec(), logicalDpiY()));
    painter.setPen(ToQColor(kSystemButtonText));
    painter.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, QString::fromUtf8(kRenderingNotice));
    if (!renderPending_) {
      renderPending_ = true;
      QTimer::singleShot(0, this, [this] { RenderPicture(); });
    }
    return;
  }
  if (!picture_.isNull()) {
    painter.drawImage(0, 0, picture_);
  } else {
    DrawGraph(painter, size());
  }
  DrawRubberBand(painter);
}

void GraphWindow::DrawRubberBand(QPainter& painter) const {
  const RubberBand& band = SharedRubberBand();
  if (!band.drawn || band.owner != this) return;
  // Inverting what lies below keeps the frame visible on any colour.
  painter.save();
  painter.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
  painter.setPen(QPen(Qt::black, 0));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(QRect(band.start, band.current).normalized());
  painter.restore();
}

void GraphWindow::Refresh() {
  picture_ = QImage();
  pictureFailed_ = false;
  PlaceHeaderButton();
  update();
  emit refreshed();
}

void GraphWindow::PlaceHeaderButton() {
  const UiMetrics& ui = ScreenUiMetrics();
  header_->setGeometry(15 * ui.charWidth / 2 - 22, ui.textHeight, kHeaderButtonWidth, kHeaderButtonHeight);
  header_->setVisible(record_ != nullptr && record_->Switch(kSwDrawHeader));
}

void GraphWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Refresh();
}

void GraphWindow::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  UpdateCommandStates();
}

void GraphWindow::enterEvent(QEnterEvent* event) {
  QWidget::enterEvent(event);
  UpdateCursor();
}

void GraphWindow::UpdateCursor() {
  if (CurrentEngine().calcMode != 0) {
    setCursor(CurrentSession().settings.IsOn(kFlagBackgroundProcess) ? Qt::BusyCursor : Qt::WaitCursor);
  } else {
    setCursor(Qt::CrossCursor);
  }
}

// ---- mouse: the popup menu and the rubber-band zoom ----

void GraphWindow::mousePressEvent(QMouseEvent* event) {
  RubberBand& band = SharedRubberBand();
  if (event->button() == Qt::RightButton) {
    if (!band.dragging) OpenMenuAt(event->globalPosition().toPoint());
    return;
  }
  if (event->button() != Qt::LeftButton || record_ == nullptr) return;
  band = RubberBand{event->position().toPoint(), event->position().toPoint(), false, true, this};
  // The band is drawn over a picture of the graph, so that moving it never
  // renders the graph again.
  if (picture_.isNull()) {
    picture_ = RenderToImage();
    dragPicture_ = true;
  }
}

void GraphWindow::mouseMoveEvent(QMouseEvent* event) {
  UpdateCursor();
  RubberBand& band = SharedRubberBand();
  if (!band.dragging || band.owner != this) return;
  const QPoint pos = event->position().toPoint();
  if (!rect().contains(pos)) {
    StopDragging();  // the pointer left the window: the drag is abandoned
    return;
  }
  band.current = pos;
  band.drawn = true;
  update();
}

void GraphWindow::mouseReleaseEvent(QMouseEvent* event) {
  RubberBand& band = SharedRubberBand();
  if (event->button() != Qt::LeftButton || !band.dragging || band.owner != this) return;
  const QPoint pos = event->position().toPoint();
  if (rect().contains(pos)) band.current = pos;
  try {
    ApplyZoom();
  } catch (const errnotify&) {
    LogExceptionMarker("Graph_OnLButtonUp_1");
  }
  StopDragging();
}

void GraphWindow::StopDragging() {
  RubberBand& band = SharedRubberBand();
  if (band.owner == this) band = RubberBand{};
  if (dragPicture_) {
    dragPicture_ = false;
    if (!RendersOffScreen()) picture_ = QImage();
  }
  update();
}

void GraphWindow::ApplyZoom() {
  const RubberBand& band = SharedRubberBand();
  if (record_ == nullptr) return;
  if (ZoomToDrag(*record_, Point{band.start.x(), band.start.y()}, Point{band.current.x(), band.current.y()})) {
    Refresh();
  }
}

// ---- keys ----

void GraphWindow::RestoreAutomaticAxes() {
  if (record_ == nullptr) return;
  try {
    AutomaticAxes(*record_, doc_);
  } catch (const errnotify&) {
    // A residual plot whose fit cannot be evaluated keeps its axes; its
    // paint shows why.
  }
  Refresh();
}

void GraphWindow::Pan(int key, bool minorStep) {
  if (record_ == nullptr) return;
  PanDirection direction = PanDirection::Left;
  switch (key) {
    case Qt::Key_Left: direction = PanDirection::Left; break;
    case Qt::Key_Right: direction = PanDirection::Right; break;
    case Qt::Key_Up: direction = PanDirection::Up; break;
    default: direction = PanDirection::Down; break;
  }
  if (PanAxes(*record_, direction, minorStep)) Refresh();
}

void GraphWindow::keyPressEvent(QKeyEvent* event) {
  const Qt::KeyboardModifiers mods = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
  const bool ctrl = mods == Qt::ControlModifier;
  const bool plain = mods == Qt::NoModifier;
  const int key = event->key();
  // I, L and T act only while their menu items are enabled.
  auto unlessDisabled = [this](int id) {
    UpdateCommandStates();
    if (ActionOf(id)->isEnabled()) Command(id);
  };
  switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
      if (plain || mods == Qt::ShiftModifier) Pan(key, mods == Qt::ShiftModifier);
      return;
    case Qt::Key_A:
      if (mods == Qt::ShiftModifier) RestoreAutomaticAxes();
      return;
    case Qt::Key_F1:
      if (plain) Command(kGraphHelp);
      return;
    case Qt::Key_I:
      if (plain) unlessDisabled(kGraphInformation);
      return;
    case Qt::Key_L:
      if (plain) unlessDisabled(kGraphAnalyze);
      return;
    case Qt::Key_T:
      if (plain) unlessDisabled(kGraphGenerateTable);
      return;
    default: break;
  }
  if (key == Qt::Key_S && mods == (Qt::ControlModifier | Qt::ShiftModifier)) {
    Command(kGraphSavePicture);
    return;
  }
  if (!ctrl) {
    QWidget::keyPressEvent(event);
    return;
  }
  switch (key) {
    case Qt::Key_C: Command(kGraphCopy); break;
    case Qt::Key_G: Command(kGraphProperties); break;
    case Qt::Key_H: Command(kGraphHelp); break;
    case Qt::Key_M: OpenMenuAt(mapToGlobal(QPoint(0, 0))); break;
    case Qt::Key_P: Command(kGraphPrint); break;
    case Qt::Key_W: Command(kGraphFindMainWindow); break;
    case Qt::Key_X: Command(kGraphClose); break;
    default: QWidget::keyPressEvent(event); break;
  }
}

// ---- closing ----

void GraphWindow::closeEvent(QCloseEvent* event) {
  if (!IsQueueable() || queueId_ == kNoWindow) {
    event->accept();  // hides the window; its owner decides the rest
    emit closed(this);
    return;
  }
  event->ignore();
  // Leaving the queue destroys the window and frees its record.
  if (!CurrentSession().graphQueue.Remove(queueId_)) hide();
}

// ---- the picture on the clipboard ----

void GraphWindow::CopyToClipboard() {
  if (record_ != nullptr) CopyGraphToClipboard(doc_, *record_, size(), logicalDpiY(), windowTitle());
}

}  // namespace trendolin::gui
