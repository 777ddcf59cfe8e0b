// The linear solvers: natural-order elimination, its faults and its rounding.
#include "fit/solvers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "precision/errors.h"
#include "precision/fp_guard.h"

namespace trendolin {
namespace {

TEST(SolversTest, NormalEquationsOfALineGiveInterceptAndSlope) {
  // Points (1, 3), (2, 5), (3, 7): y = 1 + 2x.
  std::vector<datatype> a = {3, 6, 15, 6, 14, 34};
  EXPECT_EQ(SolveAugmented(a.data(), 2), 0);
  EXPECT_FLOAT_EQ(a[0], 1.0f);
  EXPECT_FLOAT_EQ(a[1], 2.0f);
}

TEST(SolversTest, ZeroPivotIsNotReorderedAndFaults) {
  std::vector<datatype> a = {0, 1, 1, 1, 0, 2};
  FpGuard guard;
  SolveAugmented(a.data(), 2);
  EXPECT_THROW(guard.Check(), errnotify);
  EXPECT_EQ(ErrorInfo.id, kErrDivideByZero);
}

TEST(SolversTest, AllZeroRowGivesQuietNotANumbers) {
  std::vector<datatype> a = {0, 0, 0, 1, 1, 2};
  FpGuard guard;
  SolveAugmented(a.data(), 2);
  EXPECT_NO_THROW(guard.Check());
  EXPECT_TRUE(std::isnan(a[0]));
}

TEST(SolversTest, SmallestSizes) {
  std::vector<datatype> one = {4, 10};
  SolveAugmented(one.data(), 1);
  EXPECT_EQ(one[0], 2.5f);
  std::vector<datatype> none = {7};
  EXPECT_EQ(SolveAugmented(none.data(), 0), 0);
  EXPECT_EQ(none[0], 7.0f);
  std::vector<datatype> inverse = {4};
  EXPECT_EQ(InvertMatrix(inverse.data(), 1), 0);
  EXPECT_EQ(inverse[0], 0.25f);
}

TEST(SolversTest, InverseTimesMatrixIsTheIdentity) {
  const std::vector<datatype> original = {4, 1, 2, 1, 3, 0, 2, 0, 5};
  std::vector<datatype> inverse = original;
  ASSERT_EQ(InvertMatrix(inverse.data(), 3), 0);
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) {
      double sum = 0;
      for (int k = 0; k < 3; ++k) sum += original[i * 3 + k] * inverse[k * 3 + j];
      EXPECT_NEAR(sum, i == j ? 1.0 : 0.0, 1e-6) << i << "," << j;
    }
  }
}

// The elimination written out for two unknowns, with the product and
// difference of every update done in `Wide` and rounded to float once.
template <class Wide>
std::vector<datatype> ReferenceSolve(std::vector<datatype> a) {
  auto update = [](datatype e, datatype g, datatype p) {
    return static_cast<datatype>(static_cast<Wide>(e) - static_cast<Wide>(g) * static_cast<Wide>(p));
  };
  for (int i = 0; i < 2; ++i) {
    const datatype p = a[i * 3 + i];
    for (int k = 0; k < 3; ++k) a[i * 3 + k] = a[i * 3 + k] / p;
    const int j = 1 - i;
    const datatype g = a[j * 3 + i];
    for (int k = 0; k < 3; ++k) a[j * 3 + k] = update(a[j * 3 + k], g, a[i * 3 + k]);
  }
  return {a[2], a[5]};
}

TEST(SolversTest, EachElementIsRoundedOnceFromExtendedPrecision) {
  std::uint32_t seed = 12345;
  auto next = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<datatype>((seed >> 8) % 20000) / 997.0f + 0.5f;
  };
  int differsFromFloat = 0;
  for (int trial = 0; trial < 200; ++trial) {
    std::vector<datatype> a = {next(), next(), next(), next(), next(), next()};
    const auto expected = ReferenceSolve<long double>(a);
    const auto singleSteps = ReferenceSolve<float>(a);
    if (expected != singleSteps) ++differsFromFloat;
    SolveAugmented(a.data(), 2);
    EXPECT_EQ(a[0], expected[0]) << trial;
    EXPECT_EQ(a[1], expected[1]) << trial;
  }
  EXPECT_GT(differsFromFloat, 0) << "the cases must tell the two roundings apart";
}

}  // namespace
}  // namespace trendolin
