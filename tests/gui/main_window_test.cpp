// The workstation as a person uses it: typing data into the grid, undoing
// and redoing from the Edit menu, fitting from the Apply Fit menu, zooming
// the graph that opens, stopping a long fit, and closing with unsaved data.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QContextMenuEvent>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QUrl>
#include <QMessageBox>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <cmath>
#include <thread>
#include <functional>

#include "app/app_settings.h"
#include "app/main_layout.h"
#include "app/main_menu.h"
#include "app/run_flags.h"
#include "app/settings_location.h"
#include "data/curve_fit.h"
#include "session/data_file_flows.h"
#include "session/drivers.h"
#include "session/fit_hunter.h"
#include "fit/nonlinear.h"
#include "session/graph_queue.h"
#include "gui/graph_window.h"
#include "gui/main_window.h"
#include "gui/preview_widget.h"
#include "gui/qt_graph_host.h"
#include "gui/qt_ui.h"
#include "gui/session_end.h"
#include "gui/single_instance.h"
#include "platform/ui.h"
#include "session/nonlinear_routine.h"
#include "session/session.h"
#include "support/temp_dir.h"
#include "usermodel/user_model.h"

namespace trendolin::gui {
namespace {

// Answers the next modal message box with the button whose text contains
// `button`, and remembers its text.
class MessageBoxAnswerer {
 public:
  explicit MessageBoxAnswerer(QString button) : button_(std::move(button)) {
    QTimer::singleShot(0, [this] { Poll(); });
  }
  bool Answered() const { return answered_; }
  const QString& Text() const { return text_; }

 private:
  void Poll() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) {
      if (++tries_ < 200) QTimer::singleShot(10, [this] { Poll(); });
      return;
    }
    text_ = box->text();
    for (QAbstractButton* b : box->buttons()) {
      if (b->text().remove(QLatin1Char('&')).contains(button_, Qt::CaseInsensitive)) {
        answered_ = true;
        b->click();
        return;
      }
    }
  }
  QString button_;
  QString text_;
  bool answered_ = false;
  int tries_ = 0;
};

class WorkstationTest : public testing::Test {
 protected:
  void SetUp() override {
    InitUserModel();
    main_ = std::make_unique<MainWindow>(doc_);
    graphs_ = std::make_unique<QtGraphHost>(doc_);
    graphs_->SetMainWindow(main_.get());
    CurrentSession().graphQueue.SetHost(graphs_.get());
    ui_ = std::make_unique<QtUi>(main_.get());
    installed_ = std::make_unique<platform::ScopedUi>(*ui_);
    NewDataFile(doc_, false);
    Reexamine(doc_, 0);
    main_->resize(900, 640);
    main_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(main_.get()));
  }
  void TearDown() override {
    doc_.ClearModified();
    CurrentSession().graphQueue.CloseAll();
    CurrentSession().graphQueue.SetHost(nullptr);
    installed_.reset();
    main_.reset();
    graphs_.reset();
  }

  DataGrid& Grid() { return main_->Grid(); }

  void ClickCell(int column, int row) {
    QTest::mouseClick(&Grid(), Qt::LeftButton, {}, Grid().CellRect(column, row).center());
  }
  // Types `text` into the open cell and presses Enter.
  void Type(const char* text) {
    ASSERT_TRUE(Grid().IsEditing());
    QTest::keyClicks(Grid().EditBox(), QString::fromLatin1(text));
    QTest::keyClick(Grid().EditBox(), Qt::Key_Return);
  }
  // Types rows of x, y from the first empty row on, Enter after each value;
  // the empty row that Enter opens after the last is no point.
  void TypeData(std::initializer_list<std::pair<const char*, const char*>> rows) {
    ClickCell(0, doc_.nPoints);
    for (const auto& [x, y] : rows) {
      Type(x);
      Type(y);
    }
    ASSERT_TRUE(Grid().EndEdit());
  }
  void MenuCommand(int command) {
    main_->UpdateMenus();
    QAction* action = main_->MenuAction(command);
    ASSERT_NE(action, nullptr);
    ASSERT_TRUE(action->isEnabled()) << command;
    action->trigger();
  }

  CurveFit doc_;
  std::unique_ptr<MainWindow> main_;
  std::unique_ptr<QtGraphHost> graphs_;
  std::unique_ptr<QtUi> ui_;
  std::unique_ptr<platform::ScopedUi> installed_;
};

