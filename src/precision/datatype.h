// The scalar type of every stored data value, coefficient, statistic and
// history entry.
#pragma once

namespace trendolin {

// Single precision by design: every figure the program shows is computed and
// rounded in 4-byte floats. Running sums may be wider; stored values never are.
using datatype = float;
static_assert(sizeof(datatype) == 4, "datatype must be a 4-byte float");

}  // namespace trendolin
