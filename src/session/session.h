// One run of the program: the data set, the fits and their ranking, the
// graph windows, the settings of the run, and the Ui it talks through. The
// workstation and the command-line tool each make one; a batch run makes
// one per file, each on its own thread; a test makes a fresh one.
#pragma once

#include <cstdint>
#include <string>

#include "app/app_settings.h"
#include "app/mru_list.h"
#include "data/curve_fit.h"
#include "session/data_file_flows.h"
#include "data/document_hooks.h"
#include "session/drivers.h"
#include "fit/engine_state.h"
#include "session/fit_hunter.h"
#include "session/graph_queue.h"

namespace platform {
class Ui;
}

namespace trendolin {

class Session {
 public:
  // A session with the default settings and no settings file; `ui` (not
  // owned; null: the quiet unattended Ui) answers its questions.
  explicit Session(platform::Ui* ui = nullptr);
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  platform::Ui* ui = nullptr;

  // The settings of this run: read from the settings file at start, replaced
  // by the Options dialog, overridden for a run by the command line.
  AppSettings settings;
  // Where the settings file is (empty: the run has none), and the help.
  std::string iniFile;
  std::string helpFile;      // the classic help file (unused on Linux; kept for the log)
  std::string htmlHelpFile;  // the folder of the HTML help pages

  // The command line's file to open at start, and how (see command_line.h).
  std::string startupFile;
  int autoOpenFlag = 0;

  CurveFit data;
  CurrentFileState currentDataFile;
  MruList recentFiles;

  EngineState engine;
  RankingList ranking;
  ModelDialogFlags modelDialogs;
  int lastOpenWindowResult = kWindowOpened;
  CommandAvailability availability;
  Gqueue graphQueue;

  // Where the iteration history file of nonlinear fits goes (empty: the
  // current folder), set at start; and whether a failure to write it has
  // been told (a search on a full disk tells it once).
  std::string historyFolder;
  bool historyTroubleTold = false;

  // How many model information windows are open: one at a time may be, and
  // a second one is refused (the count wraps like the byte it always was).
  std::uint8_t infoWindowsOpen = 0;
};

// The session this thread works for. A thread that works for none (a
// programming fault) stops the program with a message.
Session& CurrentSession();

// Makes `session` the one this thread works for while the scope lives: its
// engine state and its Ui become this thread's. The previous ones come back
// at the end.
class SessionScope {
 public:
  explicit SessionScope(Session& session);
  ~SessionScope();
  SessionScope(const SessionScope&) = delete;
  SessionScope& operator=(const SessionScope&) = delete;

 private:
  Session* previous_;
  EngineStateScope engine_;
  platform::Ui* previousUi_;
};

}  // namespace trendolin
