// Automatic initial guesses: what each strategy recovers from clean data,
// the grids the searches walk, and the data that make a guess fail.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <vector>

#include "data/curve_fit.h"
#include "fit/model_functions.h"
#include "precision/errors.h"

namespace trendolin {
namespace {

using Guess = std::array<datatype, 4>;
constexpr datatype kUntouched = -12345.0f;

void Load(CurveFit& doc, const std::vector<datatype>& x, const std::vector<datatype>& y) {
  doc.AllocateData(static_cast<int>(x.size()), 2, 0);
  for (std::size_t r = 0; r < x.size(); ++r) {
    doc.At(static_cast<int>(r), 0) = x[r];
    doc.At(static_cast<int>(r), 1) = y[r];
  }
  doc.bStatsStale = 1;
  doc.CalcDataStats();
}

// n points of model `id` with coefficients `truth`, x evenly from x0 to x1.
void LoadModel(CurveFit& doc, int id, const std::vector<datatype>& truth, double x0, double x1, int n = 12) {
  std::vector<datatype> x, y;
  for (int i = 0; i < n; ++i) {
    x.push_back(static_cast<datatype>(x0 + (x1 - x0) * i / (n - 1)));
    y.push_back(ModelFunctionOf(id)(truth.data(), x.back()));
  }
  Load(doc, x, y);
}

Guess RunGuess(const CurveFit& doc, int id) {
  Guess g;
  g.fill(kUntouched);
  InitialGuessOf(id)(doc, g.data());
  return g;
}

int RaisedId(const CurveFit& doc, int id, Guess& g) {
  ClearErrorInfo();
  g.fill(kUntouched);
  try {
    InitialGuessOf(id)(doc, g.data());
  } catch (const errnotify&) {
    return ErrorInfo.id;
  }
  return 0;
}

// Models whose guesses are exact for noise-free data: the linearised fits
// and the fits through chosen points. The tolerance is relative: the normal
// equations are summed and solved in single precision, so the digits lost
// grow with their condition (three-coefficient bases lose most).
struct RecoveryCase {
  int id;
  std::vector<datatype> truth;
  double x0, x1;
  double tolerance;
};

const RecoveryCase kRecoveries[] = {
    {504, {2.0f, 0.5f}, 0.0, 4.0, 1e-6},         {505, {2.0f, 0.5f}, 0.5, 4.0, 1e-6},
    {506, {1.5f, 2.0f}, 0.5, 6.0, 1e-6},         {507, {0.5f, 0.25f}, 0.5, 6.0, 1e-6},
    {508, {0.5f, -0.3f, 0.8f}, 0.5, 4.0, 5e-6},  {509, {1.75f, 1.3f}, 0.5, 6.0, 1e-6},
    {510, {1.75f, 1.3f}, 0.0, 6.0, 1e-6},        {511, {1.75f, 0.0f, 1.3f}, 0.5, 6.0, 1e-6},
    {512, {1.5f, 0.4f}, 0.5, 4.0, 1e-6},         {513, {1.5f, 0.4f}, 0.5, 4.0, 1e-6},
    {514, {1.5f, 3.0f}, 0.5, 4.0, 1e-6},         {515, {1.5f, 1.2f, 0.6f}, 0.5, 4.0, 5e-6},
    {516, {1.5f, 1.2f, 0.6f}, 0.5, 4.0, 2e-5},   {517, {0.7f, 0.2f}, 0.0, 5.0, 3e-6},
    {518, {0.5f, 0.3f, 0.1f}, 0.0, 5.0, 3e-6},   {526, {5.0f, 1.5f}, 0.5, 8.0, 1e-6},
    {530, {4.0f, 3.0f, 1.5f}, 0.0, 6.0, 5e-6},   {531, {1.5f, 2.5f}, 0.5, 6.0, 1e-6},
    {532, {1.5f, 0.5f, 2.5f}, 0.5, 6.0, 5e-6},
};

TEST(InitialGuessTest, LinearisedAndExactGuessesRecoverCleanData) {
  for (const RecoveryCase& c : kRecoveries) {
    CurveFit doc;
    LoadModel(doc, c.id, c.truth, c.x0, c.x1);
    const Guess g = RunGuess(doc, c.id);
    for (std::size_t k = 0; k < c.truth.size(); ++k) {
      EXPECT_NEAR(g[k], c.truth[k], c.tolerance * std::max(1.0f, std::fabs(c.truth[k])))
          << "model " << c.id << ", coefficient " << k;
    }
    EXPECT_EQ(g[c.truth.size()], kUntouched) << "model " << c.id << " writes only its own coefficients";
  }
}

TEST(InitialGuessTest, LogarithmGoesThroughTheFirstAndLastPointsInDataOrder) {
  // First and last lie on 1 + 2 ln x; the points between do not, and the
  // smallest and largest x are in the middle.
  const datatype l2 = std::log(2.0f), l4 = std::log(4.0f);
  CurveFit doc;
  Load(doc, {2, 0.5f, 9, 3, 4}, {1 + 2 * l2, 7, -3, 5, 1 + 2 * l4});
  Guess g = RunGuess(doc, 506);
  EXPECT_NEAR(g[0], 1.0f, 1e-5);
  EXPECT_NEAR(g[1], 2.0f, 1e-5);

  Load(doc, {2, 4, 9, 3, 0.5f}, {1 + 2 * l2, 1 + 2 * l4, -3, 5, 7});
  g = RunGuess(doc, 506);
  EXPECT_GT(std::fabs(g[1] - 2.0f), 0.5f) << "another last point, another line";
}

// ---- grid searches ----

// The logistic and Gompertz rate grid t = exp(-c), stepped as a float.
std::vector<datatype> RateGrid() {
  std::vector<datatype> grid;
  for (datatype t = 0.025f; t < 1.0f; t = static_cast<datatype>(t + 0.05)) grid.push_back(t);
  return grid;
}

TEST(InitialGuessTest, LogisticWalksTwentyRatesAndNeverOne) {
  const std::vector<datatype> grid = RateGrid();
  ASSERT_EQ(grid.size(), 20u);
  // Data made with each grid rate are fitted exactly at that rate: every one
  // of the twenty is tried, and a, b come back with it.
  for (datatype t : grid) {
    const datatype c = -std::log(t);
    CurveFit doc;
    LoadModel(doc, 522, {10.0f, 5.0f, c}, 0.0, 6.0);
    const Guess g = RunGuess(doc, 522);
    EXPECT_FLOAT_EQ(g[2], c) << "t = " << t;
    EXPECT_NEAR(g[0], 10.0f, 1e-3) << "t = " << t;
    EXPECT_NEAR(g[1], 5.0f, 1e-3) << "t = " << t;
  }
  // Data made with t = 1.025, the next step, land on the last grid value:
  // the grid stops below 1, so c = 0 and negative rates are never tried.
  CurveFit doc;
  LoadModel(doc, 522, {10.0f, 5.0f, -std::log(1.025f)}, 0.0, 6.0);
  EXPECT_FLOAT_EQ(RunGuess(doc, 522)[2], -std::log(grid.back()));
}

// Every rounding to datatype counts: the sums of the sinusoid's linearised
// fit take float(sin(w x)) and float(cos(w x)), never the double values. (An
// optimiser once dropped that rounding and moved the phase by one unit in
// the last place.) The figures come from a plain double/float computation.
TEST(InitialGuessTest, SinusoidSumsRoundEveryBasisValue) {
  CurveFit doc;
  Load(doc, {0, 0.5f, 1, 1.5f, 2, 2.5f, 3, 3.5f, 4, 4.5f, 5, 5.5f, 6, 6.5f, 7, 7.5f, 8, 8.5f, 9, 9.5f, 10, 10.5f, 11,
             11.5f, 12},
       {0.044f, 0.063f, 0.081f, 0.108f, 0.141f, 0.193f, 0.266f, 0.337f, 0.439f, 0.539f, 0.668f, 0.801f, 0.896f,
        1.106f, 1.232f, 1.356f, 1.381f, 1.465f, 1.570f, 1.645f, 1.725f, 1.744f, 1.796f, 1.763f, 1.822f});
  const Guess g = RunGuess(doc, 529);
  EXPECT_EQ(g, (Guess{0.92685485f, 0.26944575f, 1.0471976f, 1.53505f}));
}

TEST(InitialGuessTest, AnEqualScoreDoesNotReplaceTheBest) {
  // With x only 0 and 1, x^c is the same for every exponent: all nineteen
  // Harris candidates score alike, and the first one, c = 0.05, stays.
  CurveFit doc;
  Load(doc, {0, 1, 0, 1, 1}, {1.0f, 0.5f, 1.1f, 0.6f, 0.55f});
  const Guess g = RunGuess(doc, 520);
  EXPECT_EQ(g[2], 0.05f);
  EXPECT_TRUE(std::isfinite(g[0]) && std::isfinite(g[1]));
}

TEST(InitialGuessTest, GridSearchesPickTheCandidateThatMadeTheData) {
  struct GridCase {
    int id;
    std::vector<datatype> truth;  // the searched parameter sits on its grid
    double x0, x1;
    double tolerance;
  };
  const datatype w0 = static_cast<datatype>(1.5707963267948966 / 10.0);
  const GridCase cases[] = {
      {521, {5.0f, 0.7f, -std::log(RateGrid()[6])}, 0.0, 8.0, 3e-6},  // Gompertz
      {529, {1.0f, 2.0f, 4 * w0, 0.3f}, 0.0, 10.0, 1e-6},            // Sinusoidal
      {519, {1.0f, 0.5f, 0.4f}, 0.0, 6.0, 1e-6},                     // Bleasdale
      {520, {0.5f, 0.8f, 0.5f}, 0.5, 6.0, 5e-6},                     // Harris
  };
  for (const GridCase& c : cases) {
    CurveFit doc;
    LoadModel(doc, c.id, c.truth, c.x0, c.x1);
    const Guess g = RunGuess(doc, c.id);
    for (std::size_t k = 0; k < c.truth.size(); ++k) {
      EXPECT_NEAR(g[k], c.truth[k], c.tolerance * std::max(1.0f, std::fabs(c.truth[k])))
          << "model " << c.id << ", coefficient " << k;
    }
  }
}

// Richards and Weibull cannot land on the truth (their grids fix a height);
// they must still pick a finite candidate of their grid that follows the data.
TEST(InitialGuessTest, RichardsAndWeibullPickAPlausibleCandidate) {
  CurveFit doc;
  LoadModel(doc, 525, {10.0f, 2.0f, 1.0f, 0.5f}, 0.0, 8.0, 16);
  Guess g = RunGuess(doc, 525);
  const datatype ymax = doc.fMax[1], step = 0.1f * (doc.fMax[1] - doc.fMin[1]);
  EXPECT_TRUE(g[0] == ymax || g[0] == static_cast<datatype>(ymax - step)) << g[0];
  for (datatype v : g) EXPECT_TRUE(std::isfinite(v));
  EXPECT_GT(g[2], 0.0f) << "rising curve";
  EXPECT_GT(g[3], 0.0f);

  LoadModel(doc, 523, {10.0f, 8.0f, 0.3f, 1.5f}, 0.5, 6.0);
  g = RunGuess(doc, 523);
  EXPECT_FLOAT_EQ(g[0], 1.1f * doc.fMax[1]);
  const datatype f = (g[0] - g[1]) / doc.fMin[1];
  EXPECT_NEAR(f, std::round(f * 5) / 5, 1e-5) << "b = a - f*ymin with f on the grid 0.2 .. 0.8";
  EXPECT_GT(g[2], 0.0f);
  EXPECT_GT(g[3], 0.0f);
  for (datatype v : g) EXPECT_TRUE(std::isfinite(v));
}

TEST(InitialGuessTest, RichardsWithAllYEqualTriesNothingAndKeepsTheVector) {
  CurveFit doc;
  Load(doc, {1, 2, 3, 4}, {5, 5, 5, 5});
  EXPECT_EQ(RunGuess(doc, 525), (Guess{kUntouched, kUntouched, kUntouched, kUntouched}));
}

// ---- failures ----

TEST(InitialGuessTest, DataOutsideTheDomainRaiseAndLeaveTheVector) {
  CurveFit doc;
  Guess g;
  Load(doc, {1, 2, 3}, {1, -2, 3});
  EXPECT_EQ(RaisedId(doc, 504, g), kErrDomain) << "ln of a negative y";
  EXPECT_EQ(ErrorInfo.routine, "log");
  EXPECT_EQ(g[0], kUntouched);

  Load(doc, {2, 2, 2}, {1, 2, 3});
  EXPECT_EQ(RaisedId(doc, 527, g), kErrDivideByZero) << "all x equal";
  EXPECT_EQ(g[0], kUntouched) << "nothing is written when the routine fails";
  EXPECT_EQ(RaisedId(doc, 529, g), kErrDivideByZero);

  // A valley, not a bell: ln y bends upwards, so the variance comes out negative.
  std::vector<datatype> x, y;
  for (int i = 0; i <= 8; ++i) {
    x.push_back(0.5f * i);
    y.push_back(std::exp(0.1f * (x.back() - 1) * (x.back() - 1)));
  }
  Load(doc, x, y);
  EXPECT_EQ(RaisedId(doc, 530, g), kErrDomain);
  EXPECT_EQ(ErrorInfo.routine, "sqrt");

  EXPECT_EQ(InitialGuessOf(503), nullptr);
  EXPECT_EQ(InitialGuessOf(534), nullptr);
}

}  // namespace
}  // namespace trendolin
