// The limits of the stored type and the one way a wider result becomes a
// stored value. Numeric code works in float, double or long double as its
// rounding demands; every value it keeps passes through here.
#pragma once

#include <cmath>
#include <limits>

#include "precision/datatype.h"

namespace trendolin {

// The widest type of the machine (80 bits on x86): for running sums and
// eliminations whose single rounding at the end must match the stored
// figures.
using Extended = long double;

inline constexpr datatype kDatatypeMax = std::numeric_limits<datatype>::max();          // 3.4028235e38
inline constexpr datatype kDatatypeMinNormal = std::numeric_limits<datatype>::min();    // 1.1754944e-38
inline constexpr double kDatatypeEpsilon = std::numeric_limits<datatype>::epsilon();   // 1.1920929e-7
inline constexpr datatype kDatatypeNaN = std::numeric_limits<datatype>::quiet_NaN();

// A wider result rounded once, to nearest, to the stored type.
inline datatype Round(double value) { return static_cast<datatype>(value); }
inline datatype RoundExtended(Extended value) { return static_cast<datatype>(value); }

// Whether a number read or computed in double can be stored: finite and
// within the range of the stored type (it may still round to zero).
inline bool FitsDatatype(double value) {
  return std::isfinite(value) && std::fabs(value) <= static_cast<double>(kDatatypeMax);
}

}  // namespace trendolin
