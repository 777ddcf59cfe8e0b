// The drivers of polynomial interpolation and the four splines.
#include "session/interpolation_drivers.h"

#include "app/app_settings.h"
#include "app/error_handle.h"
#include "app/run_flags.h"
#include "data/curve_fit.h"
#include "data/document_hooks.h"
#include "fit/interpolation_search.h"
#include "fit/lagrange.h"
#include "session/linear_fits_funnel.h"
#include "fit/model_desc.h"
#include "fit/nonlinear.h"
#include "fit/splines.h"
#include "platform/resource_strings.h"
#include "platform/ui.h"
#include "precision/errors.h"
#include "session/nonlinear_routine.h"
#include "session/session.h"

namespace trendolin {
namespace {


// Resource strings of the refusals.
constexpr int kSplineLimitCaption = 12;
constexpr int kSplineLimitText = 13;
constexpr int kQuadraticLimitCaption = 62;
constexpr int kQuadraticLimitText = 61;

constexpr const char* kSplineComment = "Spline interpolation completed successfully.";
constexpr const char* kInterpolationComment = "Interpolation completed successfully.";

using Build = int (*)(NonlinearProblem& problem, InterpResult& record);

struct Interpolation {
  int id;
  const char* marker;  // the driver's exception marker
  const char* comment;
  Build build;
};

datatype* Array(InterpResult& record, int k) { return record.arrays[static_cast<std::size_t>(k)].data(); }

int BuildLagrange(NonlinearProblem& p, InterpResult& r) { return LagrangeInterpolation(p, Array(r, 0)); }
int BuildLinear(NonlinearProblem& p, InterpResult& r) { return LinearSpline(p, Array(r, 0), Array(r, 1)); }
int BuildQuadratic(NonlinearProblem& p, InterpResult& r) {
  return QuadraticSpline(p, Array(r, 0), Array(r, 1), Array(r, 2));
}
int BuildCubic(NonlinearProblem& p, InterpResult& r) {
  return CubicSpline(p, Array(r, 0), Array(r, 1), Array(r, 2), Array(r, 3));
}
int BuildTension(NonlinearProblem& p, InterpResult& r) { return TensionSpline(p, Array(r, 0), r.parameter); }

void BuildProblem(CurveFit& doc, int id, NonlinearProblem& problem) {
  problem.nPoints = doc.nPoints;
  problem.x = doc.Column(0);
  problem.y = doc.Column(1);
  problem.notify = FitNotify;
  problem.modelId = id;
  problem.modelName = ModelName(doc, id);
  problem.tolerance = static_cast<datatype>(CurrentSession().settings.nonlinearTolerance);
  problem.maxIterations = CurrentSession().settings.maxIterations;
  problem.divergeLimit = CurrentSession().settings.divergeIterations;
}

int RunInterpolation(CurveFit& doc, const Interpolation& model) {
  const FitAttempt attempt = BeginFitAttempt(doc, model.id);
  try {
    doc.ResetFitResult(model.id, doc.nPoints);
    NonlinearProblem problem;
    BuildProblem(doc, model.id, problem);
    EnterFitMode();
    InterpResult& record = doc.Interp(model.id);
    if (const int result = model.build(problem, record); result != 0) {
      RaiseStopRequest(result, model.id);
      LeaveFitMode();
      return 1;
    }
    record.knots.assign(problem.x, problem.x + problem.nPoints);
    RememberKnotOrder(model.id, record, problem.x, problem.nPoints);
    if (model.id == kLagrangeModel) doc.modelIntegers[kLagrangeModel - kFirstModelId] = doc.nPoints - 1;
    doc.MarkFitted(model.id, 1);
    doc.CalcStat(model.id);
    CallHook(Hooks().refreshFitList);
    doc.SetFitComment(model.id, model.comment);
    LeaveFitMode();
    return 0;
  } catch (const errnotify&) {
    return FunnelFitError(attempt, model.marker);
  }
}

// The refusal of a spline for too many points, shown unless unattended
// (then kept for the run to tell at its end).
int RefuseSpline(int captionId, int textId, platform::Icon icon) {
  if (CurrentEngine().unattended) {
    SuppressedReport = platform::ResourceString(textId);
  } else {
    platform::ResourceMessageBox(captionId, textId, icon, platform::Buttons::Ok);
  }
  return 1;
}

int RunSpline(CurveFit& doc, const Interpolation& model) {
  if (doc.nPoints < 2) return 1;
  if (doc.nPoints >= kSplinePointLimit) return RefuseSpline(kSplineLimitCaption, kSplineLimitText, platform::Icon::Error);
  return RunInterpolation(doc, model);
}

}  // namespace

int LagrangeInterpolate(CurveFit& doc, int /*id*/) {
  if (doc.nPoints < 2) return 1;
  if (doc.nPoints > CurrentSession().settings.maxPolyDegree + 1) {
    // Unattended, the report is held back for the run to tell at its end.
    ClearErrorInfo();
    ErrorInfo.id = kErrTooManyPoints;
    ErrorInfo.FitId = kLagrangeModel;
    ErrorHandle(ErrorInfo);
    return 1;
  }
  return RunInterpolation(doc, {kLagrangeModel, "LagrangeInterpolate_1", kInterpolationComment, BuildLagrange});
}

int LSplineFit(CurveFit& doc, int /*id*/) {
  return RunSpline(doc, {kLinearSplineModel, "LSplineFit_1", kSplineComment, BuildLinear});
}

int QSplineFit(CurveFit& doc, int /*id*/) {
  if (doc.nPoints < 2) return 1;
  if (doc.nPoints > kQuadraticSplineMaxPoints) {
    return RefuseSpline(kQuadraticLimitCaption, kQuadraticLimitText, platform::Icon::Exclamation);
  }
  return RunInterpolation(doc, {kQuadraticSplineModel, "QSplineFit_1", kSplineComment, BuildQuadratic});
}

// This driver's marker has never carried a guard number.
int SplineFit(CurveFit& doc, int /*id*/) { return RunSpline(doc, {kCubicSplineModel, "SplineFit", kSplineComment, BuildCubic}); }

int TSplineFit(CurveFit& doc, int /*id*/) {
  return RunSpline(doc, {kTensionSplineModel, "TSplineFit_1", kSplineComment, BuildTension});
}

datatype CurrentTension(const CurveFit& doc) { return doc.Interp(kTensionSplineModel).parameter; }

void ApplyTension(CurveFit& doc, datatype tension) {
  InterpResult& record = doc.Interp(kTensionSplineModel);
  record.parameter = tension;
  record.fitted = 0;
}

}  // namespace trendolin