TEST_F(WorkstationTest, TypedDataCanBeUndoneAndRedoneFromTheEditMenu) {
  // Enter at the end of a row opens the next one.
  TypeData({{"1", "2"}, {"2", "4.1"}, {"3", "1e1"}});
  ASSERT_EQ(doc_.nPoints, 3);
  EXPECT_FLOAT_EQ(doc_.At(1, 1), 4.1f);
  EXPECT_FLOAT_EQ(doc_.At(2, 1), 10.0f);
  EXPECT_EQ(Grid().CellText(1, 2), QStringLiteral("10"));
  EXPECT_TRUE(doc_.bModified);
  EXPECT_TRUE(main_->windowTitle().endsWith(QStringLiteral("*]"))) << main_->windowTitle().toStdString();

  // With no edit open the menu names the history's next action.
  main_->UpdateMenus();
  QAction* undo = main_->MenuAction(cmd::kUndo);
  EXPECT_TRUE(undo->isEnabled());
  EXPECT_TRUE(undo->text().startsWith(QStringLiteral("&Undo "))) << undo->text().toStdString();

  MenuCommand(cmd::kUndo);  // 10 goes back to 0
  EXPECT_FLOAT_EQ(doc_.At(2, 1), 0.0f);
  EXPECT_EQ(Grid().CellText(1, 2), QStringLiteral("0"));
  MenuCommand(cmd::kRedo);
  EXPECT_FLOAT_EQ(doc_.At(2, 1), 10.0f);
  EXPECT_EQ(Grid().CellText(1, 2), QStringLiteral("10"));
}

TEST_F(WorkstationTest, LinearFitFromTheMenuOpensAGraphThatZoomsByDragging) {
  TypeData({{"1", "2.1"}, {"2", "3.9"}, {"3", "6.2"}, {"4", "7.8"}, {"5", "10.1"}});
  ASSERT_EQ(doc_.nPoints, 5);

  MenuCommand(500);
  const GraphWindowId id = CurrentSession().graphQueue.Find(500);
  ASSERT_NE(id, kNoWindow);
  GraphWindow* window = graphs_->Window(id);
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->windowTitle().toStdString(), GraphWindowTitle(doc_, 500));
  main_->UpdateMenus();
  EXPECT_TRUE(main_->MenuAction(500)->isChecked());
  ASSERT_EQ(main_->Results().count(), 1);
  EXPECT_EQ(main_->Results().item(0)->data(Qt::UserRole).toInt(), 500);

  // Choosing it again only raises the same window.
  MenuCommand(500);
  EXPECT_EQ(CurrentSession().graphQueue.Count(), 1);

  ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
  window->RenderToImage();
  const GraphAttr& record = *CurrentSession().graphQueue.Record(id);
  const Rect plot = record.plotRect;
  ASSERT_GT(plot.Width(), 100);
  const float xSpan = record.xMax - record.xMin;
  const QPoint from(plot.left + plot.Width() / 4, plot.top + plot.Height() / 4);
  const QPoint to(plot.left + plot.Width() / 2, plot.top + plot.Height() / 2);
  QTest::mousePress(window, Qt::LeftButton, {}, from);
  QTest::mouseMove(window, to);
  QTest::mouseRelease(window, Qt::LeftButton, {}, to);
  EXPECT_NEAR(record.xMax - record.xMin, xSpan / 4, xSpan / 40);

  // Closing the graph unchecks the model.
  window->close();
  EXPECT_EQ(CurrentSession().graphQueue.Find(500), kNoWindow);
  main_->UpdateMenus();
  EXPECT_FALSE(main_->MenuAction(500)->isChecked());
}

// A fit that ended at the iteration limit is marked on its line of the
// results list, with the reason in its tooltip; a good fit is not.
TEST_F(WorkstationTest, TheResultsListMarksAFitThatDidNotConverge) {
  TypeData({{"1", "2.1"}, {"2", "3.9"}, {"3", "6.2"}, {"4", "7.8"}, {"5", "10.1"}});
  MenuCommand(500);
  CurrentSession().settings.maxIterations = 1;
  MenuCommand(518);
  ASSERT_EQ(main_->Results().count(), 2);
  for (int row = 0; row < 2; ++row) {
    const QListWidgetItem* item = main_->Results().item(row);
    const bool stopped = item->data(Qt::UserRole).toInt() == 518;
    EXPECT_EQ(item->data(ResultsList::kNotConvergedRole).toString().toStdString(),
              stopped ? "the iteration limit was reached" : "");
    EXPECT_EQ(item->toolTip().contains(QStringLiteral("did not converge")), stopped);
  }
}

