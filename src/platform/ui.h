// The one seam through which core code talks to the person at the screen:
// message boxes, beeps, the busy state, the status bar, event pumping, the
// error report and the clipboard. The windows install a Qt implementation;
// tests and the command-line tool install a headless one.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/import_options.h"

namespace platform {

enum class Icon { None, Information, Exclamation, Error, Question };

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, AbortRetryIgnore };

// Numbered like the classic message-box answers, so logs stay comparable.
enum class Answer { Ok = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

struct MessageBoxRequest {
  std::string caption;
  std::string text;
  Icon icon = Icon::None;
  Buttons buttons = Buttons::Ok;
  bool systemModal = false;
  // The answer an unattended run gives. The caller knows which answer is safe
  // when nobody is there to ask (for instance "do not save").
  std::optional<Answer> unattendedAnswer;
};

// The open and save file dialogs. Filters, the default extension and the
// starting folder follow the program's data-file conventions.
struct FileDialogRequest {
  std::string title;             // "Open File", "Save As", "Save As..."
  std::string initialPath;       // the file-name field starts with this
  std::string defaultExtension;  // without the dot, at most 3 characters
  std::string helpTopic;         // opened by the Help button
  bool mustExist = false;        // open: the file must exist
  bool overwritePrompt = false;  // save: ask before replacing a file
  bool offerReadOnly = false;    // a read-only check box is shown
};

struct FileDialogResult {
  std::string path;
  bool readOnly = false;  // the state of the read-only check box
};

// A dialog of one edit field with a spin control: the polynomial degree
// dialog and the tension dialog. The dialog shows `fieldText` and the spin
// range; the spin arrows write `spinText(position)` into the field (the
// position as a number when it is empty). OK passes the field's text to
// `accept`, which decides: true closes the dialog (the caller has taken the
// value), false keeps it open (the caller has already beeped or warned when
// there was something to say, and the field's text is selected again).
struct ValueDialogRequest {
  std::string fieldText;
  int spinLower = 0;
  int spinUpper = 0;
  int spinPosition = 0;
  std::function<std::string(int position)> spinText;
  std::function<bool(const std::string& text)> accept;
};

// The user model dialog: the current formula and the stored models (names
// and formulas in the library's order). OK passes the formula field's text
// to `accept`: true closes the dialog (the formula was taken), false keeps it
// open (the caller has already warned). Save and Delete work on the library
// through the user-model store's functions, which the window calls itself.
struct UserModelDialogRequest {
  std::string formula;
  std::vector<std::string> names;
  std::vector<std::string> formulas;
  std::function<bool(const std::string& formula)> accept;
};

// The FitHunter dialog and the Calculate Groups dialog: one check box per
// model group (class bit), select-all and select-none buttons, and for
// FitHunter the maximum-degree field with its spin control. OK passes the
// mask of the checked boxes and the degree field's text to `accept`, which
// answers as for ValueDialogRequest.
struct ModelGroupsDialogRequest {
  bool fitHunter = true;          // false: Calculate Groups (interpolation box, no degree field)
  int groupMask = 0;              // the class bits that have a box
  int checkedMask = 0;            // the boxes checked when the dialog opens
  bool polynomialEnabled = true;  // false: the polynomial box is cleared and disabled
  std::string degreeText;         // FitHunter's degree field
  int spinLower = 0;
  int spinUpper = 0;
  std::function<bool(int checkedMask, const std::string& degreeText)> accept;
};

// The first button of a set: what a plain Enter press answers.
Answer DefaultAnswer(Buttons buttons);

// True when `answer` is one of the buttons of `buttons`.
bool IsAnswerOf(Buttons buttons, Answer answer);

class Ui {
 public:
  virtual ~Ui() = default;

