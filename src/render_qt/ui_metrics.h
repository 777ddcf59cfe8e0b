// The user-interface font's size on the screen, which sizes graph windows
// and places the graph header.
#pragma once

#include "graph/plot_renderer.h"

namespace trendolin {

// Measures the 9-point bold dialog font ("MS Sans Serif", drawn with its
// metric-compatible family) at 96 dpi: its character height and average
// character width. Needs a QGuiApplication.
UiMetrics MeasureUiMetrics();

}  // namespace trendolin
