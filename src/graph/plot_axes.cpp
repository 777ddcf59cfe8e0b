// Tick and grid positions of the plot axes.
#include "graph/plot_axes.h"

#include <cmath>
#include <cstdio>

#include "graph/plot_transform.h"

namespace trendolin {
namespace {

// More ticks than any plot can show: a step far too small for its range
// (typed in the properties dialog) must not hang the drawing.
constexpr int kMaxTicks = 10000;

// The step a linear axis walks by; none when it would never get anywhere.
bool UsableStep(const AxisSpec& axis) {
  const datatype step = std::fabs(axis.step);
  if (!(step > 0) || !std::isfinite(step)) return false;
  return (axis.max - axis.min) / step < kMaxTicks;
}

AxisSpec MakeAxis(bool logarithmic, datatype min, datatype max, datatype step, int minorTicks, int precision,
                  bool scientific) {
  AxisSpec axis;
  axis.logarithmic = logarithmic;
  axis.min = min;
  axis.max = max;
  axis.step = step;
  axis.minorTicks = minorTicks;
  axis.format = TickLabelFormat(precision, scientific);
  if (logarithmic) {
    axis.low = std::floor(std::log10(static_cast<double>(min)));
    axis.high = std::ceil(std::log10(static_cast<double>(max)));
    // Both ends in one decade (or at the same power of ten): show that decade.
    if (axis.high <= axis.low) axis.high = axis.low + 1;
  } else {
    axis.low = min;
    axis.high = max;
  }
  return axis;
}

void LogTicks(const AxisSpec& axis, int length, std::vector<AxisTick>& ticks) {
  const double scale = length / (axis.high - axis.low);
  const double top = std::pow(10.0, axis.high);
  for (double w = axis.low; w < axis.high + 0.1; w += 1) {
    const double decade = std::pow(10.0, w);
    ticks.push_back({ClampToPixel((w - axis.low) * scale), true, FormatTickLabel(axis.format, decade)});
    const double next = std::pow(10.0, w + 1);
    for (int m = 2; m <= 9; ++m) {
      const double v = decade * m;
      if (v >= top || v >= next) break;
      ticks.push_back({AxisPixel(axis, v, length), false, {}});
    }
  }
}

void LinearTicks(const AxisSpec& axis, int length, std::vector<AxisTick>& ticks) {
  if (!UsableStep(axis)) return;
  const datatype step = std::fabs(axis.step);
  const datatype minorStep = step / static_cast<datatype>(axis.minorTicks + 1);
  for (datatype w = axis.min; w < axis.max + minorStep; w += step) {
    ticks.push_back({AxisPixel(axis, w, length), true, FormatTickLabel(axis.format, w)});
    for (int m = 1; m <= axis.minorTicks; ++m) {
      const datatype v = w + static_cast<datatype>(m) * minorStep;
      if (v >= axis.max) break;
      ticks.push_back({AxisPixel(axis, v, length), false, {}});
    }
  }
}

}  // namespace

AxisSpec XAxisSpec(const GraphAttr& attr) {
  return MakeAxis(attr.Switch(kSwLogX), attr.xMin, attr.xMax, attr.xStep, attr.xMinorTicks, attr.xPrecision,
                  attr.Switch(kSwScientificX));
}

AxisSpec YAxisSpec(const GraphAttr& attr) {
  return MakeAxis(attr.Switch(kSwLogY), attr.yMin, attr.yMax, attr.yStep, attr.yMinorTicks, attr.yPrecision,
                  attr.Switch(kSwScientificY));
}

std::string TickLabelFormat(int precision, bool scientific) {
  return "%." + std::to_string(precision) + (scientific ? "e" : "f");
}

std::string FormatTickLabel(const std::string& format, double value) {
  char text[512];  // "%.255f" of the largest float fits
  std::snprintf(text, sizeof text, format.c_str(), value);
  return text;
}

int AxisPixel(const AxisSpec& axis, double value, int length) {
  const double v = axis.logarithmic ? std::log10(value) : value;
  return ClampToPixel((v - axis.low) * length / (axis.high - axis.low));
}

std::vector<AxisTick> AxisTicks(const AxisSpec& axis, int length) {
  std::vector<AxisTick> ticks;
  if (axis.logarithmic) {
    LogTicks(axis, length, ticks);
  } else {
    LinearTicks(axis, length, ticks);
  }
  return ticks;
}

std::vector<int> GridPixels(const AxisSpec& axis, int length) {
  std::vector<int> pixels;
  if (axis.logarithmic) {
    for (double k = axis.low + 1; k < axis.high; k += 1) pixels.push_back(AxisPixel(axis, std::pow(10.0, k), length));
    return pixels;
  }
  if (!UsableStep(axis)) return pixels;
  const datatype step = std::fabs(axis.step);
  for (int n = 1;; ++n) {
    const datatype v = axis.min + static_cast<datatype>(n) * step;
    if (!(v < axis.max - step / 20)) break;
    pixels.push_back(AxisPixel(axis, v, length));
  }
  return pixels;
}

}  // namespace trendolin
