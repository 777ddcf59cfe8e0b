// Polynomial interpolation and the splines: knots interpolated, natural and
// clamped ends, the tension limits, point limits and their messages, faults,
// the interval search on sorted and unsorted knots, and the tension dialog.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "app/app_settings.h"
#include "app/error_handle.h"
#include "app/run_flags.h"
#include "data/curve_fit.h"
#include "data/data_test_support.h"
#include "session/interpolation_drivers.h"
#include "fit/interpolation_eval.h"
#include "fit/interpolation_search.h"
#include "session/linear_fits_dialogs.h"
#include "fit/model_desc.h"
#include "fit/nonlinear.h"
#include "fit/splines.h"
#include "platform/debug_log.h"
#include "platform/headless_ui.h"
#include "platform/resource_strings.h"
#include "precision/errors.h"
#include "session/nonlinear_routine.h"
#include "session/session.h"
#include "support/fit_fixture.h"
#include "support/temp_dir.h"

namespace trendolin {
namespace {

using platform::HeadlessUi;
using platform::UiEvent;

const std::vector<float> kKnotsX = {0.5f, 1.2f, 2.0f, 3.1f, 3.5f, 4.8f, 6.0f, 7.25f};
const std::vector<float> kKnotsY = {1.0f, 2.3f, 1.7f, 0.4f, 0.9f, 2.8f, 3.0f, 1.1f};

using testsupport::FillColumns;

void FillSmooth(CurveFit& doc, int n) {
  std::vector<float> x, y;
  for (int i = 0; i < n; ++i) {
    x.push_back(1.0f + static_cast<float>(i));
    y.push_back(std::sin(0.3f * static_cast<float>(i)));
  }
  FillColumns(doc, x, y);
}

class InterpolationTest : public testsupport::FitFixture {
 protected:
  void SetUp() override {
    FitFixture::SetUp();
    FillColumns(doc_, kKnotsX, kKnotsY);
  }
  datatype At(int id, datatype x) { return DescriptorOf(doc_, id).Evaluate(x); }
};

// ---- what every interpolation promises ----

TEST_F(InterpolationTest, EveryInterpolationPassesThroughItsKnots) {
  // The spline pieces are written around their left knots, so a knot is
  // met to float rounding. The polynomial of degree 7 adds terms near 10^3
  // before they cancel.
  const std::vector<std::pair<int, float>> models = {
      {534, 2e-3f}, {535, 1e-5f}, {536, 1e-6f}, {537, 1e-6f}, {538, 1e-5f}};
  for (const auto& [id, tolerance] : models) {
    ASSERT_EQ(Fit(id), 0) << id;
    EXPECT_TRUE(doc_.IsFitted(id, -1));
    EXPECT_EQ(doc_.nLastModel, id);
    for (std::size_t i = 0; i < kKnotsX.size(); ++i) EXPECT_NEAR(At(id, kKnotsX[i]), kKnotsY[i], tolerance) << id << " knot " << i;
  }
  EXPECT_EQ(doc_.modelIntegers[34], 7);
  EXPECT_EQ(doc_.GetFitComment(534), "Interpolation completed successfully.");
  EXPECT_EQ(doc_.GetFitComment(537), "Spline interpolation completed successfully.");
  EXPECT_EQ(CurrentEngine().calcMode, 0);
}

TEST_F(InterpolationTest, CubicSplineIsNaturalAndExtendsItsEndPieces) {
  ASSERT_EQ(Fit(537), 0);
  const InterpResult& r = doc_.Interp(537);
  // The second derivative of piece i at distance t from its left knot.
  auto second = [&](int piece, double t) { return 6 * r.arrays[0][piece] * t + 2 * r.arrays[1][piece]; };
  const int last = static_cast<int>(kKnotsX.size()) - 2;
  double largest = 0;
  for (int i = 0; i <= last; ++i) largest = std::max(largest, std::fabs(second(i, 0)));
  ASSERT_GT(largest, 0.5);
  EXPECT_EQ(second(0, 0), 0);
  EXPECT_NEAR(second(last, kKnotsX.back() - kKnotsX[last]), 0, 1e-6 * largest);
  // Left of the data the first cubic goes on; right of it the last.
  EXPECT_EQ(At(537, -2), CubicPiece(r.arrays[0][0], r.arrays[1][0], r.arrays[2][0], r.arrays[3][0], kKnotsX[0], -2));
  EXPECT_EQ(At(537, 9),
            CubicPiece(r.arrays[0][last], r.arrays[1][last], r.arrays[2][last], r.arrays[3][last], kKnotsX[last], 9));
  // The quadratic spline's first piece is a line.
  ASSERT_EQ(Fit(536), 0);
  EXPECT_EQ(doc_.Interp(536).arrays[0][0], 0.0f);
}

TEST_F(InterpolationTest, TensionSplineRunsFromCubicToLinearAndIsFlatBeyondTheData) {
  ASSERT_EQ(Fit(535), 0);
  ASSERT_EQ(Fit(537), 0);
  auto largestGap = [&](int other) {
    double gap = 0;
    for (std::size_t i = 0; i + 1 < kKnotsX.size(); ++i) {
      for (float f : {0.25f, 0.5f, 0.75f}) {
        const float x = kKnotsX[i] + f * (kKnotsX[i + 1] - kKnotsX[i]);
        gap = std::max(gap, static_cast<double>(std::fabs(At(538, x) - At(other, x))));
      }
    }
    return gap;
  };
  // Small tension: the cubic spline plus terms of order t^2 h^2. A new
  // tension makes the fit stale and is kept through the record's reset.
  ASSERT_EQ(Fit(538), 0);
  ApplyTension(doc_, 0.01f);
  EXPECT_FALSE(doc_.IsFitted(538, -1));
  ASSERT_EQ(Fit(538), 0);
  EXPECT_EQ(CurrentTension(doc_), 0.01f);
  EXPECT_LT(largestGap(537), 1e-3);
  // Large tension: the linear spline plus terms of order 1/(t h) near each knot.
  ApplyTension(doc_, 200);
  ASSERT_EQ(Fit(538), 0);
  EXPECT_LT(largestGap(535), 1e-2);
  ApplyTension(doc_, 5000);  // t h up to 6250: long double sinh still finite
  ASSERT_EQ(Fit(538), 0);
  EXPECT_LT(largestGap(535), 1e-3);
  // Clamped: the end values beyond the data.
  EXPECT_EQ(At(538, -10), kKnotsY.front());
  EXPECT_EQ(At(538, 100), kKnotsY.back());
}

TEST_F(InterpolationTest, LagrangeOfFourPointsIsTheirCubic) {
  auto cubic = [](float x) { return 1 - 2 * x + 0.5f * x * x + 0.25f * x * x * x; };
  FillColumns(doc_, {-1, 0.5f, 1, 2}, {cubic(-1), cubic(0.5f), cubic(1), cubic(2)});
  ASSERT_EQ(Fit(534), 0);
  const std::vector<float> expected = {1, -2, 0.5f, 0.25f};
  for (int k = 0; k < 4; ++k) EXPECT_NEAR(doc_.Interp(534).arrays[0][k], expected[k], 1e-5f) << k;
  EXPECT_EQ(doc_.modelIntegers[34], 3);
}

// A spline's arrays hold pieces, one per interval: on two or three points
// there are fewer values than the parameter count, and a reader that took
// the parameter count for their length read past their end. Only the
// polynomial interpolation has coefficients, one per point.
TEST_F(InterpolationTest, OnlyThePolynomialInterpolationHasCoefficients) {
  for (const std::vector<float>& x : {std::vector<float>{1, 2}, std::vector<float>{1, 2, 4}}) {
    FillColumns(doc_, x, std::vector<float>(x.size(), 3));
    for (int id = 534; id <= 538; ++id) {
      ASSERT_EQ(Fit(id), 0) << id;
      const ModelDesc desc = DescriptorOf(doc_, id);
      EXPECT_EQ(StoredCoefficientCount(desc), id == 534 ? static_cast<int>(x.size()) : 0) << id;
      EXPECT_LE(StoredCoefficientCount(desc), static_cast<int>(desc.coefficientsLocation->size())) << id;
    }
  }
}

// ---- far from x = 0 ----

// The natural cubic spline through (x, y), entirely in double, at `at`.
double NaturalSplineInDouble(const std::vector<float>& x, const std::vector<float>& y, double at) {
  const std::size_t n = x.size();
  std::vector<double> diag(n, 1), rhs(n, 0), m(n, 0), h(n - 1);
  for (std::size_t i = 0; i + 1 < n; ++i) h[i] = double{x[i + 1]} - x[i];
  for (std::size_t i = 1; i + 1 < n; ++i) {  // eliminated as it is built
    const double factor = i == 1 ? 0 : h[i - 1] / diag[i - 1];
    diag[i] = 2 * (h[i - 1] + h[i]) - factor * h[i - 1];
    rhs[i] = 6 * ((double{y[i + 1]} - y[i]) / h[i] - (double{y[i]} - y[i - 1]) / h[i - 1]) - factor * rhs[i - 1];
  }
  for (std::size_t i = n - 2; i >= 1; --i) m[i] = (rhs[i] - h[i] * m[i + 1]) / diag[i];
  std::size_t i = 0;
  while (i + 2 < n && at > x[i + 1]) ++i;
  const double a = at - x[i], b = double{x[i + 1]} - at;
  return (m[i] * b * b * b + m[i + 1] * a * a * a) / (6 * h[i]) + (y[i] / h[i] - m[i] * h[i] / 6) * b +
         (y[i + 1] / h[i] - m[i + 1] * h[i] / 6) * a;
}

TEST_F(InterpolationTest, SplinesFarFromZeroMeetTheirKnotsAndAgreeWithDouble) {
  // Noisy data at x from 1000 to 2000: a piece written in powers of x would
  // cancel terms near 10^9 down to values near 1 and miss most knots.
  std::mt19937 engine(15);
  std::normal_distribution<float> noise(0, 0.1f);
  std::vector<float> x, y;
  const int n = 2000;
  for (int i = 0; i < n; ++i) {
    x.push_back(1000.0f + 1000.0f * static_cast<float>(i) / (n - 1));
    y.push_back(std::sin(0.025f * static_cast<float>(i)) + noise(engine));
  }
  FillColumns(doc_, x, y);
  const auto [low, high] = std::minmax_element(y.begin(), y.end());
  const double range = double{*high} - *low;
  for (int id : {535, 537, 538}) {
    ASSERT_EQ(Fit(id), 0) << id;
    double knotMiss = 0;
    for (int i = 0; i < n; ++i) knotMiss = std::max(knotMiss, std::fabs(double{At(id, x[i])} - y[i]));
    EXPECT_LT(knotMiss, 1e-6 * range) << id;
  }
  double gap = 0;
  for (int i = 0; i + 1 < n; i += 7) {
    const float between = x[i] + 0.4f * (x[i + 1] - x[i]);
    gap = std::max(gap, std::fabs(At(537, between) - NaturalSplineInDouble(x, y, between)));
  }
  EXPECT_LT(gap, 1e-5 * range);

  // The quadratic spline through points of a line far from 0 is that line.
  std::vector<float> lineX, lineY;
  for (int i = 0; i < kQuadraticSplineMaxPoints; ++i) {
    lineX.push_back(1000.0f + 1.5f * static_cast<float>(i));
    lineY.push_back(0.25f * lineX.back() - 300.0f);
  }
  FillColumns(doc_, lineX, lineY);
  ASSERT_EQ(Fit(536), 0);
  for (int i = 0; i + 1 < kQuadraticSplineMaxPoints; ++i) {
    const float between = lineX[i] + 0.5f;
    ASSERT_NEAR(At(536, between), 0.25 * between - 300.0, 1e-5) << between;
  }
}

TEST_F(InterpolationTest, ADrawingBeforeTheRefitShowsTheSplineThatWasBuilt) {
  // The record keeps the knots its pieces are written around: data moved
  // since the fit (not current any more) do not shift the pieces.
  FillSmooth(doc_, 40);
  ASSERT_EQ(Fit(537), 0);
  const float at = 20.5f;
  const datatype built = At(537, at);
  for (int i = 0; i < doc_.nPoints; ++i) doc_.At(i, 0) += 0.25f;  // every knot moves, none past `at`
  doc_.MarkModified();
  EXPECT_FALSE(doc_.IsFitted(537, -1));
  EXPECT_EQ(At(537, at), built);
  ASSERT_EQ(Fit(537), 0);
  EXPECT_NE(At(537, at), built);
}

// ---- point limits ----

TEST_F(InterpolationTest, PolynomialInterpolationTakesAtMostMaxPolyDegreePlusOnePoints) {
  FillSmooth(doc_, 21);
  EXPECT_EQ(Fit(534), 1);
  EXPECT_EQ(Reports(), Report(kErrTooManyPoints, 534, ""));
  EXPECT_FALSE(doc_.IsFitted(534, -1));

  ui_.ClearEvents();
  CurrentEngine().unattended = 1;
  EXPECT_EQ(Fit(534), 1);
  EXPECT_TRUE(ui_.Events().empty());
  CurrentEngine().unattended = 0;

  FillSmooth(doc_, 20);
  EXPECT_EQ(Fit(534), 0);
  CurrentSession().settings.maxPolyDegree = 6;
  EXPECT_EQ(Fit(534), 1);
}

TEST_F(InterpolationTest, SplinePointLimitsAreTold) {
  auto boxes = [this] { return ui_.EventsOf(UiEvent::Kind::MessageBox); };
  auto text = [](int id) { return std::string(platform::ResourceString(id)); };

  FillSmooth(doc_, 101);
  EXPECT_EQ(Fit(536), 1);
  ASSERT_EQ(boxes().size(), 1u);
  EXPECT_EQ(boxes()[0].caption, text(62));
  EXPECT_EQ(boxes()[0].text, text(61));
  EXPECT_EQ(boxes()[0].icon, platform::Icon::Exclamation);
  FillSmooth(doc_, 100);
  EXPECT_EQ(Fit(536), 0);

  ui_.ClearEvents();
  FillSmooth(doc_, kSplinePointLimit);
  for (int id : {535, 537, 538}) EXPECT_EQ(Fit(id), 1) << id;
  ASSERT_EQ(boxes().size(), 3u);
  EXPECT_EQ(boxes()[0].caption, text(12));
  EXPECT_EQ(boxes()[0].text, text(13));
  EXPECT_EQ(boxes()[0].icon, platform::Icon::Error);

  ui_.ClearEvents();
  CurrentEngine().unattended = 1;
  EXPECT_EQ(Fit(537), 1);
  EXPECT_TRUE(boxes().empty());
  CurrentEngine().unattended = 0;

  FillSmooth(doc_, kSplinePointLimit - 1);
  EXPECT_EQ(Fit(535), 0);
}

// ---- faults ----

TEST_F(InterpolationTest, FaultsAreReportedAndReleaseTheRecord) {
  struct Case {
    int id;
    std::vector<float> x, y;
    int error;
    const char* markers;
  };
  const std::vector<Case> cases = {
      {537, {1, 2, 2, 3}, {1, 2, 3, 4}, kErrDivideByZero, "EX: CubicSpline_1\nEX: SplineFit\n"},
      {538, {1, 2, 2, 3}, {1, 2, 3, 4}, kErrDivideByZero, "EX: TensionSpline_1\nEX: TSplineFit_1\n"},
      {535, {1, 2, 2, 3}, {1, 2, 3, 4}, kErrDivideByZero, "EX: LinearSpline_1\nEX: LSplineFit_1\n"},
      // The same point twice: 0/0, never a spline of not-a-numbers.
      {535, {1, 2, 2, 3}, {1, 2, 2, 4}, kErrInvalidOperation, "EX: LinearSpline_1\nEX: LSplineFit_1\n"},
      {536, {1, 2, 2, 3}, {1, 2, 3, 4}, kErrDivideByZero, "EX: QuadraticSpline_1\nEX: QSplineFit_1\n"},
      {534, {1, 2, 1, 3}, {1, 2, 3, 4}, kErrDivideByZero, "EX: LagrangeInterpolation_1\nEX: LagrangeInterpolate_1\n"},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.markers);
    FillColumns(doc_, test.x, test.y);
    ui_.ClearEvents();
    log_.clear();
    doc_.nLastModel = 0;
    EXPECT_EQ(Fit(test.id), 1);
    EXPECT_EQ(Reports(), Report(test.error, test.id, "unknown"));
    EXPECT_TRUE(Logged(test.markers));
    EXPECT_FALSE(doc_.IsFitted(test.id, -1));
    EXPECT_EQ(doc_.Interp(test.id).valid, 0);
    EXPECT_TRUE(std::isnan(At(test.id, 1.5f)));
    EXPECT_EQ(doc_.nLastModel, 0);
    EXPECT_EQ(CurrentEngine().calcMode, 0);
  }
  // A first x at 0 is no fault: the quadratic spline is built piece by
  // piece around its knots, with no system to meet a zero pivot in.
  FillColumns(doc_, {0, 1, 2, 3}, {1, 2, 0, 4});
  for (int id : {534, 535, 536, 537, 538}) EXPECT_EQ(Fit(id), 0) << id;
  EXPECT_EQ(At(536, 0), 1);
}

TEST_F(InterpolationTest, StopRequestsEndTheBuild) {
  ui_.SetPumpHook([] { RequestFitStop(kStopAbort); });
  EXPECT_EQ(Fit(537), 1);
  EXPECT_TRUE(Reports().empty());
  EXPECT_EQ(doc_.Interp(537).valid, 0);
  CurrentEngine().calcMode = 2;
  EXPECT_THROW(Fit(535), errnotify);
  EXPECT_EQ(ErrorInfo.id, kErrStoppedInSearch);
}

// ---- the interval search ----

TEST(InterpolationSearch, FirstMatchByScanOrByBinarySearch) {
  const std::vector<float> unsorted = {0, 2, 1, 3};
  const KnotView knots{unsorted.data(), nullptr, 4, KnotsAscending(unsorted.data(), 4)};
  ASSERT_FALSE(knots.ascending);
  EXPECT_EQ(FindInterval(knots, -1), 0);   // left of everything: the first piece
  EXPECT_EQ(FindInterval(knots, 1.5f), 0); // 1.5 <= x[1] already
  EXPECT_EQ(FindInterval(knots, 2.5f), 2); // passes x[1] = 2 and x[2] = 1
  EXPECT_EQ(FindInterval(knots, 5), 2);    // none: the last piece

  // Ascending knots with equal neighbours: the binary search and the scan agree.
  std::mt19937 engine(7);
  std::uniform_int_distribution<int> step(0, 3);  // zero steps make equal neighbours
  std::vector<float> x(200);
  float at = -5;
  for (float& v : x) v = at += 0.5f * static_cast<float>(step(engine));
  const int n = static_cast<int>(x.size());
  const KnotView sorted{x.data(), nullptr, n, true};
  const KnotView scanned{x.data(), nullptr, n, false};
  ASSERT_TRUE(KnotsAscending(x.data(), n));

  std::vector<float> queries = {-std::numeric_limits<float>::infinity(), std::numeric_limits<float>::infinity(),
                                std::numeric_limits<float>::quiet_NaN(), x.front() - 1, x.back() + 1};
  for (float v : x) {
    queries.push_back(v);
    queries.push_back(std::nextafter(v, -1e9f));
    queries.push_back(std::nextafter(v, 1e9f));
  }
  for (float q : queries) EXPECT_EQ(FindInterval(sorted, q), FindInterval(scanned, q)) << q;

  // The cursor gives the same answers for runs in any order.
  std::vector<float> run = queries;
  for (int pass = 0; pass < 3; ++pass) {
    if (pass == 1) std::sort(run.begin(), run.end(), [](float a, float b) { return a < b || (a == a && b != b); });
    if (pass == 2) std::reverse(run.begin(), run.end());
    IntervalCursor cursor(sorted);
    for (float q : run) ASSERT_EQ(cursor.Find(q), FindInterval(scanned, q)) << "pass " << pass << " at " << q;
  }
  const float nan[] = {1, std::numeric_limits<float>::quiet_NaN(), 3};
  EXPECT_FALSE(KnotsAscending(nan, 3));
}

TEST_F(InterpolationTest, SortedAndUnsortedKnotsEvaluateTheSame) {
  // The evaluators search the remembered ascending knots; the pieces they
  // pick must be the ones the first-match scan picks, one x at a time or in
  // a run.
  FillSmooth(doc_, 300);
  const KnotView scanned{doc_.Column(0), doc_.Column(1), doc_.nPoints, false};
  std::vector<float> xs, run(4000);
  for (int k = 0; k < 4000; ++k) xs.push_back(-5.0f + 0.077f * static_cast<float>(k));
  for (int id : {535, 537, 538}) {
    ASSERT_EQ(Fit(id), 0);
    const ModelDesc desc = DescriptorOf(doc_, id);
    const auto& a = doc_.Interp(id).arrays;
    EvaluateInterpolation(desc, xs, run);
    for (std::size_t k = 0; k < xs.size(); ++k) {
      const int i = FindInterval(scanned, xs[k]);
      const datatype one = desc.Evaluate(xs[k]);
      if (id == 535) {
        ASSERT_EQ(one, LinearPiece(a[0][i], a[1][i], doc_.At(i, 0), xs[k])) << xs[k];
      } else if (id == 537) {
        ASSERT_EQ(one, CubicPiece(a[0][i], a[1][i], a[2][i], a[3][i], doc_.At(i, 0), xs[k])) << xs[k];
      }
      ASSERT_EQ(one, run[k]) << id << " at " << xs[k];
    }
  }
  // Out-of-order data: the pieces overlap and the first match serves.
  FillColumns(doc_, {0, 2, 1, 3}, {0, 4, 0, 4});
  ASSERT_EQ(Fit(535), 0);
  EXPECT_NEAR(At(535, 1.5f), 3, 1e-6f);  // piece 0: (0, 0) to (2, 4)
  EXPECT_NEAR(At(535, 2.5f), 3, 1e-6f);  // piece 2: (1, 0) to (3, 4)
}

// ---- the tension dialog ----

TEST(InterpolationTensionDialog, SpinWalksPowersOfTwoAndOkNeedsAPositiveNumber) {
  EXPECT_EQ(TensionSpinText(kTensionSpinStart + 1), "2.00000000");
  EXPECT_EQ(TensionSpinText(kTensionSpinStart - 1), "0.50000000");
  EXPECT_EQ(TensionSpinText(22), "4194304.00000000");
  EXPECT_EQ(TensionSpinText(-22), "0.00000024");

  struct Case {
    const char* text;
    TensionVerdict verdict;
    float tension;
  };
  const std::vector<Case> cases = {
      {kTensionInitialText, TensionVerdict::Accepted, 1},
      {" 2.5 ", TensionVerdict::Accepted, 2.5f},
      {"0.00000024", TensionVerdict::Accepted, 2.4e-7f},  // the smallest spin text is a tension
      {"0", TensionVerdict::NotPositive, 0},
      {"1e-39", TensionVerdict::NotPositive, 0},          // below the smallest tension
      {"abc", TensionVerdict::NotANumber, 0},
      {"1e39", TensionVerdict::NotANumber, 0},            // no float holds it
      {"nan", TensionVerdict::NotANumber, 0},
  };
  for (const Case& test : cases) {
    const TensionCheck check = CheckTensionText(test.text);
    EXPECT_EQ(check.verdict, test.verdict) << '"' << test.text << '"';
    EXPECT_EQ(check.tension, test.tension) << '"' << test.text << '"';
    EXPECT_EQ(check.warning.has_value(), test.verdict == TensionVerdict::NotPositive) << '"' << test.text << '"';
  }
  EXPECT_EQ(CheckTensionText("0").warning, kTensionNotPositive);
}

}  // namespace
}  // namespace trendolin
