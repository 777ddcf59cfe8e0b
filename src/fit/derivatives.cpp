// Numerical partial derivatives of a model (quick central difference and the
// refined table), and Newton's method for one unknown.
#include "fit/derivatives.h"

#include <algorithm>
#include <array>
#include <cfenv>
#include <cmath>

#include "precision/errors.h"
#include "precision/fp_guard.h"
#include "precision/rounding.h"

namespace trendolin {
namespace {

// The P+ and P- parameter vectors live on the stack of each call: the
// derivatives need no process-wide scratch state and are safe to call from
// anywhere. Models have at most kMaxParameters coefficients.
using ParameterVector = std::array<datatype, kMaxParameters>;

constexpr int kTableSize = 5;
constexpr double kRefinementTolerance = 0.0001;
// The smallest normal float: a first estimate below it cannot scale the
// convergence test, which then uses 1.
constexpr double kSmallestNormal = 1.1754944e-38;

constexpr int kNewtonSteps = 500;
constexpr double kNewtonDelta = 0.00001;


// (f(P+, x) - f(P-, x)) / (p+ - p-) with parameter i moved by +h and -h,
// each moved value rounded to datatype; the quotient takes the distance the
// rounded values really lie apart.
double CentralDifference(int i, datatype x, const datatype* p, ModelFunction f, int m, double h) {
  ParameterVector plus;
  ParameterVector minus;
  std::copy(p, p + m, plus.begin());
  std::copy(p, p + m, minus.begin());
  plus[static_cast<std::size_t>(i)] = Round(p[i] + h);
  minus[static_cast<std::size_t>(i)] = Round(p[i] - h);
  const double high = f(plus.data(), x);
  const double low = f(minus.data(), x);
  const double width = double{plus[static_cast<std::size_t>(i)]} - minus[static_cast<std::size_t>(i)];
  return DifferenceQuotient(high - low, width);
}

}  // namespace

// Costs exactly two model evaluations: the solver calls it m times per point
// and iteration.
datatype Partial(int i, datatype x, const datatype* p, ModelFunction f, int m) {
  try {
    return Round(CentralDifference(i, x, p, f, m, DerivativeStep(p[i])));
  } catch (const errnotify&) {
    LogExceptionMarker("Partial_1");
    throw;
  }
}

// Central differences from RefinedDerivativeStep halved four times, refined row by row:
// D(k,j) = (4*D(k,j-1) - D(k-1,j-1))/3 with the same factors at every level.
// Stops as soon as two diagonal entries agree to 1e-4 relative to the first
// estimate. Costs 4 to 10 model evaluations.
datatype PartialRE(int i, datatype x, const datatype* p, ModelFunction f, int m) {
  try {
    std::array<std::array<datatype, kTableSize>, kTableSize> d{};
    datatype h = static_cast<datatype>(RefinedDerivativeStep(p[i]));
    d[0][0] = Round(CentralDifference(i, x, p, f, m, h));
    double scale = d[0][0];
    if (std::fabs(scale) < kSmallestNormal) scale = 1.0;
    for (std::size_t k = 1; k < kTableSize; ++k) {
      h = h * 0.5f;
      d[k][0] = Round(CentralDifference(i, x, p, f, m, h));
      for (std::size_t j = 1; j <= k; ++j) d[k][j] = Round((4.0 * d[k][j - 1] - d[k - 1][j - 1]) / 3.0);
      if (std::fabs((double{d[k][k]} - d[k - 1][k - 1]) / scale) < kRefinementTolerance) return d[k][k];
    }
    return d[kTableSize - 1][kTableSize - 1];
  } catch (const errnotify&) {
    LogExceptionMarker("PartialRE_1");
    throw;
  }
}

// Each step takes the slope from a central difference of half-width
// 4.9e-3 max(|t|, 1), divided by the distance between the two abscissas as
// they round to float: about cbrt of the float epsilon times the scale of t,
// where the rounding and truncation errors of the slope balance (a fixed
// step below ulp(t) gives no slope at all for large t). It stops when a
// step moves t by at most 1e-5 max(|t|, 1): relative, so that large t
// converge, and 1e-5 near 0 as before. A zero slope is reported as a
// division by zero (after any fault g itself caused since the caller cleared
// the flags). Without convergence the 500th estimate is returned.
datatype NewtonRoot(NewtonFunction g, const void* data, datatype start) {
  constexpr double kSlopeStep = 4.9e-3;
  datatype t0 = start;
  datatype t1 = start;
  double g0 = g(data, t0);
  for (int step = 0; step < kNewtonSteps; ++step) {
    const double h = kSlopeStep * std::max(std::fabs(double{t0}), 1.0);
    const datatype right = Round(t0 + h);
    const datatype left = Round(t0 - h);
    const double above = g(data, right);
    const double below = g(data, left);
    const double slope = (above - below) / (double{right} - left);
    // A flat g is told as the division by zero it would make, before the
    // division: a compiler may move arithmetic past the look at the flags.
    if (slope == 0) {
      CheckFpFaults();
      fpe_catch(FE_DIVBYZERO);
    }
    t1 = Round(t0 - g0 / slope);
    CheckFpFaults();
    g0 = g(data, t1);
    if (std::fabs(double{t1} - t0) <= kNewtonDelta * std::max(std::fabs(double{t1}), 1.0)) break;
    t0 = t1;
  }
  return t1;
}

}  // namespace trendolin
