// The main window's menu bar, toolbar and accelerators as data: command
// numbers, labels and shortcuts. The window builds its widgets from these
// tables, and the help line and tooltip of every command come from the
// numbered strings.
#pragma once

#include <string>
#include <vector>

namespace trendolin {

// Commands of the main window that no other module names.
namespace cmd {
inline constexpr int kNew = 499, kOpen = 498, kSave = 497, kSaveAs = 496, kExport = 495, kPrint = 492,
                     kPrintSetup = 491, kExit = 490;
inline constexpr int kUndo = 485, kRedo = 454, kCut = 489, kCopy = 488, kPaste = 487, kClear = 486,
                     kSelectAll = 484;
inline constexpr int kPlot = 503, kManipulate = 479, kTransform = 10017, kReexamine = 481, kInformation = 468;
inline constexpr int kAutoGuess = 493, kClearCurvefits = 466, kViewHistory = 464, kEditCurrentFile = 465,
                     kCalculateGroups = 482, kFitHunter = 478, kOptions = 494;
inline constexpr int kTile = 471, kCascade = 477, kRefreshAll = 473, kRestoreAll = 472, kMinimizeAll = 474,
                     kCloseAll = 476;
inline constexpr int kHelpContents = 470, kHelpSearch = 463, kHomePage = 462, kAbout = 469;
inline constexpr int kAccept = 298, kAbort = 299;
inline constexpr int kFirstRecentFile = 8001, kLastRecentFile = 8009;
inline constexpr int kWeightingY2 = 455, kWeightingNone = 460;
}  // namespace cmd

struct MenuEntry {
  enum class Kind { Command, Separator, Submenu };
  Kind kind = Kind::Command;
  int command = 0;           // Command: its number; Submenu: the help string's number, or 0
  std::string text;          // "&Undo\tCtrl+Z": the part after the tab is the shortcut shown
  bool checkable = false;
  std::vector<MenuEntry> children;  // Submenu only
};

struct TopMenu {
  std::string title;
  std::vector<MenuEntry> entries;
};

// File, Edit, Data, Interpolate, Apply Fit, Tools, Window, Help.
const std::vector<TopMenu>& MainMenuBar();
inline constexpr int kEditMenuIndex = 1;
inline constexpr int kApplyFitMenuIndex = 4;
inline constexpr int kFileMenuIndex = 0;

// The File menu's recent files go in before "E&xit".
inline constexpr int kRecentFilesBefore = cmd::kExit;

// The menu help of a command (the numbered string of the same number, at most
// 51 characters), or the idle caption when there is none.
std::string MenuHelpText(int command);
// A toolbar button's tooltip: string command + 1500, at most 39 characters.
std::string ToolTipText(int command);

struct ToolbarEntry {
  int command = 0;  // 0: a separator
  int image = -1;   // the picture's index in the button strip
  bool checkable = false;
};
// In order, the leading separator included; Abort and Accept last.
const std::vector<ToolbarEntry>& MainToolbar();

struct Accelerator {
  std::string keys;  // "Ctrl+Del", "Ctrl+A", ...
  int command = 0;
};
const std::vector<Accelerator>& MainAccelerators();

// The command a menu label reaches (for the log's "MAIN menu -- %s"), or
// the empty string when no menu item carries it.
std::string MenuTextOf(int command);

}  // namespace trendolin
