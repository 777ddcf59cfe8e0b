// The table from model id to the routines that fit and evaluate it.
#include "fit/fit_routines.h"

#include "data/curve_fit.h"
#include "fit/interpolation_drivers.h"
#include "fit/interpolation_eval.h"
#include "fit/linear_fits.h"
#include "fit/nonlinear.h"
#include "usermodel/user_model.h"

namespace trendolin {

ModelFunction UserModelFunction = nullptr;
InitialGuessFunction UserModelGuess = nullptr;

int PlotOnlyFit(CurveFit& doc, int /*id*/) {
  doc.MarkFitted(kPlotModel, -1);
  return 0;
}

FitRoutine FitRoutineOf(int id) {
  if (id == kPlotModel) return PlotOnlyFit;
  if (id >= kFirstNonlinearModel && id <= kLastNonlinearModel) return NonlinearPrepareFit;
  switch (id) {
    case kLinearModel: return LinearFit;
    case kQuadraticModel: return QuadraticFit;
    case kPolynomialModel: return PolynomialFit;
    case kLagrangeModel: return LagrangeInterpolate;
    case kLinearSplineModel: return LSplineFit;
    case kQuadraticSplineModel: return QSplineFit;
    case kCubicSplineModel: return SplineFit;
    case kTensionSplineModel: return TSplineFit;
    case kUserModel: return UserFit;
    default: return nullptr;
  }
}

EvaluateFunction EvaluateRoutineOf(int id) {
  switch (id) {
    case kLinearModel: return EvaluateLinear;
    case kQuadraticModel: return EvaluateQuadratic;
    case kPolynomialModel: return EvaluatePolynomial;
    case kLagrangeModel: return EvaluateLagrange;
    case kLinearSplineModel: return EvaluateLinearSpline;
    case kQuadraticSplineModel: return EvaluateQuadraticSpline;
    case kCubicSplineModel: return EvaluateCubicSpline;
    case kTensionSplineModel: return EvaluateTensionSpline;
    default: return nullptr;
  }
}

// The interpolations have no model function of the coefficients alone:
// their pieces need the knots, which only the evaluators reach.
ModelFunction LinearModelFunctionOf(int id) {
  switch (id) {
    case kLinearModel: return LinearModel;
    case kQuadraticModel: return QuadraticModel;
    case kPolynomialModel: return PolynomialModel;
    default: return nullptr;
  }
}

}  // namespace trendolin
