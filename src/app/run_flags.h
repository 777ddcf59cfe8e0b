// The calculation mode (0 idle, 1 a single fit, 2 a batch) and the unattended
// flag live in the session's engine state; these are their helpers.
#pragma once

#include <cstdint>

#include "fit/engine_state.h"

namespace trendolin {

// Enters calculation mode `mode` (0 idle, 1 single fit, 2 batch) and tells
// the Ui, which disables the grid, the menus and the toolbar while a
// calculation runs and shows Accept and Abort ("BackgroundProcess" decides
// whether they are enabled); back at 0 the preview is redrawn when
// "AnimatePlot" is on.
void SetCalculationMode(int mode);

// Error reports are suppressed while an unattended run is in progress.
inline bool ReportsSuppressed() { return CurrentEngine().unattended != 0; }

}  // namespace trendolin
