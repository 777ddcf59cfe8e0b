// Shaded bands around the fitted curve.
#include "graph/plot_bands.h"

#include <algorithm>
#include <cmath>
#include <optional>
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

// Fills each stretch of `edges` where the band exists as one polygon.
void FillBand(Surface& surface, const std::vector<std::optional<Edge>>& edges) {
  std::vector<Edge> run;
  for (const std::optional<Edge>& edge : edges) {
    if (edge) {
      run.push_back(*edge);
      continue;
    }
    FillRun(surface, run);
    run.clear();
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
  const int width = transform.Width();
  if (width <= 0 || (!shading.confidence && !shading.prediction)) return;
  step = std::max(step, 1);
  const int top = transform.Height();  // negative: rows run upward from 0
  // Both bands from one evaluation per column. A band edge that leaves the
  // plot is held at its border; on a logarithmic axis a lower edge at or
  // below zero is at the bottom.
  std::vector<std::optional<Edge>> confidence, prediction;
  auto edge = [&](int column, double y, double half) -> std::optional<Edge> {
    if (!std::isfinite(y) || !std::isfinite(half)) return std::nullopt;
    return Edge{column, std::clamp(transform.YPixel(y + half), top, 0), std::clamp(transform.YPixel(y - half), top, 0)};
  };
  for (int column = 0; column <= width; column = column < width ? std::min(column + step, width) : width + 1) {
    const FitBands::HalfWidths half = bands.At(transform.XValue(column));
    confidence.push_back(edge(column, half.value, half.confidence));
    prediction.push_back(edge(column, half.value, half.prediction));
  }
  // The wider prediction band first, the confidence band over it.
  for (const bool isPrediction : {true, false}) {
    if (isPrediction ? !shading.prediction : !shading.confidence) continue;
    const Colour shade = BandColour(shading, isPrediction);
    surface.SelectPen(Pen{PenStyle::Solid, 0, shade});
    surface.SelectBrush(Brush{false, shade});
    FillBand(surface, isPrediction ? prediction : confidence);
  }
}

}  // namespace trendolin
