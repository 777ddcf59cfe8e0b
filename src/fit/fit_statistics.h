// What a fit says beyond its standard error and correlation coefficient:
// each parameter's standard error, t value and 95% confidence interval, and
// the goodness figures R^2, adjusted R^2, SSE, AICc and BIC. Computed in double
// from the fit's stored (single-precision) record and the data set; nothing
// is stored.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "fit/model_desc.h"

namespace trendolin {

class CurveFit;

struct ParameterStatistics {
  std::string name;              // "a", "b", ... in formula order
  double value = 0;              // the stored coefficient
  double standardError = 0;      // sqrt(C_ii s^2); NaN when it cannot be had
  double t = 0;                  // value / standard error; NaN when the error is not positive
  double ciLow = 0, ciHigh = 0;  // value -/+ t(0.975, dof) * standard error
};

// Every figure that cannot be had (no degrees of freedom left, no spread in
// y, a residual that cannot be evaluated, weights that are not positive) is
// a quiet not-a-number; the rest are still given.
struct FitStatistics {
  int points = 0;          // n
  int parameterCount = 0;  // m
  int dof = 0;             // n - m
  // The sums carry the weights of the fit: 1/y^2, 1/y, 1/x^2, 1/x or
  // 1/sigma^2 per point, as the fit divided each squared residual.
  bool weighted = false;
  double sse = 0;               // sum of (weighted) squared residuals
  double sst = 0;               // (weighted) sum of squares of y about its (weighted) mean
  double rSquared = 0;          // 1 - SSE/SST: negative for a curve worse than the mean, never above 1
  double adjustedRSquared = 0;  // 1 - (SSE/dof) / (SST/(n - 1))
  double aicc = 0;
  double bic = 0;
  double tQuantile = 0;  // Student's t at 0.975 and dof, the half-width factor of the intervals
  std::vector<ParameterStatistics> parameters;
};

// The statistics of model `id`'s stored fit, or nullopt when it has none: an
// interpolation (534..538), the data plot (503), an unknown id, or a model
// not fitted to the current data.
std::optional<FitStatistics> ComputeFitStatistics(CurveFit& doc, int id);

// The 95% bands around a stored regression fit, by the delta method. With
// g the derivatives of the model by its coefficients at x (central
// differences), C the stored covariance, s^2 = SSE_w / (n - m) and t
// Student's quantile at 0.975 and n - m degrees of freedom:
//
//   confidence half-width  t sqrt(s^2 g'Cg)         where the true curve lies
//   prediction half-width  t sqrt(s^2 (g'Cg + d(x)))  where a new measurement lies
//
// d(x) is the divisor the fit's weighting gives a point at x: 1 without
// weighting; f(x)^2, |f(x)|, x^2 or |x| for the 1/y^2, 1/y, 1/x^2 and 1/x
// schemes. A fit weighted by the uncertainties has no prediction band: the
// uncertainty of a new measurement between the points is not known.
class FitBands {
 public:
  // The bands of model `id`'s stored fit, or nullopt where there are none:
  // what ComputeFitStatistics refuses, no degrees of freedom left, or a
  // covariance that is no covariance.
  static std::optional<FitBands> Of(CurveFit& doc, int id);

  struct HalfWidths {
    double value;       // the fitted curve at x, as it is drawn; NaN where the model fails
    double confidence;  // NaN where it cannot be had (the model fails at x)
    double prediction;  // NaN also for a fit weighted by the uncertainties
  };
  HalfWidths At(double x) const;
  // False for a fit weighted by the uncertainties.
  bool HasPredictionBand() const { return !uncertaintyWeighted_; }

 private:
  FitBands() = default;
  double Evaluate(const std::vector<datatype>& coefficients, double x) const;

  ModelDesc desc_;  // its coefficients point into coefficients_ while evaluating
  std::vector<datatype> coefficients_;
  std::vector<double> covariance_;  // m x m
  int scheme_ = 0;
  bool uncertaintyWeighted_ = false;
  double variance_ = 0;  // s^2
  double t_ = 0;
};

// I_x(a, b), the regularized incomplete beta function, with y = 1 - x given
// separately so that x near 1 keeps its precision. NaN outside a, b > 0,
// 0 <= x <= 1.
double RegularizedIncompleteBeta(double a, double b, double x, double y);
double RegularizedIncompleteBeta(double a, double b, double x);

// P(T <= t) for Student's t with `dof` degrees of freedom (dof > 0).
double StudentTCdf(double t, double dof);

// The t with P(T <= t) = p; NaN unless 0 < p < 1 and dof > 0.
double StudentTQuantile(double p, double dof);

}  // namespace trendolin
