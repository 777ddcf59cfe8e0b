// A Ui without windows: answers from a script (tests) or with fixed unattended
// answers (the command-line tool), and records everything it was asked.
#pragma once

#include <deque>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui.h"

namespace platform {

struct UiEvent {
  enum class Kind {
    MessageBox, Beep, Busy, ErrorReport, Caption, ClipboardRead, ClipboardWrite, OpenDialog, SaveDialog, ImportDialog,
    GuessDialog, DegreeDialog, TensionDialog, GroupsDialog, CalculationMode, UserModelDialog
  };
  Kind kind;
  std::string caption;  // message box caption; help topic of an error report; file dialog title
  std::string text;     // message text, caption text, clipboard text; file dialog's initial path
  Icon icon = Icon::None;
  Buttons buttons = Buttons::Ok;
  Answer answer = Answer::Ok;  // what was answered (message boxes)
  int part = 0;                // 1/0 for busy on/off; the model id of a guess dialog; the calculation
                               // mode; the checked groups a groups dialog closed with
  int detail = 0;              // calculation mode: 1 background processing on, 2 preview redrawn
  bool scripted = false;       // the answer came from the script
};

class HeadlessUi : public Ui {
 public:
  enum class Mode {
    Scripted,    // answers come from QueueAnswer; an empty queue falls back to the unattended answer
    Unattended,  // every question takes its unattended answer
  };

  // `echo`, when given, receives every message box and error report as
  // "caption: text" lines (the command-line tool passes standard error).
  explicit HeadlessUi(Mode mode = Mode::Scripted, std::ostream* echo = nullptr);

  void QueueAnswer(Answer answer) { script_.push_back(answer); }
  std::size_t PendingAnswers() const { return script_.size(); }

  const std::vector<UiEvent>& Events() const { return events_; }
  std::vector<UiEvent> EventsOf(UiEvent::Kind kind) const;
  void ClearEvents() { events_.clear(); }

  // File dialogs answer from their own script, in order; an empty script
  // cancels (the unattended answer).
  void QueueFileDialog(std::optional<FileDialogResult> result) { fileScript_.push_back(std::move(result)); }
  // The import dialog runs this on the options (a test edits them like a
  // person would, the command-line tool applies its import options) and
  // answers what it returns. Without one the dialog is confirmed with the
  // options as shown.
  void SetImportDialogHandler(std::function<bool(trendolin::ImportOptions&)> handler) {
    importHandler_ = std::move(handler);
  }

  // The initial-guess dialog runs this (model id, m, guesses to edit) and
  // answers what it returns. Without one the guesses are accepted as shown,
  // and an immediate second request for the same model is cancelled.
  void SetGuessDialogHandler(std::function<bool(int, int, float*)> handler) { guessHandler_ = std::move(handler); }

  // The degree, tension and groups dialogs run these, which play the person:
  // they call the request's `accept` with what they type (as often as they
  // like) and answer true for OK, false for Cancel. Without one a dialog is
  // confirmed as shown, or cancelled when what it shows is not accepted.
  // The event records the last text (or mask) tried.
  // The user model dialog runs this and answers what it returns; without one
  // OK is pressed on the formula as shown.
  void SetUserModelDialogHandler(std::function<bool(const UserModelDialogRequest&)> handler) {
    userModelHandler_ = std::move(handler);
  }
  void SetDegreeDialogHandler(std::function<bool(const ValueDialogRequest&)> handler) {
    degreeHandler_ = std::move(handler);
  }
  void SetTensionDialogHandler(std::function<bool(const ValueDialogRequest&)> handler) {
    tensionHandler_ = std::move(handler);
  }
  void SetGroupsDialogHandler(std::function<bool(const ModelGroupsDialogRequest&)> handler) {
    groupsHandler_ = std::move(handler);
  }

  void SetClipboard(std::optional<std::string> text) { clipboard_ = std::move(text); }
  const std::optional<std::string>& Clipboard() const { return clipboard_; }
  const std::string& Caption() const { return caption_; }
  const std::string& StatusText(int part) const;

  // Called on every PumpEvents: lets a test press Accept or Abort in the
  // middle of long work, the way a person would.
  void SetPumpHook(std::function<void()> hook) { pumpHook_ = std::move(hook); }
  long PumpCount() const { return pumpCount_; }
  long StatusUpdates() const { return statusCount_; }

  Answer MessageBox(const MessageBoxRequest& request) override;
  void Beep() override;
  void SetBusy(bool busy) override;
  void SetStatusText(int part, const std::string& text) override;
  void PumpEvents() override;
  void ShowErrorReport(const std::string& message, const std::string& helpTopic) override;
  void SetCaption(const std::string& caption) override;
  std::optional<FileDialogResult> OpenFileDialog(const FileDialogRequest& request) override;
  std::optional<FileDialogResult> SaveFileDialog(const FileDialogRequest& request) override;
  bool ImportOptionsDialog(trendolin::ImportOptions& options) override;
  bool InitialGuessDialog(int modelId, int m, float* guesses) override;
  bool PolynomialDegreeDialog(const ValueDialogRequest& request) override;
  bool UserModelDialog(const UserModelDialogRequest& request) override;
  bool TensionDialog(const ValueDialogRequest& request) override;
  bool ModelGroupsDialog(const ModelGroupsDialogRequest& request) override;
  void SetCalculationMode(int mode, bool backgroundProcess, bool redrawPreview) override;
  std::optional<std::string> ClipboardText() override;
  bool SetClipboardText(const std::string& text) override;

 private:
  void Record(UiEvent event);

  Mode mode_;
  std::ostream* echo_;
  std::optional<FileDialogResult> NextFileDialog(UiEvent::Kind kind, const FileDialogRequest& request);
  bool RunValueDialog(UiEvent::Kind kind, const ValueDialogRequest& request,
                      const std::function<bool(const ValueDialogRequest&)>& handler);

  std::deque<Answer> script_;
  std::deque<std::optional<FileDialogResult>> fileScript_;
  std::function<bool(trendolin::ImportOptions&)> importHandler_;
  std::function<bool(int, int, float*)> guessHandler_;
  int lastGuessModel_ = 0;  // the model whose guesses were last accepted without a handler
  std::function<bool(const UserModelDialogRequest&)> userModelHandler_;
  std::function<bool(const ValueDialogRequest&)> degreeHandler_;
  std::function<bool(const ValueDialogRequest&)> tensionHandler_;
  std::function<bool(const ModelGroupsDialogRequest&)> groupsHandler_;
  std::vector<UiEvent> events_;
  std::optional<std::string> clipboard_;
  std::string caption_;
  std::string status_[4];
  std::function<void()> pumpHook_;
  long pumpCount_ = 0;
  long statusCount_ = 0;
};

}  // namespace platform
