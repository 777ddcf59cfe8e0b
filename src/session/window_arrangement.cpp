// Tile, cascade and rescue geometry for the Window menu and the graph windows.
#include "session/window_arrangement.h"

#include <cmath>

namespace trendolin {
namespace {

constexpr int kCascadeStart = 5;

// Adds a half and truncates, as the layout has always rounded.
int RoundHalfUp(double v) { return static_cast<int>(v + 0.5); }

}  // namespace

TileGrid TileGridFor(int count) {
  if (count <= 0) return {};
  const int columns = RoundHalfUp(std::sqrt(static_cast<double>(count)));
  return TileGrid{columns, columns * columns < count ? columns + 1 : columns};
}

std::vector<Rect> TileRects(int count, int screenWidth, int screenHeight, int iconHeight) {
  std::vector<Rect> cells;
  const TileGrid grid = TileGridFor(count);
  if (grid.columns == 0) return cells;
  const int width = RoundHalfUp(static_cast<double>(screenWidth) / grid.columns);
  const int height = RoundHalfUp(static_cast<double>(screenHeight - 5 * iconHeight / 2) / grid.rows);
  for (int i = 0; i < count; ++i) {
    const int left = (i % grid.columns) * width;
    const int top = (i / grid.columns) * height;
    cells.push_back(Rect{left, top, left + width, top + height});
  }
  return cells;
}

std::vector<Point> CascadePositions(int count, int screenWidth, int screenHeight, int windowWidth, int windowHeight,
                                    const FrameSizes& frame) {
  std::vector<Point> corners;
  Point next{kCascadeStart, kCascadeStart};
  for (int i = 0; i <= count; ++i) {
    corners.push_back(next);
    next.x += frame.captionHeight + frame.borderWidth + 1;
    next.y += frame.captionHeight + frame.borderHeight + 1;
    if (next.x + windowWidth > screenWidth || next.y + windowHeight > screenHeight) {
      next = Point{kCascadeStart, kCascadeStart};
    }
  }
  return corners;
}

std::optional<Point> RescuedMainWindowPosition(const Rect& window, int screenWidth, int screenHeight,
                                               int defaultWidth, int defaultHeight) {
  const bool onScreen =
      window.left >= 0 && window.top >= 0 && window.right <= screenWidth && window.bottom <= screenHeight;
  if (onScreen) return std::nullopt;
  return Point{(screenWidth - defaultWidth) / 2, (screenHeight - defaultHeight) / 2};
}

}  // namespace trendolin
