// What a running nonlinear fit shows and hears: the status-bar progress, the
// "history.dmp" file, the preview animation and the Accept and Abort requests.
#include <cstdio>
#include <string>

#include "app/app_settings.h"
#include "data/document_hooks.h"
#include "fit/fit_state.h"
#include "fit/nonlinear.h"
#include "fit/nonlinear_passes.h"
#include "platform/resource_strings.h"
#include "platform/ui.h"

namespace trendolin {
namespace {

constexpr int kProgressNameBase = 500;  // resource string id + 500: the model's progress name
constexpr std::size_t kProgressNameMax = 255;

std::string ProgressName(int id) {
  if (id == kPolynomialModel) return FormatText("Polynomial Fit (%d)", PolynomialDegree);
  return std::string(platform::ResourceString(id + kProgressNameBase).substr(0, kProgressNameMax));
}

// A file that cannot be created only costs the record: the fit goes on.
void OpenHistoryFile(NonlinearProblem& problem) {
  problem.historyFile.reset(std::fopen(kHistoryFileName, "w"));
  if (!problem.historyFile) return;
  std::FILE* file = problem.historyFile.get();
  std::fprintf(file, "Model: %s\n", problem.modelName.c_str());
  std::fputs("Iteration\tParameter Values...\tChi Square\n", file);
}

// The accepted parameters and chi-square after the current iteration.
void WriteHistoryLine(const NonlinearProblem& problem) {
  std::FILE* file = problem.historyFile.get();
  if (file == nullptr) return;
  std::fprintf(file, "%d\t", problem.iteration);
  for (int i = 0; i < problem.m; ++i) std::fprintf(file, "%.7g\t", static_cast<double>(problem.parameters[i]));
  std::fprintf(file, "%.7g\n", static_cast<double>(problem.chiSquare));
}

void Finish(NonlinearProblem& problem) {
  if (NonlinearFlags.discard) {
    problem.ReleaseHistories();
    NonlinearFlags.discard = false;
  }
  problem.historyFile.reset();
}

// Lets Accept and Abort arrive, and answers the request they left.
int Poll(NonlinearProblem& problem) {
  if (Settings.IsOn(kFlagBackgroundProcess)) platform::CurrentUi().PumpEvents();
  if (NonlinearFlags.stopRequest == kStopNone) return 0;
  Finish(problem);
  return NonlinearFlags.stopRequest;
}

}  // namespace

void ShowFitProgress(int iteration, int id, bool obtainingGuesses, datatype chiSquare) {
  platform::Ui& ui = platform::CurrentUi();
  const std::string name = ProgressName(id);
  if (obtainingGuesses) {
    ui.SetStatusText(0, "Obtaining Initial Guesses for " + name);
  } else if (iteration == 0 || iteration == 1) {
    ui.SetStatusText(0, "Calculating " + name);
  }
  if (iteration < 2) ui.SetStatusText(1, "CALC");
  ui.SetStatusText(2, std::to_string(iteration));
  ui.SetStatusText(3, FormatText("X2 = %.8f", static_cast<double>(chiSquare)));
}

void RequestFitStop(int code) {
  if (code == kStopAbort) NonlinearFlags.discard = true;
  if (code == kStopAbort || code == kStopAccept) NonlinearFlags.stopRequest = code;
}

int FitNotify(NonlinearProblem& problem, int code) {
  switch (code) {
    case kNotifyStart:
      ShowFitProgress(problem.iteration, problem.modelId, false, problem.chiSquare);
      OpenHistoryFile(problem);
      // A request left from before this fit has nothing to stop or discard.
      NonlinearFlags.stopRequest = kStopNone;
      NonlinearFlags.discard = false;
      return 0;
    case kNotifyIteration:
      ShowFitProgress(problem.iteration, problem.modelId, false, problem.chiSquare);
      WriteHistoryLine(problem);
      if (Settings.IsOn(kFlagAnimatePlot) && Settings.IsOn(kFlagEnableThumb) && Hooks().animatePreview) {
        Hooks().animatePreview(problem.modelId);
      }
      return Poll(problem);
    case kNotifyPoll: return Poll(problem);
    case kNotifyFinish: Finish(problem); return 0;
    case kNotifyAbort:
    case kNotifyAccept: RequestFitStop(code); return 0;
    default: return 0;
  }
}

}  // namespace trendolin
