// Parameter errors, intervals and goodness figures of stored fits, checked
// against an independent computation on the same float data, and the
// Student's t quantile against the tables.
//
// The reference figures come from scipy 1.10 (Debian's /usr/bin/python3):
//
//   import numpy as np
//   from scipy import stats, optimize, special
//   f32 = lambda a: np.array(a, dtype=np.float32).astype(np.float64)
//   x = f32([1,2,3,4,5,6,7,8]); y = f32([2.1,3.9,6.2,7.8,10.1,12.2,13.8,16.1])
//   r = stats.linregress(x, y)      # intercept_stderr, stderr, rvalue**2
//   res = y - (r.intercept + r.slope*x); sse = (res**2).sum(); n, m = 8, 2; k = m + 1
//   sst = ((y - y.mean())**2).sum(); 1 - (sse/(n-m))/(sst/(n-1))
//   n*np.log(sse/n) + 2*k + 2*k*(k+1)/(n-k-1); n*np.log(sse/n) + k*np.log(n)
//   r.slope -/+ stats.t.ppf(0.975, n-m) * r.stderr
//   d = np.loadtxt('samples/growth.dat', skiprows=2)   # = kGrowth below
//   gx, gy, gs = f32(d[:,0]), f32(d[:,1]), f32(d[:,2])
//   logi = lambda x, a, b, c: a/(1 + b*np.exp(-c*x))
//   p, pc = optimize.curve_fit(logi, gx, gy, p0=[1.8, 40, 0.8], xtol=1e-14, ftol=1e-14)
//   np.sqrt(np.diag(pc))                                # absolute_sigma=False
//   pw, pcw = optimize.curve_fit(logi, gx, gy, p0=[1.8, 40, 0.8], sigma=gs, xtol=1e-14, ftol=1e-14)
//   w = 1/gs**2; res = gy - logi(gx, *pw); ssew = (w*res**2).sum()
//   ym = (w*gy).sum()/w.sum(); 1 - ssew/(w*(gy - ym)**2).sum()
//   stats.t.cdf(t, dof); special.betainc(a, b, x)
//   # stats.t.ppf is good to about 1e-9 only: two Newton steps on the cdf
//   t = stats.t.ppf(p, dof)
//   for i in range(2): t -= (stats.t.cdf(t, dof) - p) / stats.t.pdf(t, dof)
//   # The bands: g the model's derivatives by its parameters at x0.
//   X = np.column_stack([np.ones(8), x]); C = np.linalg.inv(X.T @ X); s2 = sse/(n-m)
//   g = np.array([1, x0]); v = g @ C @ g; t*np.sqrt(s2*v), t*np.sqrt(s2*(v + 1))
//   ex = f32(range(10)); ey = f32([5.1,3.6,2.8,2.0,1.5,1.1,0.82,0.6,0.46,0.33])
//   p, pc = optimize.curve_fit(lambda x, a, b: a*np.exp(b*x), ex, ey, p0=[5, -0.3], xtol=1e-14, ftol=1e-14)
//   g = [exp(p[1] x0), p[0] x0 exp(p[1] x0)]; v = g @ pc @ g; t*sqrt(v), t*sqrt(v + s2)
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "data/data_test_support.h"
#include "fit/fit_statistics.h"
#include "graph/fit_report.h"
#include "support/fit_fixture.h"

