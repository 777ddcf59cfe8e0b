// Parameter errors, intervals and goodness figures of a stored fit.
//
// What the record holds. The covariance every regression and the nonlinear
// solver store is C = (J^T W J)^-1, the inverse of the *unscaled* normal
// matrix (J the derivatives or powers of x, W the weights 1/d of the fit).
// The stored standard error S is sqrt(SSE / (n - m)) of the *unweighted*
// residuals. So the parameter errors are
//
//   se_i = sqrt(C_ii * s^2),  s^2 = SSE_w / (n - m),
//
// with SSE_w the sum of squared residuals weighted as the fit weighted them
// (the plain SSE, S^2 (n - m), without weighting). SSE_w is summed here in
// double from the data and the stored coefficients rather than taken from S,
// which is rounded to a float and never weighted.
//
// The goodness figures, with n points, m parameters and k = m + 1 (the
// parameters and the residual variance):
//
//   R^2     = 1 - SSE / SST,   SST = sum w (y - ybar_w)^2, ybar_w = sum w y / sum w
//   R^2 adj = 1 - (SSE / (n - m)) / (SST / (n - 1))
//   AIC     = n ln(SSE / n) + 2k
//   AICc    = AIC + 2k (k + 1) / (n - k - 1)
//   BIC     = n ln(SSE / n) + k ln n
//
// (w = 1 for an unweighted fit). AIC and BIC leave out the constant
// n (ln 2 pi + 1) that every model of the same data shares: only their
// differences between models mean anything.
//
// The 95% intervals are value -/+ t * se with t Student's quantile at 0.975
// and n - m degrees of freedom.
#include "fit/fit_statistics.h"

#include <cfenv>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "data/curve_fit.h"
#include "fit/fit_types.h"
#include "fit/model_desc.h"
#include "precision/errors.h"

namespace trendolin {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kPi = 3.14159265358979323846;

// The weighting schemes a fit is marked with: the weighting menu's commands.
constexpr int kSchemeY2 = 455;
constexpr int kSchemeY = 456;
constexpr int kSchemeX2 = 457;
constexpr int kSchemeX = 458;
constexpr int kSchemeUncertainty = 459;

// ln Gamma(x) for x > 0 by Lanczos' series (g = 7, nine terms), good to
// about 1e-15 relative. Written out instead of std::lgamma, which sets the
// process-wide signgam.
double LogGamma(double x) {
  static constexpr double kCoefficients[] = {
      0.99999999999980993,  676.5203681218851,     -1259.1392167224028,
      771.32342877765313,   -176.61502916214059,   12.507343278686905,
      -0.13857109526572012, 9.9843695780195716e-6, 1.5056327351493116e-7};
  if (x < 0.5) {
    // Reflection: Gamma(x) Gamma(1 - x) = pi / sin(pi x); only 0 < x < 0.5 comes here.
    return std::log(kPi / std::sin(kPi * x)) - LogGamma(1 - x);
  }
  x -= 1;
  double sum = kCoefficients[0];
  for (int i = 1; i < 9; ++i) sum += kCoefficients[i] / (x + i);
  const double t = x + 7.5;
  return 0.5 * std::log(2 * kPi) + (x + 0.5) * std::log(t) - t + std::log(sum);
}

// The continued fraction of I_x(a, b) (modified Lentz), which converges fast
// for x < (a + 1) / (a + b + 2). NaN when it does not converge.
double BetaContinuedFraction(double a, double b, double x) {
  constexpr int kMaxTerms = 100000;
  constexpr double kTolerance = 1e-16;
  constexpr double kTiny = 1e-300;
  auto guard = [](double v) { return std::fabs(v) < kTiny ? kTiny : v; };
  double c = 1;
  double d = 1 / guard(1 - (a + b) * x / (a + 1));
  double h = d;
  for (int j = 1; j <= kMaxTerms; ++j) {
    const double even = j * (b - j) * x / ((a + 2 * j - 1) * (a + 2 * j));
    d = 1 / guard(1 + even * d);
    c = guard(1 + even / c);
    h *= d * c;
    const double odd = -(a + j) * (a + b + j) * x / ((a + 2 * j) * (a + 2 * j + 1));
    d = 1 / guard(1 + odd * d);
    c = guard(1 + odd / c);
    const double step = d * c;
    h *= step;
    if (std::fabs(step - 1) < kTolerance) return h;
  }
  return kNaN;
}

// Student's t density.
double StudentTDensity(double t, double dof) {
  const double logDensity = LogGamma((dof + 1) / 2) - LogGamma(dof / 2) - 0.5 * std::log(dof * kPi) -
                            (dof + 1) / 2 * std::log1p(t * t / dof);
  return std::exp(logDensity);
}

// P(T > t) for t >= 0, from x = dof / (dof + t^2) and 1 - x formed apart.
double StudentTUpperTail(double t, double dof) {
  const double sum = dof + t * t;
  return 0.5 * RegularizedIncompleteBeta(dof / 2, 0.5, dof / sum, t * t / sum);
}

bool Finite(double v) { return std::isfinite(v); }

// The divisor of a point's squared residual in the fit: y^2, y, x^2, x or
// sigma^2; 1 without weighting.
double Divisor(int scheme, bool uncertaintyWeighted, double x, double y, double sigma) {
  if (uncertaintyWeighted) return sigma * sigma;
  switch (scheme) {
    case kSchemeY2: return y * y;
    case kSchemeY: return y;
    case kSchemeX2: return x * x;
    case kSchemeX: return x;
    default: return 1;
  }
}

// Leaves the numeric error record and the floating-point flags as it found
// them: a curve that cannot be evaluated at some point makes a statistic
// absent, not an error of whatever runs next.
class QuietNumerics {
 public:
  QuietNumerics() : saved_(ErrorInfo) { std::fegetexceptflag(&flags_, FE_ALL_EXCEPT); }
  ~QuietNumerics() {
    ErrorInfo = saved_;
    std::fesetexceptflag(&flags_, FE_ALL_EXCEPT);
  }
  QuietNumerics(const QuietNumerics&) = delete;
  QuietNumerics& operator=(const QuietNumerics&) = delete;

