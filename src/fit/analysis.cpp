// Simpson and Romberg integration, the refined central-difference derivative,
// the arc length, and the value and inverse of a fitted curve.
#include "fit/analysis.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

#include "data/curve_fit.h"
#include "fit/derivatives.h"
#include "fit/interpolation_search.h"
#include "fit/model_desc.h"
#include "data/notices.h"
#include "data/text_format.h"
#include "precision/allocation_guard.h"
#include "precision/errors.h"
#include "precision/fp_guard.h"
#include "precision/rounding.h"

namespace trendolin {
namespace {

constexpr int kRombergRows = 10;  // 4, 8, ..., 2048 intervals
constexpr int kRombergStartIntervals = 4;
constexpr int kDiffRows = 5;      // the first step halved four times
// The first step of the derivative table, relative to max(|x|, 1). A
// central difference of float values errs by about ulp(f)/h from rounding
// and by h^2 f3/6 from truncation (f3 the third derivative); the two
// balance near h = cbrt(eps) times the scale of x, with eps = 2^-23 the
// float epsilon (cbrt: 4.9e-3). The table only goes down from there, and
// its extrapolation takes out the h^2 term but multiplies the rounding, so
// it starts at the balance rather than below it. Below |x| = 1 the step
// stays at 4.9e-3: a step relative to |x| alone would vanish at x = 0.
constexpr double kFirstDiffStep = 4.9e-3;
constexpr double kTolerance = 0.0001;
// The smallest normal float: a first estimate below it cannot scale the
// convergence test, which then measures against 1.
constexpr double kSmallestNormal = 1.1754944e-38;


// Lets the rest of the program repaint during long work. Whatever ran in
// the meantime may have left floating-point flags behind: they are not
// faults of this computation, which tests its own after every step.
void PumpPendingEvents() {
  PumpEvents();
  ClearFpFaults();
}

// f(x) with the faults of the evaluation raised.
double Evaluate(const Curve& f, double x) {
  const datatype y = f(Round(x));
  CheckFpFaults();
  return y;
}

// The first estimate scales every convergence test.
double ConvergenceScale(datatype first) {
  const double scale = std::fabs(double{first});
  return scale < kSmallestNormal ? 1.0 : scale;
}

bool Converged(datatype current, datatype previous, double scale) {
  return std::fabs(double{current} - double{previous}) / scale < kTolerance;
}

// One extrapolation step of a refinement table. The factor is 4 at every
// level, not 4^j as in a textbook Romberg table: PartialRE refines the same
// way, and the reported values and convergence warnings depend on it.
datatype Extrapolate(datatype finer, datatype coarser) { return Round((4.0 * finer - coarser) / 3.0); }

// A Simpson estimate inside Romberg: the reason of a failed evaluation is not
// passed on, only that the integration failed.
datatype SimpsonEstimate(IntegrationRequest& request, int intervals) {
  request.n = intervals;
  if (Simpsons(request) != 0) {
    ClearErrorInfo();
    throw errnotify();
  }
  return request.result;
}

// (f(x + h) - f(x - h)) / (x+ - x-), evaluated in that order, with x+ and
// x- the floats x + h and x - h round to: the quotient takes the distance
// the curve was really evaluated apart, not the nominal 2h.
double CentralQuotient(const Curve& f, datatype x, double h) {
  const datatype right = Round(double{x} + h);
  const datatype left = Round(double{x} - h);
  const double above = Evaluate(f, right);
  const double below = Evaluate(f, left);
  return (above - below) / (double{right} - left);
}

// What NewtonRoot solves for the inverse: g(t) = y - f(t).
struct InverseTarget {
  const Curve* f;
  datatype y;
};

datatype InverseResidual(const void* data, datatype t) {
  const auto* target = static_cast<const InverseTarget*>(data);
  return Round(double{target->y} - (*target->f)(t));
}

}  // namespace

Curve CurveOf(const ModelDesc& desc) {
  const bool needsCoefficients = desc.kind == FIT_LINEAR || desc.kind == FIT_NONLINEAR;
  if (!desc.evaluate || (needsCoefficients && !desc.coefficients)) {
    const int id = desc.id;
    return [id](datatype) -> datatype { RaiseError(kErrInvalidOperation, id); };
  }
  return [desc](datatype x) { return desc.Evaluate(x); };
}

// The sample points are a + i h in double, each rounded to the float the
// curve takes; the ends are evaluated at a and b themselves.
int Simpsons(IntegrationRequest& request) {
  try {
    ClearFpFaults();
    if (request.n < 3) request.n = 4;
    if (request.n % 2 != 0) request.n += 1;
    const int n = request.n;
    const double a = request.a;
    const double b = request.b;
    const double h = (b - a) / n;
    const Curve& f = request.integrand;

    double odd = 0.0;
    for (int i = 1; i <= n - 1; i += 2) odd += Evaluate(f, a + i * h);
    PumpPendingEvents();
    double even = 0.0;
    for (int j = 2; j <= n - 2; j += 2) even += Evaluate(f, a + j * h);
    const double fa = Evaluate(f, a);
    const double fb = Evaluate(f, b);

    request.result = Round((b - a) * (4.0 * odd + fa + 2.0 * even + fb) / 3.0 / n);
    CheckFpFaults();
    return 0;
  } catch (const errnotify&) {
    LogExceptionMarker("Simpsons_1");
    return 1;
  }
}

int Romberg(IntegrationRequest& request) {
  try {
    ClearFpFaults();
    std::array<std::array<datatype, kRombergRows>, kRombergRows> table{};
    int intervals = kRombergStartIntervals;
    table[0][0] = SimpsonEstimate(request, intervals);
    const double scale = ConvergenceScale(table[0][0]);
    for (std::size_t i = 1; i < kRombergRows; ++i) {
      intervals *= 2;
      table[i][0] = SimpsonEstimate(request, intervals);
      PumpPendingEvents();
      for (std::size_t j = 1; j <= i; ++j) table[i][j] = Extrapolate(table[i][j - 1], table[i - 1][j - 1]);
      CheckFpFaults();
      if (Converged(table[i][i], table[i - 1][i - 1], scale)) {
        request.result = table[i][i];
        return 0;
      }
    }
    request.result = table[kRombergRows - 1][kRombergRows - 1];
    return 1;
  } catch (const errnotify&) {
    LogExceptionMarker("Romberg_1");
    throw;
  }
}

PieceWidth PieceWidthOf(const ModelDesc& desc) {
  // The polynomial interpolation (the first) is one formula everywhere.
  if (desc.doc == nullptr || desc.id <= kFirstInterpolation || desc.id > kLastInterpolation) return {};
  const CurveFit* doc = desc.doc;
  return [doc](datatype x) -> double {
    KnotView knots;
    knots.x = doc->Column(0);
    knots.n = doc->nPoints;
    if (knots.x == nullptr || knots.n < 2) return 0;
    knots.ascending = KnotsAscending(knots.x, knots.n);
    const int i = FindInterval(knots, x);
    return std::fabs(double{knots.x[i + 1]} - knots.x[i]);
  };
}

datatype DiffRE(datatype x, const Curve& f, double pieceWidth) {
  try {
    ClearFpFaults();
    std::array<std::array<datatype, kDiffRows>, kDiffRows> table{};
    double h = kFirstDiffStep * std::max(std::fabs(double{x}), 1.0);
    if (pieceWidth > 0) h = std::min(h, pieceWidth / 4);
    table[0][0] = Round(CentralQuotient(f, x, h));
    CheckFpFaults();
    const double scale = ConvergenceScale(table[0][0]);
    for (std::size_t i = 1; i < kDiffRows; ++i) {
      h /= 2;
      table[i][0] = Round(CentralQuotient(f, x, h));
      for (std::size_t j = 1; j <= i; ++j) table[i][j] = Extrapolate(table[i][j - 1], table[i - 1][j - 1]);
      CheckFpFaults();
      if (Converged(table[i][i], table[i - 1][i - 1], scale)) return table[i][i];
    }
    return table[kDiffRows - 1][kDiffRows - 1];
  } catch (const errnotify&) {
    LogExceptionMarker("DiffRE_1");
    throw;
  }
}

int ArcLength(const Curve& f, datatype a, datatype b, datatype* result, const PieceWidth& width) {
  double sign = 1.0;
  if (b < a) {
    std::swap(a, b);
    sign = -1.0;
  }
  IntegrationRequest request;
  request.integrand = [&f, &width](datatype x) {
    const double slope = DiffRE(x, f, width ? width(x) : 0);
    return Round(std::sqrt(1.0 + slope * slope));
  };
  request.a = a;
  request.b = b;
  request.n = kRombergStartIntervals;
  const int status = Romberg(request);
  *result = Round(request.result * sign);
  return status;
}

datatype YAtX(const Curve& f, datatype x) {
  ClearFpFaults();
  return Round(Evaluate(f, x));
}

// NewtonRoot tests the flags after each step; the check after it covers the
// evaluation at the last iterate.
datatype XAtY(const Curve& f, datatype y, datatype start) {
  ClearFpFaults();
  const InverseTarget target{&f, y};
  const datatype x = NewtonRoot(InverseResidual, &target, start);
  CheckFpFaults();
  return x;
}

std::optional<datatype> GuardedCurveValue(const Curve& f, datatype x, const char* marker) {
  try {
    return GuardAllocation([&] { return YAtX(f, x); });
  } catch (const errnotify&) {
    LogExceptionMarker(marker);
    return std::nullopt;
  }
}

std::string CurveValueText(const Curve& f, datatype x, const char* marker) {
  const std::optional<datatype> y = GuardedCurveValue(f, x, marker);
  if (!y) return "ERR";
  std::string text;
  AppendFormat(text, "%g", static_cast<double>(*y));
  return text;
}

}  // namespace trendolin
