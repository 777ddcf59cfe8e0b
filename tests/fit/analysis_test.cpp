// Numerical analysis of a fit: the integration and derivative routines, and
// the Analyze pages on fitted curves, their faults, warnings and field checks.
#include "fit/analysis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "app/run_flags.h"
#include "data/curve_fit.h"
#include "session/analysis_pages.h"
#include "fit/engine_state.h"
#include "fit/fit_result.h"
#include "session/interpolation_drivers.h"
#include "fit/model_desc.h"
#include "platform/debug_log.h"
#include "platform/headless_ui.h"
#include "precision/errors.h"

namespace trendolin {
namespace {

using platform::HeadlessUi;
using platform::UiEvent;

class AnalysisTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearErrorInfo();
    SetConsoleSink([this](std::string_view text) { log_ += text; });
    DebugFlags = 2;
  }
  void TearDown() override {
    DebugFlags = 0;
    SetConsoleSink({});
  }

  // Model `id` as fitted with the given coefficients.
  ModelDesc Fitted(int id, std::vector<float> coefficients) {
    doc_.ResetFitResult(id);
    doc_.Slot(id).coefficients = std::move(coefficients);
    doc_.MarkFitted(id, 460);
    return DescriptorOf(doc_, id);
  }
  // y = a + bx. The linear regression (500) has no evaluate routine yet; the
  // rational model (a+bx)/(1+cx+dx^2) with c = d = 0 is the same curve.
  ModelDesc Line(float a, float b) { return Fitted(533, {a, b, 0.0f, 0.0f}); }

  HeadlessUi ui_;
  platform::ScopedUi installed_{ui_};
  CurveFit doc_;
  std::string log_;
};

// ---- the pages on y = 1 + 2x ----

TEST_F(AnalysisTest, PagesOnAStraightLine) {
  const ModelDesc line = Line(1.0f, 2.0f);

  AnalyzeOutcome y = AnalyzeYAtX(line, "3");
  EXPECT_EQ(y.status, AnalyzeStatus::Shown);
  EXPECT_EQ(y.resultText, "7");
  EXPECT_FALSE(y.errorMarker);
  EXPECT_FALSE(y.warningText.has_value()) << "page 0 has no warning field";
  EXPECT_EQ(y.focusField, kYAtXField);
  EXPECT_TRUE(y.selectText);

  AnalyzeOutcome x = AnalyzeXAtY(line, "7", "0.5");
  EXPECT_NEAR(x.value, 3.0f, 0.00001f);

  AnalyzeOutcome slope = AnalyzeDerivative(line, "0.5");
  EXPECT_NEAR(slope.value, 2.0f, 2e-5f);

  // Simpson is exact for a line and the second level agrees with the first.
  AnalyzeOutcome integral = AnalyzeIntegral(line, "0", "1");
  EXPECT_EQ(integral.resultText, "2");
  EXPECT_EQ(integral.warningText, "") << "the warning field is emptied";
  EXPECT_TRUE(integral.converged);
  EXPECT_EQ(integral.focusField, kIntegralLowerField);

  AnalyzeOutcome arc = AnalyzeArcLength(line, "0", "1");
  EXPECT_NEAR(arc.value, std::sqrt(5.0), 2e-5 * std::sqrt(5.0));
  EXPECT_EQ(arc.warningText, "");
  EXPECT_EQ(arc.focusField, kArcUpperField);
  EXPECT_TRUE(arc.selectText);

  AnalyzeOutcome backwards = AnalyzeArcLength(line, "1", "0");
  EXPECT_EQ(backwards.status, AnalyzeStatus::Shown);
  EXPECT_FLOAT_EQ(backwards.value, -arc.value) << "reversed limits give a negative length";
}

TEST_F(AnalysisTest, InvertedIntegralLimitsAreRefusedWithAWarning) {
  const ModelDesc line = Line(1.0f, 2.0f);
  AnalyzeOutcome refused = AnalyzeIntegral(line, "5", "1");
  EXPECT_EQ(refused.status, AnalyzeStatus::Refused);
  EXPECT_FALSE(refused.resultText.has_value());
  EXPECT_FALSE(refused.warningText.has_value());
  const std::vector<UiEvent> boxes = ui_.EventsOf(UiEvent::Kind::MessageBox);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "Integral");
  EXPECT_EQ(boxes[0].icon, platform::Icon::Exclamation);
  EXPECT_EQ(AnalyzeIntegral(line, "1", "1").value, 0.0f) << "equal limits are not inverted";
}

