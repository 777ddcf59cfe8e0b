#include "session/report_copy.h"

#include <string>

#include "platform/ui.h"

namespace trendolin {

bool CopyFitReport(CurveFit& doc, int model, ReportPage page) {
  const std::string report = FitReport(doc, model, page);
  // Every page is held to the buffer's limit, not only the residual table:
  // a long iteration history of many parameters can be as long.
  const bool fits = report.size() + kReportBufferMargin <= kReportBufferSize;
  if (fits && platform::CurrentUi().SetClipboardText(report)) return true;
  platform::ResourceMessageBox(kReportNotCopied.caption, kReportNotCopied.text, platform::Icon::Exclamation,
                               platform::Buttons::Ok);
  return false;
}

}  // namespace trendolin
