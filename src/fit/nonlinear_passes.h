// The internals the nonlinear regression files share: the point-by-point
// passes (chi-square and the normal-equation sums, with floating-point faults
// raised in point order) and a text formatter.
#pragma once

#include <string>
#include <vector>

#include "fit/nonlinear.h"

namespace trendolin {

// The divisor w_k every point's term is divided by.
enum class WeightKind { None, Y2, Y, X2, X, Uncertainty };

// The one weighting of the flags, tested in the solver's order: no
// weighting, y^2, y, x^2, x, uncertainty.
WeightKind WeightKindOf(unsigned flags);

// Every sum runs over the points in data order, so each figure is the one
// the plain loop gives. The terms are datatype values; the normal sums are
// accumulated in datatype, and chi-square in double and rounded once: its
// value decides whether a step is taken, and a float sum of n terms would
// blur it by about sqrt(n) units in the last place, hiding the minimum of a
// fit to many points.
//
// Faults: a pass first runs fast: model values and derivatives of every
// point are computed first (for many points on every core), then
// summed in point order; the flags are looked at only when the pass ends,
// and the diagnostic log is muted. If that run raised errnotify or
// left a division by zero or an overflow pending, the pass is run again in
// plain point order with the flags tested after every evaluation and every
// operation; that run raises the first fault in point order, exactly as a
// trap at that operation would, and writes ErrorInfo and the log as the
// plain loop would. The passes are deterministic, so the second run meets
// the same faults.
class PointPasses {
 public:
  explicit PointPasses(const NonlinearProblem& problem);

  // chi2(params) = sum of (y_k - f(params, x_k))^2 / w_k (each term a
  // datatype, the sum in double, rounded once); values[k] receives
  // f(params, x_k) for the residuals of the next normal matrix.
  datatype ChiSquare(const datatype* params, std::vector<datatype>& values) const;

  // a (m rows of `stride` values): a(i, j) = a(j, i) = sum d_i d_j / w_k at
  // params. With residuals, also a(i, m) = sum (y_k - f(params, x_k)) d_i / w_k,
  // the model values taken from `values` when given (f at params), else
  // computed here.
  void NormalSums(const datatype* params, const datatype* values, bool residuals, datatype* a, int stride) const;

  // How far the chi-square of these model values (f(params, x_k), as
  // ChiSquare left them) moves through rounding alone when the parameters
  // move a little: each model value carries about one unit in the last place
  // e_k = ulp(f_k), which moves its term by 2 r_k e_k + e_k^2 (over w_k) with
  // signs that change from one parameter vector to the next, so the sum
  // wanders by the root of the sum of squares of the first part plus the
  // second part; the total itself is rounded once. One standard deviation;
  // two values of chi-square a few of these apart cannot be told apart.
  double RoundingNoise(const datatype* values, datatype chiSquare) const;

 private:
  struct Stencil;  // the moved parameter vectors of the quick derivatives
  static Stencil BuildStencil(const datatype* params, int m);

  bool ChiSquareFast(const datatype* params, datatype* values, datatype& sum) const;
  datatype ChiSquareChecked(const datatype* params, datatype* values) const;
  bool NormalFast(const datatype* params, const datatype* values, bool residuals, datatype* sums) const;
  void NormalChecked(const datatype* params, const datatype* values, bool residuals, datatype* sums) const;
  void EvaluatePoints(const datatype* params, const Stencil& stencil, const datatype* values, bool residuals,
                      int first, int last) const;
  datatype CheckedDerivative(const datatype* params, const Stencil& stencil, int i, datatype x) const;
  template <bool kChecked>
  datatype Weight(int k) const;

  const NonlinearProblem& problem_;
  WeightKind weight_;
  bool quick_;
  bool concurrent_;  // points may be evaluated on several threads
  // What the fast runs compute per point before summing.
  mutable std::vector<datatype> terms_;
  mutable std::vector<datatype> derivatives_;  // m per point
  mutable std::vector<datatype> residuals_;
  mutable std::vector<datatype> weights_;
};

// printf into a string (the current locale's decimal point).
std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

// True when every one of the count values is a finite number.
bool AllFinite(const datatype* values, int count);

}  // namespace trendolin
