// The linear, quadratic and natural cubic splines through the data points.
#include "fit/splines.h"

#include <vector>

#include "fit/splines_construction.h"

namespace trendolin {
namespace {

using Row = std::vector<datatype>::size_type;

}  // namespace

void SolveTridiagonal(const datatype* sub, datatype* diag, const datatype* super, datatype* rhs, datatype* solution,
                      int n) {
  for (int i = 1; i < n; ++i) {
    const datatype factor = RoundExtended(static_cast<double>(sub[i]) / diag[i - 1]);
    diag[i] = RoundExtended(diag[i] - static_cast<double>(factor) * super[i - 1]);
    rhs[i] = RoundExtended(rhs[i] - static_cast<double>(factor) * rhs[i - 1]);
  }
  solution[n - 1] = RoundExtended(static_cast<double>(rhs[n - 1]) / diag[n - 1]);
  for (int i = n - 2; i >= 0; --i) {
    solution[i] = RoundExtended((rhs[i] - static_cast<double>(super[i]) * solution[i + 1]) / diag[i]);
  }
}

int LinearSpline(NonlinearProblem& problem, datatype* slope, datatype* start) {
  return RunConstruction(problem, "LinearSpline_1", [&]() -> int {
    const datatype* x = problem.x;
    const datatype* y = problem.y;
    for (int i = 0; i + 1 < problem.nPoints; ++i) {
      slope[i] = RoundExtended((static_cast<double>(y[i + 1]) - y[i]) / (static_cast<double>(x[i + 1]) - x[i]));
      start[i] = y[i];
      if (const int answer = CheckAndPoll(problem); answer != 0) return answer;
    }
    RequireFinite({slope, start}, problem.nPoints - 1);
    return 0;
  });
}

int QuadraticSpline(NonlinearProblem& problem, datatype* a, datatype* b, datatype* c) {
  return RunConstruction(problem, "QuadraticSpline_1", [&]() -> int {
    const int n = problem.nPoints;
    const datatype* x = problem.x;
    const datatype* y = problem.y;
    // The slope carried from piece to piece stays in double: rounding it
    // at every knot would let the errors walk along the whole data set.
    double h = static_cast<double>(x[1]) - x[0];
    double slope = (static_cast<double>(y[1]) - y[0]) / h;
    double bend = 0;
    a[0] = 0;
    b[0] = RoundExtended(slope);
    c[0] = y[0];
    for (int i = 1; i + 1 < n; ++i) {
      slope += 2 * bend * h;  // where piece i-1 ends
      h = static_cast<double>(x[i + 1]) - x[i];
      bend = ((static_cast<double>(y[i + 1]) - y[i]) / h - slope) / h;
      a[i] = RoundExtended(bend);
      b[i] = RoundExtended(slope);
      c[i] = y[i];
      if (const int answer = CheckAndPoll(problem); answer != 0) return answer;
    }
    // Two more polls where the pieces used to be assembled and solved as one
    // system, so a stop request is answered at the same stages as before.
    if (const int answer = CheckAndPoll(problem); answer != 0) return answer;
    if (const int answer = CheckAndPoll(problem); answer != 0) return answer;
    RequireFinite({a, b, c}, n - 1);
    return 0;
  });
}

int CubicSpline(NonlinearProblem& problem, datatype* d, datatype* c, datatype* b, datatype* a) {
  return RunConstruction(problem, "CubicSpline_1", [&]() -> int {
    const int n = problem.nPoints;
    const datatype* x = problem.x;
    const datatype* y = problem.y;
    std::vector<datatype> sub(static_cast<Row>(n)), diag(static_cast<Row>(n)), super(static_cast<Row>(n)),
        rhs(static_cast<Row>(n)), m(static_cast<Row>(n));
    for (int i = 1; i + 1 < n; ++i) {
      sub[i] = RoundExtended(static_cast<double>(x[i]) - x[i - 1]);
      super[i] = RoundExtended(static_cast<double>(x[i + 1]) - x[i]);
      diag[i] = RoundExtended(2 * (static_cast<double>(sub[i]) + super[i]));
      rhs[i] = RoundExtended(6 * ((static_cast<double>(y[i + 1]) - y[i]) / super[i] -
                                    (static_cast<double>(y[i]) - y[i - 1]) / sub[i]));
      if (const int answer = CheckAndPoll(problem); answer != 0) return answer;
    }
    SetNaturalEnds(sub.data(), diag.data(), super.data(), rhs.data(), n);
    if (const int answer = CheckAndPoll(problem); answer != 0) return answer;
    SolveTridiagonal(sub.data(), diag.data(), super.data(), rhs.data(), m.data(), n);
    if (const int answer = CheckAndPoll(problem); answer != 0) return answer;

    // Each piece around its left knot, from the second derivatives M there.
    for (int j = 0; j + 1 < n; ++j) {
      const datatype h = RoundExtended(static_cast<double>(x[j + 1]) - x[j]);
      d[j] = RoundExtended((static_cast<double>(m[j + 1]) - m[j]) / 6 / h);
      c[j] = RoundExtended(m[j] / 2.0);
      b[j] = RoundExtended((static_cast<double>(y[j + 1]) - y[j]) / h -
                             (2.0 * h * m[j] + static_cast<double>(h) * m[j + 1]) / 6);
      a[j] = y[j];
    }
    RequireFinite({d, c, b, a}, n - 1);
    return 0;
  });
}

LinearPowers LinearInPowersOfX(datatype slope, datatype start, datatype knot) {
  return {slope, RoundExtended(start - static_cast<double>(slope) * knot)};
}

QuadraticPowers QuadraticInPowersOfX(datatype a, datatype b, datatype c, datatype knot) {
  const double k = knot;
  return {a, RoundExtended(b - 2.0 * a * k), RoundExtended((a * k - b) * k + c)};
}

CubicPowers CubicInPowersOfX(datatype d, datatype c, datatype b, datatype a, datatype knot) {
  const double k = knot;
  return {d, RoundExtended(c - 3.0 * d * k), RoundExtended(b - (2.0 * c - 3.0 * d * k) * k),
          RoundExtended(a - (b - (c - d * k) * k) * k)};
}

}  // namespace trendolin
