#include "gui/dialogs/message_box.h"

#include <QAbstractButton>

#include "gui/dialogs/dialog_kit.h"

namespace trendolin::gui {
namespace {

using platform::Answer;
using platform::Buttons;

QMessageBox::Icon IconOf(platform::Icon icon) {
  switch (icon) {
    case platform::Icon::None: return QMessageBox::NoIcon;
    case platform::Icon::Information: return QMessageBox::Information;
    case platform::Icon::Exclamation: return QMessageBox::Warning;
    case platform::Icon::Error: return QMessageBox::Critical;
    case platform::Icon::Question: return QMessageBox::Question;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ButtonsOf(Buttons buttons) {
  switch (buttons) {
    case Buttons::Ok: return QMessageBox::Ok;
    case Buttons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case Buttons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case Buttons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case Buttons::RetryCancel: return QMessageBox::Retry | QMessageBox::Cancel;
    case Buttons::AbortRetryIgnore: return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
  }
  return QMessageBox::Ok;
}

QMessageBox::StandardButton ButtonOf(Answer answer) {
  switch (answer) {
    case Answer::Ok: return QMessageBox::Ok;
    case Answer::Cancel: return QMessageBox::Cancel;
    case Answer::Abort: return QMessageBox::Abort;
    case Answer::Retry: return QMessageBox::Retry;
    case Answer::Ignore: return QMessageBox::Ignore;
    case Answer::Yes: return QMessageBox::Yes;
    case Answer::No: return QMessageBox::No;
  }
  return QMessageBox::Ok;
}

// What Escape answers: the set's way out.
Answer EscapeAnswer(Buttons buttons) {
  switch (buttons) {
    case Buttons::Ok: return Answer::Ok;
    case Buttons::YesNo: return Answer::No;
    case Buttons::AbortRetryIgnore: return Answer::Abort;
    case Buttons::OkCancel:
    case Buttons::YesNoCancel:
    case Buttons::RetryCancel: return Answer::Cancel;
  }
  return Answer::Cancel;
}

}  // namespace

std::unique_ptr<QMessageBox> BuildMessageBox(const platform::MessageBoxRequest& request, QWidget* parent) {
  auto box = std::make_unique<QMessageBox>(IconOf(request.icon), FromUtf8(request.caption), FromUtf8(request.text),
                                           ButtonsOf(request.buttons), parent);
  box->setTextFormat(Qt::PlainText);
  box->setWindowModality(Qt::ApplicationModal);
  box->setDefaultButton(ButtonOf(platform::DefaultAnswer(request.buttons)));
  box->setEscapeButton(ButtonOf(EscapeAnswer(request.buttons)));
  return box;
}

Answer AnswerOf(const QMessageBox& box, Buttons buttons) {
  const QAbstractButton* clicked = box.clickedButton();
  if (!clicked) return EscapeAnswer(buttons);
  switch (box.standardButton(const_cast<QAbstractButton*>(clicked))) {
    case QMessageBox::Ok: return Answer::Ok;
    case QMessageBox::Cancel: return Answer::Cancel;
    case QMessageBox::Abort: return Answer::Abort;
    case QMessageBox::Retry: return Answer::Retry;
    case QMessageBox::Ignore: return Answer::Ignore;
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return EscapeAnswer(buttons);
  }
}

}  // namespace trendolin::gui