TEST_F(WorkstationTest, FitHunterKeyRanksTheModelsAndShowsTheBest) {
  TypeData({{"1", "2.7"}, {"2", "7.4"}, {"3", "20.1"}, {"4", "54.6"}, {"5", "148.4"}});
  // Ctrl+F searches at once, without the dialog.
  QTest::keyClick(main_.get(), Qt::Key_F, Qt::ControlModifier);
  EXPECT_GT(main_->Results().count(), 5);
  EXPECT_EQ(CurrentEngine().calcMode, 0);
  EXPECT_GE(CurrentSession().graphQueue.Count(), 1);
  EXPECT_TRUE(main_->menuBar()->actions().front()->isEnabled());
  EXPECT_TRUE(Grid().isEnabled());
}

TEST_F(WorkstationTest, AbortStopsALongFitAndGivesTheInterfaceBack) {
  // A Weibull fit of 10^6 points runs long enough to be stopped: each
  // iteration takes longer than the timer below (a fit of fewer points now
  // ends at the resolution of single precision before it fires).
  ASSERT_EQ(doc_.AllocateData(1000000, 2, 0), 0);
  for (int i = 0; i < 1000000; ++i) {
    const float x = 0.1f + i * 1e-5f;
    doc_.At(i, 0) = x;
    doc_.At(i, 1) = 5.0f - 4.0f * std::exp(-0.8f * std::pow(x, 1.3f)) + 0.01f * std::sin(17.0f * i);
  }
  doc_.MarkModified();
  Reexamine(doc_, 0);
  CurrentSession().settings.SetFlag(kFlagBackgroundProcess, true);
  CurrentSession().settings.maxIterations = 10000;
  CurrentSession().settings.divergeIterations = 10000;
  CurrentSession().settings.nonlinearTolerance = 1e-30;

  bool sawCalculation = false;
  bool abortVisible = false;
  QTimer::singleShot(300, [&] {
    sawCalculation = CurrentEngine().calcMode != 0;
    QAction* abort = nullptr;
    for (QAction* a : main_->Toolbar().actions()) {
      if (a->data().toInt() == cmd::kAbort) abort = a;
    }
    abortVisible = abort && abort->isVisible() && abort->isEnabled();
    QTest::keyClick(main_.get(), Qt::Key_S, Qt::ControlModifier);
  });
  MenuCommand(523);
  EXPECT_TRUE(sawCalculation);
  EXPECT_TRUE(abortVisible);
  EXPECT_EQ(CurrentEngine().calcMode, 0);
  EXPECT_FALSE(doc_.IsFitted(523, -1));
  EXPECT_EQ(CurrentSession().graphQueue.Find(523), kNoWindow);
  EXPECT_TRUE(Grid().isEnabled());
  EXPECT_TRUE(main_->menuBar()->actions().front()->isEnabled());
}

