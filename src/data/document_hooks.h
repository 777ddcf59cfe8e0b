// What the data-file flows ask of the rest of the program: the windows, the
// fit list and the refresh step. Each hook does nothing until its owner
// installs it, so the flows run the same headless and on screen.
#pragma once

#include <functional>
#include <string>

namespace trendolin {

struct DocumentHooks {
  std::function<void()> resetGrid;          // the grid starts over (value type, cell size)
  std::function<void()> closeAllGraphs;     // every graph window closes
  std::function<void()> emptyResultsList;   // the list of computed fits empties
  std::function<void()> refresh;            // the application refresh: menus, statistics, windows
  std::function<void()> repaintMain;        // the main window repaints
  std::function<void()> rebuildRecentMenu;  // the File menu shows the recent-file list again
  std::function<void(int)> setWeighting;    // the weighting scheme becomes the given command (455..460)
  std::function<bool()> commitGridEdit;     // the grid's pending edit is committed; false when it cannot be
  std::function<void(int)> animatePreview;  // the preview draws model id once, during a fit
  std::function<void()> refreshFitList;     // the ranking of computed fits is rebuilt
  std::function<void()> resultsListChanged; // the results list shows the session's ranking again
};

// The hooks of the session this thread works for (see each field for what
// is missing while it is empty).
DocumentHooks& Hooks();

// Calls a hook when it is installed.
inline void CallHook(const std::function<void()>& hook) {
  if (hook) hook();
}

}  // namespace trendolin
