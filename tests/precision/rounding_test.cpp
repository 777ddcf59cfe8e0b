// The limits of the stored type as every reader and writer checks them.
#include "precision/rounding.h"

#include <gtest/gtest.h>

#include <cmath>

namespace trendolin {
namespace {

TEST(RoundingTest, ANumberFitsWhenAFloatCanHoldItFinite) {
  EXPECT_TRUE(FitsDatatype(0.0));
  EXPECT_TRUE(FitsDatatype(-3.4028234663852886e38));  // the largest float itself
  EXPECT_TRUE(FitsDatatype(1e-45));                   // rounds to the smallest subnormal, or zero: still storable
  EXPECT_FALSE(FitsDatatype(3.4028236e38));           // past the largest float by more than it rounds away
  EXPECT_FALSE(FitsDatatype(-1e39));
  EXPECT_FALSE(FitsDatatype(INFINITY));
  EXPECT_FALSE(FitsDatatype(NAN));
}

TEST(RoundingTest, WiderResultsRoundOnceToNearest) {
  // 1 + 2^-24 lies halfway between 1 and the next float: ties go to even.
  EXPECT_EQ(Round(1.0 + std::ldexp(1.0, -24)), 1.0f);
  EXPECT_EQ(Round(1.0 + 3 * std::ldexp(1.0, -24)), 1.0f + 2 * std::ldexp(1.0f, -23));
  // The extended value keeps bits a double would lose before the rounding.
  const Extended justAbove = 1.0L + std::ldexp(1.0L, -24) + std::ldexp(1.0L, -60);
  EXPECT_EQ(RoundExtended(justAbove), 1.0f + std::ldexp(1.0f, -23));
  EXPECT_EQ(kDatatypeEpsilon, 1.1920928955078125e-7);
}

}  // namespace
}  // namespace trendolin
