// Mouse zoom and arrow-key panning of a graph's axes.
#include "graph/graph_zoom.h"

#include <algorithm>
#include <cstdlib>

namespace trendolin {
namespace {

// The dragged corners in plot coordinates: origin at the plot's bottom-left
// corner, y growing upwards as negative numbers (x1 < x2, y1 < y2).
struct PlotCorners {
  std::int64_t x1, x2, y1, y2;
};

// Pushes the corners outwards so that the current view, mapped onto the
// new limits, lands inside the dragged rectangle. w and h are the plot's
// width and (negative) height.
PlotCorners ZoomOutCorners(const PlotCorners& c, std::int64_t w, std::int64_t h) {
  const std::int64_t t = (c.x1 + c.x2) / 2;
  const std::int64_t m = (c.y1 + c.y2) / 2;
  return PlotCorners{
      t - MulDivRound(t, t, t - c.x1),
      t + MulDivRound(w - t, w - t, c.x2 - t),
      m - MulDivRound(m - h, m - h, m - c.y1),
      m + MulDivRound(-m, -m, c.y2 - m),
  };
}

bool Inside(std::int64_t v, std::int64_t low, std::int64_t high) { return v >= low && v <= high; }

}  // namespace

std::int64_t MulDivRound(std::int64_t a, std::int64_t b, std::int64_t c) {
  const std::int64_t product = a * b;
  const bool negative = (product < 0) != (c < 0);
  const std::int64_t magnitude = std::llabs(product);
  const std::int64_t divisor = std::llabs(c);
  const std::int64_t rounded = (2 * magnitude + divisor) / (2 * divisor);
  return negative ? -rounded : rounded;
}

bool ZoomToDrag(GraphAttr& attr, Point start, Point end) {
  if (std::abs(end.x - start.x) <= kZoomDragSlack || std::abs(end.y - start.y) <= kZoomDragSlack) return false;
  if (attr.Switch(kSwLogX) || attr.Switch(kSwLogY)) return false;
  const Rect& plot = attr.plotRect;
  const std::int64_t w = plot.right - plot.left;
  const std::int64_t h = plot.top - plot.bottom;
  if (w <= 0 || h >= 0) return false;
  const datatype xRange = attr.xMax - attr.xMin;
  const datatype yRange = attr.yMax - attr.yMin;
  if (xRange == 0 || yRange == 0) return false;

  PlotCorners c{std::min(start.x, end.x) - plot.left, std::max(start.x, end.x) - plot.left,
                std::min(start.y, end.y) - plot.bottom, std::max(start.y, end.y) - plot.bottom};
  if (!Inside(c.x1, 0, w) || !Inside(c.x2, 0, w) || !Inside(c.y1, h, 0) || !Inside(c.y2, h, 0)) return false;
  if (end.x < start.x) c = ZoomOutCorners(c, w, h);

  const datatype sx = static_cast<datatype>(w) / xRange;
  const datatype sy = static_cast<datatype>(h) / yRange;
  const datatype xMin = attr.xMin + static_cast<datatype>(c.x1) / sx;
  const datatype xMax = attr.xMin + static_cast<datatype>(c.x2) / sx;
  const datatype yMin = attr.yMin + static_cast<datatype>(c.y2) / sy;
  const datatype yMax = attr.yMin + static_cast<datatype>(c.y1) / sy;
  attr.xStep *= (xMax - xMin) / xRange;
  attr.yStep *= (yMax - yMin) / yRange;
  attr.xMin = xMin;
  attr.xMax = xMax;
  attr.yMin = yMin;
  attr.yMax = yMax;
  return true;
}

bool PanAxes(GraphAttr& attr, PanDirection direction, bool minorStep) {
  const bool horizontal = direction == PanDirection::Left || direction == PanDirection::Right;
  if (attr.Switch(horizontal ? kSwLogX : kSwLogY)) return false;
  datatype step = horizontal ? attr.xStep : attr.yStep;
  if (minorStep) step /= static_cast<datatype>((horizontal ? attr.xMinorTicks : attr.yMinorTicks) + 1);
  if (direction == PanDirection::Left || direction == PanDirection::Down) step = -step;
  datatype& low = horizontal ? attr.xMin : attr.yMin;
  datatype& high = horizontal ? attr.xMax : attr.yMax;
  low += step;
  high += step;
  return true;
}

}  // namespace trendolin
