// The workstation's start and end: one instance per user, the command line,
// the settings file, the splash, the main window, the first data file, the
// event loop, and on the way out the settings, the recent files and the log.
#pragma once

namespace trendolin::gui {

// The program's entry. Returns the process exit code.
int RunWorkstation(int argc, char** argv);

}  // namespace trendolin::gui
