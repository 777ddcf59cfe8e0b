// The fit drivers, which turn a model command into a fitted model and a graph
// window and decide which fits apply to the data and when they are stale.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "data/curve_fit.h"

namespace trendolin {

// Command identifiers the drivers handle besides the models 500..539.
inline constexpr int kCmdClearCurvefits = 466;
inline constexpr int kCmdFitHunter = 478;
inline constexpr int kCmdReexamine = 481;
inline constexpr int kCmdCalculateGroups = 482;
inline constexpr int kCmdInformation = 103;  // a graph window's "&Information..." item

// ---- the drivers' state (each session holds its own) ----

// The skip-dialog flags of the three models whose commands open a dialog
// first. 1 (the start value): the command shows its dialog. 0: the next
// command opens the fit window at once, without the dialog, and sets the
// flag back to 1. A search clears the flag of the polynomial or the user
// model when it chose that model; a group run clears all three while it
// lasts.
struct ModelDialogFlags {
  std::uint8_t polynomial = 1;  // command 502, the degree dialog
  std::uint8_t tension = 1;     // command 538, the tension dialog
  std::uint8_t userModel = 1;   // command 539, the user model dialog
  void SetAll(std::uint8_t value) { polynomial = tension = userModel = value; }
};

// What the last OpenFitWindow ended with (a group run reads it).
inline constexpr int kWindowOpened = 0;
inline constexpr int kWindowDeclined = 1;  // refused, cancelled, or the fit failed
inline constexpr int kWindowError = 10;    // errnotify escaped (an abort during a batch, for one)

// Which commands the data allow, as Reexamine last decided. The menus and
// the toolbar read it when they open or repaint; nothing is enabled until
// the first Reexamine.
struct CommandAvailability {
  bool enoughPoints = false;               // at least two points
  std::array<bool, kModelCount> models{};  // models 500..539 (503 is Plot)
  bool paste = false;                      // the clipboard holds text
  bool undo = false;                       // the edit history can undo
  bool redo = false;

  bool ModelEnabled(int id) const;
  // Menu items: Save as, Save, Print, FitHunter, Calculate Groups and the
  // models follow the data; every other command is left alone (true). The
  // family submenus of the fit menu and the weighting submenu follow
  // `enoughPoints`.
  bool MenuItemEnabled(int command) const;
  // Toolbar buttons: cut, copy, save, print, linear, quadratic, polynomial,
  // FitHunter, user model and AutoGuess follow the data; paste the
  // clipboard; undo and redo the history; the rest are left alone (true).
  bool ToolbarButtonEnabled(int command) const;
};

// ---- the commands ----

// Runs a command of the drivers' table: a model 500..539, FitHunter (478;
// `notifyCode` 0 from the menu or toolbar shows its dialog, any other code
// is an accelerator), Calculate Groups (482), Reexamine (481), Clear
// Curvefits (466) or a weighting command (455..460). False when the command
// is not one of these.
bool DispatchFitCommand(CurveFit& doc, int command, int notifyCode = 0);

// A model command of 500, 501 or 503..537: brings an open, still current
// graph window of the model to the front, or else opens the fit window.
// Answers kWindowOpened when a window was raised or opened, otherwise what
// OpenFitWindow answered.
int ModelCommand(CurveFit& doc, int id);

// The polynomial (502), tension spline (538) and user model (539)
// commands: their dialog first, unless the skip-dialog flag is clear.
// Answers as ModelCommand; kWindowDeclined when the dialog was cancelled.
int PolynomialCommand(CurveFit& doc);
int TensionSplineCommand(CurveFit& doc);
int UserModelCommand(CurveFit& doc);

// 1 when an open graph window of model `id` whose fit is still current was
// shown and brought to the front; 0 otherwise (a window whose fit went
// stale is closed on the way).
int ReuseOpenWindow(CurveFit& doc, int id);

// Fits model `id` unless its fit is current, then creates, queues and shows
// its graph window (with "NoGraphs" on, the window stays hidden and its
// information window opens instead, except for the data plot 503).
// kWindowOpened, kWindowDeclined (the grid refused, the fit failed, the
// queue was full) or kWindowError; the answer is also the session's lastOpenWindowResult.
int OpenFitWindow(CurveFit& doc, int id);

// Whether the stored fit of `id` can be shown without fitting again: fitted
// under the present weighting (interpolations and the user model: fitted at
// all); the polynomial also with the current degree; the data plot whenever
// it has been plotted since the data last changed.
bool FitIsCurrent(const CurveFit& doc, int id);

// The title of model `id`'s graph window (its descriptor's name).
std::string GraphWindowTitle(CurveFit& doc, int id);

// Which commands the data allow (into Availability); with `flag` 0 and data
// changed since they were last examined, also every open graph refreshes,
// every fit becomes not current and the data statistics are recomputed.
void Reexamine(CurveFit& doc, int flag);

// "C&lear Curvefits": every fit forgotten, the results list emptied, every
// graph window closed, every result released, then Reexamine.
void ClearCurvefits(CurveFit& doc);

// The weighting menu: the checked command, and whether "By &Uncertainty"
// (459) is enabled (only with an uncertainty column). A stored 459 without
// an uncertainty column falls back to 460 (the setting is changed).
struct WeightingMenuState {
  int checked = 0;
  bool uncertaintyEnabled = false;
};
WeightingMenuState RefreshWeightingMenu(const CurveFit& doc);

// Commands 455..460: the command becomes the "Weighting" setting and the
// menu is refreshed. Nothing stored changes: fits of 500..533 simply stop
// being current under another scheme.
WeightingMenuState WeightingCommand(const CurveFit& doc, int command);

// The status bar's idle content: the program's caption in the first field, the
// data file's name in the fourth (the window refreshes its key indicators).
void RestoreIdleStatusBar(const CurveFit& doc);

// Installs the document hooks the drivers answer for `doc`: the ranking
// rebuilt after every fit, the results list emptied and every graph closed
// when a new data set arrives, the application refresh (Reexamine) and the
// weighting command. The windows add theirs on top.
void InstallFitDriverHooks(CurveFit& doc);

}  // namespace trendolin