TEST_F(WorkstationTest, StopKeysReachACalculationFromAnyWindow) {
  // A graph window of a batch has the keyboard: Ctrl+S still aborts, Esc accepts.
  QWidget other;
  other.show();
  CurrentEngine().calcMode = 2;
  CurrentEngine().nonlinearFlags = {};
  QTest::keyClick(&other, Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(CurrentEngine().nonlinearFlags.stopRequest, kStopAbort);
  CurrentEngine().nonlinearFlags = {};
  QTest::keyClick(&other, Qt::Key_Escape);
  EXPECT_EQ(CurrentEngine().nonlinearFlags.stopRequest, kStopAccept);
  CurrentEngine().calcMode = 0;
  // Idle, the same keys do nothing.
  CurrentEngine().nonlinearFlags = {};
  QTest::keyClick(&other, Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(CurrentEngine().nonlinearFlags.stopRequest, kStopNone);
}

TEST_F(WorkstationTest, AcceleratorsReachTheMainWindowFromAGraphExceptTheGraphsOwnKeys) {
  TypeData({{"1", "2.1"}, {"2", "3.9"}, {"3", "6.2"}, {"4", "7.8"}, {"5", "10.1"}});
  auto openGraph = [this] {
    MenuCommand(500);
    GraphWindow* window = graphs_->Window(CurrentSession().graphQueue.Find(500));
    // The graph must be the active window: shortcuts follow the active
    // window, not the widget a key is sent to.
    if (window == nullptr || !QTest::qWaitForWindowExposed(window)) return static_cast<GraphWindow*>(nullptr);
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window)) return static_cast<GraphWindow*>(nullptr);
    return window;
  };
  GraphWindow* window = openGraph();
  ASSERT_NE(window, nullptr);

  // Ctrl+C copies the graph, not the grid; Ctrl+A selects the grid.
  QGuiApplication::clipboard()->clear();
  QTest::keyClick(window, Qt::Key_C, Qt::ControlModifier);
  const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
  ASSERT_NE(copied, nullptr);
  EXPECT_TRUE(copied->hasImage());
  EXPECT_FALSE(copied->hasText());
  EXPECT_FALSE(Grid().Selection().exists);
  QTest::keyClick(window, Qt::Key_A, Qt::ControlModifier);
  EXPECT_TRUE(Grid().Selection().exists) << "Select All selects the grid";
  // Ctrl+X closes the graph and cuts nothing.
  QTest::keyClick(window, Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(CurrentSession().graphQueue.Find(500), kNoWindow);
  EXPECT_FLOAT_EQ(doc_.At(4, 1), 10.1f) << "nothing was cut";

  // Undo and redo work on the data set while a graph has the keyboard.
  window = openGraph();
  ASSERT_NE(window, nullptr);
  QTest::keyClick(window, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_FLOAT_EQ(doc_.At(4, 1), 0.0f) << "the last value typed is undone";
  window = openGraph();
  ASSERT_NE(window, nullptr);
  QTest::keyClick(window, Qt::Key_Y, Qt::ControlModifier);
  EXPECT_FLOAT_EQ(doc_.At(4, 1), 10.1f);
}

TEST_F(WorkstationTest, ClosingWithUnsavedDataAsksFirst) {
  TypeData({{"1", "2"}});
  {
    MessageBoxAnswerer cancel(QStringLiteral("Cancel"));
    EXPECT_FALSE(main_->close());
    EXPECT_TRUE(cancel.Answered());
    EXPECT_TRUE(cancel.Text().contains(QStringLiteral("Save file before closing?")));
  }
  EXPECT_TRUE(main_->isVisible());
  MessageBoxAnswerer no(QStringLiteral("No"));
  EXPECT_TRUE(main_->close());
  EXPECT_TRUE(no.Answered());
}

TEST_F(WorkstationTest, ExitClosesOnceTheMenuIsGoneAndNewColumnsAreHeaded) {
  // A data set with uncertainties heads its third column as the grid shows it.
  ASSERT_EQ(doc_.AllocateData(3, 3, 1), 0);
  EXPECT_EQ(Grid().Heading(0), QStringLiteral("X"));
  EXPECT_EQ(Grid().Heading(2), QStringLiteral("STD"));
  // Exit only asks to close; the close comes with the next turn of the loop.
  MenuCommand(cmd::kExit);
  EXPECT_TRUE(main_->isVisible());
  for (int i = 0; i < 100 && main_->isVisible(); ++i) QTest::qWait(10);
  EXPECT_FALSE(main_->isVisible());
}

TEST_F(WorkstationTest, DroppedFilesOpenOneAtATime) {
  testsupport::TempDir dir;
  const std::string first = dir.File("first.dat");
  const std::string second = dir.File("second.dat");
  testsupport::WriteFile(first, "1 2\n2 4\n3 6\n");
  testsupport::WriteFile(second, "1 1\n");
  CurrentSession().settings.SetFlag(kFlagShowFileImportDlg, false);
  auto drop = [&](const std::vector<std::string>& paths) {
    QList<QUrl> urls;
    for (const std::string& p : paths) urls << QUrl::fromLocalFile(QString::fromStdString(p));
    main_->FilesDropped(urls);
  };
  {
    // Two at once: a warning, and nothing opens.
    MessageBoxAnswerer ok(QStringLiteral("OK"));
    drop({first, second});
    EXPECT_TRUE(ok.Answered());
    EXPECT_EQ(doc_.nPoints, 0);
  }
  drop({first});
  EXPECT_EQ(doc_.nPoints, 3);
  EXPECT_EQ(main_->StatusPart(3).text(), QStringLiteral("first.dat"));
  EXPECT_FLOAT_EQ(doc_.At(2, 1), 6.0f);
}

TEST_F(WorkstationTest, NoCommandStartsWhileAFileIsReadButTheWindowStillRepaints) {
  testsupport::TempDir dir;
  const std::string path = dir.File("long.dat");
  std::string text;
  for (int i = 0; i < 3000; ++i) text += std::to_string(i) + "\t" + std::to_string(2 * i) + "\n";
  testsupport::WriteFile(path, text);
  CurrentSession().settings.SetFlag(kFlagShowFileImportDlg, false);

  int probes = 0;
  bool everUnlocked = false;
  QString progress;
  QTimer probe;
  QObject::connect(&probe, &QTimer::timeout, [&] {
    ++probes;
    everUnlocked = everUnlocked || main_->menuBar()->actions().front()->isEnabled() ||
                   main_->ToolbarAction(cmd::kNew)->isEnabled() || Grid().isEnabled();
    progress = main_->StatusPart(3).text();
    // New (a key press, a menu) in the middle of the read must not run.
    main_->Command(cmd::kNew);
  });
  probe.start(0);
  ASSERT_EQ(OpenDataFile(doc_, path, false, false, true), 1);
  probe.stop();

  EXPECT_GT(probes, 0);  // events were handled while the file was read
  EXPECT_FALSE(everUnlocked);
  EXPECT_TRUE(progress == QStringLiteral("SCANNING") || progress == QStringLiteral("READING")) << progress.toStdString();
  EXPECT_EQ(doc_.nPoints, 3000);
  EXPECT_FLOAT_EQ(doc_.At(2999, 1), 5998.0f);
  EXPECT_EQ(CurrentSession().graphQueue.Count(), 0);
  // Afterwards everything comes back, and the status bar names the file.
  EXPECT_TRUE(main_->menuBar()->actions().front()->isEnabled());
  EXPECT_TRUE(main_->ToolbarAction(cmd::kNew)->isEnabled());
  EXPECT_TRUE(Grid().isEnabled());
  EXPECT_EQ(main_->StatusPart(3).text(), QStringLiteral("long.dat"));
}

// A later start knocks from its own process; here from a thread, while this
// thread's event loop plays the first instance and answers.
template <class Knock>
int FromElsewhere(Knock knock) {
  std::atomic<int> result{-1};
  std::thread later([&] { result = knock(); });
  while (result < 0) QTest::qWait(10);
  later.join();
  return result.load();
}

KnockResult KnockFromElsewhere(const QString& name, int waitMs = kHandOverMs) {
  return static_cast<KnockResult>(FromElsewhere([&] { return static_cast<int>(KnockOn(name, waitMs)); }));
}

// Whether a later start that tries `names` in order is answered.
bool AnsweredFromElsewhere(const QStringList& names) {
  return FromElsewhere([&] { return AskRunningInstanceToShow(names) ? 1 : 0; }) == 1;
}

QString TestSocketName(const char* tag) {
  return QStringLiteral("trendolin-test-%1-%2").arg(QCoreApplication::applicationPid()).arg(QLatin1String(tag));
}

TEST(SingleInstanceTest, ALaterStartKnocksAndTheFirstComesForward) {
  const QString name = TestSocketName("knock");
  EXPECT_FALSE(AskRunningInstanceToShow(name));  // nobody there yet
  int shown = 0;
  InstanceListener listener(name, [&shown] { ++shown; });
  ASSERT_TRUE(listener.Listening());
  EXPECT_EQ(KnockFromElsewhere(name), KnockResult::Answered);
  EXPECT_EQ(shown, 1);
}

// A first instance that is stopped (SIGSTOP) or hung still has its socket
// accept the knock: without its answer the later start must go on.
TEST(SingleInstanceTest, AnInstanceThatDoesNotAnswerIsNotWaitedForLong) {
  const QString name = TestSocketName("silent");
  QLocalServer mute;  // accepts, never answers
  ASSERT_TRUE(mute.listen(name));
  QElapsedTimer clock;
  clock.start();
  EXPECT_FALSE(AskRunningInstanceToShow(name));  // no event loop runs here: nobody answers
  EXPECT_LT(clock.elapsed(), kHandOverMs + 1500);
  // The later start leaves the silent one's socket alone (it would remove
  // ours when it ends) and listens on the next name, where the next start
  // finds it.
  const QStringList names{name, name + QStringLiteral("-alt")};
  int shown = 0;
  InstanceListener listener(names, [&shown] { ++shown; });
  ASSERT_TRUE(listener.Listening());
  EXPECT_EQ(listener.Name(), names[1]);
  EXPECT_TRUE(mute.isListening());
  EXPECT_TRUE(AnsweredFromElsewhere(names));
  EXPECT_EQ(shown, 1);
}

// A socket left by an instance that crashed refuses connections: it is taken over.
TEST(SingleInstanceTest, TheSocketOfACrashedInstanceIsTakenOver) {
  const QString name = TestSocketName("stale");
  const QString path = QDir::tempPath() + QLatin1Char('/') + name;
  {
    // A bound socket file nobody listens on any more, as a crash leaves it.
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", QFile::encodeName(path).constData());
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
  }
  int shown = 0;
  InstanceListener listener(QStringList{name, name + QStringLiteral("-alt")}, [&shown] { ++shown; });
  EXPECT_EQ(listener.Name(), name);
  EXPECT_EQ(KnockFromElsewhere(name), KnockResult::Answered);
  EXPECT_EQ(shown, 1);
}

// Something that is no socket at the socket's path is not deleted: the next
// name is used, and later starts find the instance there.
TEST(SingleInstanceTest, AFolderAtTheSocketPathIsLeftAloneAndAnotherNameServes) {
  const QString name = TestSocketName("folder");
  const QString path = QDir::tempPath() + QLatin1Char('/') + name;
  ASSERT_TRUE(QDir().mkpath(path + QStringLiteral("/somebody's")));
  const QStringList names{name, name + QStringLiteral("-alt")};
  int shown = 0;
  {
    InstanceListener listener(names, [&shown] { ++shown; });
    ASSERT_TRUE(listener.Listening());
    EXPECT_EQ(listener.Name(), names[1]);
    EXPECT_TRUE(QFileInfo(path + QStringLiteral("/somebody's")).isDir());
    EXPECT_TRUE(AnsweredFromElsewhere(names));
    EXPECT_EQ(shown, 1);
  }
  QDir(path).removeRecursively();
}

// The preview's own popup is the only menu a right click on it opens: the
// click must not go on to the window behind it, whose menu is the File menu.
TEST_F(WorkstationTest, RightClickOnThePreviewOpensOnlyItsOwnMenu) {
  PreviewWidget& preview = main_->Preview();
  std::vector<std::string> opened;
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [&opened] {
    if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
      opened.push_back((menu->objectName().isEmpty() ? menu->title() : menu->objectName()).toStdString());
      menu->close();
    }
  });
  closer.start(20);
  const QPoint at = preview.rect().center();
  // What the window system delivers for a right click: the press, then the
  // context-menu event (which travels to the parents until it is accepted).
  QTest::mousePress(&preview, Qt::RightButton, {}, at);
  QContextMenuEvent event(QContextMenuEvent::Mouse, at, preview.mapToGlobal(at));
  QApplication::sendEvent(&preview, &event);
  QTest::mouseRelease(&preview, Qt::RightButton, {}, at);
  for (int i = 0; i < 20 && QApplication::activePopupWidget() != nullptr; ++i) QTest::qWait(20);
  QTest::qWait(60);
  EXPECT_EQ(opened, std::vector<std::string>{"GMenu2"});
}

