// The formulas of the models 504..533 and their rounding points, the
// numerical derivatives and Newton's method.
#include "fit/model_functions.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cfloat>
#include <cmath>
#include <string>
#include <vector>

#include "fit/derivatives.h"
#include "platform/debug_log.h"
#include "precision/errors.h"
#include "precision/fp_guard.h"
#include "support/raised.h"

namespace trendolin {
namespace {

using testsupport::Raised;

datatype Eval(int id, std::vector<datatype> p, datatype x) { return ModelFunctionOf(id)(p.data(), x); }

// Each model against its catalogue formula evaluated wholly in double.
// The model rounds every library value (exp, pow, ln, cos) to float before
// combining it, and the result once more; each rounding costs at most half an
// ulp, and the inputs below keep the later operations well conditioned (no
// cancellation, exponents of order 1), so the two agree to a few float ulps.
// Gompertz, Richards and Weibull feed one rounded value into a second library
// call, which multiplies its error by the size of the exponent: 8 ulps there.
struct FormulaCase {
  int id;
  std::vector<double> p;
  double (*formula)(const double* p, double x);
  int ulps;
};

const FormulaCase kFormulaCases[] = {
    {504, {2.5, 0.3}, [](const double* p, double x) { return p[0] * std::exp(p[1] * x); }, 2},
    {505, {2.5, 0.7}, [](const double* p, double x) { return p[0] * std::exp(p[1] / x); }, 2},
    {506, {1.5, 2.25}, [](const double* p, double x) { return p[0] + p[1] * std::log(x); }, 3},
    {507, {0.5, 0.25}, [](const double* p, double x) { return 1 / (p[0] + p[1] * std::log(x)); }, 3},
    {508, {0.5, -0.3, 0.8},
     [](const double* p, double x) { return std::exp(p[0] + p[1] / x + p[2] * std::log(x)); }, 3},
    {509, {1.75, 1.3}, [](const double* p, double x) { return p[0] * std::pow(x, p[1]); }, 2},
    {510, {1.75, 1.3}, [](const double* p, double x) { return p[0] * std::pow(p[1], x); }, 2},
    {511, {1.5, 0.2, 1.7}, [](const double* p, double x) { return p[0] * std::pow(x - p[1], p[2]); }, 2},
    {512, {1.5, 0.4}, [](const double* p, double x) { return p[0] * std::pow(x, p[1] * x); }, 2},
    {513, {1.5, 0.4}, [](const double* p, double x) { return p[0] * std::pow(x, p[1] / x); }, 2},
    {514, {1.5, 3.0}, [](const double* p, double x) { return p[0] * std::pow(p[1], 1 / x); }, 2},
    {515, {1.5, 1.2, 0.6},
     [](const double* p, double x) { return p[0] * std::pow(p[1], x) * std::pow(x, p[2]); }, 3},
    {516, {1.5, 1.2, 0.6},
     [](const double* p, double x) { return p[0] * std::pow(p[1], 1 / x) * std::pow(x, p[2]); }, 3},
    {517, {0.7, 0.2}, [](const double* p, double x) { return 1 / (p[0] * x + p[1]); }, 1},
    {518, {0.5, 0.3, 0.1}, [](const double* p, double x) { return 1 / (p[0] + p[1] * x + p[2] * x * x); }, 1},
    {519, {1.0, 0.5, 0.4}, [](const double* p, double x) { return std::pow(p[0] + p[1] * x, -1 / p[2]); }, 1},
    {520, {0.5, 0.8, 0.7}, [](const double* p, double x) { return 1 / (p[0] + p[1] * std::pow(x, p[2])); }, 2},
    {521, {10.0, 1.0, 0.7}, [](const double* p, double x) { return p[0] * std::exp(-std::exp(p[1] - p[2] * x)); }, 8},
    {522, {10.0, 5.0, 0.8}, [](const double* p, double x) { return p[0] / (1 + p[1] * std::exp(-p[2] * x)); }, 2},
    {523, {10.0, 3.0, 0.5, 1.4},
     [](const double* p, double x) { return p[0] - p[1] * std::exp(-p[2] * std::pow(x, p[3])); }, 8},
    {524, {0.5, 2.0, 6.0, 1.5},
     [](const double* p, double x) { return (p[0] * p[1] + p[2] * std::pow(x, p[3])) / (p[1] + std::pow(x, p[3])); }, 3},
    {525, {10.0, 2.0, 1.0, 0.5},
     [](const double* p, double x) { return p[0] / std::pow(1 + std::exp(p[1] - p[2] * x), 1 / p[3]); }, 8},
    {526, {5.0, 1.5}, [](const double* p, double x) { return p[0] * x / (x + p[1]); }, 1},
    {527, {5.0, 0.6}, [](const double* p, double x) { return p[0] * (1 - std::exp(-p[1] * x)); }, 3},
    {528, {5.0, 1.5, 0.6}, [](const double* p, double x) { return p[0] * (p[1] - std::exp(-p[2] * x)); }, 3},
    {529, {3.0, 1.0, 0.9, 0.3}, [](const double* p, double x) { return p[0] + p[1] * std::cos(p[2] * x + p[3]); }, 3},
    {530, {4.0, 2.0, 1.5},
     [](const double* p, double x) { return p[0] * std::exp(-(p[1] - x) * (p[1] - x) / (2 * p[2] * p[2])); }, 3},
    {531, {1.5, 2.5}, [](const double* p, double x) { return p[0] + p[1] / x; }, 1},
    {532, {1.5, 0.5, 2.5}, [](const double* p, double x) { return p[0] + p[1] * x + p[2] / (x * x); }, 1},
    {533, {1.0, 2.0, 0.3, 0.05},
     [](const double* p, double x) { return (p[0] + p[1] * x) / (1 + p[2] * x + p[3] * x * x); }, 1},
};

TEST(ModelFunctionTest, EveryModelComputesItsCatalogueFormula) {
  ASSERT_EQ(std::size(kFormulaCases), 30u);
  for (const FormulaCase& c : kFormulaCases) {
    ASSERT_NE(ModelFunctionOf(c.id), nullptr) << c.id;
    std::vector<datatype> pf(c.p.begin(), c.p.end());
    std::vector<double> pd(pf.begin(), pf.end());  // the coefficients the model really sees
    for (datatype x : {0.75f, 1.5f, 2.25f, 3.5f}) {
      const double expected = c.formula(pd.data(), x);
      const datatype actual = ModelFunctionOf(c.id)(pf.data(), x);
      EXPECT_NEAR(actual, expected, c.ulps * FLT_EPSILON * std::fabs(expected)) << "model " << c.id << " at x = " << x;
    }
  }
  EXPECT_EQ(ModelFunctionOf(503), nullptr);
  EXPECT_EQ(ModelFunctionOf(534), nullptr);
}

// The named library values are rounded to float before they are combined.
// Over a sweep of x the result matches that arithmetic bit for bit, and for
// some x differs from the same formula kept in double to the end.
TEST(ModelFunctionTest, LibraryValuesAreRoundedBeforeTheyAreCombined) {
  struct RoundingCase {
    int id;
    std::vector<datatype> p;
    double (*rounded)(const datatype* p, double x);
    double (*unrounded)(const datatype* p, double x);
  };
  const RoundingCase cases[] = {
      {504, {2.5f, 0.3f},
       [](const datatype* p, double x) { return p[0] * double{static_cast<float>(std::exp(p[1] * x))}; },
       [](const datatype* p, double x) { return p[0] * std::exp(p[1] * x); }},
      {515, {1.5f, 1.2f, 0.6f},
       [](const datatype* p, double x) {
         return p[0] * double{static_cast<float>(std::pow(p[1], x))} * static_cast<float>(std::pow(x, p[2]));
       },
       [](const datatype* p, double x) { return p[0] * std::pow(p[1], x) * std::pow(x, p[2]); }},
      {521, {10.0f, 1.0f, 0.7f},
       [](const datatype* p, double x) {
         return p[0] * double{static_cast<float>(std::exp(-double{static_cast<float>(std::exp(p[1] - p[2] * x))}))};
       },
       [](const datatype* p, double x) { return p[0] * std::exp(-std::exp(p[1] - p[2] * x)); }},
  };
  for (const RoundingCase& c : cases) {
    int differences = 0;
    for (int k = 1; k <= 400; ++k) {
      const datatype x = 0.01f * static_cast<float>(k);
      const datatype actual = ModelFunctionOf(c.id)(c.p.data(), x);
      ASSERT_EQ(actual, static_cast<float>(c.rounded(c.p.data(), x))) << "model " << c.id << " at x = " << x;
      if (actual != static_cast<float>(c.unrounded(c.p.data(), x))) ++differences;
    }
    EXPECT_GT(differences, 0) << "model " << c.id << ": the sweep does not show the rounding";
  }
}

// Library faults raise at once with the routine's name; plain division by
// zero and float overflow are left in the status flags for the caller.
TEST(ModelFunctionTest, FaultsRaiseOrWaitInTheFlags) {
  ErrorRecord e = Raised([] { Eval(506, {1, 1}, -2.0f); });
  EXPECT_EQ(e.id, kErrDomain);
  EXPECT_EQ(e.routine, "log");
  e = Raised([] { Eval(509, {1, 0.5f}, -2.0f); });
  EXPECT_EQ(e.id, kErrDomain);
  EXPECT_EQ(e.routine, "pow");
  e = Raised([] { Eval(504, {1, 1}, 1000.0f); });
  EXPECT_EQ(e.id, kErrOverflow);
  EXPECT_EQ(e.routine, "exp");

  ClearFpFaults();
  EXPECT_TRUE(std::isinf(Eval(531, {1, 1}, 0.0f)));
  EXPECT_TRUE(FpFaultPending());
  EXPECT_EQ(Raised([] { CheckFpFaults(); }).id, kErrDivideByZero);

  ClearFpFaults();
  EXPECT_TRUE(std::isinf(Eval(504, {1, 1}, 100.0f))) << "exp(100) fits a double, not a float";
  EXPECT_EQ(Raised([] { CheckFpFaults(); }).id, kErrOverflow);
}

// ---- numerical derivatives ----

int evaluations = 0;
bool failNext = false;

// a*exp(b*x) + 0*c, counting its calls; raises when told to.
datatype CountedModel(const datatype* p, datatype x) {
  ++evaluations;
  if (failNext) RaiseError(kErrDomain, 0, "log");
  return static_cast<datatype>(p[0] * std::exp(double{p[1]} * x));
}

class DerivativeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    evaluations = 0;
    failNext = false;
  }
  void TearDown() override {
    DebugFlags = 0;
    SetConsoleSink(nullptr);
  }
};