  virtual Answer MessageBox(const MessageBoxRequest& request) = 0;
  virtual void Beep() = 0;
  // Busy state: the working cursor while long work runs.
  virtual void SetBusy(bool busy) = 0;
  // The main window's status bar has four parts, numbered from 0.
  virtual void SetStatusText(int part, const std::string& text) = 0;
  // Lets the interface handle pending input during long work (Accept and
  // Abort arrive this way).
  virtual void PumpEvents() = 0;
  // The modal error report: the message and the help topic of its Help button.
  virtual void ShowErrorReport(const std::string& message, const std::string& helpTopic) = 0;
  // The main window's caption.
  virtual void SetCaption(const std::string& caption) = 0;
  // File dialogs: nullopt when the person cancels.
  virtual std::optional<FileDialogResult> OpenFileDialog(const FileDialogRequest& request) = 0;
  virtual std::optional<FileDialogResult> SaveFileDialog(const FileDialogRequest& request) = 0;
  // The import-options dialog: edits `options` and answers true on OK (with
  // options that pass the consistency rule), false on Cancel.
  virtual bool ImportOptionsDialog(trendolin::ImportOptions& options) = 0;

  // The initial-guess dialog of a nonlinear fit: shows the m guesses of
  // model `modelId` for editing; true when accepted (guesses holds the
  // edited values), false when cancelled.
  virtual bool InitialGuessDialog(int modelId, int m, float* guesses) = 0;

  // The polynomial degree dialog and the tension dialog: true when closed
  // with OK (after `accept` took the value), false when cancelled.
  virtual bool PolynomialDegreeDialog(const ValueDialogRequest& request) = 0;
  virtual bool TensionDialog(const ValueDialogRequest& request) = 0;
  // The user model dialog: true when closed with OK, false when cancelled.
  virtual bool UserModelDialog(const UserModelDialogRequest& request) = 0;
  // The FitHunter and Calculate Groups dialogs: true on OK, false on Cancel.
  virtual bool ModelGroupsDialog(const ModelGroupsDialogRequest& request) = 0;

  // The calculation mode changed (0 idle, 1 a single fit, 2 a batch). Above
  // 0 the data grid and the eight top-level menus are disabled, each toolbar
  // button's enabled state is remembered and the button disabled, and the
  // Accept and Abort buttons are shown, enabled only with
  // `backgroundProcess` (only then does a calculation let commands in); 2
  // also raises the thread's priority to the highest level. At 0 everything
  // comes back as it was, the priority returns to normal, Accept and Abort
  // are hidden, and the preview is redrawn when `redrawPreview`. Without
  // `backgroundProcess` pending events are handled once, so that the change
  // shows, and the main window is updated.
  virtual void SetCalculationMode(int mode, bool backgroundProcess, bool redrawPreview) = 0;

  // Clipboard text; nullopt when the clipboard holds no text.
  virtual std::optional<std::string> ClipboardText() = 0;
  virtual bool SetClipboardText(const std::string& text) = 0;
};

// The Ui installed for this thread (a session installs its own while it is
// bound to the thread). Until one is installed, a quiet unattended
// headless Ui answers (so library code never dereferences nothing).
Ui& CurrentUi();

// Installs `ui` (not owned; it must outlive its installation). Passing nullptr
// restores the quiet default. Returns the previously installed Ui, or nullptr
// when the default was in place.
Ui* InstallUi(Ui* ui);

// Shortcut for the common case: a message box from the numbered resource
// strings (caption id, text id) with the given icon and buttons.
Answer ResourceMessageBox(int captionId, int textId, Icon icon, Buttons buttons,
                          std::optional<Answer> unattendedAnswer = std::nullopt);

// A box with an OK button only: the person is told something and goes on.
void TellUser(const std::string& caption, const std::string& text, Icon icon = Icon::Exclamation);

// Installs a Ui for the lifetime of a scope (tests, tools).
class ScopedUi {
 public:
  explicit ScopedUi(Ui& ui) : previous_(InstallUi(&ui)) {}
  ~ScopedUi() { InstallUi(previous_); }
  ScopedUi(const ScopedUi&) = delete;
  ScopedUi& operator=(const ScopedUi&) = delete;

 private:
  Ui* previous_;
};

}  // namespace platform
