// Data-point symbols drawn in runs: the symbol's shape is worked out once and
// the surface draws it at every point of the run in one call.
#pragma once

#include <vector>

#include "graph/plot_renderer.h"

namespace trendolin {

// The shape DrawSymbol draws for `style` around the point (0, 0).
MarkerShape SymbolShape(const SymbolStyle& style);

// Collects the symbols of one plot and draws them in batches, in the order
// they were added: the same picture as DrawSymbol point by point, with the
// pen and brush selected when the run started.
class SymbolRun {
 public:
  SymbolRun(Surface& surface, const PlotTransform& transform, const SymbolStyle& style, bool errorBars);
  SymbolRun(const SymbolRun&) = delete;
  SymbolRun& operator=(const SymbolRun&) = delete;

  // As DrawSymbol: returns 1 for a point outside the plot (never drawn),
  // else 0. The symbol may be drawn only at the next Flush.
  int Add(const PlotPoint& point, Point pixel);
  // Draws what was added since the last flush. Call it when the run ends:
  // what is still held when the run goes is not drawn.
  void Flush();

 private:
  // Markers held at once: enough to make a batch worth it, few enough to
  // keep the memory of a run of millions of points small.
  static constexpr std::size_t kBatch = 4096;

  Surface& surface_;
  const PlotTransform& transform_;
  const SymbolStyle style_;
  const bool errorBars_;
  MarkerShape shape_;
  std::vector<Point> at_;
  std::vector<ErrorBarExtent> bars_;
};

}  // namespace trendolin
