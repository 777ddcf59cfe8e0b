// Weighted polynomial least squares by Householder QR.
//
// Power sums square the condition number of the problem and, in single
// precision, lose everything beyond a quintic on x up to 20 or a quadratic on
// x near 10^6. Here the rows of the design matrix in t = k (x - centre), with
// t within [-1, 1], are multiplied by the square roots of the weights and
// reduced to a triangle by Householder reflections in double. The solution
// in powers of t is converted to powers of x in double, and each coefficient
// (and covariance) is rounded to datatype once.
#include "fit/polynomial_regression.h"

#include <algorithm>
#include <cfenv>
#include <cmath>
#include <new>
#include <vector>

#include "fit/nonlinear_passes.h"
#include "precision/errors.h"
#include "precision/fp_guard.h"

namespace trendolin {
namespace {

// What each point's weight is the reciprocal of. When several weighting bits
// were set the first of this order would win; the drivers set exactly one.
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

// The divisor is a datatype product, as in every other weighted fit: a
// square that overflows or underflows to zero faults here as it does there.
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

// Each row of the weighted design matrix is multiplied by sign(w) sqrt(|w|).
// Weights of one sign give the least-squares problem of |w| (the normal
// equations only change sign); by y or by x they can have both signs, and
// then the normal equations are indefinite and need a second pass.
struct RowScales {
  std::vector<double> root;  // empty without weighting: every root is 1
  bool anyPositive = true;
  bool anyNegative = false;
  bool Mixed() const { return anyPositive && anyNegative; }
  double At(int k) const { return root.empty() ? 1.0 : root[static_cast<std::size_t>(k)]; }
};

// w = 1 / d in double: a zero divisor is the division-by-zero fault that the
// caller's check raises, before any poll, as a zero weight always did.
RowScales RowScalesOf(const NonlinearProblem& problem) {
  RowScales scales;
  const Divisor divisor = DivisorOf(problem);
  if (divisor == Divisor::None) return scales;
  scales.anyPositive = false;
  scales.root.resize(static_cast<std::size_t>(problem.nPoints));
  for (int k = 0; k < problem.nPoints; ++k) {
    const double w = 1.0 / static_cast<double>(DivisorAt(problem, divisor, k));
    scales.anyPositive |= w > 0;
    scales.anyNegative |= w < 0;
    scales.root[static_cast<std::size_t>(k)] = std::copysign(std::sqrt(std::fabs(w)), w);
  }
  return scales;
}

// t = k (x - centre): the centre is the middle of the data's x range and k a
// power of two, so that t is exact and powers of k convert without rounding.
struct Frame {
  double centre = 0;
  double k = 1;
};

Frame FrameOf(const NonlinearProblem& problem) {
  const auto [lo, hi] = std::minmax_element(problem.x, problem.x + problem.nPoints);
  Frame frame;
  frame.centre = (static_cast<double>(*lo) + static_cast<double>(*hi)) / 2;
  const double halfRange = (static_cast<double>(*hi) - static_cast<double>(*lo)) / 2;
  if (halfRange > 0 && std::isfinite(halfRange)) {
    int exponent = 0;
    std::frexp(halfRange, &exponent);  // halfRange < 2^exponent
    frame.k = std::ldexp(1.0, -exponent);
  }
  return frame;
}

// Rows are gathered in blocks and folded into the triangle: a reflection per
// column zeroes the block's column below the diagonal of R. Memory stays at
// one block whatever the number of points.
constexpr int kBlockRows = 128;

class Triangle {
 public:
  explicit Triangle(int columns)
      : p_(columns), r_(static_cast<std::size_t>(columns * (columns + 1))),
        block_(static_cast<std::size_t>((columns + 1) * kBlockRows)) {}

  // R(i, j) for j < p; column p holds Q^T times the weighted y.
  double& R(int i, int j) { return r_[static_cast<std::size_t>(i * (p_ + 1) + j)]; }
  double R(int i, int j) const { return r_[static_cast<std::size_t>(i * (p_ + 1) + j)]; }
  int Columns() const { return p_; }

