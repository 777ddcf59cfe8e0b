// Gauss-Jordan elimination in the natural order, without pivoting, for the
// small dense systems of the fitting engine.
#pragma once

#include "precision/datatype.h"

namespace trendolin {

// Solves the m equations of the augmented matrix a (m rows of m + 1 values,
// row-major), in place; the solution ends in a[0..m-1]. `unused` is ignored.
// Always returns 0. A zero pivot divides by zero (a fault the caller's
// floating-point check turns into errnotify); an all-zero row gives NaNs.
int SolveAugmented(datatype* a, int m, int unused = 0);

// Replaces the m x m matrix a by its inverse. 1 when no scratch memory could
// be had (a unchanged), else 0.
int InvertMatrix(datatype* a, int m);

}  // namespace trendolin
