// The verdict of a stored fit, read from the result message the nonlinear
// fit stored with it.
#include "fit/fit_verdict.h"

#include "data/curve_fit.h"

namespace trendolin {
namespace {

// The beginnings of the result messages of a nonlinear fit.
constexpr std::string_view kConvergedToTolerance = "The fit converged to a tolerance of ";
constexpr std::string_view kConvergedToResolution = "The fit converged to the resolution of single precision ";
constexpr std::string_view kIterationLimit = "The iteration count of ";
// An accepted fit says where it stood when the user stopped it.
constexpr std::string_view kAcceptedByUser = "  Aborted by user. ";

bool StartsWith(std::string_view text, std::string_view start) { return text.substr(0, start.size()) == start; }

}  // namespace

FitVerdict VerdictOfComment(std::string_view comment) {
  if (StartsWith(comment, kConvergedToTolerance) || StartsWith(comment, kConvergedToResolution)) {
    return FitVerdict::Converged;
  }
  if (StartsWith(comment, kIterationLimit)) return FitVerdict::IterationLimit;
  if (comment.find(kAcceptedByUser) != std::string_view::npos) return FitVerdict::Stopped;
  return FitVerdict::NotIterative;
}

FitVerdict StoredFitVerdict(const CurveFit& doc, int id) {
  if (id < kFirstModelId || id >= kFirstModelId + kModelCount) return FitVerdict::NotIterative;
  return VerdictOfComment(doc.GetFitComment(id));
}

bool FitConverged(const CurveFit& doc, int id) {
  const FitVerdict verdict = StoredFitVerdict(doc, id);
  return verdict != FitVerdict::IterationLimit && verdict != FitVerdict::Stopped;
}

std::string NotConvergedReason(FitVerdict verdict) {
  switch (verdict) {
    case FitVerdict::IterationLimit: return "the iteration limit was reached";
    case FitVerdict::Stopped: return "it was stopped before it converged";
    default: return {};
  }
}

}  // namespace trendolin
