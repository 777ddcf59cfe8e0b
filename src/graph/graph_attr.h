// One graph window's record of which fit it shows and how; it gains the
// drawing attributes when the renderer arrives.
#pragma once

namespace trendolin {

// The host's handle of a graph window; kNoWindow when there is none.
using GraphWindowId = int;
inline constexpr GraphWindowId kNoWindow = 0;

enum class PlotKind {
  Fit,       // the data and the fitted curve (or the data alone, model 503)
  Residual,  // the residuals page of the model information window; never queued
};

struct GraphAttr {
  int modelId = 0;                    // 500..539; negative: the initial-guess test view of that model
  PlotKind plotKind = PlotKind::Fit;
  GraphWindowId window = kNoWindow;   // the window that shows this record
};

}  // namespace trendolin