// Whether glyphs of the field's text reach the last pixels inside its frame,
// where the next field begins.
bool TextRunsToTheEdge(QLabel& field) {
  const QImage image = field.grab().toImage();
  const QRect inside = field.contentsRect();
  const QColor background = field.palette().color(field.backgroundRole());
  for (int x = inside.right() - 1; x <= inside.right(); ++x) {
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
      const QColor c = image.pixelColor(x, y);
      if (std::abs(c.red() - background.red()) + std::abs(c.green() - background.green()) +
              std::abs(c.blue() - background.blue()) > 96) {
        return true;
      }
    }
  }
  return false;
}

// During a fit the status bar shows the model's name, CALC, the iteration
// and the chi-square, each in its field, at the window's default size and
// at its smallest. Fields never overlap; a text longer than its field ends
// in an ellipsis, with the whole text as the field's tooltip, instead of
// running on to the next field; CALC, counts and the chi-square are shown whole.
TEST_F(WorkstationTest, StatusFieldsKeepEachTextInside) {
  auto check = [this](const std::string& when) {
    for (int part = 0; part < 4; ++part) {
      QLabel& field = main_->StatusPart(part);
      const std::string what = when + ", part " + std::to_string(part) + ": " + field.text().toStdString();
      if (part < 3) {
        EXPECT_LT(field.geometry().right(), main_->StatusPart(part + 1).x()) << what;
      }
      EXPECT_FALSE(TextRunsToTheEdge(field)) << what;
      const bool cut = !field.toolTip().isEmpty();
      if (part > 0) {
        EXPECT_FALSE(cut) << what;
      }
      if (cut) {
        EXPECT_EQ(field.toolTip(), field.text()) << what;
      }
    }
  };
  for (int width : {DefaultWindowWidth(main_->UiTextHeight()), main_->minimumWidth()}) {
    main_->resize(width, 640);
    QTest::qWait(20);
    for (int id = 504; id <= 533; ++id) {
      ShowFitProgress(0, id, true, 1234567.875f);
      check("guesses for " + std::to_string(id) + " at " + std::to_string(width));
      ShowFitProgress(1, id, false, 1234567.875f);
      ShowFitProgress(99999, id, false, 1234567.875f);
      check("iterations of " + std::to_string(id) + " at " + std::to_string(width));
    }
    // Reading a long file counts its lines and rows in the second and third fields.
    main_->SetStatusPart(1, QStringLiteral("1000000"));
    main_->SetStatusPart(2, QStringLiteral("1000000"));
    check("reading at " + std::to_string(width));
  }
}

