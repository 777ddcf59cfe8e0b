// Graph windows opened by the real fit drivers through the Qt host, driven
// with synthetic mouse and keys; and the main window's preview area.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMimeData>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <cstdlib>
#include <functional>
#include <string>
#include <string_view>

#include "app/settings_location.h"
#include "fit/drivers_test_support.h"
#include "graph/graph_zoom.h"
#include "graph/preview.h"
#include "session/window_arrangement.h"
#include "gui/graph_arrangement.h"
#include "gui/graph_window.h"
#include "gui/preview_widget.h"
#include "gui/qt_graph_host.h"
#include "platform/debug_log.h"
#include "session/session.h"
#include "support/temp_dir.h"

namespace trendolin::gui {
namespace {

// Saves a picture of `w` where TRENDOLIN_TEST_SHOTS points, for a person to look at.
void SaveShot(QWidget& w, const char* name) {
  if (const char* dir = std::getenv("TRENDOLIN_TEST_SHOTS")) w.grab().save(QString::fromUtf8(dir) + "/" + name);
}

// Runs `action`, closing every modal box it opens; answers how many opened.
int ModalBoxesDuring(const std::function<void()>& action) {
  int opened = 0;
  QTimer closer;
  closer.setInterval(5);
  QObject::connect(&closer, &QTimer::timeout, [&opened] {
    if (QWidget* box = QApplication::activeModalWidget()) {
      ++opened;
      box->close();
    }
  });
  closer.start();
  action();
  QCoreApplication::processEvents();
  return opened;
}

class GraphWindowTest : public testing_support::DriverTest {
 protected:
  void SetUp() override {
    DriverTest::SetUp();
    CurrentSession().iniFile = settings_.File("REVUZI.INI");
    CurrentSession().graphQueue.SetHost(&qtHost_);
    SetConsoleSink([this](std::string_view text) { log_ += text; });
    DebugFlags = 2;
    // y = 1 + 2x on 1..10, with a little noise so the fit has an error.
    Load([](double x) { return 1 + 2 * x; }, 1, 10, 10, 0.05);
  }
  void TearDown() override {
    DebugFlags = 0;
    SetConsoleSink({});
    CurrentSession().graphQueue.CloseAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    DriverTest::TearDown();
    CurrentSession().iniFile.clear();
  }

  // Opens the graph of `model` through the fit drivers and shows it drawn.
  GraphWindow* Open(int model) {
    if (OpenFitWindow(doc_, model) != kWindowOpened) return nullptr;
    GraphWindow* w = qtHost_.Window(CurrentSession().graphQueue.Find(model));
    if (w == nullptr) return nullptr;
    if (!QTest::qWaitForWindowExposed(w)) return nullptr;
    w->repaint();  // the paint stores the plot rectangle the zoom works on
    return w;
  }

  // A point of the plot area, given in fractions of its width and height from
  // its top-left corner.
  static QPoint InPlot(const GraphAttr& attr, double fx, double fy) {
    const Rect& r = attr.plotRect;
    return QPoint(r.left + static_cast<int>(fx * r.Width()), r.top + static_cast<int>(fy * r.Height()));
  }

  static void Drag(QWidget* w, QPoint from, QPoint to) {
    QTest::mousePress(w, Qt::LeftButton, {}, from);
    QTest::mouseMove(w, (from + to) / 2);
    QTest::mouseMove(w, to);
    QTest::mouseRelease(w, Qt::LeftButton, {}, to);
  }

  bool Logged(const std::string& text) const { return log_.find(text) != std::string::npos; }

