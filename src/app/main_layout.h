// Where the main window puts its children, how large it may shrink, where
// its status-bar parts end and where it opens: pure arithmetic on measured
// sizes, so the window itself only measures and moves.
#pragma once

#include <array>
#include <string>

#include "graph/surface.h"

namespace platform {
class ProfileFile;
}

namespace trendolin {

// What the layout is computed from, all in pixels. The client area is the
// window's inside below the menu bar, toolbar and status bar included.
struct MainLayoutInput {
  int width = 0;          // client width w
  int height = 0;         // client height h
  int statusHeight = 0;   // s
  int textHeight = 0;     // d, the UI font's character height
  int charWidth = 0;      // e, the UI font's average character width
  int scrollWidth = 0;    // v, a vertical scroll bar's width
  int dialogBaseX = 0;    // the horizontal dialog base unit
  // The "Rank" header is 5 dialog units wide, or wider when its text needs
  // more with this font: a header never clips its word.
  int rankTextWidth = 0;
};

// The children's rectangles in client coordinates (right and bottom exclusive).
struct MainLayout {
  Rect resultsList;
  Rect rankHeader;        // the "Rank" header box
  Rect regressionHeader;  // the "Regression" header box
  Rect listBorder;        // the sunken border round the list and its headers
  Rect preview;
  Rect grid;
};

// The top of the work area: the toolbar and the separator line under it fit above.
inline constexpr int kMainTop = 50;

MainLayout ComputeMainLayout(const MainLayoutInput& in);

// The smallest client-independent window size: width 60 e; height the caption,
// two frames, two header heights (3 d / 2 each), the work area's top and the
// status bar.
struct MinimumSize {
  int width = 0;
  int height = 0;
};
MinimumSize MainMinimumSize(int charWidth, int textHeight, int captionHeight, int frameHeight, int statusHeight);

// Right edges of the first three status-bar fields (the fourth runs to the
// window's edge): the first ends at 21 b + 9 border heights, the second and
// third add 3 b + 9 border heights each, b being the status font's widest
// character.
std::array<int, 3> StatusPartEdges(int widestChar, int borderHeight);

// The main window's placement from section "Window" ("Right" and "Bottom"
// hold the width and height) under the "SaveWindowPos" rule, on a desktop of
// the given size, with the default window size.
struct WindowPlacement {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};
inline constexpr const char* kWindowSection = "Window";
WindowPlacement MainWindowPlacement(const platform::ProfileFile& profile, bool saveWindowPos, int desktopWidth,
                                    int desktopHeight, int defaultWidth, int defaultHeight);
// Fits a window rectangle (relative to the desktop's work area of the given
// size) onto that area: no wider or taller than the area, and wholly on it.
// Stored sizes in the billions once made the grid's painting fail at every
// start, and a window stored far off every screen stayed out of reach; both
// are mended where the rectangle is read and again where it is saved, so a
// bad rectangle never persists. A size of nothing takes the default size.
WindowPlacement FitPlacementToDesktop(WindowPlacement p, int desktopWidth, int desktopHeight, int defaultWidth,
                                      int defaultHeight);
// Writes the restored rectangle back to section "Window" of the settings
// file at `path`. False (with a reason) when the file cannot be written.
bool SaveMainWindowPlacement(const WindowPlacement& placement, const std::string& path, std::string* error = nullptr);

// The default sizes derived from the UI font's character height.
inline int DefaultWindowWidth(int uiTextHeight) { return 43 * uiTextHeight; }
inline int DefaultWindowHeight(int uiTextHeight) { return 40 * uiTextHeight; }

}  // namespace trendolin
