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

#include "app/debug_log.h"
#include "app/error_handle.h"
#include "app/errors.h"
#include "app/fp_guard.h"
#include "fit/derivatives.h"

namespace trendolin {
namespace {

// The quick derivative's step and divisor, doubles as Partial takes them.
constexpr double kQuickStep = 0.0001;
constexpr double kQuickDivisor = 0.0002;

// Points evaluated together by the fast run before their terms are summed:
// the model calls of a block do not wait for one another's arithmetic.
constexpr int kBlockPoints = 128;

// In the checked run every evaluation and every operation that can fault is
// followed by a look at the flags.
inline void Probe() { CheckFpFaults(); }

template <typename Fast, typename Checked>
datatype RunInPointOrder(Fast fast, Checked checked) {
  return RunFastThenChecked(fast, checked);
}

}  // namespace

// The parameter vectors of the quick derivatives: parameter i moved by
// +0.0001 and -0.0001, each rounded to datatype. They do not depend on the
// point, so a pass builds them once.
struct PointPasses::Stencil {
  std::array<std::array<datatype, kMaxParameters>, kMaxParameters> plus;
  std::array<std::array<datatype, kMaxParameters>, kMaxParameters> minus;
};

PointPasses::Stencil PointPasses::BuildStencil(const datatype* params, int m) {
  PointPasses::Stencil stencil;
  for (int i = 0; i < m; ++i) {
    std::copy(params, params + m, stencil.plus[i].begin());
    std::copy(params, params + m, stencil.minus[i].begin());
    stencil.plus[i][i] = static_cast<datatype>(params[i] + kQuickStep);
    stencil.minus[i][i] = static_cast<datatype>(params[i] - kQuickStep);
  }
  return stencil;
}

// What the fast run of a block computes before summing: the derivatives,
// residuals and weights of its points.
struct PointPasses::Block {
  std::array<double, kBlockPoints * kMaxParameters> difference;  // f(P+) - f(P-)
  std::array<datatype, kBlockPoints * kMaxParameters> d;
  std::array<datatype, kBlockPoints> r;
  std::array<datatype, kBlockPoints> w;
};

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
    : problem_(problem), weight_(WeightKindOf(problem.flags)), quick_((problem.flags & kNlQuickDerivatives) != 0) {
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

datatype PointPasses::ChiSquareFast(const datatype* params, datatype* values) const {
  const ModelFunction f = problem_.modelFunction;
  const bool weighted = weight_ != WeightKind::None;
  datatype sum = 0;
  for (int k = 0; k < problem_.nPoints; ++k) {
    values[k] = f(params, problem_.x[k]);
    const datatype r = problem_.y[k] - values[k];
    datatype term = r * r;
    if (weighted) term = term / Weight<false>(k);
    sum = sum + term;
  }
  return sum;
}

datatype PointPasses::ChiSquareChecked(const datatype* params, datatype* values) const {
  const ModelFunction f = problem_.modelFunction;
  const bool weighted = weight_ != WeightKind::None;
  datatype sum = 0;
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
    sum = sum + term;
    Probe();
  }
  return sum;
}

datatype PointPasses::ChiSquare(const datatype* params, std::vector<datatype>& values) const {
  values.resize(static_cast<std::size_t>(problem_.nPoints));
  return RunInPointOrder([&] { return ChiSquareFast(params, values.data()); },
                         [&] { return ChiSquareChecked(params, values.data()); });
}

// ---- normal-equation sums ----
//
// The m derivatives of a point are computed once and feed every element of
// the matrix. Each element still sums its terms in point order, so it is the
// number an element-by-element loop gives.

// The quick derivatives are Partial's arithmetic step for step: the moved
// parameters rounded to datatype, the two model values subtracted in double
// and divided by the nominal step 0.0002. Only the copying of the parameter
// vectors for every point is saved. (A test compares the two bit for bit.)
void PointPasses::EvaluateBlock(const datatype* params, const Stencil& stencil, const datatype* values, bool residuals,
                                int first, int count, Block& block) const {
  const ModelFunction f = problem_.modelFunction;
  const int m = problem_.m;
  if (quick_) {
    for (int b = 0; b < count; ++b) {
      const datatype x = problem_.x[first + b];
      double* difference = &block.difference[static_cast<std::size_t>(b * m)];
      for (int i = 0; i < m; ++i) {
        const double high = f(stencil.plus[i].data(), x);
        const double low = f(stencil.minus[i].data(), x);
        difference[i] = high - low;
      }
    }
    for (int j = 0; j < count * m; ++j) block.d[j] = static_cast<datatype>(block.difference[j] / kQuickDivisor);
  } else {
    for (int b = 0; b < count; ++b) {
      for (int i = 0; i < m; ++i) block.d[b * m + i] = PartialRE(i, problem_.x[first + b], params, f, m);
    }
  }
  if (residuals) {
    for (int b = 0; b < count; ++b) {
      const int k = first + b;
      const datatype value = values != nullptr ? values[k] : f(params, problem_.x[k]);
      block.r[b] = problem_.y[k] - value;
    }
  }
  if (weight_ != WeightKind::None) {
    for (int b = 0; b < count; ++b) block.w[b] = Weight<false>(first + b);
  }
}

void PointPasses::NormalFast(const datatype* params, const datatype* values, bool residuals, datatype* sums) const {
  const int m = problem_.m;
  const int row = m + 1;
  const bool weighted = weight_ != WeightKind::None;
  const Stencil stencil = quick_ ? BuildStencil(params, m) : Stencil{};
  Block block;
  for (int first = 0; first < problem_.nPoints; first += kBlockPoints) {
    const int count = std::min(kBlockPoints, problem_.nPoints - first);
    EvaluateBlock(params, stencil, values, residuals, first, count, block);
    for (int b = 0; b < count; ++b) {
      const datatype* d = &block.d[static_cast<std::size_t>(b * m)];
      for (int i = 0; i < m; ++i) {
        for (int j = 0; j <= i; ++j) {
          datatype term = d[i] * d[j];
          if (weighted) term = term / block.w[b];
          sums[i * row + j] = sums[i * row + j] + term;
        }
      }
      if (!residuals) continue;
      for (int i = 0; i < m; ++i) {
        datatype term = block.r[b] * d[i];
        if (weighted) term = term / block.w[b];
        sums[i * row + m] = sums[i * row + m] + term;
      }
    }
  }
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
    const auto d = static_cast<datatype>((high - low) / kQuickDivisor);
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
        NormalFast(params, values, residuals, sums.data());
        return datatype{0};
      },
      [&] {
        sums.fill(0);
        NormalChecked(params, values, residuals, sums.data());
        return datatype{0};
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