// View History File, Edit Current File and the home page say in a box what
// they could not open, and where it is, when nothing on the desktop opens
// it: here no editor is set and no opener or browser is on the PATH.
TEST_F(WorkstationTest, WhatCannotBeOpenedIsToldWithItsPath) {
  testsupport::TempDir emptyBin;
  testsupport::ScopedEnv path("PATH", emptyBin.Path());
  testsupport::ScopedEnv visual("VISUAL", "");
  testsupport::ScopedEnv editor("EDITOR", "");
  testsupport::ScopedEnv browser("BROWSER", "");
  testsupport::ScopedEnv defaultBrowser("DEFAULT_BROWSER", "");
  testsupport::ScopedEnv page("TRENDOLIN_HOME_PAGE", "https://example.org/trendolin-home");
  const std::string settings = SettingsFolder();
  SetHistoryFolder(settings);
  const std::string history = settings + "/history.dmp";
  std::filesystem::remove(history);
  auto told = [this](int command) {
    MessageBoxAnswerer ok(QStringLiteral("OK"));
    MenuCommand(command);
    EXPECT_TRUE(ok.Answered()) << command;
    return ok.Text().toStdString();
  };

  // Before any nonlinear fit there is no history to show: said as such.
  std::string text = told(cmd::kViewHistory);
  EXPECT_NE(text.find("No iteration history"), std::string::npos) << text;
  EXPECT_NE(text.find(history), std::string::npos) << text;

  testsupport::WriteFile(history, "Model: Exponential Fit\n");
  text = told(cmd::kViewHistory);
  EXPECT_NE(text.find(history + " could not be opened"), std::string::npos) << text;
  EXPECT_NE(text.find("EDITOR"), std::string::npos) << text;

  testsupport::TempDir data;
  CurrentSession().currentDataFile.fullPath = data.File("growth.dat");
  testsupport::WriteFile(CurrentSession().currentDataFile.fullPath, "1 2\n2 3\n");
  text = told(cmd::kEditCurrentFile);
  EXPECT_NE(text.find(CurrentSession().currentDataFile.fullPath + " could not be opened"), std::string::npos) << text;
  CurrentSession().currentDataFile.fullPath.clear();

  text = told(cmd::kHomePage);
  EXPECT_NE(text.find("https://example.org/trendolin-home"), std::string::npos) << text;
  SetHistoryFolder("");
}

