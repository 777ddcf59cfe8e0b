#include "gui/workstation.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/app_settings.h"
#include "app/command_line.h"
#include "app/fault_handlers.h"
#include "app/main_layout.h"
#include "app/mru_list.h"
#include "app/out_of_memory.h"
#include "app/recovery_file.h"
#include "app/run_flags.h"
#include "app/settings_location.h"
#include "app/system_info.h"
#include "data/curve_fit.h"
#include "session/data_file_flows.h"
#include "session/drivers.h"
#include "session/fit_hunter.h"
#include "fit/nonlinear.h"
#include "graph/graph_attr.h"
#include "session/graph_queue.h"
#include "gui/console_window.h"
#include "gui/graph_window.h"
#include "gui/main_window.h"
#include "gui/qt_graph_host.h"
#include "gui/qt_ui.h"
#include "gui/session_end.h"
#include "gui/single_instance.h"
#include "gui/splash_window.h"
#include "platform/debug_log.h"
#include "platform/profile_file.h"
#include "platform/ui.h"
#include "precision/fp_guard.h"
#include "session/nonlinear_routine.h"
#include "session/options_rules.h"
#include "session/session.h"
#include "usermodel/user_model.h"

namespace trendolin::gui {
namespace {

constexpr int kPlacementTickMs = 500;
// While the session ends, a running calculation or an open dialog is asked to
// finish this often, this many times, before the program quits regardless.
constexpr int kSessionEndRetryMs = 100;
// Time for the window manager to put its frame round a newly shown window.
constexpr int kFrameSettleMs = 300;
constexpr int kSessionEndAttempts = 30;

void ShowAndRaise(QWidget* window) {
  if (window->isMinimized()) window->showNormal();
  window->show();
  window->raise();
  window->activateWindow();
}

// The settings the program starts from, and the state kept in the settings file.
void InitApplication(CurveFit& doc, MainWindow& main) {
  CurrentSession().recentFiles = CreateMruList();
  LoadMruList(CurrentSession().recentFiles, kMruSection, CurrentSession().iniFile);
  main.RebuildRecentMenu();
  ReadSettings(CurrentSession().iniFile);
  if (DebugFlags != 0) DumpSettings(CurrentSession().settings);
  doc.SetUndoLevels(CurrentSession().settings.undoLevels);
  SeedPolynomialDegree(CurrentSession().settings);
  // The program starts in the folder of the data files, when it exists.
  if (!CurrentSession().settings.dataPath.empty() && ::chdir(CurrentSession().settings.dataPath.c_str()) != 0) {
    DebugLogF("DataPath %s cannot be entered.\n", CurrentSession().settings.dataPath.c_str());
  }
  InitUserModel();
  InstallOutOfMemoryHandler();
  ReinitFP();
  // A crash starts the program again to tell the person why it vanished.
  FaultHandlerOptions faults;
  faults.crashNotice = true;
  InstallFaultHandlers(faults);
  if ((DebugFlags & 1) != 0) {
    WriteSystemInfoDump({{"CurveFit", sizeof(CurveFit)}, {"AppSettings", sizeof(AppSettings)},
                         {"GraphAttr", sizeof(GraphAttr)}});
  }
}

void DeinitApplication() {
  DebugLog("DeInitializing...\n");
  if (!CurrentSession().iniFile.empty()) {
    SaveSettingsFile(CurrentSession().iniFile);
    std::string error;
    SaveMruList(CurrentSession().recentFiles, kMruSection, CurrentSession().iniFile, &error);
  }
  RestoreFaultHandlers();
  CloseDiagnostics();
}

// The reset every new data set gets, here for the first, empty one.
void ResetWorkspace(CurveFit& doc, MainWindow& main) {
  NewDataFile(doc, false);
  RebuildRankingList(doc);
  Reexamine(doc, 0);
  main.UpdateMenus();
  main.UpdateToolbar();
}

// The initial-guess dialog's test graph: a graph window outside the queue
// showing the model with the guesses being edited. The dialog owns the
// window; the window takes its record along when it goes.
QWidget* MakeGuessTestGraph(CurveFit& doc, int testModelId) {
  auto* record = new GraphAttr;
  ReadGraphDefaults(platform::ProfileFile::Load(CurrentSession().iniFile), *record, doc);
  record->modelId = testModelId;
  auto* window = new GraphWindow(doc, *record, QStringLiteral("Initial Guess Test"), nullptr);
  QObject::connect(window, &QObject::destroyed, [record] { delete record; });
  return window;
}

// Places and shows the main window at the first tick after start, behind
// the splash while the splash is up.
void PlaceMainWindow(MainWindow& main) {
  const QRect desktop = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->availableGeometry()
                                                          : QRect(0, 0, 1024, 768);
  const platform::ProfileFile profile = platform::ProfileFile::Load(CurrentSession().iniFile);
  const WindowPlacement p =
      MainWindowPlacement(profile, CurrentSession().settings.IsOn(kFlagSaveWindowPos), desktop.width(), desktop.height(),
                          DefaultWindowWidth(main.UiTextHeight()), DefaultWindowHeight(main.UiTextHeight()));
  main.resize(p.width, p.height);
  main.move(desktop.left() + p.left, desktop.top() + p.top);
}

// The session is ending (logout, hang-up): close as Exit would, but with no
// question left open and none asked. Unsaved data go to the recovery file,
// the settings are written on the way out of RunWorkstation.
void CloseForSessionEnd(CurveFit& doc, MainWindow& main, int attemptsLeft) {
  QWidget* modal = QApplication::activeModalWidget();
  if (attemptsLeft > 0 && (CurrentEngine().calcMode != 0 || modal != nullptr)) {
    if (CurrentEngine().calcMode != 0) RequestFitStop(kStopAbort);
    if (auto* dialog = qobject_cast<QDialog*>(modal)) {
      dialog->reject();
    } else if (modal) {
      modal->close();
    }
    QTimer::singleShot(kSessionEndRetryMs, &main,
                       [&doc, &main, attemptsLeft] { CloseForSessionEnd(doc, main, attemptsLeft - 1); });
    return;
  }
  if (!KeepUnsavedData(doc, CurrentSession().iniFile)) DebugLog("Session end: the unsaved data could not be kept.\n");
  // Kept (or nothing to keep): the save question must not hold up the logout.
  doc.ClearModified();
  main.close();
  QApplication::quit();
}

// The stored rectangle is the window's inside; once the window system has
// put its frame round it, the whole window must still fit the work area, or
// a window restored at full size has its status bar below the screen.
void KeepFrameOnDesktop(MainWindow& main) {
  const QScreen* screen = main.screen() ? main.screen() : QGuiApplication::primaryScreen();
  if (!screen || main.isMaximized() || main.isFullScreen()) return;
  const QRect desktop = screen->availableGeometry();
  const QRect frame = main.frameGeometry();
  const int frameWidth = frame.width() - main.width();
  const int frameHeight = frame.height() - main.height();
  if (desktop.contains(frame) || frameWidth < 0 || frameHeight < 0) return;
  const WindowPlacement p = FitPlacementToDesktop(
      {frame.x() - desktop.x(), frame.y() - desktop.y(), main.width(), main.height()},
      desktop.width() - frameWidth, desktop.height() - frameHeight, DefaultWindowWidth(main.UiTextHeight()),
      DefaultWindowHeight(main.UiTextHeight()));
  main.resize(p.width, p.height);
  main.move(desktop.x() + p.left, desktop.y() + p.top);
}

}  // namespace

int RunWorkstation(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Trendolin"));
  QApplication::setApplicationVersion(QString::fromUtf8(kAppVersion));
  // Menus open at once: on X servers without a compositor the rolling and
  // fading effects left menus opened from the menu bar black.
  QApplication::setEffectEnabled(Qt::UI_AnimateMenu, false);
  QApplication::setEffectEnabled(Qt::UI_FadeMenu, false);
  // The debug console goes before the application object, on every way out.
  struct ConsoleCloser {
    ~ConsoleCloser() { CloseDebugConsole(); }
  } consoleCloser;

  const QStringList socketNames = InstanceSocketNames();
  if (AskRunningInstanceToShow(socketNames)) return 0;
  // The lock is taken before anything asks: a later start while this one
  // waits for an answer (the settings question of a first run) hands over
  // to it, as it does later on, instead of asking too. Until the main window
  // exists, the question is what comes to the front.
  QPointer<QWidget> frontWindow;
  InstanceListener listener(socketNames, [&frontWindow] {
    if (frontWindow) {
      ShowAndRaise(frontWindow);
    } else if (QWidget* question = QApplication::activeModalWidget()) {
      ShowAndRaise(question);
    }
  });

  // Questions before the main window exists have no parent.
  QtUi earlyUi(nullptr);
  // This run's session: its settings, data, fits and windows.
  Session session(&earlyUi);
  SessionScope bound(session);

  std::vector<std::string> args(argv, argv + argc);
  ParseProgramCommandLine(args);
  if (DebugFlags != 0) OpenDiagnosticsAndConsole(kAppVersion);
  if (LocateSettingsFile() != 0) {
    if ((DebugFlags & 1) != 0) WriteSystemInfoDump({});
    return 1;
  }
  // The iteration history is kept beside the settings, not in the data
  // folder the program changes to.
  SetHistoryFolder(RunFilesFolder());

  QPointer<SplashWindow> splash = new SplashWindow;
  splash->show();
  QTimer::singleShot(kSplashMs, splash.data(), [splash] {
    if (splash) splash->close();
  });

  CurveFit& doc = session.data;
  MainWindow main(doc);
  QtGraphHost graphs(doc);
  graphs.SetMainWindow(&main);
  CurrentSession().graphQueue.SetHost(&graphs);
  QtUi ui(&main);
  ui.SetGuessTestGraphFactory([&doc](int testModelId) { return MakeGuessTestGraph(doc, testModelId); });
  platform::ScopedUi installed(ui);
  session.ui = &ui;

  frontWindow = &main;
  SessionEndWatcher sessionEnd([&doc, &main](int signo) {
    DebugLogF("Signal %d: closing for the end of the session.\n", signo);
    CloseForSessionEnd(doc, main, kSessionEndAttempts);
  });

  InitApplication(doc, main);
  ResetWorkspace(doc, main);
  if (!CurrentSession().startupFile.empty()) OpenStartupFile(doc, CurrentSession().startupFile);

  // The main window shows at the first tick, behind the splash. Data kept
  // when the last session ended are offered once the splash has gone, so the
  // question is not hidden behind it.
  bool shown = false;
  bool recoveryOffered = false;
  QTimer placement;
  QObject::connect(&placement, &QTimer::timeout, &main, [&] {
    if (!splash) placement.stop();
    if (!shown) {
      PlaceMainWindow(main);
      main.show();
      QTimer::singleShot(kFrameSettleMs, &main, [&main] { KeepFrameOnDesktop(main); });
      if (splash) splash->raise();
      shown = true;
    }
    if (!splash && !recoveryOffered) {
      recoveryOffered = true;
      if (OfferRecovery(doc, CurrentSession().iniFile) == RecoveryOutcome::Restored) {
        main.UpdateMenus();
        main.UpdateToolbar();
      }
    }
  });
  placement.start(kPlacementTickMs);

  const int code = app.exec();
  CurrentSession().graphQueue.CloseAll();
  CurrentSession().graphQueue.SetHost(nullptr);
  DeinitApplication();
  return code;
}

}  // namespace trendolin::gui
