// Linear, quadratic and polynomial regression: exact recovery, agreement
// with an independent solution, weighting of either sign, the covariance,
// the refusal of singular systems, stop requests, and the degree dialog's rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "app/app_settings.h"
#include "app/error_handle.h"
#include "app/run_flags.h"
#include "data/curve_fit.h"
#include "data/data_test_support.h"
#include "fit/engine_state.h"
#include "fit/linear_fits.h"
#include "session/linear_fits_dialogs.h"
#include "fit/model_desc.h"
#include "fit/nonlinear.h"
#include "platform/debug_log.h"
#include "platform/headless_ui.h"
#include "precision/errors.h"
#include "session/nonlinear_routine.h"
#include "session/session.h"
#include "support/fit_fixture.h"
#include "support/temp_dir.h"

namespace trendolin {
namespace {

using platform::HeadlessUi;
using platform::UiEvent;

using testsupport::Fill;
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

// The weighted least-squares solution worked out independently: the normal
// equations in long double with their columns equilibrated, then
// Gauss-Jordan with partial pivoting. Accurate to far better than float for
// the modest conditions used below; weights may have either sign.
struct Reference {
  std::vector<double> c;
  std::vector<double> covariance;  // (X^T W X)^-1, row-major
};

Reference ReferenceFit(const std::vector<float>& x, const std::vector<float>& y, const std::vector<double>& w,
                       int degree) {
  using Long = long double;
  const int p = degree + 1;
  const int width = 2 * p + 1;  // [N | X^T W y | I]
  std::vector<Long> a(static_cast<std::size_t>(p * width), 0);
  auto at = [&](int i, int j) -> Long& { return a[static_cast<std::size_t>(i * width + j)]; };
  for (std::size_t k = 0; k < x.size(); ++k) {
    for (int i = 0; i < p; ++i) {
      const Long xi = std::pow(static_cast<Long>(x[k]), i);
      for (int j = 0; j < p; ++j) at(i, j) += w[k] * xi * std::pow(static_cast<Long>(x[k]), j);
      at(i, p) += w[k] * xi * y[k];
    }
  }
  std::vector<Long> scale(static_cast<std::size_t>(p));
  for (int i = 0; i < p; ++i) scale[static_cast<std::size_t>(i)] = 1 / std::sqrt(std::fabs(at(i, i)));
  for (int i = 0; i < p; ++i) {
    for (int j = 0; j < p; ++j) at(i, j) *= scale[static_cast<std::size_t>(i)] * scale[static_cast<std::size_t>(j)];
    at(i, p) *= scale[static_cast<std::size_t>(i)];
    at(i, p + 1 + i) = 1;
  }
  for (int col = 0; col < p; ++col) {
    int pivot = col;
    for (int i = col + 1; i < p; ++i) {
      if (std::fabs(at(i, col)) > std::fabs(at(pivot, col))) pivot = i;
    }
    for (int j = 0; j < width; ++j) std::swap(at(col, j), at(pivot, j));
    const Long d = at(col, col);
    for (int j = 0; j < width; ++j) at(col, j) /= d;
    for (int i = 0; i < p; ++i) {
      if (i == col) continue;
      const Long f = at(i, col);
      for (int j = 0; j < width; ++j) at(i, j) -= f * at(col, j);
    }
  }
  Reference ref;
  for (int i = 0; i < p; ++i) {
    ref.c.push_back(static_cast<double>(at(i, p) * scale[static_cast<std::size_t>(i)]));
    for (int j = 0; j < p; ++j) {
      ref.covariance.push_back(static_cast<double>(at(i, p + 1 + j) * scale[static_cast<std::size_t>(i)] *
                                                   scale[static_cast<std::size_t>(j)]));
    }
  }
  return ref;
}

// The largest of |a_i - b_i| / |b_i|.
double WorstRelativeError(const float* a, const std::vector<double>& b) {
  double worst = 0;
  for (std::size_t i = 0; i < b.size(); ++i) worst = std::max(worst, std::fabs(a[i] - b[i]) / std::fabs(b[i]));
  return worst;
}

class RegressionTest : public testsupport::FitFixture {
 protected:
  void SetUp() override {
    FitFixture::SetUp();
    CurrentEngine().polynomialDegree = 4;
  }
  void TearDown() override {
    FitFixture::TearDown();
    CurrentEngine().polynomialDegree = 4;
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
  EXPECT_EQ(CurrentEngine().calcMode, 0);
}

TEST_F(RegressionTest, QuadraticOfCollinearPointsIsTheLine) {
  FillColumns(doc_, {0.25f, 1.5f, 2, 3.75f, 5}, {1.5f, 4, 5, 8.5f, 11});  // y = 1 + 2x
  ASSERT_EQ(Fit(501), 0);
  EXPECT_NEAR(Coefficient(501, 2), 0.0f, 1e-7f);
  EXPECT_FLOAT_EQ(Coefficient(501, 1), 2.0f);
  EXPECT_FLOAT_EQ(Coefficient(501, 0), 1.0f);
}

struct PolynomialCase {
  std::vector<double> c;
  double x0, x1;
  double tolerance;  // absolute, on every coefficient
};

TEST_F(RegressionTest, PolynomialOfDegreeDRecoversANoiselessPolynomial) {
  // y is rounded to float, so the data are a polynomial to within 6e-8
  // relative; the coefficients may move by that times the condition of the
  // power basis on the interval, which is what the tolerances allow.
  const std::vector<PolynomialCase> cases = {
      {{1, -2, 0.5, 3}, -1, 1, 1e-6},
      {{0.5, 1, -1, 2, -0.75}, -1, 1, 2e-6},
      {{-1, 0.25, 2, -1, 0.5, 1}, -1, 1, 4e-6},
      {{2, -1, 0.5, 0.25}, 0, 2, 2e-6},  // one-sided data condition worse
  };
  for (const PolynomialCase& test : cases) {
    const int degree = static_cast<int>(test.c.size()) - 1;
    SCOPED_TRACE("degree " + std::to_string(degree));
    FillPolynomial(doc_, test.c, test.x0, test.x1, 41);
    CurrentEngine().polynomialDegree = degree;
    ASSERT_EQ(Fit(502), 0);
    EXPECT_EQ(doc_.modelIntegers[2], degree);
    for (int k = 0; k <= degree; ++k) EXPECT_NEAR(Coefficient(502, k), test.c[static_cast<std::size_t>(k)], test.tolerance) << k;
    const ModelDesc desc = DescriptorOf(doc_, 502);
    EXPECT_LT(desc.statistics[0], 1e-6f);
    EXPECT_TRUE(std::isfinite(desc.covariance[0]));
  }
}

TEST_F(RegressionTest, NoiselessPolynomialsOnZeroToTwentyUpToDegreeTen) {
  // The coefficients come back to within their own rounding when the data
  // hold the polynomial exactly. Every coefficient 1 does up to degree 5
  // (integers below 2^24); above, the sums of binomial coefficients
  // C(x, 0) + ... + C(x, d) do: integers up to 2^20 on x = 0..20, with
  // power-form coefficients from 1 down to 1/10!.
  auto check = [&](const std::vector<double>& c) {
    const int degree = static_cast<int>(c.size()) - 1;
    SCOPED_TRACE("degree " + std::to_string(degree));
    FillPolynomial(doc_, c, 0, 20, 21);
    CurrentEngine().polynomialDegree = degree;
    ASSERT_EQ(Fit(502), 0);
    for (int k = 0; k <= degree; ++k) {
      const double truth = c[static_cast<std::size_t>(k)];
      EXPECT_NEAR(Coefficient(502, k), truth, 2.5e-7 * std::fabs(truth) + 1e-12) << k;
    }
  };
  for (int degree = 1; degree <= 5; ++degree) check(std::vector<double>(static_cast<std::size_t>(degree + 1), 1.0));
  std::vector<double> binomial = {1};  // C(x, j), ascending powers
  std::vector<double> sum = {1};
  for (int j = 1; j <= 10; ++j) {
    std::vector<double> next(binomial.size() + 1, 0.0);  // C(x, j) = C(x, j - 1) (x - j + 1) / j
    for (std::size_t k = 0; k < binomial.size(); ++k) {
      next[k] -= binomial[k] * (j - 1) / j;
      next[k + 1] += binomial[k] / j;
    }
    binomial = next;
    sum.resize(binomial.size(), 0.0);
    for (std::size_t k = 0; k < binomial.size(); ++k) sum[k] += binomial[k];
    if (j >= 6) check(sum);
  }
}

TEST_F(RegressionTest, QuadraticFarFromZero) {
  // y = 3 + 2h + h^2 / 2 with h = x - 1000050: the values are halves, exact
  // in float, while the power-form coefficients span eleven decades.
  std::vector<float> x, y;
  for (int i = 0; i <= 100; ++i) {
    const double h = i - 50.0;
    x.push_back(static_cast<float>(1e6 + i));
    y.push_back(static_cast<float>(3 + 2 * h + h * h / 2));
  }
  FillColumns(doc_, x, y);
  const double x0 = 1000050;
  const std::vector<double> truth = {3 - 2 * x0 + x0 * x0 / 2, 2 - x0, 0.5};
  for (int id : {501, 502}) {
    CurrentEngine().polynomialDegree = 2;
    ASSERT_EQ(Fit(id), 0) << id;
    EXPECT_LT(WorstRelativeError(doc_.Slot(id).coefficients.data(), truth), 2e-7) << id;
  }
}

// ---- weighting ----

TEST_F(RegressionTest, WeightingSchemes) {
  FillColumns(doc_, {1, 2, 4, 8}, {3, 5, 9, 17});  // y = 1 + 2x: every weighting fits it exactly
  for (int scheme : {kWeightingX, kWeightingX2, kWeightingY, kWeightingY2, kWeightingUncertainty}) {
    CurrentSession().settings.weighting = scheme;
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
  CurrentSession().settings.weighting = kWeightingY;
  EXPECT_EQ(Fit(501), 1);
  EXPECT_EQ(Reports(), FaultReport(kErrDivideByZero, 501));
  EXPECT_FALSE(doc_.IsFitted(501, -1));
  EXPECT_TRUE(Logged("EX: PolynomialRegression_1\nEX: QuadraticFit_1\n"));
}

// Points of y = 2 - x + x^2 / 4 with a deterministic wobble, on x = 1..10 or
// -10..-1: a weighted fit that is not exact.
void FillWobbly(CurveFit& doc, double sign, bool withUncertainty) {
  std::vector<float> x, y, s;
  for (int i = 1; i <= 10; ++i) {
    const double xi = sign * i;
    x.push_back(static_cast<float>(xi));
    y.push_back(static_cast<float>(2 - xi + xi * xi / 4 + 0.3 * std::sin(7.0 * i)));
    s.push_back(static_cast<float>(0.1 + 0.05 * (i % 3)));
  }
  if (withUncertainty) {
    Fill(doc, {x, y, s});
    doc.CalcDataStats();
  } else {
    FillColumns(doc, x, y);
  }
}

std::vector<double> WeightsOf(const CurveFit& doc, int scheme) {
  std::vector<double> w;
  for (int i = 0; i < doc.nPoints; ++i) {
    const float x = doc.At(i, 0), y = doc.At(i, 1);
    float d = 1;
    if (scheme == kWeightingX) d = x;
    if (scheme == kWeightingX2) d = x * x;
    if (scheme == kWeightingY) d = y;
    if (scheme == kWeightingY2) d = y * y;
    if (scheme == kWeightingUncertainty) d = doc.At(i, 2) * doc.At(i, 2);
    w.push_back(1.0 / d);
  }
  return w;
}

TEST_F(RegressionTest, WeightedFitsAndCovarianceAgreeWithTheNormalEquations) {
  // Weights by x on negative x are all negative, by y on data crossing zero
  // of both signs: the fit is the solution of the normal equations all the
  // same, and the covariance their inverse (negative for negative weights).
  struct Case {
    int scheme;
    double side;
    double yShift;
  };
  const std::vector<Case> cases = {
      {kWeightingNone, 1, 0}, {kWeightingUncertainty, 1, 0}, {kWeightingX, 1, 0}, {kWeightingX2, 1, 0},
      {kWeightingY, 1, 0},    {kWeightingY2, 1, 0},          {kWeightingX, -1, 0}, {kWeightingY, 1, -4},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE("scheme " + std::to_string(test.scheme) + " side " + std::to_string(test.side) + " shift " +
                 std::to_string(test.yShift));
    FillWobbly(doc_, test.side, test.scheme == kWeightingUncertainty);
    for (int i = 0; i < doc_.nPoints; ++i) doc_.At(i, 1) += static_cast<float>(test.yShift);
    doc_.CalcDataStats();
    CurrentSession().settings.weighting = test.scheme;
    CurrentEngine().polynomialDegree = 3;
    ASSERT_EQ(Fit(502), 0);
    const Reference ref = ReferenceFit(testsupport::ColumnValues(doc_, 0), testsupport::ColumnValues(doc_, 1),
                                       WeightsOf(doc_, test.scheme), 3);
    EXPECT_LT(WorstRelativeError(doc_.Slot(502).coefficients.data(), ref.c), 1e-6);
    EXPECT_LT(WorstRelativeError(doc_.Slot(502).covariance.data(), ref.covariance), 1e-6);
  }
}

TEST_F(RegressionTest, CovarianceOfAQuinticOnZeroToTwenty) {
  // The normal matrix reaches 10^13 in its corner; its inverse, from the
  // factorisation, still matches an independent solution.
  std::vector<float> x, y;
  for (int i = 0; i <= 20; ++i) {
    x.push_back(static_cast<float>(i));
    y.push_back(static_cast<float>(std::cos(i / 3.0) * 10 + i));
  }
  FillColumns(doc_, x, y);
  CurrentEngine().polynomialDegree = 5;
  ASSERT_EQ(Fit(502), 0);
  const Reference ref = ReferenceFit(x, y, std::vector<double>(x.size(), 1.0), 5);
  EXPECT_LT(WorstRelativeError(doc_.Slot(502).coefficients.data(), ref.c), 1e-6);
  EXPECT_LT(WorstRelativeError(doc_.Slot(502).covariance.data(), ref.covariance), 1e-5);
  const std::vector<float>& c = doc_.Slot(502).covariance;
  for (int i = 0; i < 6; ++i) {
    EXPECT_GT(c[static_cast<std::size_t>(i * 7)], 0.0f);
    for (int j = 0; j < i; ++j) EXPECT_EQ(c[static_cast<std::size_t>(i * 6 + j)], c[static_cast<std::size_t>(j * 6 + i)]);
  }
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
    CurrentEngine().polynomialDegree = test.degree;
    doc_.nLastModel = 0;
    ui_.ClearEvents();
    log_.clear();
    EXPECT_EQ(Fit(test.id), 1);
    EXPECT_EQ(Reports(), FaultReport(kErrInvalidOperation, test.id));
    EXPECT_FALSE(doc_.IsFitted(test.id, -1));
    EXPECT_EQ(doc_.nLastModel, 0);
    for (int k = 0; k <= test.degree; ++k) EXPECT_EQ(Coefficient(test.id, k), 0.0f);
    EXPECT_TRUE(Logged(std::string("EX: PolynomialRegression_1\n") + test.marker));
    EXPECT_EQ(CurrentEngine().calcMode, 0);
  }
}

TEST_F(RegressionTest, FaultInTheStatisticsLeavesTheModelNotFitted) {
  // The fit itself is fine, but the squared deviations of y exceed the float
  // range: the statistics overflow after the fit was marked.
  FillColumns(doc_, {0.1f, 0.7f, 1.3f, 2.9f, 3.3f}, {3e19f, -3e19f, 3e19f, -3e19f, 3e19f});
  doc_.nLastModel = 0;
  EXPECT_EQ(Fit(500), 1);
  EXPECT_EQ(Reports(), FaultReport(kErrOverflow, 500));
  EXPECT_FALSE(doc_.IsFitted(500, -1));
  EXPECT_EQ(doc_.nLastModel, 0);
}

TEST_F(RegressionTest, ACoefficientBeyondTheFloatRangeIsAnOverflow) {
  // A slope of 10^60: finite in double, not in float.
  FillColumns(doc_, {0, 1e-30f, 2e-30f}, {0, 1e30f, 2e30f});
  EXPECT_EQ(Fit(500), 1);
  EXPECT_EQ(Reports(), FaultReport(kErrOverflow, 500));
  EXPECT_FALSE(doc_.IsFitted(500, -1));
  EXPECT_TRUE(Logged("EX: PolynomialRegression_1\nEX: LinearFit_1\n"));
}

// ---- stop requests ----

TEST_F(RegressionTest, StopRequestsBecomeErrors) {
  FillPolynomial(doc_, {1, 2, 3}, 0, 1, 20);
  ui_.SetPumpHook([] { RequestFitStop(kStopAbort); });
  EXPECT_EQ(Fit(501), 1);  // single fit: error 14, no message
  EXPECT_TRUE(Reports().empty());
  EXPECT_EQ(ErrorInfo.id, kErrUserStopped);
  EXPECT_FALSE(doc_.IsFitted(501, -1));
  EXPECT_EQ(CurrentEngine().calcMode, 0);

  ui_.SetPumpHook([] { RequestFitStop(kStopAccept); });
  EXPECT_EQ(Fit(500), 1);  // nothing to accept in a closed-form fit
  EXPECT_EQ(ErrorInfo.id, kErrUserStopped);

  ui_.SetPumpHook([] { RequestFitStop(kStopAbort); });
  CurrentEngine().calcMode = 2;
  EXPECT_THROW(Fit(502), errnotify);  // a batch must end
  EXPECT_EQ(ErrorInfo.id, kErrStoppedInSearch);
  EXPECT_EQ(CurrentEngine().calcMode, 2);
  EXPECT_TRUE(Reports().empty());
}

TEST_F(RegressionTest, PollsAfterEverySum) {
  // The points go in 3m runs: a stop request can arrive after each.
  FillPolynomial(doc_, {1, 2, 3, 4}, 0, 1, 10);
  CurrentEngine().polynomialDegree = 3;
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
