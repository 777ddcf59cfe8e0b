// Where the Window menu puts the graph windows: tiled over the screen,
// cascaded from its top-left corner, and where Find Main Window brings a lost
// main window back. Pure geometry on measured sizes; the windows only move.
#pragma once

#include <optional>
#include <vector>

#include "graph/surface.h"

namespace trendolin {

// A new graph window is 45 by 31 lines of the interface font.
inline int DefaultGraphWidth(int uiTextHeight) { return 45 * uiTextHeight; }
inline int DefaultGraphHeight(int uiTextHeight) { return 31 * uiTextHeight; }

struct TileGrid {
  int columns = 0;
  int rows = 0;
};

// round(sqrt(count)) columns, and as many rows, plus one when they do not
// hold every window.
TileGrid TileGridFor(int count);

// The cells of `count` tiled windows in placing order (row by row, left to
// right) on a screen of the given size. The bottom 2.5 icon heights stay
// free for minimised windows.
std::vector<Rect> TileRects(int count, int screenWidth, int screenHeight, int iconHeight);

// What a window's frame adds, for stepping cascaded windows so that each
// caption stays visible below the previous one.
struct FrameSizes {
  int captionHeight = 0;
  int borderWidth = 0;
  int borderHeight = 0;
};

// The top-left corners of `count` cascaded windows of windowWidth x
// windowHeight, and one more for the main window that goes behind them. A
// window that would reach past the screen's right or bottom edge starts
// again at the first corner.
std::vector<Point> CascadePositions(int count, int screenWidth, int screenHeight, int windowWidth, int windowHeight,
                                    const FrameSizes& frame);

// Find Main Window: nullopt when `window` lies entirely on the screen;
// otherwise the top-left corner that centres a default-sized main window.
std::optional<Point> RescuedMainWindowPosition(const Rect& window, int screenWidth, int screenHeight,
                                               int defaultWidth, int defaultHeight);

}  // namespace trendolin
