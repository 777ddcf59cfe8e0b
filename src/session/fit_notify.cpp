// What a running nonlinear fit shows and hears: the status-bar progress, the
// "history.dmp" file, the preview animation and the Accept and Abort requests.
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include "app/app_settings.h"
#include "data/document_hooks.h"
#include "fit/engine_state.h"
#include "fit/model_desc.h"
#include "fit/nonlinear.h"
#include "fit/nonlinear_passes.h"
#include "platform/profile_file.h"
#include "platform/ui.h"
#include "session/nonlinear_routine.h"
#include "session/session.h"

namespace trendolin {
namespace {

constexpr std::size_t kProgressNameMax = 255;

std::string ProgressName(int id) {
  if (id == kPolynomialModel) return FormatText("Polynomial Fit (%d)", CurrentEngine().polynomialDegree);
  return ModelLongName(id).substr(0, kProgressNameMax);
}

void TellHistoryTrouble(const std::string& reason) {
  bool& told = CurrentSession().historyTroubleTold;
  if (told) return;
  told = true;
  platform::TellUser("Iteration History",
                     "The iteration history file " + HistoryFilePath() + " could not be written: " + reason +
                         ".\n\nThe fit is not affected. Any earlier history file was left as it was.");
}

// The history file the notify routine keeps with the problem (made at the
// fit's start; the problem closes it when it ends, also on an error).
IterationHistoryFile* HistoryOf(const NonlinearProblem& problem) {
  return static_cast<IterationHistoryFile*>(problem.notifyState.get());
}

IterationHistoryFile& OpenHistory(NonlinearProblem& problem) {
  if (!problem.notifyState) problem.notifyState = std::make_shared<IterationHistoryFile>();
  return *HistoryOf(problem);
}

// The accepted parameters and chi-square after the current iteration.
void WriteHistoryLine(NonlinearProblem& problem) {
  IterationHistoryFile* file = HistoryOf(problem);
  if (file == nullptr || !file->IsOpen()) return;
  std::string line = std::to_string(problem.iteration) + "\t";
  for (int i = 0; i < problem.m; ++i) line += FormatText("%.7g\t", static_cast<double>(problem.parameters[i]));
  line += FormatText("%.7g\n", static_cast<double>(problem.chiSquare));
  file->Append(line);
}

void Finish(NonlinearProblem& problem) {
  if (CurrentEngine().nonlinearFlags.discard) {
    problem.ReleaseHistories();
    CurrentEngine().nonlinearFlags.discard = false;
  }
  if (IterationHistoryFile* file = HistoryOf(problem)) file->Close();
}

// Lets Accept and Abort arrive, and answers the request they left.
int Poll(NonlinearProblem& problem) {
  if (CurrentSession().settings.IsOn(kFlagBackgroundProcess)) platform::CurrentUi().PumpEvents();
  if (CurrentEngine().nonlinearFlags.stopRequest == kStopNone) return 0;
  Finish(problem);
  return CurrentEngine().nonlinearFlags.stopRequest;
}

}  // namespace

void SetHistoryFolder(const std::string& folder) { CurrentSession().historyFolder = folder; }

std::string HistoryFilePath() {
  const std::string& historyFolder = CurrentSession().historyFolder;
  return historyFolder.empty() ? std::string(kHistoryFileName) : historyFolder + "/" + kHistoryFileName;
}

void IterationHistoryFile::Open(const std::string& modelName) {
  open_ = true;
  text_ = "Model: " + modelName + "\n";
  text_ += "Iteration\tParameter Values...\tChi Square\n";
}

void IterationHistoryFile::Append(const std::string& line) {
  if (open_) text_ += line;
}

void IterationHistoryFile::Close() {
  if (!open_) return;
  open_ = false;
  // The settings folder may not be there yet (the settings file was not
  // created); the history is made a place all the same.
  std::error_code ec;
  const std::string& historyFolder = CurrentSession().historyFolder;
  if (!historyFolder.empty()) std::filesystem::create_directories(historyFolder, ec);
  std::string reason;
  const bool written = platform::WriteFileAtomically(HistoryFilePath(), text_, &reason, nullptr, /*durable=*/false);
  text_.clear();
  if (written) {
    CurrentSession().historyTroubleTold = false;
  } else {
    TellHistoryTrouble(reason);
  }
}

IterationHistoryFile::~IterationHistoryFile() {
  // An error ended the fit: what it did up to there is still worth reading.
  // Nothing may escape a destructor, least of all while an error unwinds.
  try {
    Close();
  } catch (...) {
  }
}

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
  if (code == kStopAbort) CurrentEngine().nonlinearFlags.discard = true;
  if (code == kStopAbort || code == kStopAccept) CurrentEngine().nonlinearFlags.stopRequest = code;
}

int FitNotify(NonlinearProblem& problem, int code) {
  switch (code) {
    case kNotifyStart:
      ShowFitProgress(problem.iteration, problem.modelId, false, problem.chiSquare);
      OpenHistory(problem).Open(problem.modelName);
      // A request left from before this fit has nothing to stop or discard.
      CurrentEngine().nonlinearFlags.stopRequest = kStopNone;
      CurrentEngine().nonlinearFlags.discard = false;
      return 0;
    case kNotifyIteration:
      ShowFitProgress(problem.iteration, problem.modelId, false, problem.chiSquare);
      WriteHistoryLine(problem);
      if (CurrentSession().settings.IsOn(kFlagAnimatePlot) && CurrentSession().settings.IsOn(kFlagEnableThumb) && Hooks().animatePreview) {
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
