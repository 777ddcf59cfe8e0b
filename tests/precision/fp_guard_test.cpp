// Floating-point faults and math-library errors become errnotify with the
// right identifier and routine name; quiet not-a-numbers stay quiet.
#include "precision/fp_guard.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <limits>

#include "precision/errors.h"
#include "precision/math_guard.h"
#include "support/raised.h"

namespace trendolin {
namespace {

using testsupport::Raised;

volatile float zero = 0.0f;
volatile float big = 3.0e38f;

TEST(FpGuardTest, DivisionByZeroAndOverflowAreFaults) {
  ErrorRecord e = Raised([] {
    FpGuard guard;
    volatile float r = 1.0f / zero;
    (void)r;
    guard.Check();
  });
  EXPECT_EQ(e.id, kErrDivideByZero);
  EXPECT_EQ(e.fpFlag, 1);
  EXPECT_EQ(e.FitId, 0);
  EXPECT_EQ(e.routine, "unknown");

  e = Raised([] {
    FpGuard guard;
    volatile float r = big * 10.0f;
    (void)r;
    guard.Check();
  });
  EXPECT_EQ(e.id, kErrOverflow);

  // A double result that does not fit in a float overflows when it is stored.
  e = Raised([] {
    FpGuard guard;
    volatile double d = 1.0e300;
    volatile float stored = static_cast<float>(d);
    (void)stored;
    guard.Check();
  });
  EXPECT_EQ(e.id, kErrOverflow);
}

TEST(FpGuardTest, QuietConditionsAreNotFaults) {
  ErrorRecord e = Raised([] {
    FpGuard guard;
    volatile float nan = zero / zero;  // 0/0 stays a quiet NaN
    volatile float tiny = 1.0e-30f * 1.0e-30f;  // underflow
    EXPECT_TRUE(std::isnan(nan));
    (void)tiny;
    guard.Check();
  });
  EXPECT_EQ(e.id, 0);
}

TEST(FpGuardTest, TrapCodesMapToIdentifiers) {
  EXPECT_EQ(Raised([] { fpe_catch(FE_INVALID); }).id, kErrInvalidOperation);
  EXPECT_EQ(Raised([] { fpe_catch(FE_UNDERFLOW); }).id, kErrUnderflow);
  EXPECT_EQ(Raised([] { fpe_catch(FE_INEXACT); }).id, kErrPrecisionLoss);
  // The flags are reset after a trap, so the next piece of work starts clean.
  EXPECT_FALSE(FpFaultPending());
}

TEST(MathGuardTest, DomainPoleAndOverflowCarryTheRoutineName) {
  struct Case {
    const char* what;
    double (*call)();
    int id;
    const char* routine;
  };
  const Case cases[] = {
      {"sqrt of a negative", [] { return guarded::sqrt(-1.0); }, kErrDomain, "sqrt"},
      {"log of a negative", [] { return guarded::log(-2.0); }, kErrDomain, "log"},
      {"log of zero", [] { return guarded::log(0.0); }, kErrSingularity, "log"},
      {"log10 of zero", [] { return guarded::log10(0.0); }, kErrSingularity, "log10"},
      {"pow of zero to a negative power", [] { return guarded::pow(0.0, -1.0); }, kErrSingularity, "pow"},
      {"pow of a negative to a fraction", [] { return guarded::pow(-8.0, 1.0 / 3.0); }, kErrDomain, "pow"},
      {"pow overflowing", [] { return guarded::pow(10.0, 400.0); }, kErrOverflow, "pow"},
      {"exp overflowing", [] { return guarded::exp(1000.0); }, kErrOverflow, "exp"},
      {"asin beyond 1", [] { return guarded::asin(1.5); }, kErrDomain, "asin"},
      {"acos below -1", [] { return guarded::acos(-1.01); }, kErrDomain, "acos"},
      {"y0 of zero", [] { return guarded::y0(0.0); }, kErrSingularity, "y0"},
      {"y1 of a negative", [] { return guarded::y1(-1.0); }, kErrDomain, "y1"},
      {"cosh overflowing", [] { return guarded::cosh(1000.0); }, kErrOverflow, "cosh"},
  };
  for (const Case& c : cases) {
    ErrorRecord e = Raised(c.call);
    EXPECT_EQ(e.id, c.id) << c.what;
    EXPECT_EQ(e.routine, c.routine) << c.what;
    EXPECT_EQ(e.FitId, 0) << c.what;
    EXPECT_EQ(e.fpFlag, 0) << c.what;
  }
}

TEST(MathGuardTest, AnEarlierDivisionByZeroIsReportedFirst) {
  ErrorRecord e = Raised([] {
    FpGuard guard;
    volatile double x = 0.0;
    guarded::exp(1.0 / x);  // the quotient faults before exp overflows
  });
  EXPECT_EQ(e.id, kErrDivideByZero);
  EXPECT_EQ(e.routine, "unknown");
}

TEST(MathGuardTest, ValidArgumentsGiveTheLibraryResult) {
  EXPECT_DOUBLE_EQ(guarded::sqrt(4.0), 2.0);
  EXPECT_DOUBLE_EQ(guarded::pow(-8.0, 3.0), -512.0) << "a negative base with an integer power is fine";
  EXPECT_DOUBLE_EQ(guarded::pow(0.0, 0.0), 1.0);
  EXPECT_EQ(guarded::exp(-1000.0), 0.0) << "underflow to zero is not an error";
  EXPECT_DOUBLE_EQ(guarded::log10(1000.0), 3.0);
  EXPECT_TRUE(std::isnan(guarded::log(std::numeric_limits<double>::quiet_NaN())));
}

TEST(ErrorsTest, RaiseFillsTheRecordAndClearResets) {
  ErrorRecord e = Raised([] { RaiseError(kErrExpression, 539, "a-routine-name-longer-than-the-field"); });
  EXPECT_EQ(e.id, kErrExpression);
  EXPECT_EQ(e.FitId, 539);
  EXPECT_EQ(e.routine.size(), kRoutineNameSize - 1);
  ClearErrorInfo();
  EXPECT_EQ(ErrorInfo.id, 0);
  EXPECT_EQ(ErrorInfo.FitId, -1);
  EXPECT_TRUE(ErrorInfo.routine.empty());
}

}  // namespace
}  // namespace trendolin
