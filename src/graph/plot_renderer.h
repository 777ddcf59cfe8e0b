// The plot renderer: draws one fit (data points, fitted curve or residuals,
// axes, grid, titles and header) from its graph attributes into a rectangle
// of a drawing surface, for windows, previews, printed pages and pictures.
#pragma once

#include <functional>

#include "graph/graph_attr.h"
#include "graph/plot_transform.h"
#include "graph/surface.h"
#include "precision/datatype.h"

namespace trendolin {

struct ModelDesc;

// Sizes in device pixels for one rendering, from the attributes and the
// scale of the surface against the screen (1 on screen, 0.6 in the preview,
// the printer's scale on paper).
struct PlotMetrics {
  int majorTickX = 0;  // tick lengths measured along x and along y
  int majorTickY = 0;
  int minorTickX = 0;
  int minorTickY = 0;
  int curveWidth = 0;
  int symbolHalfWidth = 0;
  int symbolHalfHeight = 0;
  int framePenWidth = 0;
};

PlotMetrics MakePlotMetrics(const GraphAttr& attr, float sx, float sy);

// The 9-point bold user-interface font measured at screen resolution; the
// caller measures it once and passes it on.
struct UiMetrics {
  int textHeight;
  int charWidth;
};

// Output mode bits.
inline constexpr int kRenderScreen = 1;      // store the plot rectangle back into the attributes
inline constexpr int kRenderPrinted = 2;     // printed page layout and header
inline constexpr int kRenderMonochrome = 8;  // every colour black on white
// Layers, for pictures redrawn often with only the coefficients changing:
// everything but the fitted curve, or the curve alone over a picture that
// already holds the rest (the same layout is computed either way).
inline constexpr int kRenderWithoutCurve = 16;
inline constexpr int kRenderCurveOnly = 32;

// The texts of the header.
inline constexpr const char* kHintLine1 = "Please press the right mouse button for the";
inline constexpr const char* kHintLine2 = "graphing features menu.  Press F1 for help.";
inline constexpr const char* kPrintedHeaderKind = "Graph";

// Draws the graph of `desc` (its data set is desc.doc) into `area`. Returns 0.
// Raises errnotify when a logarithmic axis has an end at or below zero
// (identifier 5, before anything is drawn) and when the model's
// evaluation fails while the curve is drawn; the surface's state is restored
// either way.
int Render(Surface& surface, GraphAttr& attr, const PlotMetrics& metrics, const Rect& area, const ModelDesc& desc,
           int outputMode, const UiMetrics& ui);

// Whether the fit of `desc` can be drawn: it has an evaluation routine and,
// for a regression, a stored result (a model never fitted has none).
bool HasEvaluation(const ModelDesc& desc);

// One data point: its position and the half-length of its error bar.
struct PlotPoint {
  datatype x = 0;
  datatype y = 0;
  datatype errorHalfLength = 0;
};

struct SymbolStyle {
  int type = kPtCircle;  // PointType; other values draw a circle
  int halfWidth = 5;
  int halfHeight = 5;
  bool bar = false;      // a bar from the zero line instead of a symbol
};

// Draws one point with the selected pen and brush, at `pixel` when given,
// else where `transform` puts it (the surface origin at the plot's
// bottom-left corner). Returns 1 when the point lies outside the plot area
// and nothing was drawn, else 0. Bars are always drawn.
int DrawSymbol(Surface& surface, const PlotPoint& point, const PlotTransform& transform, const SymbolStyle& style,
               const Point* pixel = nullptr, bool errorBar = false);

// y at x; may raise errnotify.
using CurveFunction = std::function<datatype(datatype x)>;

// Draws y = f(x) across the plot every `step` pixel columns as polylines,
// one for each stretch that stays inside the plot's height, with the
// selected pen. An errnotify from f passes through.
void DrawCurve(Surface& surface, const PlotTransform& transform, int step, const CurveFunction& f);

}  // namespace trendolin
