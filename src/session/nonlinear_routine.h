// The fit routine of the nonlinear models: initial guesses (automatic or
// from the dialog), the solver, the result message and the retries; the
// solver's notify routine with its progress, history file and stop requests.
#pragma once

#include <string>

#include "fit/model_desc.h"
#include "fit/nonlinear.h"

namespace trendolin {

// The file every nonlinear fit writes its accepted iterations to.
inline constexpr const char* kHistoryFileName = "history.dmp";

// The folder of the history file. The programs keep it beside the settings
// file and set it at start, so that it does not depend on the current
// folder (which the "DataPath" setting changes); empty, the current folder.
void SetHistoryFolder(const std::string& folder);
// The history file's path: kHistoryFileName in that folder.
std::string HistoryFilePath();

// The iteration history file of one fit. Its lines are gathered while the
// fit runs and replace "history.dmp" in one step when the fit ends (also when
// an error ends it), so a full disk or a folder without write permission never
// leaves half a file behind, and the previous history stays readable.
class IterationHistoryFile {
 public:
  IterationHistoryFile() = default;
  ~IterationHistoryFile();
  IterationHistoryFile(const IterationHistoryFile&) = delete;
  IterationHistoryFile& operator=(const IterationHistoryFile&) = delete;

  void Open(const std::string& modelName);
  bool IsOpen() const { return open_; }
  void Append(const std::string& line);
  // Writes the gathered lines as the new file. A failure is told to the user
  // once, and not again until a history file could be written.
  void Close();

 private:
  bool open_ = false;
  std::string text_;
};

// The fit routine of the built-in nonlinear models 504..533: resets the
// model's record and runs NonlinearFit, repeating it with the initial-guess
// dialog after a reported error. 0 when a result was stored, 1 when the fit
// ended without one. Raises errnotify for an abort during a batch (15) and
// lets through a fault of CalcStat after a successful fit.
int NonlinearPrepareFit(CurveFit& doc, int id);

// One attempt: initial guesses (automatic, or from the dialog), the
// iteration and the result message. 0 after a result was stored in the
// model's record; raises errnotify otherwise.
int NonlinearFit(CurveFit& doc, int id);

// The solver's callback (kNotify* codes): progress, history file, preview
// animation, event pumping and the stop requests. Answers 0, or for codes 2
// and 6 the pending stop request.
int FitNotify(NonlinearProblem& problem, int code);

// The status-bar progress of a fit (the four status-bar fields of the main window).
void ShowFitProgress(int iteration, int id, bool obtainingGuesses, datatype chiSquare);

// The Accept (kStopAccept) and Abort (kStopAbort) commands: the running fit
// stops at its next iteration notification.
void RequestFitStop(int code);

// The sentence the result message ends with, for the flags of a problem.
std::string WeightingText(unsigned flags);

// The weighting flag of the present "Weighting" setting for this data set
// (uncertainty weighting without an uncertainty column is no weighting).
unsigned WeightingFlag(const CurveFit& doc);

// Fills the parts of a problem every fit shares from the descriptor, the
// settings and the data set: m, parameters, covariance, model function,
// tolerance, flags, limits, the points, notify, model id and name.
void FillProblemFromSettings(CurveFit& doc, const ModelDesc& desc, NonlinearProblem& problem);

}  // namespace trendolin
