// The model information window's read-out of one fit: what each of its five
// pages shows, and the plain-text report each page copies to the clipboard;
// and the fit statistics report, a page of its own beside them.
#pragma once

#include <optional>
#include <string>
#include <vector>


namespace trendolin {

class CurveFit;

// The pages in the order of their tabs, then the statistics report.
enum class ReportPage { Coefficients = 0, History = 1, Covariance = 2, Residuals = 3, Comments = 4, Statistics = 5 };
// The window's tabs: the first five pages (the statistics report is not one of them).
inline constexpr int kReportPageCount = 5;

inline constexpr const char* kNotApplicable = "Not Applicable";
inline constexpr const char* kNoComments = "No comments are available at this time.";
inline constexpr const char* kInterpolationComment =
    "  Since interpolations pass through each data point, the error is 0 and the corr. coeff. is 1.";

// What the window's lists and texts show for the fit of `model`.
struct ModelInfoTexts {
  std::string formula;                        // 71: the model's display name
  std::vector<std::string> coefficientRows;   // 72: "%c =\t%.8E", or "Not Applicable"
  std::string standardError;                  // 3040: "%12.7f" (0 for an interpolation)
  std::string correlation;                    // 3041: "%12.7f" (1 for an interpolation)
  std::string comments;                       // 3010
  std::vector<std::string> covarianceRows;    // 2102: "%12.8g\t" per entry, or "Not Applicable"
  std::vector<std::string> chiSquareRows;     // 1028: "It %d\tChiSq = %g", or "Not Applicable"
  std::vector<std::string> parameterLetters;  // chooser 1025: 'a', 'b', ... (nonlinear fits only)
  bool secondChooserFilled = false;           // chooser 1027: only with more than one parameter
  int firstChooserStart = 0;                  // 1025 starts on parameter 0
  int secondChooserStart = 0;                 // 1027 on parameter 1 (0 with one parameter)
};
ModelInfoTexts BuildModelInfoTexts(CurveFit& doc, int model);

// A parameter-history list (1026 or 1029) for the chosen parameter:
// "It %d: %.8E" per recorded iteration, or "Not Applicable".
std::vector<std::string> ParameterHistoryRows(CurveFit& doc, int model, int parameter);

// The header line of every report: the display name, the formula part of the
// model's prompt (from its first comma on, the comma made ":"; ": y=" and the
// formula for the user model) and CR LF.
std::string FitReportHeader(CurveFit& doc, int model);

// One page's report, exactly as it goes to the clipboard (CR LF line ends).
// Where a residual cannot be evaluated the table shows "ERR" (logged
// "EX: FitReport_1"). The statistics report is tab-separated: per parameter
// its name, value, standard error, t value and 95% interval, then R^2,
// adjusted R^2, SSE, degrees of freedom, AICc and BIC, and a line saying so
// when the sums are weighted; a figure that cannot be had reads "N/A".
std::string FitReport(CurveFit& doc, int model, ReportPage page);

// The page a name on the command line means: coefficients, history,
// covariance, residuals, comments, statistics.
std::optional<ReportPage> ReportPageNamed(const std::string& name);

// The clipboard's report buffer: a report must end 50 bytes short of it.
inline constexpr std::size_t kReportBufferSize = 65500;
inline constexpr std::size_t kReportBufferMargin = 50;


}  // namespace trendolin
