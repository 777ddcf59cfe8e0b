// The tension spline: its generalised second derivatives at the knots, and
// its value between two knots.
//
// The hyperbolic terms run in long double: for a small tension t the
// elements 1/h - t/sinh(t h) and t coth(t h) - 1/h are differences of
// nearly equal numbers of size 1/h whose own size is about t^2 h, and the
// evaluation cancels terms of size z/t^2 in the same way.
#include <cmath>
#include <vector>

#include "fit/splines.h"
#include "fit/splines_construction.h"
#include "precision/math_guard.h"
#include "precision/rounding.h"

namespace trendolin {
namespace {

Extended CheckedSinh(Extended v) {
  const Extended s = std::sinh(v);
  if (std::isinf(s) && !std::isinf(v)) RaiseMathError("sinh", MathErrorKind::Overflow);
  return s;
}

Extended CheckedCosh(Extended v) {
  const Extended c = std::cosh(v);
  if (std::isinf(c) && !std::isinf(v)) RaiseMathError("cosh", MathErrorKind::Overflow);
  return c;
}

// The row of interior knot i.
struct TensionRow {
  datatype sub, diag, super, rhs;
};

TensionRow RowAt(const datatype* x, const datatype* y, int i, Extended t) {
  const datatype h0 = RoundExtended(static_cast<Extended>(x[i]) - x[i - 1]);
  const datatype h1 = RoundExtended(static_cast<Extended>(x[i + 1]) - x[i]);
  const Extended sinh0 = CheckedSinh(t * h0);
  const Extended sinh1 = CheckedSinh(t * h1);
  const Extended cosh0 = CheckedCosh(t * h0);
  const Extended cosh1 = CheckedCosh(t * h1);
  const Extended t2 = t * t;
  TensionRow row;
  row.sub = RoundExtended(1 / static_cast<Extended>(h0) - t / sinh0);
  row.super = RoundExtended(1 / static_cast<Extended>(h1) - t / sinh1);
  row.diag = RoundExtended((t * cosh0 / sinh0 - 1 / static_cast<Extended>(h0)) +
                             (t * cosh1 / sinh1 - 1 / static_cast<Extended>(h1)));
  row.rhs = RoundExtended(t2 * (static_cast<Extended>(y[i + 1]) - y[i]) / h1 -
                            t2 * (static_cast<Extended>(y[i]) - y[i - 1]) / h0);
  return row;
}

}  // namespace

int TensionSpline(NonlinearProblem& problem, datatype* z, datatype tension) {
  return RunConstruction(problem, "TensionSpline_1", [&]() -> int {
    const int n = problem.nPoints;
    const auto size = static_cast<std::vector<datatype>::size_type>(n);
    std::vector<datatype> sub(size), diag(size), super(size), rhs(size);
    for (int i = 1; i + 1 < n; ++i) {
      const TensionRow row = RowAt(problem.x, problem.y, i, tension);
      sub[i] = row.sub;
      diag[i] = row.diag;
      super[i] = row.super;
      rhs[i] = row.rhs;
      if (const int answer = CheckAndPoll(problem); answer != 0) return answer;
    }
    SetNaturalEnds(sub.data(), diag.data(), super.data(), rhs.data(), n);
    if (const int answer = CheckAndPoll(problem); answer != 0) return answer;
    SolveTridiagonal(sub.data(), diag.data(), super.data(), rhs.data(), z, n);
    RequireFinite({z}, n);
    return 0;
  });
}

datatype TensionPiece(datatype x0, datatype x1, datatype y0, datatype y1, datatype z0, datatype z1, datatype tension,
                      datatype x) {
  const Extended t = tension;
  const Extended t2 = t * t;
  const datatype h = RoundExtended(static_cast<Extended>(x1) - x0);
  const Extended right = static_cast<Extended>(x1) - x;  // x(i+1) - x
  const Extended left = static_cast<Extended>(x) - x0;   // x - x(i)
  const Extended value = (y0 - z0 / t2) * right / h +
                         (z0 * std::sinh(t * right) + z1 * std::sinh(t * left)) / (t2 * std::sinh(t * h)) +
                         (y1 - z1 / t2) * left / h;
  return RoundExtended(value);
}

}  // namespace trendolin
