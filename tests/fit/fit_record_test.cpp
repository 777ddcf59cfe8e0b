// The catalogue, the model descriptor, the result records and the fit statistics.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "data/curve_fit.h"
#include "data/data_test_support.h"
#include "fit/engine_state.h"
#include "fit/engine_state.h"
#include "fit/model_desc.h"
#include "session/fit_routine_table.h"
#include "precision/errors.h"

namespace trendolin {
namespace {

using testsupport::FillColumns;

TEST(CatalogueTest, EveryIdHasOneEntryAndTheFamiliesCoverTheNonlinearModels) {
  std::set<int> ids;
  for (const CatalogueEntry& e : Catalogue()) ids.insert(e.id);
  EXPECT_EQ(ids.size(), 40u);
  EXPECT_EQ(*ids.begin(), 500);
  EXPECT_EQ(*ids.rbegin(), 539);
  for (int id = 504; id <= 533; ++id) {
    const CatalogueEntry* e = CatalogueEntryOf(id);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->kind, FIT_NONLINEAR) << id;
    bool inFamily = false;
    for (const ModelFamily& f : ModelFamilies()) inFamily = inFamily || f.classMask == e->classMask;
    EXPECT_TRUE(inFamily) << id;
  }
  EXPECT_EQ(CatalogueEntryOf(514)->m, 2) << "the Root fit has a and b although its prompt shows only a";
  EXPECT_STREQ(CatalogueEntryOf(527)->prompt, "Exponential association, y=a(1-exp(-bx)");
  // The models an x of 0 or a negative x greys, as the catalogue marks them.
  std::set<int> zero;
  std::set<int> negative;
  for (int id = 500; id <= 539; ++id) {
    if (ExcludedByZeroX(id)) zero.insert(id);
    if (ExcludedByNegativeX(id)) negative.insert(id);
  }
  EXPECT_EQ(zero, (std::set<int>{505, 506, 507, 508, 513, 514, 516, 523, 531, 532}));
  EXPECT_EQ(negative, (std::set<int>{506, 507, 508}));
  EXPECT_FALSE(ExcludedByZeroX(499));

