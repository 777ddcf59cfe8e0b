// Linear, quadratic and polynomial regression: exact recovery, weighting,
// the refusal of singular systems, stop requests, and the degree dialog's rules.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "app/app_settings.h"
#include "app/debug_log.h"
#include "app/error_handle.h"
#include "app/errors.h"
#include "app/run_flags.h"
#include "data/curve_fit.h"
#include "data/data_test_support.h"
#include "fit/fit_state.h"
#include "fit/linear_fits.h"
#include "fit/linear_fits_dialogs.h"
#include "fit/model_desc.h"
#include "fit/nonlinear.h"
#include "platform/headless_ui.h"
#include "support/fit_fixture.h"
#include "support/temp_dir.h"

namespace trendolin {
namespace {

using platform::HeadlessUi;
using platform::UiEvent;

using testsupport::FillColumns;

// n points of the polynomial c (ascending) on [x0, x1], computed in double.
void FillPolynomial(CurveFit& doc, const std::vector<double>& c, double x0, double x1, int n) {
  std::vector<float> x, y;
  for (int i = 0; i < n; ++i) {
    const double xi = x0 + (x1 - x0) * i / (n - 1);
    double yi = 0;
    for (std::size_t k = c.size(); k-- > 0;) yi = yi * xi + c[k];
    x.push_back(static_cast<float>(xi));
    y.push_back(static_cast<float>(yi));
  }
  FillColumns(doc, x, y);
}

class RegressionTest : public testsupport::FitFixture {
 protected:
  void SetUp() override {
    FitFixture::SetUp();
    PolynomialDegree = 4;
  }
  void TearDown() override {
    FitFixture::TearDown();
    PolynomialDegree = 4;
  }
  float Coefficient(int id, int k) const { return doc_.Slot(id).coefficients[static_cast<std::size_t>(k)]; }
  // The one report a fault of a fit shows (a trap names no routine).
  static std::vector<std::string> FaultReport(int errorId, int fitId) { return Report(errorId, fitId, "unknown"); }
};

// ---- exact recovery ----

TEST_F(RegressionTest, LineThroughTwoPoints) {
  FillColumns(doc_, {1.5f, 4}, {-2, 3});
  ASSERT_EQ(Fit(500), 0);
  EXPECT_NEAR(Coefficient(500, 1), 2.0f, 1e-5f);
  EXPECT_NEAR(Coefficient(500, 0), -5.0f, 1e-5f);
  EXPECT_TRUE(doc_.IsFitted(500, kWeightingNone));
  EXPECT_EQ(doc_.nLastModel, 500);
  EXPECT_EQ(doc_.GetFitComment(500), "Linear regression completed successfully. No weighting used. ");
  // n = m: the statistics take the exact-fit branch.
  EXPECT_EQ(doc_.Slot(500).statistics[0], 0.0f);
  EXPECT_EQ(doc_.Slot(500).statistics[1], 1.0f);
  EXPECT_EQ(CalcMode, 0);
}

TEST_F(RegressionTest, QuadraticOfCollinearPointsIsTheLine) {
  FillColumns(doc_, {0.25f, 1.5f, 2, 3.75f, 5}, {1.5f, 4, 5, 8.5f, 11});  // y = 1 + 2x
  ASSERT_EQ(Fit(501), 0);
  // Single-precision normal equations over x up to 5 (x^4 sums near 10^3):
  // a few units in the sixth digit.
  EXPECT_NEAR(Coefficient(501, 2), 0.0f, 2e-5f);
  EXPECT_NEAR(Coefficient(501, 1), 2.0f, 1e-4f);
  EXPECT_NEAR(Coefficient(501, 0), 1.0f, 1e-4f);
}

struct PolynomialCase {
  std::vector<double> c;
  double x0, x1;
  double tolerance;  // absolute, on every coefficient
};

TEST_F(RegressionTest, PolynomialOfDegreeDRecoversANoiselessPolynomial) {
  // The normal matrix of degree d on [-1, 1] has a condition number near
  // 10^(d-1); single-precision sums (eps 6e-8) then leave errors of about
  // 1e-6 * 10^(d-1) in the coefficients.
  const std::vector<PolynomialCase> cases = {
      {{1, -2, 0.5, 3}, -1, 1, 1e-4},
      {{0.5, 1, -1, 2, -0.75}, -1, 1, 1e-3},
      {{-1, 0.25, 2, -1, 0.5, 1}, -1, 1, 1e-2},
      {{2, -1, 0.5, 0.25}, 0, 2, 1e-3},  // one-sided data condition worse
  };
  for (const PolynomialCase& test : cases) {
    const int degree = static_cast<int>(test.c.size()) - 1;
    SCOPED_TRACE("degree " + std::to_string(degree));
    FillPolynomial(doc_, test.c, test.x0, test.x1, 41);
    PolynomialDegree = degree;
    ASSERT_EQ(Fit(502), 0);
    EXPECT_EQ(doc_.modelIntegers[2], degree);
    for (int k = 0; k <= degree; ++k) EXPECT_NEAR(Coefficient(502, k), test.c[static_cast<std::size_t>(k)], test.tolerance) << k;
    const ModelDesc desc = DescriptorOf(doc_, 502);
    EXPECT_LT(desc.statistics[0], 1e-3f);
    EXPECT_TRUE(std::isfinite(desc.covariance[0]));
  }
}

TEST_F(RegressionTest, HighestDegreeHasAFiniteCovariance) {
  // 20 coefficients: one more than the numerical derivatives take, so the
  // covariance comes from the power sums.
  FillPolynomial(doc_, {1, 1}, -1, 1, 30);
  PolynomialDegree = 19;
  ASSERT_EQ(Fit(502), 0);
  EXPECT_NEAR(Coefficient(502, 1), 1.0f, 1e-2f);
  for (int k = 0; k < 20 * 20; ++k) ASSERT_TRUE(std::isfinite(doc_.Slot(502).covariance[static_cast<std::size_t>(k)]));
}

// ---- weighting ----

TEST_F(RegressionTest, WeightingSchemes) {
  FillColumns(doc_, {1, 2, 4, 8}, {3, 5, 9, 17});  // y = 1 + 2x: every weighting fits it exactly
  for (int scheme : {kWeightingX, kWeightingX2, kWeightingY, kWeightingY2, kWeightingUncertainty}) {
    Settings.weighting = scheme;
    ASSERT_EQ(Fit(500), 0) << scheme;
    EXPECT_NEAR(Coefficient(500, 0), 1.0f, 1e-4f);
    EXPECT_NEAR(Coefficient(500, 1), 2.0f, 1e-4f);
    EXPECT_TRUE(doc_.IsFitted(500, scheme));
    if (scheme == kWeightingY2) {
      EXPECT_EQ(doc_.GetFitComment(500), "Linear regression completed successfully. Regression weighted by y^2. ");
    }
  }
  // By uncertainty without the column is no weighting.
  EXPECT_EQ(doc_.GetFitComment(500), "Linear regression completed successfully. No weighting used. ");

  // A zero divisor is a division by zero.
  FillColumns(doc_, {1, 2, 3, 4}, {2, 0, 6, 8});
  Settings.weighting = kWeightingY;
  EXPECT_EQ(Fit(501), 1);
  EXPECT_EQ(Reports(), FaultReport(kErrDivideByZero, 501));
  EXPECT_FALSE(doc_.IsFitted(501, -1));
  EXPECT_TRUE(Logged("EX: PolynomialRegression_1\nEX: QuadraticFit_1\n"));
}

// ---- singular systems never end as a fit ----

TEST_F(RegressionTest, SingularNormalEquationsAreAReportedError) {
  struct Case {
    int id;
    int degree;
    std::vector<float> x;
    const char* marker;
  };
  const std::vector<Case> cases = {
      {500, 1, {3, 3, 3, 3}, "EX: LinearFit_1\n"},            // exact zero pivot row
      {500, 1, {0.1f, 0.1f, 0.1f, 0.1f, 0.1f}, "EX: LinearFit_1\n"},  // rounding leaves a tiny pivot
      {501, 2, {1, 2, 1, 2, 1}, "EX: QuadraticFit_1\n"},      // two distinct x for three coefficients
      {502, 4, {-1, 0, 1, 2, -1, 0}, "EX: PolynomialFit_1\n"},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.marker);
    std::vector<float> y;
    for (std::size_t i = 0; i < test.x.size(); ++i) y.push_back(static_cast<float>(i) * 0.7f + 1);
    FillColumns(doc_, test.x, y);
    PolynomialDegree = test.degree;
    doc_.nLastModel = 0;
    ui_.ClearEvents();
    log_.clear();
    EXPECT_EQ(Fit(test.id), 1);
    EXPECT_EQ(Reports(), FaultReport(kErrInvalidOperation, test.id));
    EXPECT_FALSE(doc_.IsFitted(test.id, -1));
    EXPECT_EQ(doc_.nLastModel, 0);
    for (int k = 0; k <= test.degree; ++k) EXPECT_EQ(Coefficient(test.id, k), 0.0f);
    EXPECT_TRUE(Logged(std::string("EX: PolynomialRegression_1\n") + test.marker));
    EXPECT_EQ(CalcMode, 0);
  }
}

TEST_F(RegressionTest, FaultInTheStatisticsLeavesTheModelNotFitted) {
  // Constant y: ST = 0, while rounding leaves the fitted line a hair off,
  // so SSE / ST divides a non-zero value by zero after the fit was marked.
  FillColumns(doc_, {0.1f, 0.7f, 1.3f, 2.9f, 3.3f}, {0.3f, 0.3f, 0.3f, 0.3f, 0.3f});
  doc_.nLastModel = 0;
  EXPECT_EQ(Fit(500), 1);
  EXPECT_EQ(Reports(), FaultReport(kErrDivideByZero, 500));
  EXPECT_FALSE(doc_.IsFitted(500, -1));
  EXPECT_EQ(doc_.nLastModel, 0);
}

// ---- stop requests ----

TEST_F(RegressionTest, StopRequestsBecomeErrors) {
  FillPolynomial(doc_, {1, 2, 3}, 0, 1, 20);
  ui_.SetPumpHook([] { RequestFitStop(kStopAbort); });
  EXPECT_EQ(Fit(501), 1);  // single fit: error 14, no message
  EXPECT_TRUE(Reports().empty());
  EXPECT_EQ(ErrorInfo.id, kErrUserStopped);
  EXPECT_FALSE(doc_.IsFitted(501, -1));
  EXPECT_EQ(CalcMode, 0);

  ui_.SetPumpHook([] { RequestFitStop(kStopAccept); });
  EXPECT_EQ(Fit(500), 1);  // nothing to accept in a closed-form fit
  EXPECT_EQ(ErrorInfo.id, kErrUserStopped);

  ui_.SetPumpHook([] { RequestFitStop(kStopAbort); });
  CalcMode = 2;
  EXPECT_THROW(Fit(502), errnotify);  // a batch must end
  EXPECT_EQ(ErrorInfo.id, kErrStoppedInSearch);
  EXPECT_EQ(CalcMode, 2);
  EXPECT_TRUE(Reports().empty());
}

TEST_F(RegressionTest, PollsAfterEverySum) {
  // 2m power sums and m right-hand sides: a stop request can arrive after each.
  FillPolynomial(doc_, {1, 2, 3, 4}, 0, 1, 10);
  PolynomialDegree = 3;
  ASSERT_EQ(Fit(502), 0);
  EXPECT_EQ(ui_.PumpCount(), 9);
}

// ---- the degree dialog ----

TEST(RegressionDegreeDialog, OpeningSpinAndOk) {
  EXPECT_EQ(DegreeDialogOpenWarning(4), kTooFewPointsForPolynomial);
  EXPECT_EQ(DegreeDialogOpenWarning(5), std::nullopt);
  const SpinRange spin = DegreeSpinRange(6, 19, 4);
  EXPECT_EQ(std::vector<int>({spin.lower, spin.upper, spin.position}), std::vector<int>({3, 5, 4}));
  EXPECT_EQ(DegreeSpinRange(100, 6, 4).upper, 6);

  struct Case {
    const char* text;
    int n, maxDegree;
    DegreeVerdict verdict;
    std::optional<MessagePair> warning;
  };
  const std::vector<Case> cases = {
      {"4", 6, 19, DegreeVerdict::Accepted, std::nullopt},
      {" 4 ", 6, 19, DegreeVerdict::Accepted, std::nullopt},          // blanks around the number
      {"5", 6, 19, DegreeVerdict::NotBelowPoints, kDegreeNotBelowPoints},  // 5 is not below n - 1
      {"2", 6, 19, DegreeVerdict::OutOfRange, kDegreeOutOfRange},
      {"7", 100, 6, DegreeVerdict::OutOfRange, kDegreeOutOfRange},    // the setting bounds it first
      {"x", 100, 19, DegreeVerdict::NotANumber, std::nullopt},        // silently stays open
      {"1000", 2000, 19, DegreeVerdict::NotANumber, std::nullopt},    // longer than the reader takes
      {"4.5", 100, 19, DegreeVerdict::NotANumber, std::nullopt},
  };
  for (const Case& test : cases) {
    const DegreeCheck check = CheckDegreeText(test.text, test.n, test.maxDegree);
    EXPECT_EQ(check.verdict, test.verdict) << '"' << test.text << '"';
    EXPECT_EQ(check.warning, test.warning) << '"' << test.text << '"';
  }
  EXPECT_EQ(CheckDegreeText("4", 6, 19).degree, 4);
}

}  // namespace
}  // namespace trendolin
