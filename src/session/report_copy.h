// A page of the model information window put on the clipboard.
#pragma once

#include "graph/fit_report.h"
#include "session/linear_fits_dialogs.h"

namespace trendolin {

inline constexpr MessagePair kReportNotCopied{75, 76};

// Command 108: the current page's report to the clipboard through the Ui.
// A report too long for the buffer, or a clipboard that refuses it, shows
// 75/76 with a warning icon and copies nothing. True when copied.
bool CopyFitReport(CurveFit& doc, int model, ReportPage page);

}  // namespace trendolin
