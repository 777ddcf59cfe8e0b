// Evaluating the stored interpolations: the piece search and each model's
// formula, one x at a time or a run of them.
#include "fit/interpolation_eval.h"

#include <algorithm>

#include "data/curve_fit.h"
#include "fit/interpolation_search.h"
#include "fit/linear_fits.h"
#include "fit/model_desc.h"
#include "fit/splines.h"
#include "precision/rounding.h"

namespace trendolin {
namespace {

constexpr datatype kNoValue = kDatatypeNaN;

// The record of an interpolation with the knots it is evaluated on. A record
// is used only as far as both it and the data set reach (a fit that is no
// longer current may be drawn once more before it is refitted).
//
// The spline pieces are written around their left knots. Those
// come from the record, which keeps the x it was built on: after an edit of
// the data, a drawing before the refit still shows the pieces that were
// built. A record filled without its knots takes them from the data set.
struct Stored {
  const InterpResult* record = nullptr;
  KnotView knots;
  const datatype* origins = nullptr;
  datatype tension = 1;

  const datatype* Array(int k) const { return record->arrays[static_cast<std::size_t>(k)].data(); }
};

bool Lookup(const ModelDesc& desc, Stored& stored) {
  if (desc.doc == nullptr || desc.id < kFirstInterpolation || desc.id > kLastInterpolation) return false;
  const CurveFit& doc = *desc.doc;
  const InterpResult& record = doc.Interp(desc.id);
  const int n = std::min(doc.nPoints, record.arrayLength);
  if (record.arrayCount == 0 || n < 1) return false;
  stored.record = &record;
  stored.knots.x = doc.Column(0);
  stored.knots.y = doc.Column(1);
  stored.knots.n = n;
  stored.origins = static_cast<int>(record.knots.size()) >= n ? record.knots.data() : stored.knots.x;
  stored.tension = record.parameter;
  if (desc.id != kFirstInterpolation) stored.knots.ascending = KnotOrderOf(desc.id, record, stored.knots.x, n);
  return true;
}

datatype LagrangeAt(const Stored& stored, datatype x) {
  return PolynomialValue(stored.Array(0), stored.knots.n - 1, x);
}

datatype LinearAt(const Stored& stored, int i, datatype x) {
  return LinearPiece(stored.Array(0)[i], stored.Array(1)[i], stored.origins[i], x);
}

datatype QuadraticAt(const Stored& stored, int i, datatype x) {
  return QuadraticPiece(stored.Array(0)[i], stored.Array(1)[i], stored.Array(2)[i], stored.origins[i], x);
}

datatype CubicAt(const Stored& stored, int i, datatype x) {
  return CubicPiece(stored.Array(0)[i], stored.Array(1)[i], stored.Array(2)[i], stored.Array(3)[i], stored.origins[i],
                    x);
}

// Beyond the data the tension spline keeps the end values.
datatype ClampToKnots(const KnotView& knots, datatype x) {
  if (x < knots.x[0]) return knots.x[0];
  if (x > knots.x[knots.n - 1]) return knots.x[knots.n - 1];
  return x;
}

datatype TensionAt(const Stored& stored, int i, datatype x) {
  const KnotView& k = stored.knots;
  const datatype* z = stored.Array(0);
  return TensionPiece(k.x[i], k.x[i + 1], k.y[i], k.y[i + 1], z[i], z[i + 1], stored.tension, x);
}

using PieceFunction = datatype (*)(const Stored&, int, datatype);

PieceFunction PieceOf(int id) {
  switch (id) {
    case kLinearSplineModel: return LinearAt;
    case kQuadraticSplineModel: return QuadraticAt;
    case kCubicSplineModel: return CubicAt;
    case kTensionSplineModel: return TensionAt;
    default: return nullptr;
  }
}

datatype SplineAt(const ModelDesc& desc, datatype x) {
  Stored stored;
  if (!Lookup(desc, stored) || stored.knots.n < 2) return kNoValue;
  if (desc.id == kTensionSplineModel) x = ClampToKnots(stored.knots, x);
  return PieceOf(desc.id)(stored, FindInterval(stored.knots, x), x);
}

}  // namespace

datatype EvaluateLagrange(const ModelDesc& desc, datatype x) {
  Stored stored;
  if (!Lookup(desc, stored)) return kNoValue;
  return LagrangeAt(stored, x);
}

datatype EvaluateLinearSpline(const ModelDesc& desc, datatype x) { return SplineAt(desc, x); }
datatype EvaluateQuadraticSpline(const ModelDesc& desc, datatype x) { return SplineAt(desc, x); }
datatype EvaluateCubicSpline(const ModelDesc& desc, datatype x) { return SplineAt(desc, x); }
datatype EvaluateTensionSpline(const ModelDesc& desc, datatype x) { return SplineAt(desc, x); }

void EvaluateInterpolation(const ModelDesc& desc, std::span<const datatype> xs, std::span<datatype> ys) {
  const std::size_t count = std::min(xs.size(), ys.size());
  Stored stored;
  const bool found = Lookup(desc, stored);
  if (found && desc.id == kFirstInterpolation) {
    for (std::size_t k = 0; k < count; ++k) ys[k] = LagrangeAt(stored, xs[k]);
    return;
  }
  if (!found || stored.knots.n < 2) {
    std::fill(ys.begin(), ys.begin() + static_cast<std::ptrdiff_t>(count), kNoValue);
    return;
  }
  const PieceFunction piece = PieceOf(desc.id);
  const bool clamp = desc.id == kTensionSplineModel;
  IntervalCursor cursor(stored.knots);
  for (std::size_t k = 0; k < count; ++k) {
    const datatype x = clamp ? ClampToKnots(stored.knots, xs[k]) : xs[k];
    ys[k] = piece(stored, cursor.Find(x), x);
  }
}

}  // namespace trendolin