#ifdef TRENDOLIN_WORKSTATION
// At a first run the question about the settings file waits for its answer;
// a second start meanwhile hands over to the first, as later starts do,
// instead of asking too and staying.
TEST(FirstStartTest, ASecondStartWhileTheFirstAsksHandsOverToIt) {
  testsupport::TempDir settings;
  const QString folder = QString::fromStdString(settings.File("config"));
  QString socket;
  {
    testsupport::ScopedEnv named("TRENDOLIN_CONFIG_DIR", folder.toStdString());
    socket = QDir::tempPath() + QLatin1Char('/') + InstanceSocketName();
  }
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  environment.insert(QStringLiteral("TRENDOLIN_CONFIG_DIR"), folder);
  QProcess first;
  QProcess second;
  for (QProcess* start : {&first, &second}) {
    start->setProcessEnvironment(environment);
    start->setProcessChannelMode(QProcess::ForwardedErrorChannel);
  }
  first.start(QStringLiteral(TRENDOLIN_WORKSTATION), {});
  ASSERT_TRUE(first.waitForStarted());
  // The first start holds the lock while its question waits.
  QElapsedTimer clock;
  clock.start();
  while (!QFileInfo::exists(socket) && clock.elapsed() < 15000) QTest::qWait(50);
  EXPECT_TRUE(QFileInfo::exists(socket)) << "no instance socket while the first start asks";
  second.start(QStringLiteral(TRENDOLIN_WORKSTATION), {});
  const bool handedOver = second.waitForFinished(10000);
  EXPECT_TRUE(handedOver) << "the second start stayed";
  if (handedOver) {
    EXPECT_EQ(second.exitCode(), 0);
  }
  EXPECT_EQ(first.state(), QProcess::Running) << "the first start still waits for its answer";
  EXPECT_FALSE(QFileInfo::exists(folder + QStringLiteral("/REVUZI.INI")));
  for (QProcess* start : {&second, &first}) {
    if (start->state() != QProcess::NotRunning) {
      start->kill();
      start->waitForFinished(5000);
    }
  }
  QFile::remove(socket);  // what the killed start leaves
}
#endif

