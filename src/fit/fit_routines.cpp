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
    case 500: return LinearFit;
    case 501: return QuadraticFit;
    case 502: return PolynomialFit;
    case 534: return LagrangeInterpolate;
    case 535: return LSplineFit;
    case 536: return QSplineFit;
    case 537: return SplineFit;
    case 538: return TSplineFit;
    case 539: return UserFit;
    default: return nullptr;
  }
}

EvaluateFunction EvaluateRoutineOf(int id) {
  switch (id) {
    case 500: return EvaluateLinear;
    case 501: return EvaluateQuadratic;
    case 502: return EvaluatePolynomial;
    case 534: return EvaluateLagrange;
    case 535: return EvaluateLinearSpline;
    case 536: return EvaluateQuadraticSpline;
    case 537: return EvaluateCubicSpline;
    case 538: return EvaluateTensionSpline;
    default: return nullptr;
  }
}

// The interpolations have no model function of the coefficients alone:
// their pieces need the knots, which only the evaluators reach.
ModelFunction LinearModelFunctionOf(int id) {
  switch (id) {
    case 500: return LinearModel;
    case 501: return QuadraticModel;
    case 502: return PolynomialModel;
    default: return nullptr;
  }
}

}  // namespace trendolin