 private:
  ErrorRecord saved_;
  std::fexcept_t flags_{};
};

}  // namespace

double RegularizedIncompleteBeta(double a, double b, double x, double y) {
  if (!(a > 0) || !(b > 0) || !(x >= 0) || !(y >= 0) || !(x <= 1) || !(y <= 1)) return kNaN;
  if (x == 0) return 0;
  if (y == 0) return 1;
  const double logFront = LogGamma(a + b) - LogGamma(a) - LogGamma(b) + a * std::log(x) + b * std::log(y);
  const double front = std::exp(logFront);
  if (x < (a + 1) / (a + b + 2)) return front * BetaContinuedFraction(a, b, x) / a;
  return 1 - front * BetaContinuedFraction(b, a, y) / b;
}

double RegularizedIncompleteBeta(double a, double b, double x) { return RegularizedIncompleteBeta(a, b, x, 1 - x); }

double StudentTCdf(double t, double dof) {
  if (!(dof > 0) || std::isnan(t)) return kNaN;
  if (std::isinf(t)) return t > 0 ? 1 : 0;
  const double tail = StudentTUpperTail(std::fabs(t), dof);
  return t > 0 ? 1 - tail : tail;
}

double StudentTQuantile(double p, double dof) {
  if (!(p > 0) || !(p < 1) || !(dof > 0) || std::isinf(dof)) return kNaN;
  if (p == 0.5) return 0;
  const double tail = p < 0.5 ? p : 1 - p;  // the t sought has P(T > t) = tail
  // Bracket: the upper tail falls from 1/2 at 0 as t grows.
  double low = 0;
  double high = 1;
  for (int i = 0; StudentTUpperTail(high, dof) > tail; ++i) {
    if (i > 2100) return kNaN;
    low = high;
    high *= 2;
  }
  // Newton's steps on the tail, falling back to halving whenever a step
  // would leave the bracket.
  double t = 0.5 * (low + high);
  for (int i = 0; i < 400; ++i) {
    const double excess = StudentTUpperTail(t, dof) - tail;
    if (!Finite(excess)) return kNaN;
    if (excess == 0) break;
    if (excess > 0) {
      low = t;
    } else {
      high = t;
    }
    const double density = StudentTDensity(t, dof);
    double next = density > 0 ? t + excess / density : kNaN;
    if (!(next > low && next < high)) next = 0.5 * (low + high);
    const double change = std::fabs(next - t);
    t = next;
    if (change <= 4 * std::numeric_limits<double>::epsilon() * t || high - low <= std::numeric_limits<double>::epsilon() * high) break;
  }
  return p < 0.5 ? -t : t;
}

