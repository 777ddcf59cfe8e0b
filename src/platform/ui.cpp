// The installed Ui and the helpers every caller of it shares.
#include "platform/ui.h"

#include "platform/headless_ui.h"
#include "platform/resource_strings.h"

namespace platform {
namespace {

// The Ui of the session this thread works for. Null means the quiet default
// below answers.
thread_local Ui* installedUi = nullptr;

Ui& QuietDefaultUi() {
  thread_local HeadlessUi quiet(HeadlessUi::Mode::Unattended);
  return quiet;
}

}  // namespace

Answer DefaultAnswer(Buttons buttons) {
  switch (buttons) {
    case Buttons::Ok:
    case Buttons::OkCancel: return Answer::Ok;
    case Buttons::YesNo:
    case Buttons::YesNoCancel: return Answer::Yes;
    case Buttons::RetryCancel: return Answer::Retry;
    case Buttons::AbortRetryIgnore: return Answer::Abort;
  }
  return Answer::Ok;
}

bool IsAnswerOf(Buttons buttons, Answer answer) {
  switch (buttons) {
    case Buttons::Ok: return answer == Answer::Ok;
    case Buttons::OkCancel: return answer == Answer::Ok || answer == Answer::Cancel;
    case Buttons::YesNo: return answer == Answer::Yes || answer == Answer::No;
    case Buttons::YesNoCancel:
      return answer == Answer::Yes || answer == Answer::No || answer == Answer::Cancel;
    case Buttons::RetryCancel: return answer == Answer::Retry || answer == Answer::Cancel;
    case Buttons::AbortRetryIgnore:
      return answer == Answer::Abort || answer == Answer::Retry || answer == Answer::Ignore;
  }
  return false;
}

Ui& CurrentUi() { return installedUi ? *installedUi : QuietDefaultUi(); }

Ui* InstallUi(Ui* ui) {
  Ui* previous = installedUi;
  installedUi = ui;
  return previous;
}

Answer ResourceMessageBox(int captionId, int textId, Icon icon, Buttons buttons,
                          std::optional<Answer> unattendedAnswer) {
  MessageBoxRequest request;
  request.caption = std::string(ResourceString(captionId));
  request.text = std::string(ResourceString(textId));
  request.icon = icon;
  request.buttons = buttons;
  request.unattendedAnswer = unattendedAnswer;
  return CurrentUi().MessageBox(request);
}

void TellUser(const std::string& caption, const std::string& text, Icon icon) {
  MessageBoxRequest request;
  request.caption = caption;
  request.text = text;
  request.icon = icon;
  CurrentUi().MessageBox(request);
}

}  // namespace platform
