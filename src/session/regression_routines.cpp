// The fit routines of the linear, quadratic and polynomial models.
#include "session/regression_routines.h"

#include <string>

#include "app/app_settings.h"
#include "data/curve_fit.h"
#include "data/document_hooks.h"
#include "fit/engine_state.h"
#include "fit/model_desc.h"
#include "fit/nonlinear.h"
#include "fit/polynomial_regression.h"
#include "precision/errors.h"
#include "session/linear_fits_funnel.h"
#include "session/nonlinear_routine.h"
#include "session/session.h"

namespace trendolin {
namespace {

constexpr const char* kRegressionComment = "Linear regression completed successfully. ";

void BuildProblem(CurveFit& doc, const ModelDesc& desc, int degree, NonlinearProblem& problem) {
  FillProblemFromSettings(doc, desc, problem);
  problem.m = degree + 1;
}

// The common driver: the regression of `degree`, then the result steps.
int RegressionDriver(CurveFit& doc, int id, int degree, const char* marker) {
  const FitAttempt attempt = BeginFitAttempt(doc, id);
  try {
    doc.ResetFitResult(id);
    const ModelDesc desc = DescriptorOf(doc, id);
    NonlinearProblem problem;
    BuildProblem(doc, desc, degree, problem);
    EnterFitMode();
    if (const int result = PolynomialRegression(problem, degree); result != 0) {
      RaiseStopRequest(result, id);
      LeaveFitMode();
      return 1;
    }
    // The regression has also filled the covariance, the inverse of X^T W X
    // from its own factorisation: numerical derivatives of the power form
    // would build the normal matrix that the regression avoids. A covariance
    // that cannot be had fails the fit before it is marked, listed or counted
    // as current.
    if (id == kPolynomialModel) doc.modelIntegers[kPolynomialModel - kFirstModelId] = degree;
    doc.MarkFitted(id, CurrentSession().settings.weighting);
    doc.CalcStat(id);
    CallHook(Hooks().refreshFitList);
    doc.SetFitComment(id, kRegressionComment + WeightingText(problem.flags));
    LeaveFitMode();
    return 0;
  } catch (const errnotify&) {
    return FunnelFitError(attempt, marker);
  }
}

}  // namespace

unsigned RegressionWeightingFlag(const CurveFit& doc) { return WeightingFlag(doc); }

int LinearFit(CurveFit& doc, int /*id*/) { return RegressionDriver(doc, kLinearModel, 1, "LinearFit_1"); }

int QuadraticFit(CurveFit& doc, int /*id*/) { return RegressionDriver(doc, kQuadraticModel, 2, "QuadraticFit_1"); }

int PolynomialFit(CurveFit& doc, int /*id*/) {
  // The slot holds 20 coefficients; the degree dialog and the search keep
  // the degree within 1..19, and nothing else can be fitted.
  if (CurrentEngine().polynomialDegree < 1 || CurrentEngine().polynomialDegree >= kPolynomialSlotSize) return 1;
  return RegressionDriver(doc, kPolynomialModel, CurrentEngine().polynomialDegree, "PolynomialFit_1");
}

}  // namespace trendolin
