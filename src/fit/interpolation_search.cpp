// The interval search of the spline evaluators and the knot order each
// interpolation remembers from its construction.
#include "fit/interpolation_search.h"

#include <algorithm>
#include <array>

#include "fit/engine_state.h"
#include "fit/fit_result.h"

namespace trendolin {
namespace {

bool ValidId(int id) { return id >= kFirstInterpolation && id <= kLastInterpolation; }

int LinearScan(const KnotView& knots, datatype at) {
  for (int i = 0; i + 1 < knots.n; ++i) {
    if (at <= knots.x[i + 1]) return i;
  }
  return knots.n - 2;
}

// On ascending knots the first i with at <= x[i+1] is one less than the
// first k >= 1 with x[k] >= at, which is what lower_bound finds.
int BinarySearch(const KnotView& knots, datatype at) {
  if (at != at) return knots.n - 2;  // a not-a-number x matches no interval
  const datatype* first = knots.x + 1;
  const datatype* last = knots.x + knots.n;
  const datatype* k = std::lower_bound(first, last, at);
  return k == last ? knots.n - 2 : static_cast<int>(k - knots.x) - 1;
}

}  // namespace

bool KnotsAscending(const datatype* x, int n) {
  for (int i = 0; i + 1 < n; ++i) {
    if (!(x[i] <= x[i + 1])) return false;
  }
  return n < 1 || x[0] == x[0];
}

int FindInterval(const KnotView& knots, datatype at) {
  return knots.ascending ? BinarySearch(knots, at) : LinearScan(knots, at);
}

// Interval i serves `at` exactly when the search would answer i: on
// ascending knots, x[i] < at (unless i is the first interval) and
// at <= x[i+1] (unless i is the last).
bool IntervalCursor::Serves(int i, datatype at) const {
  const bool left = i == 0 || knots_.x[i] < at;
  const bool right = i == knots_.n - 2 || at <= knots_.x[i + 1];
  return left && right;
}

int IntervalCursor::Find(datatype at) {
  if (knots_.ascending) {
    if (Serves(last_, at)) return last_;
    if (last_ + 1 <= knots_.n - 2 && Serves(last_ + 1, at)) return ++last_;
  }
  last_ = FindInterval(knots_, at);
  return last_;
}

void RememberKnotOrder(int id, const InterpResult& record, const datatype* x, int n) {
  if (!ValidId(id)) return;
  CurrentEngine().knotOrders[static_cast<std::size_t>(id - kFirstInterpolation)] =
      KnotOrder{&record, record.arrayLength, x, n, KnotsAscending(x, n)};
}

bool KnotOrderOf(int id, const InterpResult& record, const datatype* x, int n) {
  if (ValidId(id)) {
    const KnotOrder& order = CurrentEngine().knotOrders[static_cast<std::size_t>(id - kFirstInterpolation)];
    if (order.record == &record && order.arrayLength == record.arrayLength && order.x == x && order.n == n) {
      return order.ascending;
    }
  }
  return KnotsAscending(x, n);
}

}  // namespace trendolin
