// Nonlinear fits at every magnitude of y: each built-in model, on its own
// curve with y around 1e-3, 1, 1e3 and 1e6, with 20 and 10^4 points, with
// and without noise, ends converged at the minimum; the same data in other
// units give the same fit in those units; FitHunter ranks the model that
// made the data.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "fit/drivers_test_support.h"
#include "session/fit_hunter.h"
#include "fit/model_desc.h"
#include "fit/model_functions.h"
#include "session/nonlinear_routine.h"
#include "session/session.h"
#include "support/normal_noise.h"

namespace trendolin {
namespace {

struct ModelCase {
  int id;
  std::vector<double> truth;  // the coefficients at magnitude 1
  double x0, x1;
  // The guess strategy cannot work here: the Rational Function always starts
  // from (1, 1, 0, 0), Exponential Association (3) guesses b (a pure number)
  // from the range of y, and the guesses of the Shifted Power and Bleasdale
  // models fail on noisy or scaled data. The test types a start 20% off.
  bool stated = false;
};

const std::vector<ModelCase> kCases = {
    {504, {2, 0.5}, 0, 4},
    {505, {2, 0.5}, 0.5, 4},
    {506, {1.5, 2}, 0.5, 6},
    {507, {0.5, 0.25}, 0.5, 6},
    {508, {0.5, -0.3, 0.8}, 0.5, 4},
    {509, {1.75, 1.3}, 0.5, 6},
    {510, {1.75, 1.3}, 0, 6},
    {511, {1.75, 0.2, 1.3}, 0.5, 6, true},
    {512, {1.5, 0.4}, 0.5, 4},
    {513, {1.5, 0.4}, 0.5, 4},
    {514, {1.5, 3}, 0.5, 4},
    {515, {1.5, 1.2, 0.6}, 0.5, 4},
    {516, {1.5, 1.2, 0.6}, 0.5, 4},
    {517, {0.7, 0.2}, 0, 5},
    {518, {0.5, 0.3, 0.1}, 0, 5},
    {519, {1, 0.5, 0.4}, 0, 6, true},
    {520, {0.5, 0.8, 0.5}, 0.5, 6},
    {521, {5, 0.7, 0.8}, 0, 8},
    {522, {5, 20, 1}, 0, 10},
    {523, {5, 4, 0.3, 1.5}, 0.1, 8},
    {524, {0.5, 2, 5, 2}, 0.1, 8},
    {525, {5, 3, 1, 0.8}, 0, 10},
    {526, {5, 1.5}, 0.5, 8},
    {527, {5, 0.5}, 0, 8},
    {528, {5, 1.2, 0.5}, 0, 8, true},
    {529, {1, 2, 1.2, 0.3}, 0, 10},
    {530, {4, 3, 1.5}, 0, 6},
    {531, {1.5, 2.5}, 0.5, 6},
    {532, {1.5, 0.5, 2.5}, 0.5, 6},
    {533, {1, 2, 0.5, 0.1}, 0, 10, true},
};

// The coefficients of the same curve with y multiplied by s.
std::vector<double> Scaled(int id, std::vector<double> p, double s) {
  switch (id) {
    case 506: case 529: case 531: case 533: p[0] *= s, p[1] *= s; break;  // a and b carry y
    case 523: p[0] *= s, p[1] *= s; break;
    case 532: p[0] *= s, p[1] *= s, p[2] *= s; break;
    case 524: p[0] *= s, p[2] *= s; break;
    case 508: p[0] += std::log(s); break;
    case 507: case 517: case 518: case 520: p[0] /= s, p[1] /= s; if (id == 518) p[2] /= s; break;
    case 519: p[0] *= std::pow(s, -p[2]), p[1] *= std::pow(s, -p[2]); break;
    default: p[0] *= s; break;  // an amplitude in front
  }
  return p;
}

std::vector<float> Floats(const std::vector<double>& values) { return {values.begin(), values.end()}; }

// n points of the model on [x0, x1] with the coefficients p, times
// (1 + noise N(0, 1)); the same normal numbers at every magnitude.
void FillModel(CurveFit& doc, const ModelCase& c, const std::vector<double>& p, int n, double noise) {
  const std::vector<float> coefficients = Floats(p);
  const ModelFunction f = ModelFunctionOf(c.id);
  testsupport::Noise normal(static_cast<std::uint32_t>(c.id * 7 + n));
  doc.ResetData();
  doc.AllocateData(n, 2, 0);
  for (int i = 0; i < n; ++i) {
    const auto x = static_cast<float>(c.x0 + (c.x1 - c.x0) * i / (n - 1));
    doc.At(i, 0) = x;
    doc.At(i, 1) = static_cast<float>(f(coefficients.data(), x) * (1 + noise * normal.Next()));
  }
  doc.bStatsStale = 1;
  doc.CalcDataStats();
}

double ChiSquareOf(const CurveFit& doc, int id, const std::vector<float>& p) {
  const ModelFunction f = ModelFunctionOf(id);
  double sum = 0;
  for (int k = 0; k < doc.nPoints; ++k) {
    const double r = double{doc.At(k, 1)} - f(p.data(), doc.At(k, 0));
    sum += r * r;
  }
  return sum;
}

class ConvergenceTest : public testing_support::DriverTest, public ::testing::WithParamInterface<ModelCase> {
 protected:
  // Fits the loaded data of magnitude s. A stated start is the same curve
  // in every unit: 20% off each coefficient at magnitude 1, then scaled.
  bool Fit(const ModelCase& c, double s) {
    CurrentSession().settings.initGuess = c.stated ? 1 : 0;
    std::vector<double> start = c.truth;
    for (double& v : start) v *= 1.2;
    start = Scaled(c.id, start, s);
    ui_.SetGuessDialogHandler([start](int, int m, float* guess) {
      for (int i = 0; i < m; ++i) guess[i] = static_cast<float>(start[static_cast<std::size_t>(i)]);
      return true;
    });
    return NonlinearPrepareFit(doc_, c.id) == 0;
  }
  std::vector<float> Coefficients(int id) {
    const ModelDesc desc = DescriptorOf(doc_, id);
    return {desc.coefficients, desc.coefficients + desc.m};
  }
};

constexpr double kMagnitudes[] = {1e-3, 1, 1e3, 1e6};

// Noise-free data: the truth is the minimum, and the fit finds it to a few
// units in the last place of the coefficients.
TEST_P(ConvergenceTest, NoiseFreeDataGiveTheirCoefficientsAtEveryMagnitude) {
  const ModelCase& c = GetParam();
  for (int n : {20, 10000}) {
    for (double s : kMagnitudes) {
      SCOPED_TRACE(::testing::Message() << "n = " << n << ", y times " << s);
      const std::vector<double> truth = Scaled(c.id, c.truth, s);
      FillModel(doc_, c, truth, n, 0);
      ASSERT_TRUE(Fit(c, s)) << ui_.EventsOf(platform::UiEvent::Kind::ErrorReport).size() << " reports";
      EXPECT_NE(doc_.GetFitComment(c.id).find("The fit converged to "), std::string::npos) << doc_.GetFitComment(c.id);
      const std::vector<float> fitted = Coefficients(c.id);
      for (std::size_t i = 0; i < truth.size(); ++i) {
        EXPECT_NEAR(fitted[i], truth[i], 2e-5 * std::max(std::fabs(truth[i]), 0.1 * std::fabs(truth[0]))) << i;
      }
    }
  }
}

// 1% noise: at every magnitude the fit ends converged, at least as good as
// the coefficients that made the data, and it is the fit at magnitude 1 in
// other units: its chi-square is the same share of s^2, to the resolution a
// float chi-square has.
TEST_P(ConvergenceTest, NoisyDataGiveTheSameFitInEveryUnit) {
  const ModelCase& c = GetParam();
  for (int n : {20, 10000}) {
    double chiAtOne = 0;
    for (double s : {1.0, 1e-3, 1e3, 1e6}) {
      SCOPED_TRACE(::testing::Message() << "n = " << n << ", y times " << s);
      const std::vector<double> truth = Scaled(c.id, c.truth, s);
      FillModel(doc_, c, truth, n, 0.01);
      ASSERT_TRUE(Fit(c, s));
      EXPECT_NE(doc_.GetFitComment(c.id).find("The fit converged to "), std::string::npos) << doc_.GetFitComment(c.id);
      const double chi = ChiSquareOf(doc_, c.id, Coefficients(c.id));
      EXPECT_LE(chi, ChiSquareOf(doc_, c.id, Floats(truth)) * (1 + 1e-4));
      if (s == 1) {
        chiAtOne = chi;
      } else {
        EXPECT_NEAR(chi / (s * s), chiAtOne, 1e-3 * chiAtOne);
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(EveryNonlinearModel, ConvergenceTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<ModelCase>& info) {
                           return "Model" + std::to_string(info.param.id);
                         });

// FitHunter on noisy data of each model, at magnitudes 1e-3 and 1e6: the
// model that made the data is fitted and ranked, behind only models that
// score no worse. (Before, the exponential was left out of the ranking of
// its own data at y around 500: its fit diverged at the minimum.)
class HuntAtEveryMagnitudeTest : public testing_support::DriverTest {};

TEST_F(HuntAtEveryMagnitudeTest, TheGeneratingModelIsRanked) {
  for (const ModelCase& c : kCases) {
    if (c.stated) continue;  // the search has only the automatic guesses
    for (double s : {1e-3, 1e6}) {
      SCOPED_TRACE(::testing::Message() << c.id << ", y times " << s);
      doc_.ReleaseAllResults();
      FillModel(doc_, c, Scaled(c.id, c.truth, s), 20, 0.01);
      Reexamine(doc_, 0);
      FitHunterSearch(doc_, 4, kSearchGroupsMask & ~CLASS_USER);
      const std::vector<RankingEntry> ranking = RankFittedModels(doc_);
      const auto it = std::find_if(ranking.begin(), ranking.end(),
                                   [&](const RankingEntry& e) { return e.modelId == c.id; });
      ASSERT_NE(it, ranking.end()) << "the generating model was not fitted";
      for (auto ahead = ranking.begin(); ahead != it; ++ahead) EXPECT_LE(ahead->score, it->score) << ahead->modelId;
    }
  }
}

}  // namespace
}  // namespace trendolin
