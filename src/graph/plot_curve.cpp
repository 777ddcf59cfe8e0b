// The curve sampler: the fitted function drawn as polylines over the stretches
// where it stays inside the plot's height.
#include <algorithm>
#include <new>
#include <vector>

#include "graph/plot_renderer.h"

namespace trendolin {
namespace {

// A sampled column of the plot and the pixel row of the curve there.
struct Sample {
  int column;
  int row;
};

class CurveSampler {
 public:
  CurveSampler(const PlotTransform& transform, int step, const CurveFunction& f)
      : transform_(transform), step_(std::max(step, 1)), width_(transform.Width()), height_(transform.Height()), f_(f) {}

  // Columns 0, s, 2s, ... and finally the last column, W.
  int Next(int column) const { return column < width_ ? std::min(column + step_, width_) : width_ + 1; }
  bool Done(int column) const { return column > width_; }

  Sample At(int column) const {
    const datatype x = static_cast<datatype>(transform_.XValue(column));
    return {column, transform_.YPixel(f_(x))};
  }
  // Rows run from 0 at the bottom to the (negative) height at the top.
  bool Inside(const Sample& s) const { return s.row <= 0 && s.row >= height_; }

  int BackTwo(int column) const { return std::max(0, column - 2 * step_); }
  std::size_t RunCapacity(int column) const { return static_cast<std::size_t>((width_ - column) / step_ + 5); }

 private:
  const PlotTransform& transform_;
  int step_;
  int width_;
  int height_;
  const CurveFunction& f_;
};

}  // namespace

void DrawCurve(Surface& surface, const PlotTransform& transform, int step, const CurveFunction& f) {
  if (transform.Width() <= 0) return;
  const CurveSampler sampler(transform, step, f);
  int column = 0;
  while (!sampler.Done(column)) {
    // Skip the stretch the plot does not show; it allocates nothing.
    Sample entry = sampler.At(column);
    while (!sampler.Inside(entry)) {
      column = sampler.Next(column);
      if (sampler.Done(column)) return;
      entry = sampler.At(column);
    }

    std::vector<Point> run;
    try {
      run.reserve(sampler.RunCapacity(column));
    } catch (const std::bad_alloc&) {
      return;
    }
    // Two columns of lead-in, so the line reaches the edge it came from.
    for (int c = sampler.BackTwo(column); c < column; c = sampler.Next(c)) {
      const Sample lead = sampler.At(c);
      run.push_back({lead.column, lead.row});
    }
    run.push_back({entry.column, entry.row});
    // The first column outside ends the run and is part of it.
    column = sampler.Next(column);
    while (!sampler.Done(column)) {
      const Sample s = sampler.At(column);
      run.push_back({s.column, s.row});
      column = sampler.Next(column);
      if (!sampler.Inside(s)) break;
    }
    surface.Polyline(run);
  }
}

}  // namespace trendolin
