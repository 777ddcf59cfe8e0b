// The state of the fitting engine for one run of the program: what the
// drivers, the solvers and the user model hand one another between fits.
// One record belongs to each session; the thread a session runs on reaches
// it through CurrentEngine().
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <vector>

#include "data/document_hooks.h"
#include "data/notices.h"
#include "fit/fit_result.h"
#include "fit/fit_types.h"
#include "fit/interpolation_search.h"
#include "fit/nonlinear.h"
#include "usermodel/interpreter.h"

namespace trendolin {

struct EngineState {
  // The current polynomial degree (model 502).
  int polynomialDegree = 4;

  // The guess vector: the initial-guess routines and the initial-guess
  // dialog write it; the nonlinear solver starts from its first m values.
  std::array<datatype, kGuessVectorSize> guessVector{};

  // The guesses each nonlinear model's last fit started from, by model id.
  // A model whose automatic guesses give nothing starts from these (or from
  // 1 for every parameter before its first fit), never from the values
  // another model left in the guess vector.
  std::map<int, std::vector<datatype>> startingGuesses;

  // The coefficients the initial-guess dialog's test graph draws (the
  // descriptor of a negative model id points at them).
  std::array<datatype, kGuessVectorSize> testCoefficients{};

  // One entry per interpolation model (534..538), written by the drivers
  // when a build succeeds and read by the evaluators. An entry that does not
  // match the record being evaluated (another data set, a record filled by
  // other means, or data that moved since) is not used: the order is then
  // found again at every evaluation, correctly if more slowly.
  std::array<KnotOrder, kLastInterpolation - kFirstInterpolation + 1> knotOrders{};

  // How the next nonlinear fit starts and how the running one ends.
  NonlinearFitFlags nonlinearFlags;

  // The user model: its formula, parameters and fit.
  UserFitResult userModel;
  // The data's figures the user formula may name (XMIN, YMEAN, ...).
  DataSummary userModelData;
  // The user model's parsed formula while a fit of it runs (see
  // UserModelFitScope); null otherwise. Read by the point-part workers.
  const CompiledFormula* fittingFormula = nullptr;

  // 0 idle, 1 a single fit, 2 a batch (a search or a group run).
  std::uint8_t calcMode = 0;
  // Set for the whole of a search or group run: no warning boxes, no
  // initial-guess dialogs, and error reports are suppressed.
  std::uint8_t unattended = 0;

  // What the data set and the fits tell the layers above (the windows, the
  // fit list); each does nothing until the session's owner installs it.
  DocumentHooks hooks;
  // What the engine tells the person, through the session's Ui.
  Notices notices;
};

// The engine state of the session this thread works for. A thread that
// works for none (a programming fault) stops the program with a message.
EngineState& CurrentEngine();

// Makes `state` the engine state of this thread while it lives, and puts
// back the one before (null: none).
class EngineStateScope {
 public:
  explicit EngineStateScope(EngineState* state);
  ~EngineStateScope();
  EngineStateScope(const EngineStateScope&) = delete;
  EngineStateScope& operator=(const EngineStateScope&) = delete;

 private:
  EngineState* previous_;
};

// The engine state this thread works for, or null (the point-part workers
// take on their caller's).
EngineState* BoundEngineState();

}  // namespace trendolin
