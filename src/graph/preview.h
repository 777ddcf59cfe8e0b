// The graph preview of the main window: the fit being animated or the one
// selected in the results list, drawn small from the default graph
// attributes, or a note saying how to turn the preview on.
#pragma once

#include <optional>
#include <string>

#include "graph/plot_renderer.h"
#include "graph/surface.h"

namespace platform {
class ProfileFile;
}

namespace trendolin {

class CurveFit;

// The results list's item data that means "no fit here": nothing is painted.
inline constexpr int kPreviewNothing = -1;

inline constexpr const char* kPreviewDisabledText =
    "Graph Preview Area:  Press the right mouse button within this area to enable previews and/or animations.";
inline constexpr const char* kPreviewFailedFormat =
    "Graph Preview Area (%s):  A floating point error has occurred when drawing this area. Check the axis extents "
    "and try again.";

// The scale of the preview against a graph window.
inline constexpr float kPreviewScale = 0.6f;

// The model the preview shows: the one being animated during a regression
// (0 when none), else the selected results-list item's data (none when
// nothing is selected), else the data plot 503. kPreviewNothing paints
// nothing.
int PreviewModel(int animatedModel, std::optional<int> selectedItemData);

// The preview's graph attributes: the defaults of "Plot Attributes" with
// automatic axes on `doc`, the five fonts at half size, no header and no
// box, titled with the model's display name.
GraphAttr PreviewAttributes(const platform::ProfileFile& settings, CurveFit& doc, int modelId);

// Paints the preview of `modelId` into `client` (the whole off-screen
// picture of the preview window): the graph when `enabled` ("EnableThumb"),
// else the note; a graph that cannot be drawn gives way to the failure note
// (and "EX: ThumbPlot_1" in the log). A sunken border goes round it all.
// kPreviewNothing leaves the surface untouched. `layers` 0 paints it all;
// kRenderWithoutCurve all but the fitted curve, and kRenderCurveOnly then
// adds the curve (an animation redraws only that).
void PaintPreview(Surface& surface, const Rect& client, const platform::ProfileFile& settings, CurveFit& doc,
                  int modelId, bool enabled, const UiMetrics& ui, int layers = 0);

}  // namespace trendolin
