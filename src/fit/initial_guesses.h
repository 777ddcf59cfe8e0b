// Shared pieces of the automatic initial guesses of the models 504..533: the
// linearised least-squares fit, the bookkeeping of the grid searches, how a
// routine hands its guesses over, and the routines of each strategy.
// Internal to the fitting engine; everyone else asks InitialGuessOf.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>

#include "data/curve_fit.h"
#include "fit/solvers.h"
#include "precision/datatype.h"
#include "precision/fp_guard.h"
#include "precision/rounding.h"

namespace trendolin::guesses {

// Every guess routine works the same way:
// 1. it clears the floating-point flags, so what it finds is its own;
// 2. it computes in double, rounding to datatype every value it keeps
//    (each running sum after each term, each basis value, each guess);
// 3. a math-library fault (ln of y <= 0, a power outside its domain, exp
//    overflowing) raises errnotify at once through the guarded routines;
// 4. at the end CheckFpFaults raises a division by zero or overflow that
//    happened on the way, and only then are the guesses written. A routine
//    that raises therefore leaves the guess vector untouched, and the caller
//    asks the user for guesses instead.

inline const datatype* XValues(const CurveFit& doc) { return doc.Column(0); }
inline const datatype* YValues(const CurveFit& doc) { return doc.Column(1); }

// The normal equations of the least-squares fit T = c0*g0 + c1*g1 + ... in
// the basis order given: row r is (sum g_r*g_0, ..., sum g_r*g_K-1 | sum g_r*T).
// Every sum is accumulated in data order and stored as datatype after each
// term; the system is solved by Gauss-Jordan elimination without pivoting.
template <std::size_t K>
class NormalEquations {
 public:
  void Add(const std::array<datatype, K>& g, datatype t) {
    for (std::size_t r = 0; r < K; ++r) {
      datatype* row = &system_[r * (K + 1)];
      for (std::size_t c = 0; c < K; ++c) row[c] = Round(row[c] + double{g[r]} * g[c]);
      row[K] = Round(row[K] + double{g[r]} * t);
    }
  }

  std::array<datatype, K> Solve() {
    SolveAugmented(system_.data(), static_cast<int>(K), 0);
    std::array<datatype, K> solution;
    std::copy(system_.begin(), system_.begin() + K, solution.begin());
    return solution;
  }

 private:
  std::array<datatype, K*(K + 1)> system_{};
};

// One point of a linearised fit: its basis values and its transformed y.
template <std::size_t K>
struct LinearisedPoint {
  std::array<datatype, K> g;
  datatype t;
};

// Least squares over all points in data order; `transform(x, y)` gives the
// point's LinearisedPoint<K>.
template <std::size_t K, class Transform>
std::array<datatype, K> FitLinearised(const CurveFit& doc, Transform transform) {
  const datatype* x = XValues(doc);
  const datatype* y = YValues(doc);
  NormalEquations<K> equations;
  for (int i = 0; i < doc.nPoints; ++i) {
    const LinearisedPoint<K> point = transform(x[i], y[i]);
    equations.Add(point.g, point.t);
  }
  return equations.Solve();
}

// The end of a routine: raises the faults of its work, then writes the guesses.
template <std::size_t M>
void Deliver(datatype* guess, const std::array<datatype, M>& values) {
  CheckFpFaults();
  std::copy(values.begin(), values.end(), guess);
}

// The best candidate of a grid search. A candidate replaces the best only
// with a strictly smaller score; a not-a-number score never does.
template <std::size_t M>
struct BestCandidate {
  datatype score = kDatatypeMax;
  std::array<datatype, M> values{};
  bool found = false;

  bool Beaten(datatype candidateScore) const { return candidateScore < score; }
  void Take(datatype candidateScore, const std::array<datatype, M>& candidate) {
    score = candidateScore;
    values = candidate;
    found = true;
  }
  // Raises the faults of the search; without an accepted candidate the
  // guess vector keeps what it held.
  void Deliver(datatype* guess) const {
    CheckFpFaults();
    if (found) std::copy(values.begin(), values.end(), guess);
  }
};

// Linearised least squares (one solve).
void GuessExponential(const CurveFit& doc, datatype* guess);          // 504
void GuessModifiedExponential(const CurveFit& doc, datatype* guess);  // 505
void GuessVaporPressure(const CurveFit& doc, datatype* guess);        // 508
void GuessPower(const CurveFit& doc, datatype* guess);                // 509
void GuessModifiedPower(const CurveFit& doc, datatype* guess);        // 510
void GuessShiftedPower(const CurveFit& doc, datatype* guess);         // 511
void GuessGeometric(const CurveFit& doc, datatype* guess);            // 512
void GuessModifiedGeometric(const CurveFit& doc, datatype* guess);    // 513
void GuessRoot(const CurveFit& doc, datatype* guess);                 // 514
void GuessHoerl(const CurveFit& doc, datatype* guess);                // 515
void GuessModifiedHoerl(const CurveFit& doc, datatype* guess);        // 516
void GuessReciprocal(const CurveFit& doc, datatype* guess);           // 517
void GuessReciprocalQuadratic(const CurveFit& doc, datatype* guess);  // 518
void GuessSaturationGrowth(const CurveFit& doc, datatype* guess);     // 526
void GuessGaussian(const CurveFit& doc, datatype* guess);             // 530
void GuessHyperbolic(const CurveFit& doc, datatype* guess);           // 531

// Exact through chosen data points.
void GuessLogarithm(const CurveFit& doc, datatype* guess);      // 506
void GuessReciprocalLog(const CurveFit& doc, datatype* guess);  // 507
void GuessHeatCapacity(const CurveFit& doc, datatype* guess);   // 532

// Grid search over one nonlinear parameter.
void GuessBleasdale(const CurveFit& doc, datatype* guess);   // 519
void GuessHarris(const CurveFit& doc, datatype* guess);      // 520
void GuessGompertz(const CurveFit& doc, datatype* guess);    // 521
void GuessLogistic(const CurveFit& doc, datatype* guess);    // 522
void GuessWeibull(const CurveFit& doc, datatype* guess);     // 523
void GuessRichards(const CurveFit& doc, datatype* guess);    // 525
void GuessSinusoidal(const CurveFit& doc, datatype* guess);  // 529

// From the data range, or fixed.
void GuessMmf(const CurveFit& doc, datatype* guess);                      // 524
void GuessExponentialAssociation2(const CurveFit& doc, datatype* guess);  // 527
void GuessExponentialAssociation3(const CurveFit& doc, datatype* guess);  // 528
void GuessRational(const CurveFit& doc, datatype* guess);                 // 533

}  // namespace trendolin::guesses