std::optional<FitStatistics> ComputeFitStatistics(CurveFit& doc, int id) {
  if (id < kFirstCatalogueModel || id > kLastCatalogueModel || id == kPlotModel) return std::nullopt;
  if (id >= kFirstInterpolation && id <= kLastInterpolation) return std::nullopt;
  const int scheme = doc.FittedMark(id);
  if (scheme == 0) return std::nullopt;
  const ModelDesc desc = DescriptorOf(doc, id);
  if (desc.kind != FIT_LINEAR && desc.kind != FIT_NONLINEAR) return std::nullopt;
  const int m = desc.m;
  if (m <= 0 || desc.coefficients == nullptr || desc.evaluate == nullptr || desc.coefficientsLocation == nullptr ||
      desc.coefficientsLocation->size() < static_cast<std::size_t>(m)) {
    return std::nullopt;
  }

  QuietNumerics quiet;
  const int n = doc.nPoints;
  FitStatistics stats;
  stats.points = n;
  stats.parameterCount = m;
  stats.dof = n - m;
  // Weighting by uncertainty without the column was no weighting.
  const bool uncertaintyWeighted = scheme == kSchemeUncertainty && doc.bUncertainty != 0 && doc.nColumns >= 3;
  stats.weighted = uncertaintyWeighted || scheme == kSchemeY2 || scheme == kSchemeY || scheme == kSchemeX2 ||
                   scheme == kSchemeX;

  // The weighted sums, in point order.
  double sse = 0;
  double weightSum = 0;
  double weightedY = 0;
  bool usable = n > 0;
  std::vector<double> weights(static_cast<std::size_t>(n > 0 ? n : 0), 1.0);
  try {
    for (int k = 0; k < n && usable; ++k) {
      const double x = doc.At(k, 0);
      const double y = doc.At(k, 1);
      const double sigma = uncertaintyWeighted ? double{doc.At(k, doc.nColumns - 1)} : 1.0;
      const double divisor = Divisor(scheme, uncertaintyWeighted, x, y, sigma);
      // A weight of either sign or none (a divisor of 0) makes no sum of squares.
      if (!(divisor > 0) || !Finite(divisor)) {
        usable = false;
        break;
      }
      const double w = 1 / divisor;
      const double residual = y - double{desc.Evaluate(static_cast<datatype>(x))};
      if (!Finite(residual)) usable = false;
      weights[static_cast<std::size_t>(k)] = w;
      sse += w * residual * residual;
      weightSum += w;
      weightedY += w * y;
    }
  } catch (const errnotify&) {
    usable = false;
  }
  double sst = kNaN;
  if (usable) {
    const double mean = weightedY / weightSum;
    sst = 0;
    for (int k = 0; k < n; ++k) {
      const double d = double{doc.At(k, 1)} - mean;
      sst += weights[static_cast<std::size_t>(k)] * d * d;
    }
  } else {
    sse = kNaN;
  }
  if (!Finite(sse)) sse = kNaN;
  if (!Finite(sst)) sst = kNaN;
  stats.sse = sse;
  stats.sst = sst;

  const int dof = stats.dof;
  stats.rSquared = sst > 0 ? 1 - sse / sst : kNaN;
  stats.adjustedRSquared = (sst > 0 && dof > 0 && n > 1) ? 1 - (sse / dof) / (sst / (n - 1)) : kNaN;
  const int estimated = m + 1;  // k: the parameters and the residual variance
  stats.aicc = kNaN;
  stats.bic = kNaN;
  if (sse > 0) {
    const double misfit = n * std::log(sse / n);
    if (n - estimated - 1 > 0) {
      stats.aicc = misfit + 2.0 * estimated + 2.0 * estimated * (estimated + 1) / (n - estimated - 1);
    }
    stats.bic = misfit + estimated * std::log(static_cast<double>(n));
  }
  if (!Finite(stats.aicc)) stats.aicc = kNaN;
  if (!Finite(stats.bic)) stats.bic = kNaN;

  stats.tQuantile = dof > 0 ? StudentTQuantile(0.975, dof) : kNaN;
  const double variance = dof > 0 ? sse / dof : kNaN;
  for (int i = 0; i < m; ++i) {
    ParameterStatistics p;
    p.name = std::string(1, static_cast<char>('a' + i));
    p.value = desc.coefficients[i];
    const double c = desc.covariance != nullptr ? double{desc.covariance[i * m + i]} : kNaN;
    p.standardError = (c >= 0 && Finite(c) && Finite(variance)) ? std::sqrt(c * variance) : kNaN;
    p.t = p.standardError > 0 ? p.value / p.standardError : kNaN;
    if (!Finite(p.t)) p.t = kNaN;
    p.ciLow = p.value - stats.tQuantile * p.standardError;
    p.ciHigh = p.value + stats.tQuantile * p.standardError;
    stats.parameters.push_back(p);
  }
  return stats;
}