TEST_F(DerivativeTest, QuickAndRefinedDerivativesApproachTheTrueOnes) {
  const datatype p[3] = {2.0f, 0.5f, 7.0f};
  const double x = 1.5;
  const double dA = std::exp(0.75), dB = 2.0 * x * std::exp(0.75);
  // A step of 1e-4 on values near 4 leaves about three float digits.
  EXPECT_NEAR(Partial(0, 1.5f, p, CountedModel, 3), dA, 2e-3 * dA);
  EXPECT_NEAR(Partial(1, 1.5f, p, CountedModel, 3), dB, 2e-3 * dB);
  EXPECT_EQ(evaluations, 4) << "the quick derivative costs two evaluations";

  evaluations = 0;
  EXPECT_NEAR(PartialRE(1, 1.5f, p, CountedModel, 3), dB, 2e-3 * dB);
  EXPECT_GE(evaluations, 4);
  EXPECT_LE(evaluations, 10);
}

TEST_F(DerivativeTest, StepsFollowTheParameterAndUnusedParametersGiveZero) {
  // 1e8 + 0.0001 would be 1e8 in single precision, and a step of 0.0001
  // would move 1e-7 a thousand times its size: the step follows the
  // parameter, so amplitudes of any magnitude and rates far below 1 get
  // their derivatives.
  const datatype huge[2] = {1e8f, 0.5f};
  EXPECT_NEAR(Partial(0, 1.5f, huge, CountedModel, 2), std::exp(0.75), 2e-3 * std::exp(0.75));
  const datatype slow[2] = {2.0f, 1e-7f};
  const double dSlow = 2.0 * 1e7 * std::exp(1.0);  // d/db of 2 exp(b x) at x = 1e7
  EXPECT_NEAR(Partial(1, 1e7f, slow, CountedModel, 2), dSlow, 2e-3 * dSlow);
  EXPECT_NEAR(PartialRE(1, 1e7f, slow, CountedModel, 2), dSlow, 2e-3 * dSlow);

  // The model ignores c: the first estimate is 0, the scale falls back to 1,
  // and the first refinement agrees: two central differences, four calls.
  const datatype p[3] = {2.0f, 0.5f, 7.0f};
  evaluations = 0;
  EXPECT_EQ(PartialRE(2, 1.5f, p, CountedModel, 3), 0.0f);
  EXPECT_EQ(evaluations, 4);
}