namespace trendolin {
namespace {

using testsupport::Fill;
using testsupport::FillColumns;

// Within `relative` of the expected value.
#define EXPECT_RELATIVE(actual, expected, relative) EXPECT_NEAR(actual, expected, (relative) * std::fabs(expected))

TEST(StudentTTest, QuantilesMatchTheTables) {
  struct Case {
    double p, dof, t;
  };
  for (const Case& c : {Case{0.975, 1, 12.70620473617469}, Case{0.975, 2, 4.302652729749461},
                        Case{0.975, 5, 2.570581835636314}, Case{0.975, 10, 2.2281388519862735},
                        Case{0.975, 30, 2.0422724563012373}, Case{0.975, 1000, 1.9623390808264074},
                        Case{0.975, 1e6, 1.9599663568141066}, Case{0.995, 3, 5.8409093097333615},
                        Case{0.025, 7, -2.364624251592785}, Case{0.9, 4, 1.5332062740589432},
                        Case{1e-10, 3, -2225.7692846830937}}) {
    // With a million degrees of freedom the log-gamma terms cancel to about 1e-10.
    EXPECT_RELATIVE(StudentTQuantile(c.p, c.dof), c.t, c.dof > 1e5 ? 1e-9 : 1e-12) << c.p << " " << c.dof;
  }
  EXPECT_EQ(StudentTQuantile(0.5, 9), 0.0);
  EXPECT_RELATIVE(StudentTCdf(2.5, 3), 0.9561466764959673, 1e-13);
  EXPECT_RELATIVE(StudentTCdf(-1.2, 12), 0.12664736512679725, 1e-13);
  EXPECT_RELATIVE(RegularizedIncompleteBeta(2.5, 0.5, 0.3), 0.01892712407194565, 1e-13);
  EXPECT_RELATIVE(RegularizedIncompleteBeta(50, 0.5, 0.999), 0.7523690199653768, 1e-12);
  EXPECT_RELATIVE(RegularizedIncompleteBeta(0.5, 200, 0.001), 0.4727558929747329, 1e-12);
  for (double bad : {0.0, 1.0, -0.1, std::nan("")}) EXPECT_TRUE(std::isnan(StudentTQuantile(bad, 5))) << bad;
  EXPECT_TRUE(std::isnan(StudentTQuantile(0.975, 0)));
  EXPECT_TRUE(std::isnan(RegularizedIncompleteBeta(1, 1, 1.5)));
}

// samples/growth.dat: time, optical density and its standard deviation.
const std::vector<float> kGrowthX = {0, 0.5, 1, 1.5, 2, 2.5, 3, 3.5, 4, 4.5, 5, 5.5, 6,
                                     6.5, 7, 7.5, 8, 8.5, 9, 9.5, 10, 10.5, 11, 11.5, 12};
const std::vector<float> kGrowthY = {0.044f, 0.063f, 0.081f, 0.108f, 0.141f, 0.193f, 0.266f, 0.337f, 0.439f,
                                     0.539f, 0.668f, 0.801f, 0.896f, 1.106f, 1.232f, 1.356f, 1.381f, 1.465f,
                                     1.570f, 1.645f, 1.725f, 1.744f, 1.796f, 1.763f, 1.822f};
const std::vector<float> kGrowthSigma = {0.005f, 0.006f, 0.006f, 0.007f, 0.008f, 0.010f, 0.012f, 0.014f, 0.017f,
                                         0.020f, 0.024f, 0.028f, 0.032f, 0.036f, 0.040f, 0.044f, 0.047f, 0.050f,
                                         0.052f, 0.054f, 0.055f, 0.056f, 0.057f, 0.058f, 0.058f};

class FitStatisticsTest : public testsupport::FitFixture {
 protected:
  void FitLogistic(int weighting) {
    Fill(doc_, {kGrowthX, kGrowthY, kGrowthSigma});
    doc_.CalcDataStats();
    CurrentSession().settings.weighting = weighting;
    CurrentEngine().nonlinearFlags.suppliedGuesses = {1.8f, 40, 0.8f};
    ASSERT_EQ(Fit(522), 0) << doc_.GetFitComment(522);
  }
};

TEST_F(FitStatisticsTest, LinearFitMatchesAnIndependentRegression) {
  FillColumns(doc_, {1, 2, 3, 4, 5, 6, 7, 8}, {2.1f, 3.9f, 6.2f, 7.8f, 10.1f, 12.2f, 13.8f, 16.1f});
  CurrentSession().settings.weighting = kWeightingNone;
  ASSERT_EQ(Fit(500), 0);
  const std::optional<FitStatistics> s = ComputeFitStatistics(doc_, 500);
  ASSERT_TRUE(s);
  EXPECT_FALSE(s->weighted);
  EXPECT_EQ(s->dof, 6);
  ASSERT_EQ(s->parameters.size(), 2u);
  EXPECT_EQ(s->parameters[0].name, "a");
  EXPECT_EQ(s->parameters[1].value, double{doc_.Slot(500).coefficients[1]});
  EXPECT_RELATIVE(s->parameters[0].standardError, 0.14038528302859155, 1e-5);
  EXPECT_RELATIVE(s->parameters[1].standardError, 0.027800428612168988, 1e-5);
  EXPECT_RELATIVE(s->parameters[1].t, 1.9976190953027635 / 0.027800428612168988, 1e-5);
  EXPECT_RELATIVE(s->parameters[1].ciLow, 1.92959389713016, 1e-6);
  EXPECT_RELATIVE(s->parameters[1].ciHigh, 2.065644293475367, 1e-6);
  EXPECT_RELATIVE(s->tQuantile, 2.446911851144968, 1e-12);
  EXPECT_RELATIVE(s->rSquared, 0.9988392879621891, 1e-7);
  EXPECT_RELATIVE(s->adjustedRSquared, 0.9986458359558874, 1e-7);
  EXPECT_RELATIVE(s->sse, 0.19476168541709804, 1e-5);
  EXPECT_RELATIVE(s->aicc, -17.723361084555695, 1e-5);
  EXPECT_RELATIVE(s->bic, -23.485036459516188, 1e-5);
  // The stored S is the root of the same residual variance.
  EXPECT_RELATIVE(s->sse / s->dof, double{doc_.Slot(500).statistics[0]} * doc_.Slot(500).statistics[0], 1e-6);

  const std::string report = FitReport(doc_, 500, ReportPage::Statistics);
  EXPECT_EQ(report.rfind(FitReportHeader(doc_, 500) + "Fit Statistics:\r\n"
                             "Parameter\tValue\tStandard Error\tt Value\t95% Lower\t95% Upper\r\n"
                             "a\t3.57",
                         0),
            0u)
      << report;
  EXPECT_NE(report.find("\r\nb\t1.99761"), std::string::npos) << report;
  EXPECT_NE(report.find("\r\nR Squared:\t0.99883929\r\nAdjusted R Squared:\t0.99864584\r\n"), std::string::npos)
      << report;
  EXPECT_NE(report.find("\r\nDegrees of Freedom:\t6\r\nAICc:\t-17.72336"), std::string::npos) << report;
  EXPECT_EQ(report.find("weighted"), std::string::npos);
  EXPECT_EQ(ReportPageNamed("statistics"), ReportPage::Statistics);
}

// Single precision: the solver's covariance comes from float derivatives
// summed in float, so its figures agree to a few parts in 10^4.
TEST_F(FitStatisticsTest, NonlinearFitMatchesCurveFit) {
  FitLogistic(kWeightingNone);
  const std::optional<FitStatistics> s = ComputeFitStatistics(doc_, 522);
  ASSERT_TRUE(s);
  EXPECT_FALSE(s->weighted);
  EXPECT_EQ(s->dof, 22);
  const double value[] = {1.8531553651, 36.2613817637, 0.5999434439};
  const double error[] = {0.0164567522, 2.5506165401, 0.0140694143};
  ASSERT_EQ(s->parameters.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_RELATIVE(s->parameters[static_cast<std::size_t>(i)].value, value[i], 1e-4) << i;
    EXPECT_RELATIVE(s->parameters[static_cast<std::size_t>(i)].standardError, error[i], 2e-3) << i;
  }
  EXPECT_RELATIVE(s->rSquared, 0.9987304995514142, 1e-6);
  EXPECT_RELATIVE(s->sse, 0.013481910217869934, 1e-4);
}

TEST_F(FitStatisticsTest, UncertaintyWeightedFitUsesTheWeightedSums) {
  FitLogistic(kWeightingUncertainty);
  const std::optional<FitStatistics> s = ComputeFitStatistics(doc_, 522);
  ASSERT_TRUE(s);
  EXPECT_TRUE(s->weighted);
  const double value[] = {1.8294735606, 39.5992731456, 0.6223497704};
  const double error[] = {0.0177823317, 0.9374294638, 0.0069842888};
  for (int i = 0; i < 3; ++i) {
    EXPECT_RELATIVE(s->parameters[static_cast<std::size_t>(i)].value, value[i], 1e-4) << i;
    EXPECT_RELATIVE(s->parameters[static_cast<std::size_t>(i)].standardError, error[i], 2e-3) << i;
  }
  EXPECT_RELATIVE(s->sse, 9.497447247298314, 1e-4);
  EXPECT_RELATIVE(s->rSquared, 0.9992341577047256, 1e-6);
  const std::string report = FitReport(doc_, 522, ReportPage::Statistics);
  EXPECT_NE(report.find("\r\nThe sums are weighted as the fit weighted the points.\r\n"), std::string::npos)
      << report;
}

TEST_F(FitStatisticsTest, InterpolationsThePlotAndUnfittedModelsHaveNone) {
  FillColumns(doc_, {1, 2, 3, 4, 5}, {1, 4, 9, 16, 25});
  CurrentSession().settings.weighting = kWeightingNone;
  EXPECT_FALSE(ComputeFitStatistics(doc_, 500)) << "not fitted yet";
  ASSERT_EQ(Fit(537), 0);
  EXPECT_FALSE(ComputeFitStatistics(doc_, 537));
  ASSERT_EQ(Fit(503), 0);
  EXPECT_FALSE(ComputeFitStatistics(doc_, 503));
  EXPECT_FALSE(ComputeFitStatistics(doc_, 612));
  EXPECT_EQ(FitReport(doc_, 537, ReportPage::Statistics),
            FitReportHeader(doc_, 537) + "Fit Statistics:\r\nInterpolations do not have fit statistics.\r\n");
  EXPECT_EQ(FitReport(doc_, 501, ReportPage::Statistics),
            FitReportHeader(doc_, 501) + "Fit Statistics:\r\nNo Statistics Available.\r\n");
}

// The 95% bands of a linear and an exponential fit at a point left of the
// data, one inside and one right of it. The linear bands are exact sums in
// float; the exponential's covariance comes from the solver's float
// derivatives, good to a few parts in 10^4.
TEST_F(FitStatisticsTest, BandsMatchAnIndependentDeltaMethod) {
  struct Expected {
    double x, confidence, prediction;
  };
  CurrentSession().settings.weighting = kWeightingNone;
  FillColumns(doc_, {1, 2, 3, 4, 5, 6, 7, 8}, {2.1f, 3.9f, 6.2f, 7.8f, 10.1f, 12.2f, 13.8f, 16.1f});
  ASSERT_EQ(Fit(500), 0);
  std::optional<FitBands> bands = FitBands::Of(doc_, 500);
  ASSERT_TRUE(bands);
  for (const Expected& e : {Expected{0, 0.3435104124386186, 0.5588840327683869},
                            Expected{4.5, 0.15586530989515654, 0.4675959296854697},
                            Expected{10, 0.4053068952262784, 0.5988536031015184}}) {
    const FitBands::HalfWidths w = bands->At(e.x);
    EXPECT_RELATIVE(w.confidence, e.confidence, 1e-4) << e.x;
    EXPECT_RELATIVE(w.prediction, e.prediction, 1e-4) << e.x;
  }

  FillColumns(doc_, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, {5.1f, 3.6f, 2.8f, 2.0f, 1.5f, 1.1f, 0.82f, 0.6f, 0.46f, 0.33f});
  CurrentEngine().nonlinearFlags.suppliedGuesses = {5, -0.3f};
  ASSERT_EQ(Fit(504), 0) << doc_.GetFitComment(504);
  bands = FitBands::Of(doc_, 504);
  ASSERT_TRUE(bands);
  EXPECT_RELATIVE(bands->At(4.5).value, 5.04493498 * std::exp(-0.30506829 * 4.5), 1e-4);
  for (const Expected& e : {Expected{0, 0.10190181385655302, 0.15751438818108865},
                            Expected{4.5, 0.04902639890918464, 0.12973199530882737},
                            Expected{12, 0.014821471946503793, 0.12102263774793583}}) {
    const FitBands::HalfWidths w = bands->At(e.x);
    EXPECT_RELATIVE(w.confidence, e.confidence, 3e-3) << e.x;
    EXPECT_RELATIVE(w.prediction, e.prediction, 3e-3) << e.x;
  }
}

TEST_F(FitStatisticsTest, BandsOnlyWhereTheyMeanSomething) {
  CurrentSession().settings.weighting = kWeightingNone;
  FillColumns(doc_, {1, 2}, {3, 5});
  ASSERT_EQ(Fit(500), 0);
  EXPECT_FALSE(FitBands::Of(doc_, 500)) << "no degrees of freedom left";
  FillColumns(doc_, {1, 2, 3, 4, 5}, {1, 4, 9, 16, 25});
  ASSERT_EQ(Fit(537), 0);
  EXPECT_FALSE(FitBands::Of(doc_, 537)) << "an interpolation";

  // Weighted by the uncertainties: where the curve lies, but not where a
  // new point would, whose uncertainty is not known.
  FitLogistic(kWeightingUncertainty);
  const std::optional<FitBands> bands = FitBands::Of(doc_, 522);
  ASSERT_TRUE(bands);
  const FitBands::HalfWidths w = bands->At(6);
  EXPECT_GT(w.confidence, 0);
  EXPECT_TRUE(std::isnan(w.prediction));
}

// Figures that cannot be had are not-a-numbers (and "N/A" in the report);
// the others are still given.
TEST_F(FitStatisticsTest, DegenerateFitsGiveNoFalseFigures) {
  CurrentSession().settings.weighting = kWeightingNone;
  // Two points, two parameters: an exact line with no degrees of freedom.
  FillColumns(doc_, {1, 2}, {3, 5});
  ASSERT_EQ(Fit(500), 0);
  std::optional<FitStatistics> s = ComputeFitStatistics(doc_, 500);
  ASSERT_TRUE(s);
  EXPECT_EQ(s->dof, 0);
  EXPECT_EQ(s->rSquared, 1.0);
  EXPECT_TRUE(std::isnan(s->adjustedRSquared));
  EXPECT_TRUE(std::isnan(s->parameters[0].standardError));
  EXPECT_TRUE(std::isnan(s->parameters[1].ciLow));
  EXPECT_TRUE(std::isnan(s->aicc));
  EXPECT_TRUE(std::isnan(s->bic)) << "SSE = 0 has no logarithm";
  const std::string report = FitReport(doc_, 500, ReportPage::Statistics);
  EXPECT_NE(report.find("\tN/A\tN/A\tN/A\tN/A\r\n"), std::string::npos) << report;
  EXPECT_NE(report.find("\r\nAdjusted R Squared:\tN/A\r\n"), std::string::npos) << report;

  // No spread in y: R^2 is 0/0.
  FillColumns(doc_, {1, 2, 3, 4}, {2, 2, 2, 2});
  ASSERT_EQ(Fit(500), 0);
  s = ComputeFitStatistics(doc_, 500);
  ASSERT_TRUE(s);
  EXPECT_TRUE(std::isnan(s->rSquared));
  EXPECT_EQ(s->sse, 0.0);

  // Weights of both signs (by y, with a negative y) make no sum of squares.
  FillColumns(doc_, {1, 2, 3, 4, 5}, {-1, 1.5f, 2.5f, 4, 5});
  CurrentSession().settings.weighting = kWeightingY;
  ASSERT_EQ(Fit(500), 0);
  s = ComputeFitStatistics(doc_, 500);
  ASSERT_TRUE(s);
  EXPECT_TRUE(s->weighted);
  EXPECT_TRUE(std::isnan(s->sse));
  EXPECT_TRUE(std::isnan(s->rSquared));
  EXPECT_TRUE(std::isnan(s->parameters[1].standardError));
  EXPECT_EQ(s->parameters[1].value, double{doc_.Slot(500).coefficients[1]}) << "the values are still given";
}

}  // namespace
}  // namespace trendolin
