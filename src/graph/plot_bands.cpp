// Shaded bands around the fitted curve.
#include "graph/plot_bands.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace trendolin {
namespace {

Colour Mix(Colour from, Colour to, double share) {
  auto channel = [share](int a, int b) { return static_cast<int>(std::lround(a + (b - a) * share)); };
  return MakeColour(channel(RedOf(from), RedOf(to)), channel(GreenOf(from), GreenOf(to)),
                    channel(BlueOf(from), BlueOf(to)));
}

// One pixel column of a band: its upper and lower rows.
struct Edge {
  int column;
  int upper;
  int lower;
};

void FillRun(Surface& surface, const std::vector<Edge>& run) {
  if (run.size() < 2) return;
  std::vector<Point> outline;
  outline.reserve(run.size() * 2);
  for (const Edge& e : run) outline.push_back({e.column, e.upper});
  for (auto e = run.rbegin(); e != run.rend(); ++e) outline.push_back({e->column, e->lower});
  surface.Polygon(outline);
}

void DrawBand(Surface& surface, const PlotTransform& transform, int step, const FitBands& bands, bool prediction) {
  const int width = transform.Width();
  const int top = transform.Height();  // negative: rows run upward from 0
  std::vector<Edge> run;
  for (int column = 0; column <= width; column = column < width ? std::min(column + step, width) : width + 1) {
    const double x = transform.XValue(column);
    const double y = bands.Value(x);
    const FitBands::HalfWidths half = bands.At(x);
    const double h = prediction ? half.prediction : half.confidence;
    if (!std::isfinite(y) || !std::isfinite(h)) {
      FillRun(surface, run);
      run.clear();
      continue;
    }
    // A band edge that leaves the plot is held at its border; on a
    // logarithmic axis a lower edge at or below zero is at the bottom.
    const int upper = std::clamp(transform.YPixel(y + h), top, 0);
    const int lower = std::clamp(transform.YPixel(y - h), top, 0);
    run.push_back({column, upper, lower});
  }
  FillRun(surface, run);
}

}  // namespace

Colour BandColour(const BandShading& shading, bool prediction) {
  if (shading.monochrome) return prediction ? MakeColour(232, 232, 232) : MakeColour(208, 208, 208);
  return Mix(shading.background, shading.curve, prediction ? 0.2 : 1.0 / 3);
}

void DrawFitBands(Surface& surface, const PlotTransform& transform, int step, const FitBands& bands,
                  const BandShading& shading) {
  if (transform.Width() <= 0) return;
  step = std::max(step, 1);
  for (const bool prediction : {true, false}) {
    if (prediction ? !shading.prediction : !shading.confidence) continue;
    const Colour shade = BandColour(shading, prediction);
    surface.SelectPen(Pen{PenStyle::Solid, 0, shade});
    surface.SelectBrush(Brush{false, shade});
    DrawBand(surface, transform, step, bands, prediction);
  }
}

}  // namespace trendolin
