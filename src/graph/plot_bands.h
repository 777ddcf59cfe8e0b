// The shaded 95% bands around a regression's fitted curve: where the true
// curve lies (confidence) and where a new measurement would (prediction).
#pragma once

#include "fit/fit_statistics.h"
#include "graph/plot_transform.h"
#include "graph/surface.h"

namespace trendolin {

struct BandShading {
  bool confidence = false;
  bool prediction = false;
  Colour curve = kBlack;       // the fitted curve's colour
  Colour background = kWhite;  // the plot area's
  bool monochrome = false;
};

// The shade of a band: the curve's colour a fifth (prediction) or a third
// (confidence) of the way from the background; greys when monochrome.
Colour BandColour(const BandShading& shading, bool prediction);

// Fills the chosen bands, the wider prediction band first, sampled every
// `step` pixel columns; each stretch where the band exists becomes one
// polygon, held within the plot area's height. Drawn on a surface whose
// origin is the plot area's bottom-left corner.
void DrawFitBands(Surface& surface, const PlotTransform& transform, int step, const FitBands& bands,
                  const BandShading& shading);

}  // namespace trendolin
