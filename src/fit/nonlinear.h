// Nonlinear regression: Levenberg-Marquardt least squares with numerical
// derivatives and weighting; the problem it solves, and the codes of the
// notify routine through which it reports progress and hears of stops.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "fit/fit_types.h"

namespace trendolin {

// Bits of NonlinearProblem::flags. Exactly one weighting bit is set.
inline constexpr unsigned kNlQuickDerivatives = 1;  // Partial, else PartialRE
inline constexpr unsigned kNlNoWeighting = 2;
inline constexpr unsigned kNlWeightY2 = 4;           // divisor y^2
inline constexpr unsigned kNlWeightUncertainty = 8;  // divisor sigma^2
inline constexpr unsigned kNlWeightY = 16;           // divisor y
inline constexpr unsigned kNlWeightX = 32;           // divisor x
inline constexpr unsigned kNlWeightX2 = 64;          // divisor x^2

// What MarqLev answers: a stop request of the user comes back as its own
// value (4 abort, 5 accept).
inline constexpr int kMarqLevConverged = 0;
inline constexpr int kMarqLevDiverged = 1;
inline constexpr int kMarqLevIterationLimit = 2;
// Converged as closely as single precision can resolve the minimum: no step
// can lower chi-square by more than the rounding noise of chi-square.
inline constexpr int kMarqLevResolution = 3;
inline constexpr int kMarqLevAborted = 4;
inline constexpr int kMarqLevAccepted = 5;

// The codes of the notify routine (FitNotify in the session).
inline constexpr int kNotifyStart = 1;
inline constexpr int kNotifyIteration = 2;
inline constexpr int kNotifyFinish = 3;
inline constexpr int kNotifyAbort = 4;
inline constexpr int kNotifyAccept = 5;
inline constexpr int kNotifyPoll = 6;

// The stop requests the Accept and Abort commands leave for a running fit.
inline constexpr int kStopNone = 0;
inline constexpr int kStopAbort = 4;
inline constexpr int kStopAccept = 5;

struct NonlinearProblem;
using NotifyFunction = int (*)(NonlinearProblem& problem, int code);

// One fit in progress. NonlinearFit builds it on its frame; the arrays it
// points to belong to the model's result record, the data set and the guess
// vector, and outlive it. The histories are its own until NonlinearFit hands
// them to the result record.
struct NonlinearProblem {
  int m = 0;                          // parameter count (at most 19)
  datatype* parameters = nullptr;     // the record's coefficients: the accepted values
  datatype* covariance = nullptr;     // the record's m x m covariance, filled at the end
  const datatype* initial = nullptr;  // the guess vector; MarqLev starts from it
  ModelFunction modelFunction = nullptr;
  datatype tolerance = 0;  // decrease of chi-square, relative to chi-square, that ends the fit
  unsigned flags = 0;      // kNl* bits
  int maxIterations = 0;
  int divergeLimit = 0;  // consecutive failed steps allowed
  int nPoints = 0;
  const datatype* x = nullptr;
  const datatype* y = nullptr;
  const datatype* uncertainties = nullptr;  // only when weighting by uncertainty
  NotifyFunction notify = nullptr;
  int modelId = 0;
  int iteration = 0;                                      // 0 for the initial guesses
  std::vector<std::vector<datatype>> parameterHistories;  // per parameter, one value per iteration
  std::vector<datatype> chiSquareHistory;                 // one value per iteration
  datatype chiSquare = 0;                                 // of the accepted parameters

  // Not part of the arithmetic: what the notify routine needs besides the
  // above, and what it keeps from one call to the next (the session's
  // iteration history file, open from notify 1 to notify 3).
  std::string modelName;                  // the history file's "Model:" line
  std::shared_ptr<void> notifyState;

  // Frees both histories (they read as absent afterwards).
  void ReleaseHistories() {
    parameterHistories = {};
    chiSquareHistory = {};
  }
};

// The state a nonlinear fit shares with the commands that reach it while it
// runs and with the next attempt. One record per session (its engine state).
struct NonlinearFitFlags {
  // The next nonlinear fit shows the initial-guess dialog, whatever the
  // AutoGuess setting: set after a failed attempt or failed automatic guesses.
  bool forceDialog = false;
  // The guess vector holds this fit's automatic guesses: a repeated attempt
  // does not recompute them (and shows them in the dialog instead).
  bool guessesObtained = false;
  // kStopNone, kStopAbort or kStopAccept: the answer of the next iteration
  // notification. Cleared when a fit starts.
  int stopRequest = kStopNone;
  // Set by Abort: the fit's histories are thrown away when it finishes.
  bool discard = false;
  // Guesses the caller gives for every fit until it clears them (the command
  // line's --guess): when they cover every coefficient of the model they are
  // the starting point, and the automatic guesses are not computed.
  std::vector<datatype> suppliedGuesses;
};

// Levenberg-Marquardt iteration from the first m values of problem.initial.
// Returns kMarqLevConverged, kMarqLevResolution, kMarqLevDiverged,
// kMarqLevIterationLimit, or the stop request the notify routine answered
// (4 abort, 5 accept).
int MarqLev(NonlinearProblem& problem);

// The inverse of the unscaled normal matrix at problem.parameters, with the
// problem's weights and derivative routine, into problem.covariance.
void ComputeCovariance(NonlinearProblem& problem);

}  // namespace trendolin