TEST_F(AnalysisTest, FieldsMustHoldOneNumber) {
  const ModelDesc line = Line(1.0f, 2.0f);
  struct Case {
    const char* text;
    std::size_t selectFrom;  // where the offending rest starts
  } cases[] = {
      {"3x", 1},     // trailing rubbish is selected
      {"abc", 0},    // no number at all
      {"", 0},       // the empty field of a freshly opened page
      {"1e39", 0},   // beyond the float range the curve takes
      {"nan", 0},
  };
  for (const Case& c : cases) {
    AnalyzeOutcome bad = AnalyzeYAtX(line, c.text);
    EXPECT_EQ(bad.status, AnalyzeStatus::BadField) << c.text;
    EXPECT_EQ(bad.focusField, kYAtXField) << c.text;
    EXPECT_EQ(bad.selectFrom, c.selectFrom) << c.text;
    EXPECT_FALSE(bad.resultText.has_value()) << "nothing is calculated: " << c.text;
  }
  EXPECT_EQ(ui_.EventsOf(UiEvent::Kind::Beep).size(), std::size(cases));
  EXPECT_EQ(AnalyzeYAtX(line, "3  ").resultText, "7") << "trailing blanks are allowed";
  EXPECT_EQ(AnalyzeXAtY(line, "7", "1,5").focusField, kXAtYStartField);
  EXPECT_EQ(AnalyzeArcLength(line, "0", "one").focusField, kArcUpperField);
}

// ---- faults show "ERR" and write the page's marker ----

TEST_F(AnalysisTest, AFaultShowsErrAndTheMarkers) {
  const ModelDesc hyperbolic = Fitted(531, {1.0f, 2.0f});  // 1 + 2/x
  AnalyzeOutcome pole = AnalyzeYAtX(hyperbolic, "0");
  EXPECT_EQ(pole.status, AnalyzeStatus::Error) << "2/0 only shows in the status flags";
  EXPECT_EQ(pole.resultText, "ERR");
  EXPECT_TRUE(pole.errorMarker);
  EXPECT_EQ(ErrorInfo.id, kErrDivideByZero);
  EXPECT_NE(log_.find("EX: AnalyzeDP_1\n"), std::string::npos);

  // -1..1 puts a Simpson point on the pole: the estimate fails, the
  // integration raises without its reason, the warning field is untouched.
  std::vector<bool> busy;
  AnalyzeOutcome integral = AnalyzeIntegral(hyperbolic, "-1", "1", [&](bool on) { busy.push_back(on); });
  EXPECT_EQ(integral.resultText, "ERR");
  EXPECT_FALSE(integral.warningText.has_value());
  EXPECT_EQ(busy, (std::vector<bool>{true, false})) << "the dialog is enabled again after a fault";
  EXPECT_EQ(ErrorInfo.id, 0) << "the integration clears the record before raising";
  const std::size_t simpsons = log_.find("EX: Simpsons_1\n");
  ASSERT_NE(simpsons, std::string::npos);
  EXPECT_LT(simpsons, log_.find("EX: Romberg_1\n"));
  EXPECT_LT(log_.find("EX: Romberg_1\n"), log_.find("EX: AnalyzeDP_4\n"));

  const ModelDesc logarithm = Fitted(506, {1.0f, 1.0f});  // 1 + ln(x)
  EXPECT_EQ(AnalyzeDerivative(logarithm, "0").resultText, "ERR") << "ln of -0.0001";
  EXPECT_NE(log_.find("EX: DiffRE_1\n"), std::string::npos);
  EXPECT_NE(log_.find("EX: AnalyzeDP_3\n"), std::string::npos);

  log_.clear();
  EXPECT_EQ(AnalyzeArcLength(logarithm, "-1", "1").resultText, "ERR");
  for (const char* marker : {"EX: DiffRE_1\n", "EX: Simpsons_1\n", "EX: Romberg_1\n", "EX: AnalyzeDP_4\n"}) {
    EXPECT_NE(log_.find(marker), std::string::npos) << marker;
  }
}

