// Where the ticks, tick labels and grid lines of one plot axis go: shared by
// the horizontal and the vertical axis of the renderer.
#pragma once

#include <string>
#include <vector>

#include "graph/graph_attr.h"
#include "precision/datatype.h"

namespace trendolin {

// One axis as the attributes describe it.
struct AxisSpec {
  bool logarithmic = false;
  datatype min = 0;    // the attribute's ends and major step
  datatype max = 1;
  datatype step = 1;
  double low = 0;      // the drawn ends: min and max, or whole decades
  double high = 1;
  int minorTicks = 3;  // between two major ticks
  std::string format;  // printf layout of the tick labels
};

struct AxisTick {
  int pixel = 0;      // from the axis start, along the plot's length
  bool major = false;
  std::string label;  // major ticks only
};

// The axis of x (or y) of `attr`: its drawn ends and label layout.
AxisSpec XAxisSpec(const GraphAttr& attr);
AxisSpec YAxisSpec(const GraphAttr& attr);

// "%.<precision>e" or "%.<precision>f".
std::string TickLabelFormat(int precision, bool scientific);
std::string FormatTickLabel(const std::string& format, double value);

// Pixel of a value along an axis `length` pixels long (negative for y).
int AxisPixel(const AxisSpec& axis, double value, int length);

// Every tick from the low end to the high end in drawing order: each major
// tick followed by the minor ticks after it.
std::vector<AxisTick> AxisTicks(const AxisSpec& axis, int length);

// The pixels of the major grid lines (none at the axis ends).
std::vector<int> GridPixels(const AxisSpec& axis, int length);

}  // namespace trendolin