// At p = 0 the five central differences of this function are exactly
// 1, 2, 4, 8 and 16: they never agree, so the whole table is built.
datatype DoublingSlopes(const datatype* p, datatype) {
  ++evaluations;
  const double level = std::round(std::log2(0.005 / std::fabs(p[0])));  // 0 for the first step .. 4
  return static_cast<datatype>(p[0] * std::exp2(level));
}

TEST_F(DerivativeTest, RefinementUsesFourAndThreeAtEveryLevel) {
  // D(k,0) = 2^k gives D(k,j) = 2^(k-j) * (7/3)^j with the factors 4 and 3 at
  // every level; powers of 4 would give another D(4,4).
  const datatype p[1] = {0.0f};
  EXPECT_NEAR(PartialRE(0, 1.0f, p, DoublingSlopes, 1), std::pow(7.0 / 3.0, 4), 1e-5 * std::pow(7.0 / 3.0, 4));
  EXPECT_EQ(evaluations, 10) << "five rows, two evaluations each";
}

TEST_F(DerivativeTest, AFailingModelIsMarkedAndPassedOn) {
  std::string log;
  DebugFlags = 1;
  SetConsoleSink([&log](std::string_view text) { log += text; });
  const datatype p[2] = {2.0f, 0.5f};
  failNext = true;
  EXPECT_EQ(Raised([&] { Partial(0, 1.0f, p, CountedModel, 2); }).id, kErrDomain);
  EXPECT_EQ(Raised([&] { PartialRE(0, 1.0f, p, CountedModel, 2); }).id, kErrDomain);
  EXPECT_NE(log.find("EX: Partial_1\n"), std::string::npos);
  EXPECT_NE(log.find("EX: PartialRE_1\n"), std::string::npos);
}

// ---- Newton's method ----

datatype SquareMinusTwo(const void*, datatype t) {
  ++evaluations;
  return static_cast<datatype>(double{t} * t - 2.0);
}
datatype SquarePlusOne(const void*, datatype t) {
  ++evaluations;
  return static_cast<datatype>(double{t} * t + 1.0);
}
datatype Flat(const void*, datatype) { return 1.0f; }

TEST_F(DerivativeTest, NewtonFindsRootsStopsAfter500StepsAndRaisesOnAFlatFunction) {
  EXPECT_NEAR(NewtonRoot(SquareMinusTwo, nullptr, 1.0f), std::sqrt(2.0), 1e-5);

  // No real root: all 500 steps are taken, three evaluations each after the first.
  evaluations = 0;
  ClearFpFaults();
  EXPECT_TRUE(std::isfinite(NewtonRoot(SquarePlusOne, nullptr, 0.5f)));
  EXPECT_EQ(evaluations, 1 + 500 * 3);

  ClearFpFaults();
  EXPECT_EQ(Raised([] { NewtonRoot(Flat, nullptr, 1.0f); }).id, kErrDivideByZero);
}

}  // namespace
}  // namespace trendolin