  // Points lo..hi-1: rows root (1, t, ..., t^(p-1)) and right-hand side root y.
  void AddPoints(const NonlinearProblem& problem, const RowScales& scales, const Frame& frame, int lo, int hi) {
    while (lo < hi) {
      const int rows = std::min(kBlockRows, hi - lo);
      for (int i = 0; i < rows; ++i) {
        const int point = lo + i;
        const double t = frame.k * (static_cast<double>(problem.x[point]) - frame.centre);
        const double root = scales.At(point);
        double v = root;
        for (int j = 0; j < p_; ++j) {
          Column(j)[i] = v;
          v *= t;
        }
        Column(p_)[i] = root * static_cast<double>(problem.y[point]);
      }
      Fold(rows);
      lo += rows;
    }
  }

 private:
  double* Column(int j) { return block_.data() + static_cast<std::size_t>(j) * kBlockRows; }

  void Fold(int rows) {
    for (int j = 0; j < p_; ++j) {
      double* a = Column(j);
      double below = 0;
      for (int i = 0; i < rows; ++i) below += a[i] * a[i];
      if (below == 0) continue;
      const double diagonal = R(j, j);
      const double norm = std::sqrt(diagonal * diagonal + below);
      // The reflection sends (R(j, j), a) to (alpha, 0); alpha opposite in
      // sign to R(j, j) keeps v0 = R(j, j) - alpha free of cancellation.
      const double alpha = diagonal > 0 ? -norm : norm;
      const double v0 = diagonal - alpha;
      const double tau = 1 / (norm * std::fabs(v0));
      R(j, j) = alpha;
      for (int c = j + 1; c <= p_; ++c) {
        double* b = Column(c);
        double w = v0 * R(j, c);
        for (int i = 0; i < rows; ++i) w += a[i] * b[i];
        const double f = tau * w;
        R(j, c) -= f * v0;
        for (int i = 0; i < rows; ++i) b[i] -= f * a[i];
      }
    }
  }