  testsupport::TempDir settings_;
  testsupport::ScopedCurrentDir cwd_{settings_.Path()};
  QtGraphHost qtHost_{doc_};
  std::string log_;
};

TEST_F(GraphWindowTest, AFitOpensATopLevelWindowOwnedByTheGraphServer) {
  DebugFlags = 5;  // window creation is logged under masks 1 and 4
  GraphWindow* w = Open(500);
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(w->isWindow());
  EXPECT_EQ(w->parentWidget(), qtHost_.Server());
  EXPECT_FALSE(qtHost_.Server()->isVisible());
  EXPECT_EQ(qtHost_.Server()->windowTitle(), QStringLiteral("TRDL Graph Server"));
  EXPECT_EQ(w->windowTitle(), QStringLiteral("Linear Fit"));
  const int lines = ScreenUiMetrics().textHeight;
  EXPECT_EQ(w->size(), QSize(DefaultGraphWidth(lines), DefaultGraphHeight(lines)));
  EXPECT_TRUE(CurrentSession().graphQueue.IsChecked(500));
  EXPECT_TRUE(Logged("Creating Linear Fit window.")) << log_;

  // The record came with the stored defaults and the automatic axes: x from
  // 1..10 widens to 0.1..10.9.
  const GraphAttr* record = w->Record();
  ASSERT_EQ(record, CurrentSession().graphQueue.Record(CurrentSession().graphQueue.Find(500)));
  EXPECT_NEAR(record->xMin, 0.1f, 1e-6);
  EXPECT_NEAR(record->xMax, 10.9f, 1e-5);
  EXPECT_TRUE(record->Switch(kSwDrawHeader));
  EXPECT_TRUE(w->HeaderButton()->isVisible());
  EXPECT_LT(record->plotRect.left, record->plotRect.right) << "the paint stored the plot rectangle";

  QStringList labels;
  for (QAction* action : w->PopupMenu()->actions()) {
    if (!action->isSeparator()) labels << action->text();
  }
  EXPECT_EQ(labels, (QStringList{"&Find Main Window\tCtrl+W", "&Graph Properties...\tCtrl+G",
                                 "&Information...\tI", "Generate &Table...\tT", "Ana&lyze...\tL", "&Copy\tCtrl+C",
                                 "&Save Picture...\tCtrl+Shift+S", "&Print...\tCtrl+P", "&Help...\tF1",
                                 "Close/E&xit\tCtrl+X"}));
  SaveShot(*w, "graph_window.png");
}

TEST_F(GraphWindowTest, TheDataPlotHasNoFitToInformAboutAnalyseOrTabulate) {
  GraphWindow* fit = Open(500);
  GraphWindow* plot = Open(503);
  ASSERT_NE(fit, nullptr);
  ASSERT_NE(plot, nullptr);
  EXPECT_FALSE(plot->HeaderButton()->isEnabled());
  EXPECT_TRUE(fit->HeaderButton()->isEnabled());
  EXPECT_EQ(ModalBoxesDuring([&] { QTest::keyClick(plot, Qt::Key_I); }), 0) << "I is disabled on the data plot";
  EXPECT_EQ(ModalBoxesDuring([&] { QTest::keyClick(plot, Qt::Key_L); }), 0);
  EXPECT_EQ(ModalBoxesDuring([&] { QTest::keyClick(fit, Qt::Key_I); }), 1) << "the information window";
  EXPECT_EQ(ModalBoxesDuring([&] { QTest::keyClick(fit, Qt::Key_L); }), 1) << "the Analyze dialog";
  EXPECT_TRUE(Logged("GRAPH menu -- &Information...")) << log_;
}

TEST_F(GraphWindowTest, ADraggedRectangleZoomsInOrOutAndASmallOneDoesNothing) {
  GraphWindow* w = Open(500);
  ASSERT_NE(w, nullptr);
  GraphAttr& record = *w->Record();
  const GraphAttr before = record;

  Drag(w, InPlot(record, 0.5, 0.5), InPlot(record, 0.5, 0.5) + QPoint(15, 15));
  EXPECT_EQ(record.xMin, before.xMin);
  EXPECT_EQ(record.yMax, before.yMax);

  const QPoint from = InPlot(record, 0.2, 0.3);
  const QPoint to = InPlot(record, 0.7, 0.8);
  GraphAttr expected = before;
  ASSERT_TRUE(ZoomToDrag(expected, Point{from.x(), from.y()}, Point{to.x(), to.y()}));
  Drag(w, from, to);
  EXPECT_FLOAT_EQ(record.xMin, expected.xMin);
  EXPECT_FLOAT_EQ(record.xMax, expected.xMax);
  EXPECT_FLOAT_EQ(record.yMin, expected.yMin);
  EXPECT_FLOAT_EQ(record.yMax, expected.yMax);
  EXPECT_LT(record.xMax - record.xMin, (before.xMax - before.xMin) * 0.6f);
  SaveShot(*w, "graph_window_zoomed.png");

  // Right to left: the view widens beyond where it was.
  w->repaint();
  const float zoomedRange = record.xMax - record.xMin;
  Drag(w, InPlot(record, 0.7, 0.3), InPlot(record, 0.2, 0.8));
  EXPECT_GT(record.xMax - record.xMin, zoomedRange * 1.5f);
}

TEST_F(GraphWindowTest, ArrowKeysPanShiftAFitsTheDataAgainAndLogAxesStayPut) {
  GraphWindow* w = Open(500);
  ASSERT_NE(w, nullptr);
  GraphAttr& record = *w->Record();
  const GraphAttr automatic = record;

  QTest::keyClick(w, Qt::Key_Left);
  EXPECT_FLOAT_EQ(record.xMin, automatic.xMin - automatic.xStep);
  EXPECT_FLOAT_EQ(record.xMax, automatic.xMax - automatic.xStep);
  QTest::keyClick(w, Qt::Key_Up, Qt::ShiftModifier);
  EXPECT_FLOAT_EQ(record.yMin, automatic.yMin + automatic.yStep / (automatic.yMinorTicks + 1));

  QTest::keyClick(w, Qt::Key_A, Qt::ShiftModifier);
  EXPECT_FLOAT_EQ(record.xMin, automatic.xMin);
  EXPECT_FLOAT_EQ(record.yMin, automatic.yMin);
  EXPECT_FLOAT_EQ(record.yMax, automatic.yMax);

  record.SetSwitch(kSwLogX, true);
  QTest::keyClick(w, Qt::Key_Right);
  EXPECT_FLOAT_EQ(record.xMin, automatic.xMin);
  QTest::keyClick(w, Qt::Key_Down);
  EXPECT_FLOAT_EQ(record.yMin, automatic.yMin - automatic.yStep);
}

TEST_F(GraphWindowTest, ClosingLeavesTheQueueUnchecksTheModelAndTellsTheMainWindow) {
  GraphWindow* w = Open(500);
  ASSERT_NE(w, nullptr);
  const GraphWindowId id = CurrentSession().graphQueue.Find(500);
  QSignalSpy closed(&qtHost_, &QtGraphHost::graphWindowClosed);
  QPointer<GraphWindow> watched(w);

  QTest::keyClick(w, Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(CurrentSession().graphQueue.Find(500), kNoWindow);
  EXPECT_EQ(CurrentSession().graphQueue.Count(), 0);
  EXPECT_FALSE(CurrentSession().graphQueue.IsChecked(500));
  EXPECT_EQ(qtHost_.Window(id), nullptr);
  ASSERT_EQ(closed.count(), 1);
  EXPECT_EQ(closed.front().front().toInt(), id);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(watched.isNull()) << "the window is destroyed";

  // A residual plot never enters the queue: closing only hides it and tells its owner.
  GraphAttr residual;
  residual.modelId = 500;
  residual.plotKind = PlotKind::Residual;
  GraphWindow unqueued(doc_, residual, QStringLiteral("Residuals"), nullptr);
  QSignalSpy hidden(&unqueued, &GraphWindow::closed);
  unqueued.show();
  unqueued.close();
  EXPECT_FALSE(unqueued.isVisible());
  EXPECT_EQ(hidden.count(), 1);
  EXPECT_EQ(unqueued.Record(), &residual);
}

TEST_F(GraphWindowTest, TheFortySecondWindowIsRefusedUntilOneCloses) {
  for (int i = 0; i < kGraphQueueCapacity; ++i) ASSERT_EQ(OpenFitWindow(doc_, 503), kWindowOpened) << i;
  EXPECT_EQ(OpenFitWindow(doc_, 503), kWindowDeclined);
  const auto boxes = ui_.EventsOf(platform::UiEvent::Kind::MessageBox);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, kGraphQueueFullText);
  EXPECT_EQ(boxes[0].caption, "Error");
  EXPECT_EQ(CurrentSession().graphQueue.Count(), kGraphQueueCapacity);

  qtHost_.Window(CurrentSession().graphQueue.Windows().front())->close();
  EXPECT_EQ(OpenFitWindow(doc_, 503), kWindowOpened);
}

TEST_F(GraphWindowTest, WindowMenuArrangesTheQueuedWindows) {
  for (int model : {500, 501, 503, 535, 537}) ASSERT_NE(Open(model), nullptr) << model;
  TileGraphWindows();
  const std::vector<GraphWindowId> ids = CurrentSession().graphQueue.Windows();
  const QRect first = qtHost_.Window(ids[0])->frameGeometry();
  const QRect second = qtHost_.Window(ids[1])->frameGeometry();
  const QRect fifth = qtHost_.Window(ids[4])->frameGeometry();
  EXPECT_EQ(first.top(), second.top()) << "two columns";
  EXPECT_EQ(second.left(), first.right() + 1);
  EXPECT_EQ(fifth.left(), first.left()) << "the fifth starts the third row";
  EXPECT_EQ(fifth.top(), first.top() + 2 * first.height());

  MinimizeAllGraphWindows(nullptr);
  for (GraphWindowId id : ids) EXPECT_TRUE(qtHost_.Window(id)->isMinimized());
  RestoreAllGraphWindows();
  for (GraphWindowId id : ids) EXPECT_FALSE(qtHost_.Window(id)->isMinimized());

  CascadeGraphWindows(nullptr);
  const QPoint a = qtHost_.Window(ids[0])->pos();
  const QPoint b = qtHost_.Window(ids[1])->pos();
  EXPECT_GT(b.x(), a.x());
  EXPECT_EQ(b.x() - a.x(), b.y() - a.y());
}

TEST_F(GraphWindowTest, FindMainWindowBringsALostMainWindowBackToTheCentre) {
  QWidget main;
  main.resize(300, 200);
  qtHost_.SetMainWindow(&main);
  GraphWindow* w = Open(500);
  ASSERT_NE(w, nullptr);
  const QRect screen = QGuiApplication::primaryScreen()->geometry();

  main.move(screen.topLeft() + QPoint(40, 30));
  QTest::keyClick(w, Qt::Key_W, Qt::ControlModifier);
  EXPECT_TRUE(main.isVisible());
  EXPECT_EQ(main.pos(), screen.topLeft() + QPoint(40, 30)) << "on the screen: shown where it is";

  main.move(screen.right() - 100, screen.top() + 30);
  QTest::keyClick(w, Qt::Key_W, Qt::ControlModifier);
  const int lines = ScreenUiMetrics().textHeight;
  EXPECT_EQ(main.pos(), screen.topLeft() + QPoint((screen.width() - 43 * lines) / 2,
                                                  (screen.height() - 40 * lines) / 2));
  EXPECT_EQ(main.size(), QSize(300, 200)) << "its size stays";
}

TEST_F(GraphWindowTest, SlowPlotsDrawBehindANoticeIntoAKeptPicture) {
  CurrentSession().settings.renderLevel = 2;
  GraphWindow* w = Open(500);
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(QTest::qWaitFor([w] { return w->HasCachedPicture(); }));
  w->Refresh();
  EXPECT_FALSE(w->HasCachedPicture()) << "a refresh drops the picture";
  EXPECT_TRUE(QTest::qWaitFor([w] { return w->HasCachedPicture(); }));

  CurrentSession().settings.renderLevel = 1;
  w->Refresh();
  QCoreApplication::processEvents();
  EXPECT_FALSE(w->HasCachedPicture()) << "level 1 keeps pictures of user models only";
}

TEST_F(GraphWindowTest, AGraphThatCannotBeDrawnShowsWhyAndCopiesAsSvgAndPng) {
  GraphWindow* w = Open(500);
  ASSERT_NE(w, nullptr);
  w->Command(kGraphCopy);
  const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
  ASSERT_NE(copied, nullptr);
  EXPECT_TRUE(copied->hasImage());
  EXPECT_TRUE(copied->data(QStringLiteral("image/svg+xml")).contains("<svg"));

  // A logarithmic x axis reaching 0 cannot be drawn.
  w->Record()->xMin = 0;
  w->Record()->SetSwitch(kSwLogX, true);
  w->Refresh();
  w->repaint();
  EXPECT_TRUE(Logged("EX: Graph_OnPaint_1\n")) << log_;
  SaveShot(*w, "graph_window_failed.png");
}

class PreviewWidgetTest : public GraphWindowTest {
 protected:
  void SetUp() override {
    GraphWindowTest::SetUp();
    CurrentSession().settings.SetFlag(kFlagEnableThumb, true);
    preview_.resize(260, 180);
    preview_.SetSelectedItemSource([this] { return selected_; });
    preview_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&preview_));
  }