TEST_F(AnalysisTest, InverseOfAFlatCurveHasNoSlope) {
  const ModelDesc flat = Line(4.0f, 0.0f);
  AnalyzeOutcome x = AnalyzeXAtY(flat, "5", "1");
  EXPECT_EQ(x.resultText, "ERR") << "a zero slope divides by zero";
  EXPECT_EQ(x.focusField, kXAtYTargetField);
  EXPECT_NE(log_.find("EX: AnalyzeDP_2\n"), std::string::npos);

  const ModelDesc decay = Fitted(504, {50.0f, -0.3f});
  EXPECT_NEAR(AnalyzeXAtY(decay, "20", "1").value, std::log(2.5) / 0.3, 1e-4);
}

// ---- warnings of the integrations ----

TEST_F(AnalysisTest, UnresolvedOscillationDoesNotConverge) {
  // cos(1000x) turns five radians between the finest Simpson points.
  const ModelDesc wave = Fitted(529, {0.0f, 1.0f, 1000.0f, 0.0f});
  AnalyzeOutcome integral = AnalyzeIntegral(wave, "0", "10");
  EXPECT_EQ(integral.status, AnalyzeStatus::Shown) << "the last estimate is still shown";
  EXPECT_FALSE(integral.converged);
  EXPECT_EQ(integral.warningText, "WARNING: The integration did not converge(tol=.01%).");

  AnalyzeOutcome arc = AnalyzeArcLength(wave, "0", "10");
  EXPECT_EQ(arc.status, AnalyzeStatus::Shown);
  EXPECT_EQ(arc.warningText, "WARNING: The operation did not converge(tol=.01%).");

  // A later converged press empties the warning again.
  EXPECT_EQ(AnalyzeIntegral(wave, "0", "0.001").warningText, "");
}

// ---- the routines underneath ----

TEST_F(AnalysisTest, SimpsonAdjustsTheIntervalCountAndCatchesFaults) {
  IntegrationRequest square{[](datatype x) { return x * x; }, 0.0f, 1.0f, 1, 0.0f};
  EXPECT_EQ(Simpsons(square), 0);
  EXPECT_EQ(square.n, 4) << "fewer than 3 intervals become 4";
  EXPECT_FLOAT_EQ(square.result, 1.0f / 3.0f);
  square.n = 5;
  Simpsons(square);
  EXPECT_EQ(square.n, 6) << "an odd count is made even";

  const long pumps = ui_.PumpCount();
  IntegrationRequest pole{[](datatype x) { return 1.0f / x; }, -1.0f, 1.0f, 4, 0.0f};
  EXPECT_EQ(Simpsons(pole), 1) << "errnotify does not leave Simpsons";
  EXPECT_EQ(ui_.PumpCount(), pumps + 1) << "pumped once, between the odd and the even points";
}

TEST_F(AnalysisTest, RombergIsAccurateAndScalesAZeroFirstEstimate) {
  IntegrationRequest exponential{[](datatype x) { return std::exp(x); }, 0.0f, 1.0f, 4, 0.0f};
  EXPECT_EQ(Romberg(exponential), 0);
  EXPECT_NEAR(exponential.result, std::exp(1.0) - 1.0, 1e-4 * std::exp(1.0)) << "the 0.01% tolerance";

  // The first estimate of an odd integrand on symmetric limits is exactly 0:
  // the convergence test measures against 1 instead of dividing by it.
  IntegrationRequest odd{[](datatype x) { return x * x * x; }, -1.0f, 1.0f, 4, 0.0f};
  EXPECT_EQ(Romberg(odd), 0);
  EXPECT_EQ(odd.result, 0.0f);
  EXPECT_EQ(odd.n, 8) << "converged at the second level";
}

TEST_F(AnalysisTest, DerivativeOfACurve) {
  EXPECT_NEAR(DiffRE(1.0f, [](datatype x) { return std::exp(x); }), std::exp(1.0), 1e-3);
  EXPECT_THROW(DiffRE(0.5f, [](datatype x) { return 1.0f / std::floor(x); }), errnotify)
      << "a step landing on a pole is a fault";
}

