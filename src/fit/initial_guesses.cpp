// The automatic initial guesses of the models 504..533: which routine serves
// which model, and the guesses through chosen points and from the data range.
#include "fit/initial_guesses.h"

#include "fit/model_functions.h"
#include "precision/math_guard.h"

namespace trendolin {
namespace guesses {
namespace {

datatype Ln(double v) { return Round(guarded::log(v)); }

}  // namespace

// Through the first and the last point in data order (not the extremes of x).
void GuessLogarithm(const CurveFit& doc, datatype* guess) {
  ClearFpFaults();
  const datatype* x = XValues(doc);
  const datatype* y = YValues(doc);
  const int last = doc.nPoints - 1;
  std::array<datatype, 6> system = {1.0f, Ln(x[0]), y[0], 1.0f, Ln(x[last]), y[last]};
  SolveAugmented(system.data(), 2, 0);
  Deliver(guess, std::array{system[0], system[1]});
}

// 1/y = a + b*ln x through the first and the last point, written as
// a*y + b*y*ln x = 1.
void GuessReciprocalLog(const CurveFit& doc, datatype* guess) {
  ClearFpFaults();
  const datatype* x = XValues(doc);
  const datatype* y = YValues(doc);
  const int last = doc.nPoints - 1;
  std::array<datatype, 6> system = {y[0],    Round(double{y[0]} * Ln(x[0])),       1.0f,
                                    y[last], Round(double{y[last]} * Ln(x[last])), 1.0f};
  SolveAugmented(system.data(), 2, 0);
  Deliver(guess, std::array{system[0], system[1]});
}

// Through the first, the middle (index n/2) and the last point. With two
// points the middle is the last: the system is singular and the guesses come
// out as quiet not-a-numbers.
void GuessHeatCapacity(const CurveFit& doc, datatype* guess) {
  ClearFpFaults();
  const datatype* x = XValues(doc);
  const datatype* y = YValues(doc);
  std::array<datatype, 12> system{};
  const int rows[3] = {0, doc.nPoints / 2, doc.nPoints - 1};
  for (std::size_t r = 0; r < 3; ++r) {
    const datatype xi = x[rows[r]];
    datatype* row = &system[r * 4];
    row[0] = 1.0f;
    row[1] = xi;
    row[2] = Round(1.0 / xi / xi);
    row[3] = y[rows[r]];
  }
  SolveAugmented(system.data(), 3, 0);
  Deliver(guess, std::array{system[0], system[1], system[2]});
}

void GuessMmf(const CurveFit& doc, datatype* guess) {
  ClearFpFaults();
  const double middle = (double{doc.fMin[0]} + doc.fMax[0]) * 0.5;
  Deliver(guess, std::array{doc.fMin[1], Round(guarded::pow(middle, 0.5)), doc.fMax[1], 0.5f});
}

// The rate puts four time constants over the x range. All x equal divides by zero.
void GuessExponentialAssociation2(const CurveFit& doc, datatype* guess) {
  ClearFpFaults();
  const double xRange = double{doc.fMax[0]} - doc.fMin[0];
  Deliver(guess, std::array{doc.fMax[1], Round(4.0 / xRange)});
}

void GuessExponentialAssociation3(const CurveFit& doc, datatype* guess) {
  ClearFpFaults();
  const double xRange = double{doc.fMax[0]} - doc.fMin[0];
  const double yRange = double{doc.fMax[1]} - doc.fMin[1];
  Deliver(guess, std::array{doc.fMax[1], Round(yRange * 0.5), Round(4.0 / xRange)});
}

// A fixed start, whatever the data.
void GuessRational(const CurveFit&, datatype* guess) {
  ClearFpFaults();
  Deliver(guess, std::array{1.0f, 1.0f, 0.0f, 0.0f});
}

}  // namespace guesses

namespace {

using namespace guesses;

// Indexed by id - 504.
constexpr std::array<InitialGuessFunction, kLastNonlinearModel - kFirstNonlinearModel + 1> kGuessRoutines = {
    GuessExponential,             // 504
    GuessModifiedExponential,     // 505
    GuessLogarithm,               // 506
    GuessReciprocalLog,           // 507
    GuessVaporPressure,           // 508
    GuessPower,                   // 509
    GuessModifiedPower,           // 510
    GuessShiftedPower,            // 511
    GuessGeometric,               // 512
    GuessModifiedGeometric,       // 513
    GuessRoot,                    // 514
    GuessHoerl,                   // 515
    GuessModifiedHoerl,           // 516
    GuessReciprocal,              // 517
    GuessReciprocalQuadratic,     // 518
    GuessBleasdale,               // 519
    GuessHarris,                  // 520
    GuessGompertz,                // 521
    GuessLogistic,                // 522
    GuessWeibull,                 // 523
    GuessMmf,                     // 524
    GuessRichards,                // 525
    GuessSaturationGrowth,        // 526
    GuessExponentialAssociation2, // 527
    GuessExponentialAssociation3, // 528
    GuessSinusoidal,              // 529
    GuessGaussian,                // 530
    GuessHyperbolic,              // 531
    GuessHeatCapacity,            // 532
    GuessRational,                // 533
};

}  // namespace

InitialGuessFunction InitialGuessOf(int id) {
  if (id < kFirstNonlinearModel || id > kLastNonlinearModel) return nullptr;
  return kGuessRoutines[static_cast<std::size_t>(id - kFirstNonlinearModel)];
}

}  // namespace trendolin
