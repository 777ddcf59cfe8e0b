// The mapping between data values and pixels of the plot area, linear or
// logarithmic on each axis.
#pragma once

#include "graph/surface.h"

namespace trendolin {

// Pixels are relative to the plot area's bottom-left corner, x to the right
// and y upward negative, as the renderer draws once its origin sits there.
struct PlotTransform {
  Rect plot;           // the plot area in device pixels
  double xLow = 0;     // axis ends; whole decades on a logarithmic axis
  double xHigh = 1;
  double yLow = 0;
  double yHigh = 1;
  bool logX = false;
  bool logY = false;

  int Width() const { return plot.right - plot.left; }
  int Height() const { return plot.top - plot.bottom; }  // negative

  // The pixel of a value, truncated toward zero. Values the axis cannot show
  // at all (the logarithm of zero, overflow) land far outside the plot.
  int XPixel(double x) const;
  int YPixel(double y) const;
  Point ToPixel(double x, double y) const { return {XPixel(x), YPixel(y)}; }
  // The value at a pixel (ten to that power on a logarithmic axis).
  double XValue(double px) const;
  double YValue(double py) const;
  // Pixels per unit on the y axis (per decade when logarithmic); negative.
  double YScale() const;
};

// A pixel coordinate from an unbounded value: truncated toward zero and held
// within a range every surface can draw; not-a-number lands far off.
int ClampToPixel(double value);

}  // namespace trendolin