TEST_F(WorkstationTest, MenusFollowTheData) {
  main_->UpdateMenus();
  // An empty data set allows no fit and no weighting by uncertainty.
  EXPECT_FALSE(main_->MenuAction(500)->isEnabled());
  EXPECT_FALSE(main_->MenuAction(459)->isEnabled());
  EXPECT_FALSE(main_->MenuAction(cmd::kClearCurvefits)->isEnabled());
  EXPECT_FALSE(main_->MenuAction(cmd::kTile)->isEnabled());
  TypeData({{"1", "2"}, {"2", "3"}});
  main_->UpdateMenus();
  EXPECT_TRUE(main_->MenuAction(500)->isEnabled());
  // The status bar shows the help of the item the pointer is on.
  main_->TopMenu(0)->hovered(main_->MenuAction(cmd::kNew));
  EXPECT_EQ(main_->StatusPart(0).text(), QStringLiteral("Start a new, empty data set"));
  // Escape while idle does nothing.
  QTest::keyClick(main_.get(), Qt::Key_Escape);
  EXPECT_EQ(CurrentEngine().calcMode, 0);
}

}  // namespace
}  // namespace trendolin::gui

namespace trendolin::gui {
namespace {

// What is written at exit is what the next start may open: never beyond the
// screen the window is on, so a bad size or place does not persist.
TEST(MainWindowPlacementToKeepTest, TheSavedRectangleIsFittedToTheWindowsScreen) {
  const QRect primary(0, 0, 1280, 900);
  WindowPlacement kept = MainWindowPlacementToKeep(QRect(-100000, -100000, 40000, 40000), primary, 688, 640);
  EXPECT_EQ(kept.left, 0);
  EXPECT_EQ(kept.top, 0);
  EXPECT_EQ(kept.width, 1280);
  EXPECT_EQ(kept.height, 900);
  // On a second screen to the right, a window that fits stays where it is.
  const QRect second(1280, 24, 1920, 1056);
  kept = MainWindowPlacementToKeep(QRect(1400, 100, 800, 600), second, 688, 640);
  EXPECT_EQ(kept.left, 1400);
  EXPECT_EQ(kept.top, 100);
  EXPECT_EQ(kept.width, 800);
  // Hanging over that screen's right edge, it is moved back onto it.
  kept = MainWindowPlacementToKeep(QRect(3000, 100, 800, 600), second, 688, 640);
  EXPECT_EQ(kept.left, 1280 + 1920 - 800);
}

}  // namespace
}  // namespace trendolin::gui

namespace trendolin::gui {
namespace {

// A logout's SIGTERM reaches the event loop as a call, instead of killing
// the program; so does a hang-up.
TEST(SessionEndWatcherTest, TheSignalArrivesAsACallInTheEventLoop) {
  for (int signo : {SIGTERM, SIGHUP}) {
    int received = 0;
    SessionEndWatcher watcher([&received](int s) { received = s; });
    ASSERT_TRUE(watcher.Installed());
    ::raise(signo);
    EXPECT_EQ(received, 0);  // nothing runs inside the handler
    for (int i = 0; i < 200 && received == 0; ++i) QTest::qWait(10);
    EXPECT_EQ(received, signo);
  }
}

}  // namespace
}  // namespace trendolin::gui