std::optional<FitBands> FitBands::Of(CurveFit& doc, int id) {
  const std::optional<FitStatistics> stats = ComputeFitStatistics(doc, id);
  if (!stats || stats->dof <= 0 || !Finite(stats->sse) || !Finite(stats->tQuantile)) return std::nullopt;
  FitBands bands;
  bands.desc_ = DescriptorOf(doc, id);
  const int m = bands.desc_.m;
  if (bands.desc_.covariance == nullptr || !CovarianceUsable(bands.desc_.covariance, m)) return std::nullopt;
  bands.coefficients_.assign(bands.desc_.coefficients, bands.desc_.coefficients + m);
  bands.covariance_.assign(bands.desc_.covariance, bands.desc_.covariance + static_cast<std::size_t>(m) * m);
  bands.scheme_ = doc.FittedMark(id);
  bands.uncertaintyWeighted_ = bands.scheme_ == kSchemeUncertainty && doc.bUncertainty != 0 && doc.nColumns >= 3;
  bands.variance_ = stats->sse / stats->dof;
  bands.t_ = stats->tQuantile;
  return bands;
}

double FitBands::Evaluate(const std::vector<datatype>& coefficients, double x) const {
  ModelDesc desc = desc_;
  desc.coefficients = const_cast<datatype*>(coefficients.data());
  try {
    const double y = desc.Evaluate(static_cast<datatype>(x));
    return Finite(y) ? y : kNaN;
  } catch (const errnotify&) {
    return kNaN;
  }
}

FitBands::HalfWidths FitBands::At(double x) const {
  QuietNumerics quiet;
  const std::size_t m = coefficients_.size();
  const double y = Evaluate(coefficients_, x);
  if (!Finite(y)) return {kNaN, kNaN, kNaN};
  // Central differences. The model computes in single precision, so the
  // step starts at a thousandth of the coefficient and grows tenfold while
  // the change it makes is below a thousandth of y, where the rounding of y
  // would still show in the derivative (a small intercept under a large y).
  std::vector<double> gradient(m);
  std::vector<datatype> shifted = coefficients_;
  for (std::size_t i = 0; i < m; ++i) {
    const datatype c = coefficients_[i];
    datatype step = c != 0 ? std::abs(c) * 1e-3f : 1e-3f;
    double derivative = kNaN;
    for (int grow = 0; grow < 7; ++grow, step *= 10) {
      const datatype up = c + step;
      const datatype down = c - step;
      shifted[i] = up;
      const double high = Evaluate(shifted, x);
      shifted[i] = down;
      const double low = Evaluate(shifted, x);
      shifted[i] = c;
      derivative = (high - low) / (double{up} - double{down});
      if (!(std::abs(high - low) < 1e-3 * std::abs(y))) break;
    }
    gradient[i] = derivative;
    if (!Finite(gradient[i])) return {y, kNaN, kNaN};
  }
  double spread = 0;  // g'Cg
  for (std::size_t i = 0; i < m; ++i) {
    for (std::size_t j = 0; j < m; ++j) spread += gradient[i] * covariance_[i * m + j] * gradient[j];
  }
  if (!(spread >= 0) || !Finite(spread)) return {y, kNaN, kNaN};
  HalfWidths widths{y, t_ * std::sqrt(variance_ * spread), kNaN};
  if (!uncertaintyWeighted_) {
    const double divisor = std::abs(Divisor(scheme_, false, x, y, 1));
    const double prediction = t_ * std::sqrt(variance_ * (spread + divisor));
    if (Finite(prediction)) widths.prediction = prediction;
  }
  return widths;
}

}  // namespace trendolin
