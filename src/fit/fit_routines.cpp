// The table from model id to the routines that evaluate it.
#include "fit/fit_routines.h"

#include "data/curve_fit.h"
#include "fit/interpolation_eval.h"
#include "fit/linear_fits.h"

namespace trendolin {

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
