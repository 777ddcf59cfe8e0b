// The stored results of the fits: allocation for a new fit, the fitted marks,
// comments, and the fit statistics.
#include <cfenv>
#include <cmath>

#include "data/curve_fit.h"
#include "fit/engine_state.h"
#include "fit/model_desc.h"
#include "precision/errors.h"
#include "precision/fp_guard.h"
#include "precision/math_guard.h"
#include "precision/rounding.h"

namespace trendolin {


void FitResult::Release() {
  valid = 0;
  m = 0;
  statistics.clear();
  covariance.clear();
  coefficients.clear();
  chiSquareHistory.clear();
  parameterHistories.clear();
  comment.clear();
  fittedWith = 0;
}

void InterpResult::Release() {
  valid = 0;
  arrayCount = 0;
  arrayLength = 0;
  fitted = 0;
  for (auto& array : arrays) array.clear();
  knots.clear();
  comment.clear();
}

void UserFitResult::Release() {
  valid = 0;
  statistics.fill(0);
  covariance.clear();
  coefficients.clear();
  chiSquareHistory.clear();
  parameterHistories.clear();
  comment.clear();
  fittedWith = 0;
}

namespace {

bool IsRegression(int id) { return id >= kLinearModel && id <= kLastNonlinearModel; }
bool IsInterpolation(int id) { return id >= kFirstInterpolation && id <= kLastInterpolation; }

// Arrays of the interpolation records: 534..538 hold 1, 2, 3, 4 and 1.
constexpr int kInterpArrayCounts[] = {1, 2, 3, 4, 1};

}  // namespace

void CurveFit::ClearAllFittedMarks() {
  ClearOwnFittedMarks();
  CurrentEngine().userModel.fittedWith = 0;
}

void CurveFit::ClearOwnFittedMarks() {
  for (FitResult& slot : fitResults) slot.fittedWith = 0;
  for (InterpResult& record : interpResults) record.fitted = 0;
  nLastModel = 0;
}

void CurveFit::InvalidateInterpolations() {
  for (int id : {kCubicSplineModel, kQuadraticSplineModel, kLinearSplineModel, kTensionSplineModel, kLagrangeModel}) {
    MarkFitted(id, 0);
  }
}

void CurveFit::MarkFitted(int id, int scheme) {
  if (IsRegression(id)) {
    Slot(id).fittedWith = scheme;
  } else if (IsInterpolation(id)) {
    Interp(id).fitted = scheme != 0 ? 1 : 0;
  } else if (id == kUserModel) {
    CurrentEngine().userModel.fittedWith = scheme;
  } else {
    return;
  }
  nLastModel = id;
}

bool CurveFit::IsFitted(int id, int scheme) const {
  if (IsRegression(id)) {
    const int mark = Slot(id).fittedWith;
    return scheme == -1 ? mark != 0 : mark == scheme;
  }
  // Interpolations ignore weighting; the user model answers its stored mark.
  if (IsInterpolation(id)) return Interp(id).fitted != 0;
  if (id == kUserModel) return CurrentEngine().userModel.fittedWith != 0;
  return false;
}

int CurveFit::FittedMark(int id) const {
  if (IsRegression(id)) return Slot(id).fittedWith;
  if (IsInterpolation(id)) return Interp(id).fitted;
  if (id == kUserModel) return CurrentEngine().userModel.fittedWith;
  return 0;
}

void CurveFit::ResetFitResult(int id, int size) {
  if (id == kPlotModel || id == kUserModel) return;
  if (IsInterpolation(id)) {
    InterpResult& record = Interp(id);
    record.Release();
    record.valid = 1;
    record.arrayCount = kInterpArrayCounts[InterpIndex(id)];
    record.arrayLength = size;
    for (int a = 0; a < record.arrayCount; ++a) record.arrays[static_cast<std::size_t>(a)].assign(size, 0.0f);
    return;
  }
  if (!IsRegression(id)) return;
  const int m = id == kPolynomialModel ? kPolynomialSlotSize : DescriptorOf(*this, id).m;
  FitResult& slot = Slot(id);
  const int keptIterations = slot.iterationCount;
  slot.Release();
  slot.valid = 1;
  slot.m = m;
  slot.iterationCount = keptIterations;
  slot.coefficients.assign(static_cast<std::size_t>(m), 0.0f);
  slot.statistics.assign(3, 0.0f);
  slot.covariance.assign(static_cast<std::size_t>(m) * static_cast<std::size_t>(m), 0.0f);
}

void CurveFit::ReleaseAllResults() {
  ReleaseOwnResults();
  CurrentEngine().userModel.Release();
}

void CurveFit::ReleaseOwnResults() {
  for (FitResult& slot : fitResults) slot.Release();
  for (InterpResult& record : interpResults) record.Release();
}

void CurveFit::SetFitComment(int id, const std::string& text) {
  if (IsRegression(id) && id != kPlotModel) {
    Slot(id).comment = text;
  } else if (IsInterpolation(id)) {
    Interp(id).comment = text;
  } else if (id == kUserModel) {
    CurrentEngine().userModel.comment = text;
  }
}

std::string CurveFit::GetFitComment(int id) const {
  if (IsRegression(id) && id != kPlotModel) return Slot(id).comment;
  if (IsInterpolation(id)) return Interp(id).comment;
  if (id == kUserModel) return CurrentEngine().userModel.comment;
  return {};
}

namespace {

// The value SSE takes when the fitted curve cannot be evaluated at a point:
// (2^24 - 1) * 2^103, so that such a fit ranks last.
constexpr datatype kUnevaluableSse = 1.7014117e38f;

// Sum of squares term by term in extended precision, stored as datatype
// after every step. A point where the curve cannot be evaluated ends the sum.
datatype SumOfSquaredResiduals(const CurveFit& doc, const ModelDesc& desc) {
  auto sum = [&](bool checkEachPoint) {
    datatype sse = 0;
    for (int k = 0; k < doc.nPoints; ++k) {
      const datatype fitted = desc.Evaluate(doc.At(k, 0));
      if (checkEachPoint) CheckFpFaults();
      const datatype residual = doc.At(k, 1) - fitted;
      sse = static_cast<datatype>(static_cast<Extended>(sse) +
                                  static_cast<Extended>(residual) * static_cast<Extended>(residual));
      // A sum beyond the float range at the last point too: it would
      // otherwise leave S and r infinite.
      if (checkEachPoint) CheckFpFaults();
    }
    return sse;
  };
  try {
    return RunFastThenChecked([&] { return sum(false); }, [&] { return sum(true); });
  } catch (const errnotify&) {
    LogExceptionMarker("CalcStat_1");
    return kUnevaluableSse;
  }
}

}  // namespace

void CurveFit::CalcStat(int id) {
  ModelDesc desc = DescriptorOf(*this, id);
  if (desc.kind == FIT_INTERPOLATION || desc.kind == FIT_NONE || !desc.statistics || !desc.evaluate) return;
  const int n = nPoints;
  const int m = desc.m;
  const datatype sse = SumOfSquaredResiduals(*this, desc);

  ClearFpFaults();
  const datatype ybar = fMean[1];
  datatype st = 0;
  for (int k = 0; k < n; ++k) {
    const datatype d = At(k, 1) - ybar;
    st = static_cast<datatype>(static_cast<Extended>(st) + static_cast<Extended>(d) * static_cast<Extended>(d));
  }
  // Each quotient and root is rounded to datatype before the next step; a
  // non-zero value over zero raises, 0/0 stays a quiet not-a-number.
  auto quotient = [](Extended a, Extended b) { return static_cast<datatype>(a / b); };
  const datatype sd = static_cast<datatype>(guarded::sqrt(quotient(st, n - 1)));
  datatype s = 0;
  datatype r = 1;
  if (n != m) {
    s = static_cast<datatype>(guarded::sqrt(quotient(sse, n - m)));
    if (st > 0) {
      r = static_cast<datatype>(guarded::sqrt(std::fabs(quotient(static_cast<Extended>(st) - sse, st))));
    } else {
      // All y equal: there is no variation for the curve to explain, and
      // the ratio is 0/0. A curve through every point explains all there is
      // (r = 1); one that misses them adds variation the data do not have
      // (r = 0).
      r = sse == 0 ? 1.0f : 0.0f;
    }
  }
  CheckFpFaults();
  // Residuals beyond the float range (a fit run off to enormous
  // coefficients) leave S and r infinite without a fault of their own: the
  // sum overflowed before the flags were cleared. That is an overflow, never
  // a statistic to rank or show.
  if (!std::isfinite(s) || !std::isfinite(r)) fpe_catch(FE_OVERFLOW);
  desc.statistics[0] = s;
  desc.statistics[1] = r;
  desc.statistics[2] = sd;
}

}  // namespace trendolin