  std::optional<int> selected_;
  PreviewWidget preview_{doc_};
};

TEST_F(PreviewWidgetTest, ShowsTheSelectionOrTheDataAndAnimatesOnce) {
  ASSERT_EQ(OpenFitWindow(doc_, 500), kWindowOpened);
  preview_.repaint();
  EXPECT_EQ(preview_.LastPaintedModel(), kPlotModel) << "nothing selected: the data";
  SaveShot(preview_, "preview_data.png");

  selected_ = 500;
  preview_.Refresh();
  preview_.repaint();
  EXPECT_EQ(preview_.LastPaintedModel(), 500);
  SaveShot(preview_, "preview_fit.png");

  selected_ = std::nullopt;
  preview_.Animate(500);
  EXPECT_EQ(preview_.LastPaintedModel(), 500) << "drawn at once";
  preview_.repaint();
  EXPECT_EQ(preview_.LastPaintedModel(), kPlotModel) << "and forgotten";

  selected_ = kPreviewNothing;
  preview_.repaint();
  EXPECT_EQ(preview_.LastPaintedModel(), kPreviewNothing);
}

TEST_F(PreviewWidgetTest, ItsMenuTogglesPreviewAndAnimationAndOpensThePlot) {
  QStringList labels;
  for (QAction* action : preview_.PopupMenu()->actions()) {
    if (!action->isSeparator()) labels << action->text();
  }
  EXPECT_EQ(labels, (QStringList{"Enable Preview", "Enable Animation", "Open Plot...", "Help..."}));

  preview_.Command(kPreviewEnable);
  EXPECT_FALSE(CurrentSession().settings.IsOn(kFlagEnableThumb));
  SaveShot(preview_, "preview_disabled.png");
  const bool animated = CurrentSession().settings.IsOn(kFlagAnimatePlot);
  preview_.Command(kPreviewAnimate);
  EXPECT_NE(CurrentSession().settings.IsOn(kFlagAnimatePlot), animated);

  QSignalSpy open(&preview_, &PreviewWidget::openRequested);
  QTest::mouseDClick(&preview_, Qt::LeftButton, {}, QPoint(50, 50));
  preview_.Command(kPreviewOpen);
  EXPECT_EQ(open.count(), 2);
}

}  // namespace
}  // namespace trendolin::gui
