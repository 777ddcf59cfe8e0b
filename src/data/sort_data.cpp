// Sorting the points by x or by y: an iterative quicksort over (x, y,
// uncertainty) triples that keeps the interface alive between partitions.
#include <new>
#include <vector>

#include "data/curve_fit.h"
#include "data/notices.h"

namespace trendolin {
namespace {

struct Point {
  datatype x;
  datatype y;
  datatype u;
};

// Parts this small are finished by insertion sort.
constexpr long kInsertionSortSize = 7;

// The sign of the key difference rounded to single precision: keys closer
// than a float can tell apart compare equal.
inline int Compare(const Point& a, const Point& b, int key) {
  const datatype d = key == 0 ? a.x - b.x : a.y - b.y;
  return d < 0 ? -1 : (d > 0 ? 1 : 0);
}

inline void Swap(Point& a, Point& b) {
  Point t = a;
  a = b;
  b = t;
}

void InsertionSort(Point* a, long lo, long hi, int key) {
  for (long i = lo + 1; i <= hi; ++i) {
    for (long j = i; j > lo && Compare(a[j - 1], a[j], key) > 0; --j) Swap(a[j - 1], a[j]);
  }
}

// Partitions a[lo..hi] around its median-of-three and returns the pivot's place.
long Partition(Point* a, long lo, long hi, int key) {
  const long mid = lo + (hi - lo) / 2;
  Swap(a[lo], a[mid]);
  // Arrange a[lo + 1] <= a[lo] <= a[hi]: the pivot goes first and the two
  // others become sentinels for the scans below.
  if (Compare(a[lo + 1], a[hi], key) > 0) Swap(a[lo + 1], a[hi]);
  if (Compare(a[lo], a[hi], key) > 0) Swap(a[lo], a[hi]);
  if (Compare(a[lo + 1], a[lo], key) > 0) Swap(a[lo + 1], a[lo]);
  const Point pivot = a[lo];
  long i = lo + 1;
  long j = hi;
  for (;;) {
    do ++i; while (Compare(a[i], pivot, key) < 0);
    do --j; while (Compare(a[j], pivot, key) > 0);
    if (i >= j) break;
    Swap(a[i], a[j]);
  }
  Swap(a[lo], a[j]);
  return j;
}

void QuickSort(Point* a, long n, int key) {
  struct Range {
    long lo;
    long hi;
  };
  // The larger part waits on the stack while the smaller is sorted, so the
  // stack never holds more than log2(n) + 1 ranges.
  std::vector<Range> pending;
  long lo = 0;
  long hi = n - 1;
  for (;;) {
    if (hi - lo + 1 <= kInsertionSortSize) {
      InsertionSort(a, lo, hi, key);
      if (pending.empty()) return;
      lo = pending.back().lo;
      hi = pending.back().hi;
      pending.pop_back();
      continue;
    }
    PumpEvents();
    const long p = Partition(a, lo, hi, key);
    if (p - lo > hi - p) {
      pending.push_back({lo, p - 1});
      lo = p + 1;
    } else {
      pending.push_back({p + 1, hi});
      hi = p - 1;
    }
  }
}

}  // namespace

int CurveFit::SortData(int key) {
  const long n = nPoints;
  std::vector<Point> points;
  try {
    points.resize(static_cast<std::size_t>(n));
  } catch (const std::bad_alloc&) {
    Tell("Sorting", "Out of Memory Error", /*warning=*/false);
    return 1;
  }
  const bool third = bUncertainty && nColumns > 2;
  for (long i = 0; i < n; ++i) points[i] = {At(i, 0), At(i, 1), third ? At(i, 2) : 0.0f};
  if (n > 1) QuickSort(points.data(), n, key);
  for (long i = 0; i < n; ++i) {
    At(i, 0) = points[i].x;
    At(i, 1) = points[i].y;
    if (third) At(i, 2) = points[i].u;
  }
  // Only the interpolations depend on the order of the points.
  InvalidateInterpolations();
  return 0;
}

}  // namespace trendolin