  // Its two names: the long one of rankings and titles, the short one of
  // error reports; only the iterative fits start from guesses.
  EXPECT_EQ(ModelLongName(kUserModel), "User Defined Model");
  EXPECT_EQ(ModelShortName(kUserModel), "User Model");
  EXPECT_EQ(ModelLongName(500), "Linear Regression");
  EXPECT_TRUE(StartsFromGuesses(522));
  EXPECT_TRUE(StartsFromGuesses(kUserModel));
  EXPECT_FALSE(StartsFromGuesses(kPolynomialModel));
  EXPECT_FALSE(StartsFromGuesses(kTensionSplineModel));
}

TEST(ModelDescTest, DescriptorsFollowTheCatalogueAndTheCurrentCounts) {
  CurveFit doc;
  FillColumns(doc, {1, 2, 3, 4, 5}, {2, 4, 6, 8, 10});
  ModelDesc desc = DescriptorOf(doc, 509);
  EXPECT_EQ(desc.kind, FIT_NONLINEAR);
  EXPECT_EQ(desc.classMask, CLASS_POWER);
  EXPECT_EQ(desc.m, 2);
  EXPECT_NE(desc.modelFunction, nullptr);
  EXPECT_NE(desc.initialGuess, nullptr);
  EXPECT_NE(FitRoutineOf(509), nullptr);
  EXPECT_FALSE(desc.name.empty());
  EXPECT_LE(desc.name.size(), 29u);

  CurrentEngine().polynomialDegree = 4;
  EXPECT_EQ(DescriptorOf(doc, 502).m, 5);
  EXPECT_NE(DescriptorOf(doc, 502).name.find('4'), std::string::npos);
  CurrentEngine().polynomialDegree = 3;
  EXPECT_EQ(DescriptorOf(doc, 502).name, "3rd degree Polynomial Fit");
  EXPECT_EQ(DescriptorOf(doc, 534).m, 5) << "one coefficient per data point";
  CurrentEngine().userModel.count = 3;
  EXPECT_EQ(DescriptorOf(doc, 539).m, 3);
  EXPECT_EQ(DescriptorOf(doc, 539).classMask, CLASS_USER);

  ModelDesc none = DescriptorOf(doc, 612);
  EXPECT_EQ(none.kind, FIT_NONE);
  EXPECT_EQ(none.classMask, CLASS_NONE);
  EXPECT_EQ(FitRoutineOf(612), nullptr);
}

TEST(ModelDescTest, NegativeIdIsTheGuessTestView) {
  CurveFit doc;
  FillColumns(doc, {1, 2}, {1, 4});
  CurrentEngine().testCoefficients[0] = 3;
  CurrentEngine().testCoefficients[1] = 2;
  ModelDesc view = DescriptorOf(doc, -509);
  EXPECT_EQ(view.id, -509);
  EXPECT_EQ(view.kind, FIT_INTERPOLATION);
  EXPECT_EQ(view.classMask, CLASS_INTERPOLATION);
  EXPECT_EQ(view.statistics, nullptr);
  EXPECT_EQ(view.covariance, nullptr);
  EXPECT_EQ(view.coefficients, CurrentEngine().testCoefficients.data());
  EXPECT_FLOAT_EQ(view.modelFunction(view.coefficients, 2.0f), 12.0f) << "a*x^b with the test coefficients";
}

TEST(FitRecordTest, ResetAllocatesBySizeAndKeepsTheIterationCount) {
  CurveFit doc;
  FillColumns(doc, {1, 2, 3}, {1, 2, 3});
  doc.Slot(523).iterationCount = 7;
  doc.ResetFitResult(523);
  EXPECT_EQ(doc.Slot(523).valid, 1);
  EXPECT_EQ(doc.Slot(523).coefficients.size(), 4u);
  EXPECT_EQ(doc.Slot(523).covariance.size(), 16u);
  EXPECT_EQ(doc.Slot(523).statistics.size(), 3u);
  EXPECT_EQ(doc.Slot(523).iterationCount, 7);
  doc.ResetFitResult(502);
  EXPECT_EQ(doc.Slot(502).coefficients.size(), 20u) << "room for degree 19";
  doc.ResetFitResult(537, 10);
  EXPECT_EQ(doc.Interp(537).arrayCount, 4);
  EXPECT_EQ(doc.Interp(537).arrays[3].size(), 10u);
  doc.ResetFitResult(535, 10);
  EXPECT_EQ(doc.Interp(535).arrayCount, 2);
}

TEST(FitRecordTest, FittedMarksFollowTheWeightingScheme) {
  CurveFit doc;
  FillColumns(doc, {1, 2, 3}, {1, 2, 3});
  doc.MarkFitted(504, 460);
  EXPECT_TRUE(doc.IsFitted(504, 460));
  EXPECT_FALSE(doc.IsFitted(504, 459)) << "another scheme counts as not fitted";
  EXPECT_TRUE(doc.IsFitted(504, -1));
  doc.MarkFitted(536, 459);
  EXPECT_TRUE(doc.IsFitted(536, 455)) << "interpolations ignore weighting";
  EXPECT_EQ(doc.nLastModel, 536);
  doc.SetFitComment(504, "done");
  EXPECT_EQ(doc.GetFitComment(504), "done");
  doc.SetFitComment(503, "nothing");
  EXPECT_EQ(doc.GetFitComment(503), "");
  doc.ClearAllFittedMarks();
  EXPECT_FALSE(doc.IsFitted(504, -1));
  EXPECT_EQ(doc.nLastModel, 0);
  EXPECT_FALSE(doc.IsFitted(612, -1));
}

TEST(CalcStatTest, StatisticsOfAFittedModel) {
  CurveFit doc;
  FillColumns(doc, {0, 1, 2, 3}, {1.0f, 2.7f, 7.4f, 20.0f});
  doc.ResetFitResult(504);
  doc.Slot(504).coefficients = {1.0f, 1.0f};  // y = exp(x)
  doc.CalcStat(504);
  const auto& s = doc.Slot(504).statistics;
  double sse = 0;
  double st = 0;
  const double mean = doc.fMean[1];
  for (int k = 0; k < 4; ++k) {
    const double r = doc.At(k, 1) - static_cast<float>(std::exp(static_cast<double>(k)));
    sse += r * r;
    st += (doc.At(k, 1) - mean) * (doc.At(k, 1) - mean);
  }
  EXPECT_NEAR(s[0], std::sqrt(sse / 2), 1e-5);
  EXPECT_NEAR(s[1], std::sqrt(std::fabs((st - sse) / st)), 1e-6);
  EXPECT_NEAR(s[2], std::sqrt(st / 3), 1e-5);
}

TEST(CalcStatTest, AsManyPointsAsCoefficientsAndABadFit) {
  CurveFit doc;
  FillColumns(doc, {1, 2}, {3, 5});
  doc.ResetFitResult(504);
  doc.Slot(504).coefficients = {1.0f, 0.5f};
  doc.CalcStat(504);
  EXPECT_EQ(doc.Slot(504).statistics[0], 0.0f) << "n = m: S is 0 without dividing by n - m";
  EXPECT_EQ(doc.Slot(504).statistics[1], 1.0f);

  // A curve far off the data: SSE > ST still gives a positive r.
  FillColumns(doc, {1, 2, 3}, {1, 2, 3});
  doc.ResetFitResult(531);
  doc.Slot(531).coefficients = {100.0f, 0.0f};
  doc.CalcStat(531);
  EXPECT_GT(doc.Slot(531).statistics[1], 0.0f);
  EXPECT_FALSE(std::isnan(doc.Slot(531).statistics[1]));
}

// All y equal: the correlation's ratio would be 0/0 (or x/0). A curve
// through every point has r = 1 and S = 0; one that misses them has r = 0.
// Neither is ever not a number, so FitHunter can rank them.
TEST(CalcStatTest, ConstantYHasADefinedCorrelation) {
  CurveFit doc;
  FillColumns(doc, {1, 2, 3, 4}, {0, 0, 0, 0});
  doc.ResetFitResult(531);  // a + b/x
  doc.Slot(531).coefficients = {0.0f, 0.0f};
  doc.CalcStat(531);
  EXPECT_EQ(doc.Slot(531).statistics[0], 0.0f);
  EXPECT_EQ(doc.Slot(531).statistics[1], 1.0f);
  EXPECT_EQ(doc.Slot(531).statistics[2], 0.0f);

  FillColumns(doc, {1, 2, 3, 4}, {5, 5, 5, 5});
  doc.ResetFitResult(531);
  doc.Slot(531).coefficients = {5.0f, 1.0f};
  doc.CalcStat(531);
  EXPECT_GT(doc.Slot(531).statistics[0], 0.0f);
  EXPECT_EQ(doc.Slot(531).statistics[1], 0.0f);
}

// Residuals whose squares sum beyond the float range, down to the last
// point: the curve ranks last like one that cannot be evaluated, never with
// an infinite S or r.
TEST(CalcStatTest, ResidualsBeyondTheFloatRangeRankLast) {
  CurveFit doc;
  FillColumns(doc, {1, 2, 3, 1e-25f}, {1, 2, 3, 4});
  doc.ResetFitResult(531);
  doc.Slot(531).coefficients = {0.0f, 1.0f};  // 1/x: 1e25 at the last point
  doc.CalcStat(531);
  EXPECT_FLOAT_EQ(doc.Slot(531).statistics[0], std::sqrt(1.7014117e38f / 2.0f));
  EXPECT_TRUE(std::isfinite(doc.Slot(531).statistics[1]));
}

TEST(CalcStatTest, AnUnevaluableCurveRanksLast) {
  CurveFit doc;
  FillColumns(doc, {-1, 1, 2}, {1, 2, 3});
  doc.ResetFitResult(506);  // a + b*ln(x): no logarithm of -1
  doc.Slot(506).coefficients = {1.0f, 1.0f};
  doc.CalcStat(506);
  EXPECT_FLOAT_EQ(doc.Slot(506).statistics[0], std::sqrt(1.7014117e38f / 1.0f));
}

}  // namespace
}  // namespace trendolin
