// Finding the spline piece that serves an x: the first interval whose right
// knot is not left of x, by binary search when the knots ascend, and the
// remembered order of the knots each interpolation was built on.
#pragma once

#include "fit/fit_types.h"

namespace trendolin {

struct InterpResult;

// The knots of a spline: the data points in their stored order.
// What an interpolation was built from, and whether its knots ascended.
struct KnotOrder {
  const InterpResult* record = nullptr;
  int arrayLength = -1;
  const datatype* x = nullptr;
  int n = -1;
  bool ascending = false;
};

struct KnotView {
  const datatype* x = nullptr;
  const datatype* y = nullptr;
  int n = 0;               // knots; a spline needs 2 for its first piece
  bool ascending = false;  // x[0] <= x[1] <= ... <= x[n-1], no not-a-number
};

// True when x[0] <= x[1] <= ... <= x[n-1] (equal neighbours allowed, a
// not-a-number anywhere makes it false).
bool KnotsAscending(const datatype* x, int n);

// The interval of `at` (n >= 2): the first i in 0..n-2 with at <= x[i+1],
// or n-2 when there is none (right of the data, or a not-a-number x). Left
// of the data that is interval 0: the end pieces extend. Knots out of order
// are scanned in order; ascending knots are searched in O(log n), which
// gives the same interval.
int FindInterval(const KnotView& knots, datatype at);

// FindInterval for a run of x values: starts from the interval of the
// previous x, so values that come in order cost O(1) each on ascending
// knots. Same answers as FindInterval.
class IntervalCursor {
 public:
  explicit IntervalCursor(const KnotView& knots) : knots_(knots) {}
  int Find(datatype at);

 private:
  bool Serves(int i, datatype at) const;
  KnotView knots_;
  int last_ = 0;
};

// The order of the knots, found once when interpolation `id` (534..538) is
// built and kept with the identity of what it was built from: the record,
// its array length, the x column and the knot count.
void RememberKnotOrder(int id, const InterpResult& record, const datatype* x, int n);

// Whether the knots of interpolation `id` ascend: the remembered answer
// when the record, its length, the x column and the count are the ones it
// was built from, otherwise found now (O(n)).
bool KnotOrderOf(int id, const InterpResult& record, const datatype* x, int n);

}  // namespace trendolin
