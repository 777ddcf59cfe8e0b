// The arithmetic behind a graph window's mouse zoom and arrow-key panning:
// new axis limits from a dragged rectangle or a key, on the attributes'
// linear axes only.
#pragma once

#include <cstdint>

#include "graph/graph_attr.h"
#include "graph/surface.h"

namespace trendolin {

// A drag must be wider and higher than this many pixels to zoom; anything
// smaller is taken for a click that slipped.
inline constexpr int kZoomDragSlack = 19;

// a * b / c in 64 bits, rounded to the nearest integer (halves away from
// zero). c must not be 0.
std::int64_t MulDivRound(std::int64_t a, std::int64_t b, std::int64_t c);

// Zooms the axes of `attr` to the rectangle dragged from `start` to `end`
// (window pixels), using the plot rectangle the last screen rendering stored
// in `attr`. Dragged left to right it zooms in: the rectangle becomes the
// whole plot. Dragged right to left it zooms out: the whole plot shrinks into
// the rectangle. The steps scale with the ranges, so the tick count stays.
// Nothing changes (false) for a drag of kZoomDragSlack pixels or less either
// way, a corner outside the plot area, a logarithmic axis, or a plot
// rectangle that was never stored.
bool ZoomToDrag(GraphAttr& attr, Point start, Point end);

enum class PanDirection { Left, Right, Up, Down };

// Moves both ends of one axis by its step, or by its minor step (the step
// over minor ticks + 1) when `minorStep`. Left and Down decrease the values,
// Right and Up increase them. A logarithmic axis does not move (false).
bool PanAxes(GraphAttr& attr, PanDirection direction, bool minorStep);

}  // namespace trendolin
