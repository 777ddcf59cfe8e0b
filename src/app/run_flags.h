// Process-wide state of the calculations that several subsystems consult.
#pragma once

#include <cstdint>

namespace trendolin {

// 0 idle, 1 a single fit, 2 a batch (a search or a group run).
extern std::uint8_t CalcMode;

// Set for the whole of a search or group run: no warning boxes, no
// initial-guess dialogs, and error reports are suppressed.
extern std::uint8_t UnattendedFlag;

// Enters calculation mode `mode` (0 idle, 1 single fit, 2 batch) and tells
// the Ui, which disables the grid, the menus and the toolbar while a
// calculation runs and shows Accept and Abort ("BackgroundProcess" decides
// whether they are enabled); back at 0 the preview is redrawn when
// "AnimatePlot" is on.
void SetCalculationMode(int mode);

// Error reports are suppressed while an unattended run is in progress.
inline bool ReportsSuppressed() { return UnattendedFlag != 0; }

}  // namespace trendolin
