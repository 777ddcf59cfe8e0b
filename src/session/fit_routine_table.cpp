#include "session/fit_routine_table.h"

#include "data/curve_fit.h"
#include "session/interpolation_drivers.h"
#include "session/nonlinear_routine.h"
#include "session/regression_routines.h"
#include "session/user_model_routine.h"

namespace trendolin {

int PlotOnlyFit(CurveFit& doc, int /*id*/) {
  doc.MarkFitted(kPlotModel, -1);
  return 0;
}

FitRoutine FitRoutineOf(int id) {
  if (id == kPlotModel || id < 0) return PlotOnlyFit;
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

}  // namespace trendolin
