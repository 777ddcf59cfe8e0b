// Data-to-pixel mapping of the plot area.
#include "graph/plot_transform.h"

#include <cmath>

namespace trendolin {
namespace {

// Far enough outside any plot to be clipped or rejected, near enough for
// every surface to draw a line towards it.
constexpr double kPixelLimit = 1.0e7;

double AxisValue(double value, bool logarithmic) { return logarithmic ? std::log10(value) : value; }

}  // namespace

int ClampToPixel(double value) {
  if (std::isnan(value)) return static_cast<int>(kPixelLimit);
  if (value > kPixelLimit) return static_cast<int>(kPixelLimit);
  if (value < -kPixelLimit) return static_cast<int>(-kPixelLimit);
  return static_cast<int>(value);  // truncation toward zero
}

int PlotTransform::XPixel(double x) const {
  return ClampToPixel((AxisValue(x, logX) - xLow) * Width() / (xHigh - xLow));
}

int PlotTransform::YPixel(double y) const {
  return ClampToPixel((AxisValue(y, logY) - yLow) * Height() / (yHigh - yLow));
}

double PlotTransform::YScale() const { return Height() / (yHigh - yLow); }

double PlotTransform::XValue(double px) const {
  const double v = xLow + px * (xHigh - xLow) / Width();
  return logX ? std::pow(10.0, v) : v;
}

double PlotTransform::YValue(double py) const {
  const double v = yLow + py * (yHigh - yLow) / Height();
  return logY ? std::pow(10.0, v) : v;
}

}  // namespace trendolin