TEST_F(AnalysisTest, DerivativesAndInversesKeepFiveDigitsFarFromZero) {
  // Steps and the Newton stop scale with |x|: fixed steps of 1e-4 or 1e-5
  // are lost in the rounding of x itself at 10^4 (ulp 1e-3), and too short
  // for float values of e^10 (ulp 2e-3).
  auto relative = [](double value, double truth) { return std::fabs(value / truth - 1); };
  const ModelDesc line = Line(1.0f, 2.0f);
  EXPECT_LT(relative(AnalyzeDerivative(line, "3").value, 2), 1e-5);
  EXPECT_LT(relative(AnalyzeXAtY(line, "10000", "1").value, 4999.5), 1e-5);

  const ModelDesc exponential = Fitted(504, {1.0f, 1.0f});
  EXPECT_LT(relative(AnalyzeDerivative(exponential, "10").value, std::exp(10.0)), 1e-5);

  const float a = 2.0f, b = 3e-4f;  // y = 2 e^(3e-4 x): 40.2 at x = 10^4
  const ModelDesc growth = Fitted(504, {a, b});
  const double y = a * std::exp(double{b} * 1e4);
  EXPECT_LT(relative(AnalyzeDerivative(growth, "10000").value, b * y), 1e-5);
  const AnalyzeOutcome x = AnalyzeXAtY(growth, std::to_string(y), "1");
  ASSERT_EQ(x.status, AnalyzeStatus::Shown) << x.resultText.value_or("");
  EXPECT_LT(relative(x.value, 1e4), 1e-5);
}

// A spline's derivative comes from the piece that serves x: far from 0 a
// step that suits |x| (7 at x = 1500) would reach across a dozen knots of a
// noisy spline. The page agrees with the piece's own derivative
// b + 2 c t + 3 d t^2 (t = x - x(i)).
TEST_F(AnalysisTest, SplineDerivativesStayWithinTheirPiece) {
  const int n = 1001;
  doc_.AllocateData(n, 2, 0);
  for (int i = 0; i < n; ++i) {
    doc_.At(i, 0) = static_cast<float>(1000 + i);
    doc_.At(i, 1) = static_cast<float>(std::sin((1000.0 + i) / 7) + 0.1 * std::cos(i * 2.7));  // a ragged sine
  }
  CurrentEngine().unattended = 1;
  ASSERT_EQ(SplineFit(doc_, 537), 0);
  CurrentEngine().unattended = 0;
  const ModelDesc spline = DescriptorOf(doc_, 537);
  const InterpResult& pieces = doc_.Interp(537);
  for (const double at : {1500.3, 1500.5, 1733.7, 1999.9}) {
    SCOPED_TRACE(at);
    const auto i = static_cast<std::size_t>(at - 1000);
    const double t = at - (1000.0 + static_cast<double>(i));
    const double d = pieces.arrays[0][i], c = pieces.arrays[1][i], b = pieces.arrays[2][i];
    const double slope = b + 2 * c * t + 3 * d * t * t;
    const AnalyzeOutcome derivative = AnalyzeDerivative(spline, std::to_string(at));
    ASSERT_EQ(derivative.status, AnalyzeStatus::Shown);
    EXPECT_NEAR(derivative.value, slope, 1e-4 * (1 + std::fabs(slope)));
  }
}

TEST_F(AnalysisTest, InitialFieldsComeFromTheXAxis) {
  const AnalyzeFields fields = InitialAnalyzeFields(-1.0f, 4.0f);
  EXPECT_EQ(fields.yAtX, "");
  EXPECT_EQ(fields.xAtYTarget, "");
  EXPECT_EQ(fields.xAtYStart, "1.500000");
  EXPECT_EQ(fields.derivativeAt, "1.500000");
  EXPECT_EQ(fields.integralLower, "-1.000000");
  EXPECT_EQ(fields.integralUpper, "4.000000");
  EXPECT_EQ(fields.arcLower, "-1.000000");
  EXPECT_EQ(fields.arcUpper, "4.000000");
  EXPECT_EQ(AnalyzeCaption("Exponential Fit of a very long data file name"),
            "Analyze - [Exponential Fit of a very lon]");
}

}  // namespace
}  // namespace trendolin