  int p_;
  std::vector<double> r_;
  std::vector<double> block_;  // column-major, kBlockRows per column
};

// A diagonal element of R far below its column's norm means the columns are
// dependent to within rounding: the fit would be noise, not a polynomial.
constexpr double kRankTolerance = 1e-13;

bool NumericallySingular(const Triangle& tri) {
  for (int j = 0; j < tri.Columns(); ++j) {
    double columnNorm2 = 0;
    for (int i = 0; i <= j; ++i) columnNorm2 += tri.R(i, j) * tri.R(i, j);
    if (!(std::fabs(tri.R(j, j)) > kRankTolerance * std::sqrt(columnNorm2))) return true;
  }
  return false;
}

// Points with fewer than p distinct x make the problem singular in exact
// arithmetic, whatever the rounding left on the diagonal.
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

using Matrix = std::vector<double>;  // p x p, row-major

// x R = b for the row vector x (forward substitution with R^T).
void SolveRowTimesR(const Triangle& tri, std::vector<double>& b) {
  const int p = tri.Columns();
  for (int j = 0; j < p; ++j) {
    double v = b[static_cast<std::size_t>(j)];
    for (int i = 0; i < j; ++i) v -= b[static_cast<std::size_t>(i)] * tri.R(i, j);
    b[static_cast<std::size_t>(j)] = v / tri.R(j, j);
  }
}

// R x = b (back substitution).
void SolveR(const Triangle& tri, double* b, int stride) {
  const int p = tri.Columns();
  for (int i = p - 1; i >= 0; --i) {
    double v = b[i * stride];
    for (int j = i + 1; j < p; ++j) v -= tri.R(i, j) * b[j * stride];
    b[i * stride] = v / tri.R(i, i);
  }
}

// Gaussian elimination with partial pivoting on a p x p matrix, replacing
// `rhs` (p rows of `columns` values) by the solution. False when a pivot is
// negligible against the matrix's largest element.
bool SolvePivoted(Matrix a, int p, std::vector<double>& rhs, int columns) {
  double largest = 0;
  for (double v : a) largest = std::max(largest, std::fabs(v));
  auto at = [&](Matrix& m, int i, int j, int width) -> double& { return m[static_cast<std::size_t>(i * width + j)]; };
  for (int col = 0; col < p; ++col) {
    int pivot = col;
    for (int i = col + 1; i < p; ++i) {
      if (std::fabs(at(a, i, col, p)) > std::fabs(at(a, pivot, col, p))) pivot = i;
    }
    if (!(std::fabs(at(a, pivot, col, p)) > kRankTolerance * largest)) return false;
    for (int j = 0; j < p; ++j) std::swap(at(a, col, j, p), at(a, pivot, j, p));
    for (int j = 0; j < columns; ++j) std::swap(at(rhs, col, j, columns), at(rhs, pivot, j, columns));
    for (int i = col + 1; i < p; ++i) {
      const double f = at(a, i, col, p) / at(a, col, col, p);
      for (int j = col; j < p; ++j) at(a, i, j, p) -= f * at(a, col, j, p);
      for (int j = 0; j < columns; ++j) at(rhs, i, j, columns) -= f * at(rhs, col, j, columns);
    }
  }
  for (int i = p - 1; i >= 0; --i) {
    for (int j = 0; j < columns; ++j) {
      double v = at(rhs, i, j, columns);
      for (int l = i + 1; l < p; ++l) v -= at(a, i, l, p) * at(rhs, l, j, columns);
      at(rhs, i, j, columns) = v / at(a, i, i, p);
    }
  }
  return true;
}

// Weights of both signs: with Z = A R^-1 (orthonormal columns when every
// weight is positive) the normal equations become K (R u) = g with
// K = Z^T S Z, S the signs. K has norm at most 1, so its condition is that
// of the weighting itself, not that of the powers of t.
struct Indefinite {
  Matrix kInverse;          // p x p
  std::vector<double> rhs;  // g
};

Indefinite IndefiniteSystemOf(const NonlinearProblem& problem, const RowScales& scales, const Frame& frame,
                              const Triangle& tri) {
  const int p = tri.Columns();
  Indefinite system;
  Matrix k(static_cast<std::size_t>(p * p), 0.0);
  system.rhs.assign(static_cast<std::size_t>(p), 0.0);
  std::vector<double> z(static_cast<std::size_t>(p));
  for (int point = 0; point < problem.nPoints; ++point) {
    const double t = frame.k * (static_cast<double>(problem.x[point]) - frame.centre);
    const double root = scales.At(point);
    double v = root;
    for (int j = 0; j < p; ++j) {
      z[static_cast<std::size_t>(j)] = v;
      v *= t;
    }
    SolveRowTimesR(tri, z);
    const double sign = root > 0 ? 1.0 : -1.0;
    const double y = std::fabs(root) * static_cast<double>(problem.y[point]);
    for (int i = 0; i < p; ++i) {
      const double zi = z[static_cast<std::size_t>(i)];
      system.rhs[static_cast<std::size_t>(i)] += zi * y;
      for (int j = 0; j < p; ++j) k[static_cast<std::size_t>(i * p + j)] += sign * zi * z[static_cast<std::size_t>(j)];
    }
  }
  // One elimination solves for g and the inverse together.
  std::vector<double> rhs(static_cast<std::size_t>(p * (p + 1)), 0.0);
  for (int i = 0; i < p; ++i) {
    rhs[static_cast<std::size_t>(i * (p + 1))] = system.rhs[static_cast<std::size_t>(i)];
    rhs[static_cast<std::size_t>(i * (p + 1) + i + 1)] = 1;
  }
  if (!SolvePivoted(k, p, rhs, p + 1)) fpe_catch(FE_INVALID);
  system.kInverse.resize(static_cast<std::size_t>(p * p));
  for (int i = 0; i < p; ++i) {
    system.rhs[static_cast<std::size_t>(i)] = rhs[static_cast<std::size_t>(i * (p + 1))];
    for (int j = 0; j < p; ++j) system.kInverse[static_cast<std::size_t>(i * p + j)] = rhs[static_cast<std::size_t>(i * (p + 1) + j + 1)];
  }
  return system;
}

// Coefficients of powers of t (stride apart) become coefficients of powers
// of x in place: scale by k^j, then expand the powers of (x - centre).
void ToPowersOfX(double* c, int stride, int p, const Frame& frame) {
  double kj = 1;
  for (int j = 0; j < p; ++j) {
    c[j * stride] *= kj;
    kj *= frame.k;
  }
  const double shift = -frame.centre;
  if (shift == 0) return;
  for (int i = 0; i < p - 1; ++i) {
    for (int j = p - 2; j >= i; --j) c[j * stride] += shift * c[(j + 1) * stride];
  }
}

// Everything in double: the coefficients in powers of x and, when asked for,
// the inverse of X^T W X in the same basis.
struct Solution {
  std::vector<double> coefficients;
  Matrix covariance;
};

Solution SolveTriangle(const NonlinearProblem& problem, const RowScales& scales, const Frame& frame,
                       const Triangle& tri, bool wantCovariance) {
  const int p = tri.Columns();
  Solution solution;
  solution.coefficients.resize(static_cast<std::size_t>(p));
  for (int i = 0; i < p; ++i) solution.coefficients[static_cast<std::size_t>(i)] = tri.R(i, p);

  Indefinite indefinite;
  if (scales.Mixed()) {
    indefinite = IndefiniteSystemOf(problem, scales, frame, tri);
    solution.coefficients = indefinite.rhs;
  }
  SolveR(tri, solution.coefficients.data(), 1);
  ToPowersOfX(solution.coefficients.data(), 1, p, frame);
  if (!wantCovariance) return solution;

  // G = T R^-1 with T the change to powers of x; the covariance is G D G^T,
  // D = I, -I for negative weights, or K^-1.
  Matrix g(static_cast<std::size_t>(p * p), 0.0);
  for (int j = 0; j < p; ++j) {
    g[static_cast<std::size_t>(j * p + j)] = 1;
    SolveR(tri, g.data() + j, p);
    ToPowersOfX(g.data() + j, p, p, frame);
  }
  const double sign = scales.anyNegative && !scales.Mixed() ? -1.0 : 1.0;
  Matrix gd = g;
  if (scales.Mixed()) {
    for (int i = 0; i < p; ++i) {
      for (int j = 0; j < p; ++j) {
        double v = 0;
        for (int l = 0; l < p; ++l) v += g[static_cast<std::size_t>(i * p + l)] * indefinite.kInverse[static_cast<std::size_t>(l * p + j)];
        gd[static_cast<std::size_t>(i * p + j)] = v;
      }
    }
  }
  solution.covariance.resize(static_cast<std::size_t>(p * p));
  for (int i = 0; i < p; ++i) {
    for (int j = 0; j < p; ++j) {
      double v = 0;
      for (int l = 0; l < p; ++l) v += gd[static_cast<std::size_t>(i * p + l)] * g[static_cast<std::size_t>(j * p + l)];
      solution.covariance[static_cast<std::size_t>(i * p + j)] = sign * v;
    }
  }
  return solution;
}

// The degrees a polynomial slot holds; anything else is a caller's error.
void RequireSlotDegree(const NonlinearProblem& problem, int degree) {
  if (degree < 1 || degree >= kPolynomialSlotSize) RaiseError(kErrInvalidOperation, problem.modelId);
}

// One rounding to datatype; an overflow there is the fault the caller's
// check raises.
std::vector<datatype> Rounded(const std::vector<double>& values) {
  std::vector<datatype> out(values.size());
  for (std::size_t i = 0; i < values.size(); ++i) out[i] = static_cast<datatype>(values[i]);
  return out;
}

int Solve(NonlinearProblem& problem, int m) {
  RequireSlotDegree(problem, m);
  const int p = m + 1;
  if (problem.nPoints < 1) fpe_catch(FE_INVALID);
  ClearFpFaults();
  const RowScales scales = RowScalesOf(problem);
  CheckFpFaults();
  const Frame frame = FrameOf(problem);

  // The points in 3m runs with a poll after each, so that a stop request is
  // answered while a long fit is still working.
  Triangle tri(p);
  const int runs = 3 * m;
  const long long n = problem.nPoints;
  for (int run = 0; run < runs; ++run) {
    tri.AddPoints(problem, scales, frame, static_cast<int>(n * run / runs), static_cast<int>(n * (run + 1) / runs));
    if (const int answer = problem.notify(problem, kNotifyPoll); answer != 0) return answer;
  }

  if (FewerDistinctXThan(problem, p) || NumericallySingular(tri)) fpe_catch(FE_INVALID);
  ClearFpFaults();
  const Solution solution = SolveTriangle(problem, scales, frame, tri, problem.covariance != nullptr);
  const std::vector<datatype> coefficients = Rounded(solution.coefficients);
  const std::vector<datatype> covariance = Rounded(solution.covariance);
  CheckFpFaults();
  if (!AllFinite(coefficients.data(), p) || !AllFinite(covariance.data(), static_cast<int>(covariance.size()))) {
    fpe_catch(FE_INVALID);
  }
  std::copy(coefficients.begin(), coefficients.end(), problem.parameters);
  if (problem.covariance != nullptr) std::copy(covariance.begin(), covariance.end(), problem.covariance);
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

}  // namespace trendolin
