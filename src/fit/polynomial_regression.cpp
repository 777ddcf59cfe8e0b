// The normal equations of polynomial regression: weighted power sums,
// the augmented matrix, its solution, and the faults on the way.
//
// Arithmetic: every power x^j is formed by repeated multiplication in
// datatype, every term (x^j / d, x^j y / d) is a datatype operation, and
// every sum is rounded to datatype after each addition, in point order.
#include "fit/polynomial_regression.h"

#include <algorithm>
#include <array>
#include <cfenv>
#include <new>
#include <utility>
#include <vector>

#include "app/error_handle.h"
#include "app/errors.h"
#include "app/fp_guard.h"
#include "fit/nonlinear_passes.h"
#include "fit/solvers.h"

namespace trendolin {
namespace {

// What each point's terms are divided by. When several weighting bits were
// set the first of this order would win; the drivers set exactly one.
enum class Divisor { None, Uncertainty, Y2, X2, Y, X };

Divisor DivisorOf(const NonlinearProblem& problem) {
  const unsigned flags = problem.flags;
  // Weighting by uncertainty without the column is no weighting.
  if ((flags & kNlWeightUncertainty) && problem.uncertainties != nullptr) return Divisor::Uncertainty;
  if (flags & kNlWeightY2) return Divisor::Y2;
  if (flags & kNlWeightX2) return Divisor::X2;
  if (flags & kNlWeightY) return Divisor::Y;
  if (flags & kNlWeightX) return Divisor::X;
  return Divisor::None;
}

datatype DivisorAt(const NonlinearProblem& problem, Divisor divisor, int k) {
  switch (divisor) {
    case Divisor::None: return 1;
    case Divisor::Uncertainty: return problem.uncertainties[k] * problem.uncertainties[k];
    case Divisor::Y2: return problem.y[k] * problem.y[k];
    case Divisor::X2: return problem.x[k] * problem.x[k];
    case Divisor::Y: return problem.y[k];
    case Divisor::X: return problem.x[k];
  }
  return 1;
}

// The power sums S_0..S_2m and the right-hand sides R_0..R_m.
struct NormalSums {
  explicit NormalSums(int m) : s(static_cast<std::size_t>(2 * m + 1)), r(static_cast<std::size_t>(m + 1)) {}
  std::vector<datatype> s;
  std::vector<datatype> r;
};

// All sums in one pass over the points. Each sum still adds its terms in
// point order, so it is the number the sum-by-sum loop gives; only the
// polls and the fault checks come later (see BuildSums). The degree is a
// template argument so that the sums and powers can live in registers.
template <int kDegree>
void SumsInOnePassOf(const NonlinearProblem& problem, Divisor divisor, NormalSums& sums) {
  constexpr int kTop = 2 * kDegree;
  // Points are taken in pairs: the two chains of powers are independent and
  // overlap, while each sum still adds the first point's term first.
  std::array<datatype, kTop + 1> s{};
  std::array<datatype, kDegree + 1> r{};
  std::array<datatype, kTop + 1> p0{};
  std::array<datatype, kTop + 1> p1{};
  p0[0] = p1[0] = 1;
  const int n = problem.nPoints;
  const bool weighted = divisor != Divisor::None;
  int k = 0;
  for (; k + 1 < n; k += 2) {
    const datatype x0 = problem.x[k], x1 = problem.x[k + 1];
    const datatype y0 = problem.y[k], y1 = problem.y[k + 1];
    for (int j = 1; j <= kTop; ++j) {
      p0[j] = p0[j - 1] * x0;
      p1[j] = p1[j - 1] * x1;
    }
    if (!weighted) {
      for (int j = 0; j <= kTop; ++j) s[j] = (s[j] + p0[j]) + p1[j];
      for (int j = 0; j <= kDegree; ++j) r[j] = (r[j] + p0[j] * y0) + p1[j] * y1;
    } else {
      const datatype d0 = DivisorAt(problem, divisor, k), d1 = DivisorAt(problem, divisor, k + 1);
      for (int j = 0; j <= kTop; ++j) s[j] = (s[j] + p0[j] / d0) + p1[j] / d1;
      for (int j = 0; j <= kDegree; ++j) r[j] = (r[j] + (p0[j] * y0) / d0) + (p1[j] * y1) / d1;
    }
  }
  for (; k < n; ++k) {
    const datatype x = problem.x[k];
    const datatype y = problem.y[k];
    const datatype d = weighted ? DivisorAt(problem, divisor, k) : datatype{1};
    for (int j = 1; j <= kTop; ++j) p0[j] = p0[j - 1] * x;
    for (int j = 0; j <= kTop; ++j) s[j] = s[j] + (weighted ? p0[j] / d : p0[j]);
    for (int j = 0; j <= kDegree; ++j) r[j] = r[j] + (weighted ? (p0[j] * y) / d : p0[j] * y);
  }
  std::copy(s.begin(), s.end(), sums.s.begin());
  std::copy(r.begin(), r.end(), sums.r.begin());
}

template <int... kDegrees>
void SumsInOnePassUpTo(const NonlinearProblem& problem, Divisor divisor, int m, NormalSums& sums,
                       std::integer_sequence<int, kDegrees...>) {
  using Pass = void (*)(const NonlinearProblem&, Divisor, NormalSums&);
  static constexpr Pass kPasses[] = {SumsInOnePassOf<kDegrees + 1>...};
  kPasses[m - 1](problem, divisor, sums);
}

// Degrees 1..19, the most a polynomial slot holds.
void SumsInOnePass(const NonlinearProblem& problem, Divisor divisor, int m, NormalSums& sums) {
  SumsInOnePassUpTo(problem, divisor, m, sums, std::make_integer_sequence<int, kPolynomialSlotSize - 1>{});
}

// One sum: terms power_k / d_k (or power_k y_k / d_k), the powers advanced
// by one factor x_k first when `advance` is set.
datatype SumOfTerms(const NonlinearProblem& problem, Divisor divisor, std::vector<datatype>& power, bool advance,
                    bool timesY) {
  datatype sum = 0;
  for (int k = 0; k < problem.nPoints; ++k) {
    if (advance) power[static_cast<std::size_t>(k)] = power[static_cast<std::size_t>(k)] * problem.x[k];
    datatype term = power[static_cast<std::size_t>(k)];
    if (timesY) term = term * problem.y[k];
    if (divisor != Divisor::None) term = term / DivisorAt(problem, divisor, k);
    sum = sum + term;
  }
  return sum;
}

// The sums one at a time in the documented order, the flags examined after
// each sum and the user polled after each power: a fault raises at the sum
// where it happened, a stop request ends the work where it arrived.
int SumsInOrder(NonlinearProblem& problem, Divisor divisor, int m, NormalSums& sums) {
  const auto n = static_cast<std::size_t>(problem.nPoints);
  std::vector<datatype> power(n, 1.0f);
  sums.s[0] = SumOfTerms(problem, divisor, power, false, false);
  CheckFpFaults();
  for (int j = 1; j <= 2 * m; ++j) {
    sums.s[static_cast<std::size_t>(j)] = SumOfTerms(problem, divisor, power, true, false);
    CheckFpFaults();
    if (const int answer = problem.notify(problem, kNotifyPoll); answer != 0) return answer;
  }
  std::fill(power.begin(), power.end(), 1.0f);
  sums.r[0] = SumOfTerms(problem, divisor, power, false, true);
  CheckFpFaults();
  for (int j = 1; j <= m; ++j) {
    sums.r[static_cast<std::size_t>(j)] = SumOfTerms(problem, divisor, power, true, true);
    CheckFpFaults();
    if (const int answer = problem.notify(problem, kNotifyPoll); answer != 0) return answer;
  }
  return 0;
}

// The sums, then the 2m + m polls. The one-pass run is the fast way to the
// same numbers; when it met a fault, the ordered run repeats the work so
// that the fault (or a stop request that came first) surfaces where the
// ordered algorithm would meet it.
int BuildSums(NonlinearProblem& problem, Divisor divisor, int m, NormalSums& sums) {
  ClearFpFaults();
  SumsInOnePass(problem, divisor, m, sums);
  if (FpFaultPending()) {
    ClearFpFaults();
    NormalSums ordered(m);
    const int answer = SumsInOrder(problem, divisor, m, ordered);
    sums = std::move(ordered);
    return answer;
  }
  for (int poll = 0; poll < 3 * m; ++poll) {
    if (const int answer = problem.notify(problem, kNotifyPoll); answer != 0) return answer;
  }
  return 0;
}

// (m + 1) rows of m + 2 values: element (r, k) = S_(r+k), last column R_r.
std::vector<datatype> AugmentedMatrix(const NormalSums& sums, int m) {
  const int columns = m + 2;
  std::vector<datatype> a(static_cast<std::size_t>((m + 1) * columns));
  for (int r = 0; r <= m; ++r) {
    for (int k = 0; k <= m; ++k) a[static_cast<std::size_t>(r * columns + k)] = sums.s[static_cast<std::size_t>(r + k)];
    a[static_cast<std::size_t>(r * columns + m + 1)] = sums.r[static_cast<std::size_t>(r)];
  }
  return a;
}

// Points with fewer than m + 1 distinct x make the normal matrix singular in
// exact arithmetic. Rounding can leave a tiny pivot in place of the zero
// one, and the elimination would then return large numbers that look like
// a fit; this catches it whatever the rounding.
bool FewerDistinctXThan(const NonlinearProblem& problem, int count) {
  std::vector<datatype> seen;
  seen.reserve(static_cast<std::size_t>(count));
  for (int k = 0; k < problem.nPoints; ++k) {
    const datatype x = problem.x[k];
    if (std::find(seen.begin(), seen.end(), x) == seen.end()) {
      seen.push_back(x);
      if (static_cast<int>(seen.size()) >= count) return false;
    }
  }
  return true;
}

// The degrees a polynomial slot holds; anything else is a caller's error.
void RequireSlotDegree(const NonlinearProblem& problem, int degree) {
  if (degree < 1 || degree >= kPolynomialSlotSize) RaiseError(kErrInvalidOperation, problem.modelId);
}

int Solve(NonlinearProblem& problem, int m) {
  RequireSlotDegree(problem, m);
  const int columns = m + 1;
  NormalSums sums(m);
  if (const int answer = BuildSums(problem, DivisorOf(problem), m, sums); answer != 0) return answer;
  std::vector<datatype> a = AugmentedMatrix(sums, m);
  if (FewerDistinctXThan(problem, columns)) fpe_catch(FE_INVALID);
  {
    FpGuard guard;
    SolveAugmented(a.data(), columns);
    guard.Check();
  }
  // An all-zero pivot row eliminates to 0/0: quiet not-a-numbers, never a fit.
  if (!AllFinite(a.data(), columns)) fpe_catch(FE_INVALID);
  std::copy(a.begin(), a.begin() + columns, problem.parameters);
  return 0;
}

}  // namespace

int PolynomialRegression(NonlinearProblem& problem, int degree) {
  problem.notify(problem, kNotifyStart);
  int result = 0;
  try {
    try {
      result = Solve(problem, degree);
    } catch (const std::bad_alloc&) {
      RaiseError(kErrOutOfMemory, problem.modelId);
    }
  } catch (const errnotify&) {
    LogExceptionMarker("PolynomialRegression_1");
    problem.notify(problem, kNotifyFinish);
    throw;
  }
  problem.notify(problem, kNotifyFinish);
  return result;
}

void PowerSumCovariance(NonlinearProblem& problem, int degree) {
  RequireSlotDegree(problem, degree);
  const int m = degree + 1;
  NormalSums sums(degree);
  std::vector<datatype> c(static_cast<std::size_t>(m * m));
  FpGuard guard;
  SumsInOnePass(problem, DivisorOf(problem), degree, sums);
  for (int i = 0; i < m; ++i) {
    for (int j = 0; j < m; ++j) c[static_cast<std::size_t>(i * m + j)] = sums.s[static_cast<std::size_t>(i + j)];
  }
  if (InvertMatrix(c.data(), m) != 0) RaiseError(kErrOutOfMemory, problem.modelId);
  guard.Check();
  if (!AllFinite(c.data(), m * m)) fpe_catch(FE_INVALID);
  if (problem.covariance != nullptr) std::copy(c.begin(), c.end(), problem.covariance);
}

}  // namespace trendolin
