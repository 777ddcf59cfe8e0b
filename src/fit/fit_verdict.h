// Whether a stored fit converged, as its result message tells: the graph
// header and the results list mark a fit that did not, so that a curve that
// stopped at the iteration limit is not taken for a good fit.
#pragma once

#include <string>
#include <string_view>

namespace trendolin {

class CurveFit;

enum class FitVerdict {
  NotIterative,    // solved in one step (regressions, interpolations), or nothing stored
  Converged,       // to the tolerance, or to the resolution of single precision
  IterationLimit,  // ended at the iteration limit
  Stopped,         // accepted by the user before it converged
};

// The verdict of a nonlinear fit's result message; NotIterative for any
// other text.
FitVerdict VerdictOfComment(std::string_view comment);
// The verdict of model `id`'s stored fit.
FitVerdict StoredFitVerdict(const CurveFit& doc, int id);
// False only for a stored iterative fit that did not converge.
bool FitConverged(const CurveFit& doc, int id);
// Why a fit did not converge, as the end of a sentence ("the iteration limit
// was reached"); empty for a fit that did not fail to.
std::string NotConvergedReason(FitVerdict verdict);

}  // namespace trendolin
