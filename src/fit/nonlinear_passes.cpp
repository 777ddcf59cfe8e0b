// The point-by-point passes of nonlinear regression: chi-square and the
// normal-equation sums, with floating-point faults raised in point order.
#include "fit/nonlinear_passes.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <limits>

#include "fit/point_parts.h"
#include "fit/derivatives.h"
#include "platform/debug_log.h"
#include "precision/errors.h"
#include "precision/fp_guard.h"
#include "precision/rounding.h"

namespace trendolin {
namespace {

// Below this many model evaluations a pass stays on the calling thread:
// starting a thread would cost more than it saves.
constexpr int kParallelEvaluations = 16384;
constexpr int kNeverParallel = std::numeric_limits<int>::max();

// Points whose quick derivatives are differenced before they are divided.
constexpr int kBlockPoints = 128;

// In the checked run every evaluation and every operation that can fault is
// followed by a look at the flags.
inline void Probe() { CheckFpFaults(); }

// Runs `fast` with the log muted; it answers false when one of its parts
// raised. When it did, or left a fault pending, `checked` runs: it looks
// after every operation and so raises the first fault in point order,
// exactly as a trap at the faulting instruction would, with ErrorInfo and
// the log as the plain loop leaves them. Faults are rare, so the cost of
// looking at the flags is paid almost never.
template <typename Fast, typename Checked>
void RunInPointOrder(Fast fast, Checked checked) {
  ClearFpFaults();
  bool clean = false;
  {
    ScopedLogMute muted;
    clean = fast();
  }
  if (clean && !FpFaultPending()) return;
  ClearFpFaults();
  checked();
}

}  // namespace

// The parameter vectors of the quick derivatives: parameter i moved by
// +h and -h (DerivativeStep), each rounded to datatype, and the distance the
// two rounded values lie apart. They do not depend on the point, so a pass
// builds them once.
struct PointPasses::Stencil {
  std::array<std::array<datatype, kMaxParameters>, kMaxParameters> plus;
  std::array<std::array<datatype, kMaxParameters>, kMaxParameters> minus;
  std::array<double, kMaxParameters> width;
};

PointPasses::Stencil PointPasses::BuildStencil(const datatype* params, int m) {
  PointPasses::Stencil stencil;
  for (int i = 0; i < m; ++i) {
    std::copy(params, params + m, stencil.plus[i].begin());
    std::copy(params, params + m, stencil.minus[i].begin());
    const double h = DerivativeStep(params[i]);
    stencil.plus[i][i] = static_cast<datatype>(params[i] + h);
    stencil.minus[i][i] = static_cast<datatype>(params[i] - h);
    stencil.width[i] = double{stencil.plus[i][i]} - stencil.minus[i][i];
  }
  return stencil;
}

WeightKind WeightKindOf(unsigned flags) {
  if (flags & kNlNoWeighting) return WeightKind::None;
  if (flags & kNlWeightY2) return WeightKind::Y2;
  if (flags & kNlWeightY) return WeightKind::Y;
  if (flags & kNlWeightX2) return WeightKind::X2;
  if (flags & kNlWeightX) return WeightKind::X;
  if (flags & kNlWeightUncertainty) return WeightKind::Uncertainty;
  return WeightKind::None;
}

std::string FormatText(const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  std::va_list copy;
  va_copy(copy, args);
  const int length = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string text(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
  std::vsnprintf(text.data(), text.size() + 1, format, args);
  va_end(args);
  return text;
}

bool AllFinite(const datatype* values, int count) {
  for (int i = 0; i < count; ++i) {
    if (!std::isfinite(values[i])) return false;
  }
  return true;
}

PointPasses::PointPasses(const NonlinearProblem& problem)
    : problem_(problem),
      weight_(WeightKindOf(problem.flags)),
      quick_((problem.flags & kNlQuickDerivatives) != 0),
      // The built-in model functions keep no state, and the user model's
      // runs the parsed formula its record holds with the variables on the
      // evaluating thread's stack, so the points of either can be evaluated
      // on several threads.
      concurrent_((problem.modelId >= kFirstNonlinearModel && problem.modelId <= kLastNonlinearModel) ||
                  problem.modelId == kUserModel) {
  // Weighting by uncertainty without the column is no weighting.
  if (weight_ == WeightKind::Uncertainty && problem.uncertainties == nullptr) weight_ = WeightKind::None;
}

template <bool kChecked>
datatype PointPasses::Weight(int k) const {
  datatype w = 1;
  switch (weight_) {
    case WeightKind::None: break;
    case WeightKind::Y2: w = problem_.y[k] * problem_.y[k]; break;
    case WeightKind::Y: w = problem_.y[k]; break;
    case WeightKind::X2: w = problem_.x[k] * problem_.x[k]; break;
    case WeightKind::X: w = problem_.x[k]; break;
    case WeightKind::Uncertainty: w = problem_.uncertainties[k] * problem_.uncertainties[k]; break;
  }
  if constexpr (kChecked) Probe();
  return w;
}

// ---- chi-square ----

// Each point's term on whichever thread evaluates it, then the sum on this
// thread in point order.
bool PointPasses::ChiSquareFast(const datatype* params, datatype* values, datatype& sum) const {
  const ModelFunction f = problem_.modelFunction;
  const bool weighted = weight_ != WeightKind::None;
  const int n = problem_.nPoints;
  terms_.resize(static_cast<std::size_t>(n));
  datatype* terms = terms_.data();
  const bool clean = ForEachPointPart(n, concurrent_ ? kParallelEvaluations : kNeverParallel, [&](int first, int last) {
    for (int k = first; k < last; ++k) {
      values[k] = f(params, problem_.x[k]);
      const datatype r = problem_.y[k] - values[k];
      datatype term = r * r;
      if (weighted) term = term / Weight<false>(k);
      terms[k] = term;
    }
  });
  if (!clean) return false;
  double total = 0;
  for (int k = 0; k < n; ++k) total += terms[k];
  sum = static_cast<datatype>(total);
  return true;
}

datatype PointPasses::ChiSquareChecked(const datatype* params, datatype* values) const {
  const ModelFunction f = problem_.modelFunction;
  const bool weighted = weight_ != WeightKind::None;
  double total = 0;
  for (int k = 0; k < problem_.nPoints; ++k) {
    values[k] = f(params, problem_.x[k]);
    Probe();
    const datatype r = problem_.y[k] - values[k];
    Probe();
    datatype term = r * r;
    Probe();
    if (weighted) {
      term = term / Weight<true>(k);
      Probe();
    }
    total += term;
  }
  const auto sum = static_cast<datatype>(total);
  Probe();  // a total beyond the float range overflows here
  return sum;
}

datatype PointPasses::ChiSquare(const datatype* params, std::vector<datatype>& values) const {
  values.resize(static_cast<std::size_t>(problem_.nPoints));
  datatype sum = 0;
  RunInPointOrder([&] { return ChiSquareFast(params, values.data(), sum); },
                  [&] { sum = ChiSquareChecked(params, values.data()); });
  return sum;
}

double PointPasses::RoundingNoise(const datatype* values, datatype chiSquare) const {
  constexpr double kUlp = kDatatypeEpsilon;
  double crossTerms = 0;  // sum of (r_k f_k / w_k)^2
  double squares = 0;     // sum of f_k^2 / w_k
  for (int k = 0; k < problem_.nPoints; ++k) {
    const double f = values[k];
    const double r = double{problem_.y[k]} - f;
    double w = 1;  // the divisor in double: a look at it must not raise a fault
    switch (weight_) {
      case WeightKind::None: break;
      case WeightKind::Y2: w = double{problem_.y[k]} * problem_.y[k]; break;
      case WeightKind::Y: w = std::fabs(double{problem_.y[k]}); break;
      case WeightKind::X2: w = double{problem_.x[k]} * problem_.x[k]; break;
      case WeightKind::X: w = std::fabs(double{problem_.x[k]}); break;
      case WeightKind::Uncertainty: w = double{problem_.uncertainties[k]} * problem_.uncertainties[k]; break;
    }
    if (!(w > 0)) continue;
    crossTerms += (r * f / w) * (r * f / w);
    squares += f * f / w;
  }
  const double noise = kUlp * (std::fabs(double{chiSquare}) + 2 * std::sqrt(crossTerms) + kUlp * squares);
  return std::isfinite(noise) ? noise : 0;
}

// ---- normal-equation sums ----
//
// The m derivatives of a point are computed once and feed every element of
// the matrix. Each element still sums its terms in point order, so it is the
// number an element-by-element loop gives.

// The quick derivatives are Partial's arithmetic step for step: the moved
// parameters rounded to datatype, the two model values subtracted in double
// and divided by the distance the moved parameters lie apart. Only the
// copying of the parameter vectors for every point is saved. (A test
// compares the two bit for bit.)
void PointPasses::EvaluatePoints(const datatype* params, const Stencil& stencil, const datatype* values,
                                 bool residuals, int first, int last) const {
  const ModelFunction f = problem_.modelFunction;
  const int m = problem_.m;
  const auto slot = [m](int k) { return static_cast<std::size_t>(k) * static_cast<std::size_t>(m); };
  if (quick_) {
    // A block of differences first, then their divisions: the model calls
    // do not wait for one another's division.
    std::array<double, kBlockPoints * kMaxParameters> difference;
    for (int start = first; start < last; start += kBlockPoints) {
      const int count = std::min(kBlockPoints, last - start);
      for (int b = 0; b < count; ++b) {
        const datatype x = problem_.x[start + b];
        for (int i = 0; i < m; ++i) {
          const double high = f(stencil.plus[i].data(), x);
          const double low = f(stencil.minus[i].data(), x);
          difference[static_cast<std::size_t>(b * m + i)] = high - low;
        }
      }
      datatype* d = &derivatives_[slot(start)];
      for (int b = 0; b < count; ++b) {
        for (int i = 0; i < m; ++i) {
          const std::size_t j = static_cast<std::size_t>(b * m + i);
          d[j] = static_cast<datatype>(
              DifferenceQuotient(difference[j], stencil.width[static_cast<std::size_t>(i)]));
        }
      }
    }
  } else {
    for (int k = first; k < last; ++k) {
      datatype* d = &derivatives_[slot(k)];
      for (int i = 0; i < m; ++i) d[i] = PartialRE(i, problem_.x[k], params, f, m);
    }
  }
  for (int k = first; k < last && residuals; ++k) {
    const datatype value = values != nullptr ? values[k] : f(params, problem_.x[k]);
    residuals_[static_cast<std::size_t>(k)] = problem_.y[k] - value;
  }
  if (weight_ != WeightKind::None) {
    for (int k = first; k < last; ++k) weights_[static_cast<std::size_t>(k)] = Weight<false>(k);
  }
}

namespace {

// The normal sums of every point's terms, each element in point order. With
// the parameter count known at compile time (kM > 0) the elements stay in
// registers; kM = 0 serves any count.
template <int kM>
void SumNormalTerms(int mRuntime, int n, const datatype* derivatives, const datatype* residualsOrNull,
                    const datatype* weightsOrNull, datatype* sums) {
  const int m = kM > 0 ? kM : mRuntime;
  const int row = m + 1;
  std::array<datatype, kMaxParameters*(kMaxParameters + 1)> acc{};
  for (int i = 0; i < m; ++i) {
    for (int j = 0; j <= m; ++j) acc[static_cast<std::size_t>(i * row + j)] = sums[i * row + j];
  }
  for (int k = 0; k < n; ++k) {
    const datatype* d = derivatives + static_cast<std::size_t>(k) * static_cast<std::size_t>(m);
    const datatype w = weightsOrNull != nullptr ? weightsOrNull[k] : datatype{1};
    for (int i = 0; i < m; ++i) {
      for (int j = 0; j <= i; ++j) {
        datatype term = d[i] * d[j];
        if (weightsOrNull != nullptr) term = term / w;
        acc[static_cast<std::size_t>(i * row + j)] = acc[static_cast<std::size_t>(i * row + j)] + term;
      }
    }
    if (residualsOrNull == nullptr) continue;
    const datatype r = residualsOrNull[k];
    for (int i = 0; i < m; ++i) {
      datatype term = r * d[i];
      if (weightsOrNull != nullptr) term = term / w;
      acc[static_cast<std::size_t>(i * row + m)] = acc[static_cast<std::size_t>(i * row + m)] + term;
    }
  }
  for (int i = 0; i < m; ++i) {
    for (int j = 0; j <= m; ++j) sums[i * row + j] = acc[static_cast<std::size_t>(i * row + j)];
  }
}

}  // namespace

// The derivatives, residuals and weights of every point on whichever thread
// evaluates them, then the sums on this thread in point order.
bool PointPasses::NormalFast(const datatype* params, const datatype* values, bool residuals, datatype* sums) const {
  const int m = problem_.m;
  const int n = problem_.nPoints;
  const bool weighted = weight_ != WeightKind::None;
  const Stencil stencil = quick_ ? BuildStencil(params, m) : Stencil{};
  derivatives_.resize(static_cast<std::size_t>(n) * static_cast<std::size_t>(m));
  if (residuals) residuals_.resize(static_cast<std::size_t>(n));
  if (weighted) weights_.resize(static_cast<std::size_t>(n));
  // Model evaluations per point: two per quick derivative, about eight per
  // extrapolated one, and the value when it is not known.
  const int perPoint = std::max(1, m * (quick_ ? 2 : 8) + (residuals && values == nullptr ? 1 : 0));
  const int minPoints = concurrent_ ? std::max(2, kParallelEvaluations / perPoint) : kNeverParallel;
  const bool clean = ForEachPointPart(
      n, minPoints, [&](int first, int last) { EvaluatePoints(params, stencil, values, residuals, first, last); });
  if (!clean) return false;
  const datatype* r = residuals ? residuals_.data() : nullptr;
  const datatype* w = weighted ? weights_.data() : nullptr;
  switch (m) {
    case 2: SumNormalTerms<2>(m, n, derivatives_.data(), r, w, sums); break;
    case 3: SumNormalTerms<3>(m, n, derivatives_.data(), r, w, sums); break;
    case 4: SumNormalTerms<4>(m, n, derivatives_.data(), r, w, sums); break;
    default: SumNormalTerms<0>(m, n, derivatives_.data(), r, w, sums); break;
  }
  return true;
}

// A fault inside a derivative is reported the way the derivative routines
// report their own: with their marker.
datatype PointPasses::CheckedDerivative(const datatype* params, const Stencil& stencil, int i, datatype x) const {
  const ModelFunction f = problem_.modelFunction;
  if (!quick_) {
    const datatype d = PartialRE(i, x, params, f, problem_.m);
    try {
      Probe();
    } catch (const errnotify&) {
      LogExceptionMarker("PartialRE_1");
      throw;
    }
    return d;
  }
  try {
    const double high = f(stencil.plus[i].data(), x);
    Probe();
    const double low = f(stencil.minus[i].data(), x);
    Probe();
    const auto d =
        static_cast<datatype>(DifferenceQuotient(high - low, stencil.width[static_cast<std::size_t>(i)]));
    Probe();
    return d;
  } catch (const errnotify&) {
    LogExceptionMarker("Partial_1");
    throw;
  }
}

void PointPasses::NormalChecked(const datatype* params, const datatype* values, bool residuals, datatype* sums) const {
  const ModelFunction f = problem_.modelFunction;
  const int m = problem_.m;
  const int row = m + 1;
  const bool weighted = weight_ != WeightKind::None;
  const Stencil stencil = quick_ ? BuildStencil(params, m) : Stencil{};
  std::array<datatype, kMaxParameters> d{};
  for (int k = 0; k < problem_.nPoints; ++k) {
    for (int i = 0; i < m; ++i) d[i] = CheckedDerivative(params, stencil, i, problem_.x[k]);
    datatype r = 0;
    if (residuals) {
      datatype value = 0;
      if (values != nullptr) {
        value = values[k];
      } else {
        value = f(params, problem_.x[k]);
        Probe();
      }
      r = problem_.y[k] - value;
      Probe();
    }
    const datatype w = weighted ? Weight<true>(k) : datatype{1};
    for (int i = 0; i < m; ++i) {
      for (int j = 0; j <= i; ++j) {
        datatype term = d[i] * d[j];
        Probe();
        if (weighted) {
          term = term / w;
          Probe();
        }
        sums[i * row + j] = sums[i * row + j] + term;
        Probe();
      }
    }
    if (!residuals) continue;
    for (int i = 0; i < m; ++i) {
      datatype term = r * d[i];
      Probe();
      if (weighted) {
        term = term / w;
        Probe();
      }
      sums[i * row + m] = sums[i * row + m] + term;
      Probe();
    }
  }
}

void PointPasses::NormalSums(const datatype* params, const datatype* values, bool residuals, datatype* a,
                             int stride) const {
  const int m = problem_.m;
  const int row = m + 1;
  std::array<datatype, kMaxParameters*(kMaxParameters + 1)> sums{};
  RunInPointOrder(
      [&] {
        sums.fill(0);
        return NormalFast(params, values, residuals, sums.data());
      },
      [&] {
        sums.fill(0);
        NormalChecked(params, values, residuals, sums.data());
      });
  for (int i = 0; i < m; ++i) {
    for (int j = 0; j <= i; ++j) {
      a[i * stride + j] = sums[i * row + j];
      a[j * stride + i] = sums[i * row + j];
    }
    if (residuals) a[i * stride + m] = sums[i * row + m];
  }
}

}  // namespace trendolin
