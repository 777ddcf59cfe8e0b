// The windowless Ui: scripted answers for tests, fixed answers for batch runs.
#include "platform/headless_ui.h"

#include <ostream>

namespace platform {

HeadlessUi::HeadlessUi(Mode mode, std::ostream* echo) : mode_(mode), echo_(echo) {}

std::vector<UiEvent> HeadlessUi::EventsOf(UiEvent::Kind kind) const {
  std::vector<UiEvent> out;
  for (const UiEvent& e : events_) {
    if (e.kind == kind) out.push_back(e);
  }
  return out;
}

const std::string& HeadlessUi::StatusText(int part) const {
  static const std::string empty;
  return (part >= 0 && part < 4) ? status_[part] : empty;
}

void HeadlessUi::Record(UiEvent event) { events_.push_back(std::move(event)); }

Answer HeadlessUi::MessageBox(const MessageBoxRequest& request) {
  UiEvent event{UiEvent::Kind::MessageBox, request.caption, request.text};
  event.icon = request.icon;
  event.buttons = request.buttons;
  Answer answer = request.unattendedAnswer.value_or(DefaultAnswer(request.buttons));
  if (mode_ == Mode::Scripted && !script_.empty()) {
    answer = script_.front();
    script_.pop_front();
    event.scripted = true;
  }
  event.answer = answer;
  if (echo_) *echo_ << (request.caption.empty() ? "" : request.caption + ": ") << request.text << std::endl;
  Record(std::move(event));
  return answer;
}

void HeadlessUi::Beep() { Record(UiEvent{UiEvent::Kind::Beep, {}, {}}); }

void HeadlessUi::SetBusy(bool busy) {
  UiEvent event{UiEvent::Kind::Busy, {}, {}};
  event.part = busy ? 1 : 0;
  Record(std::move(event));
}

// Status texts change every few lines of a long file: only the latest text of
// each part and a count are kept, so memory and time stay flat.
void HeadlessUi::SetStatusText(int part, const std::string& text) {
  if (part >= 0 && part < 4) status_[part] = text;
  ++statusCount_;
}

// Pumping happens thousands of times in a long fit: it is counted, not
// recorded, so memory stays flat.
void HeadlessUi::PumpEvents() {
  ++pumpCount_;
  if (pumpHook_) pumpHook_();
}

void HeadlessUi::ShowErrorReport(const std::string& message, const std::string& helpTopic) {
  if (echo_) *echo_ << "Error: " << message << std::endl;
  Record(UiEvent{UiEvent::Kind::ErrorReport, helpTopic, message});
}

void HeadlessUi::SetCaption(const std::string& caption) {
  caption_ = caption;
  Record(UiEvent{UiEvent::Kind::Caption, {}, caption});
}

std::optional<FileDialogResult> HeadlessUi::NextFileDialog(UiEvent::Kind kind, const FileDialogRequest& request) {
  UiEvent event{kind, request.title, request.initialPath};
  std::optional<FileDialogResult> result;
  if (mode_ == Mode::Scripted && !fileScript_.empty()) {
    result = std::move(fileScript_.front());
    fileScript_.pop_front();
    event.scripted = true;
  }
  event.answer = result ? Answer::Ok : Answer::Cancel;
  Record(std::move(event));
  return result;
}

std::optional<FileDialogResult> HeadlessUi::OpenFileDialog(const FileDialogRequest& request) {
  return NextFileDialog(UiEvent::Kind::OpenDialog, request);
}

std::optional<FileDialogResult> HeadlessUi::SaveFileDialog(const FileDialogRequest& request) {
  return NextFileDialog(UiEvent::Kind::SaveDialog, request);
}

bool HeadlessUi::ImportOptionsDialog(trendolin::ImportOptions& options) {
  bool accepted = true;
  // A handler answers in both modes: the command-line tool fills the dialog
  // from its import options the same way a test plays the person.
  if (importHandler_) accepted = importHandler_(options);
  UiEvent event{UiEvent::Kind::ImportDialog, {}, options.path};
  event.answer = accepted ? Answer::Ok : Answer::Cancel;
  Record(std::move(event));
  return accepted;
}

bool HeadlessUi::InitialGuessDialog(int modelId, int m, float* guesses) {
  bool accepted = true;
  if (guessHandler_) {
    accepted = guessHandler_(modelId, m, guesses);
  } else {
    // Nobody edits the guesses: accept them as shown once, and cancel when
    // the same model asks again straight away (after a reported failure),
    // so a fit that keeps failing ends instead of retrying for ever.
    accepted = modelId != lastGuessModel_;
  }
  lastGuessModel_ = accepted ? modelId : 0;
  UiEvent event{UiEvent::Kind::GuessDialog, {}, {}};
  event.part = modelId;
  event.answer = accepted ? Answer::Ok : Answer::Cancel;
  Record(std::move(event));
  return accepted;
}

// The handler (or the default person, who presses OK on what is shown)
// talks to a copy of the request whose `accept` notes what was tried.
bool HeadlessUi::RunValueDialog(UiEvent::Kind kind, const ValueDialogRequest& request,
                                const std::function<bool(const ValueDialogRequest&)>& handler) {
  UiEvent event{kind, {}, request.fieldText};
  ValueDialogRequest played = request;
  played.accept = [&event, &request](const std::string& text) {
    event.text = text;
    return request.accept ? request.accept(text) : true;
  };
  const bool accepted = handler ? handler(played) : played.accept(request.fieldText);
  event.answer = accepted ? Answer::Ok : Answer::Cancel;
  Record(std::move(event));
  return accepted;
}

bool HeadlessUi::PolynomialDegreeDialog(const ValueDialogRequest& request) {
  return RunValueDialog(UiEvent::Kind::DegreeDialog, request, degreeHandler_);
}

bool HeadlessUi::UserModelDialog(const UserModelDialogRequest& request) {
  bool accepted = false;
  if (userModelHandler_) {
    accepted = userModelHandler_(request);
  } else {
    accepted = request.accept ? request.accept(request.formula) : true;
  }
  UiEvent event{UiEvent::Kind::UserModelDialog, {}, request.formula};
  event.answer = accepted ? Answer::Ok : Answer::Cancel;
  Record(std::move(event));
  return accepted;
}

bool HeadlessUi::TensionDialog(const ValueDialogRequest& request) {
  return RunValueDialog(UiEvent::Kind::TensionDialog, request, tensionHandler_);
}

bool HeadlessUi::ModelGroupsDialog(const ModelGroupsDialogRequest& request) {
  UiEvent event{UiEvent::Kind::GroupsDialog, {}, request.degreeText};
  event.part = request.checkedMask;
  ModelGroupsDialogRequest played = request;
  played.accept = [&event, &request](int mask, const std::string& degreeText) {
    event.part = mask;
    event.text = degreeText;
    return request.accept ? request.accept(mask, degreeText) : true;
  };
  const bool accepted = groupsHandler_ ? groupsHandler_(played) : played.accept(request.checkedMask, request.degreeText);
  event.answer = accepted ? Answer::Ok : Answer::Cancel;
  Record(std::move(event));
  return accepted;
}

void HeadlessUi::SetCalculationMode(int mode, bool backgroundProcess, bool redrawPreview) {
  UiEvent event{UiEvent::Kind::CalculationMode, {}, {}};
  event.part = mode;
  event.detail = (backgroundProcess ? 1 : 0) | (redrawPreview ? 2 : 0);
  Record(std::move(event));
}

std::optional<std::string> HeadlessUi::ClipboardText() {
  Record(UiEvent{UiEvent::Kind::ClipboardRead, {}, clipboard_.value_or("")});
  return clipboard_;
}

bool HeadlessUi::SetClipboardText(const std::string& text) {
  clipboard_ = text;
  Record(UiEvent{UiEvent::Kind::ClipboardWrite, {}, text});
  return true;
}

}  // namespace platform
