// Gauss-Jordan elimination for the normal equations of the fits and the
// covariance inverse.
//
// Elimination runs in the natural order: no pivot search, no singularity
// test. Each updated element is computed in extended precision from the
// stored values and stored back rounded to datatype before the next element,
// so the results are the same whatever the compiler keeps in registers.
#include "fit/solvers.h"
#include "precision/rounding.h"

#include <new>
#include <vector>

namespace trendolin {
namespace {

inline datatype Eliminate(datatype element, datatype factor, datatype pivotRowElement) {
  return static_cast<datatype>(static_cast<Extended>(element) -
                               static_cast<Extended>(factor) * static_cast<Extended>(pivotRowElement));
}

inline datatype Divide(datatype element, datatype pivot) {
  return static_cast<datatype>(static_cast<Extended>(element) / static_cast<Extended>(pivot));
}

}  // namespace

int SolveAugmented(datatype* a, int m, int /*unused*/) {
  const int r = m + 1;
  for (int i = 0; i < m; ++i) {
    datatype* pivotRow = a + i * r;
    const datatype p = pivotRow[i];
    for (int k = 0; k <= m; ++k) pivotRow[k] = Divide(pivotRow[k], p);
    for (int j = 0; j < m; ++j) {
      if (j == i) continue;
      datatype* row = a + j * r;
      const datatype g = row[i];
      for (int k = 0; k <= m; ++k) row[k] = Eliminate(row[k], g, pivotRow[k]);
    }
  }
  for (int i = 0; i < m; ++i) a[i] = a[i * r + m];
  return 0;
}

int InvertMatrix(datatype* a, int m) {
  std::vector<datatype> b;
  try {
    b.assign(static_cast<std::size_t>(m) * static_cast<std::size_t>(m), 0.0f);
  } catch (const std::bad_alloc&) {
    return 1;
  }
  for (int i = 0; i < m; ++i) b[static_cast<std::size_t>(i * m + i)] = 1.0f;
  for (int i = 0; i < m; ++i) {
    datatype* aRow = a + i * m;
    datatype* bRow = b.data() + i * m;
    const datatype p = aRow[i];
    for (int k = 0; k < m; ++k) aRow[k] = Divide(aRow[k], p);
    for (int k = 0; k < m; ++k) bRow[k] = Divide(bRow[k], p);
    for (int j = 0; j < m; ++j) {
      if (j == i) continue;
      datatype* aOther = a + j * m;
      datatype* bOther = b.data() + j * m;
      const datatype g = aOther[i];
      for (int k = 0; k < m; ++k) aOther[k] = Eliminate(aOther[k], g, aRow[k]);
      for (int k = 0; k < m; ++k) bOther[k] = Eliminate(bOther[k], g, bRow[k]);
    }
  }
  for (int k = 0; k < m * m; ++k) a[k] = b[static_cast<std::size_t>(k)];
  return 0;
}

}  // namespace trendolin
