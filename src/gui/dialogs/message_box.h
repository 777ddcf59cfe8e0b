// Message boxes of the Ui: the request's icon and buttons as a QMessageBox,
// and the button pressed as the answer the core expects.
#pragma once

#include <QMessageBox>
#include <memory>

#include "platform/ui.h"

namespace trendolin::gui {

// The box, ready for exec(): plain text, the first button of the set as the
// default (what Enter answers), and Escape on Cancel, No or, in a set with
// neither, the button that closes without acting.
std::unique_ptr<QMessageBox> BuildMessageBox(const platform::MessageBoxRequest& request, QWidget* parent);

// The answer of a box built by BuildMessageBox after exec(). A box closed
// without a button (the window's close box) answers as Escape does.
platform::Answer AnswerOf(const QMessageBox& box, platform::Buttons buttons);

}  // namespace trendolin::gui
