#include "gui/dialogs/spline_tension_dialog.h"

#include "session/linear_fits_dialogs.h"

namespace trendolin::gui {
namespace {

ValueDialogLook TensionLook() {
  ValueDialogLook look;
  look.caption = QString::fromUtf8(kTensionCaption);
  look.prompt = QString::fromUtf8(kTensionPrompt);
  look.fieldLabel = QStringLiteral("&Tension:");
  look.maxChars = kTensionFieldMaxChars;
  look.helpTopic = kTensionHelpTopic;
  return look;
}

}  // namespace

SplineTensionDialog::SplineTensionDialog(const platform::ValueDialogRequest& request, QWidget* parent)
    : ValueDialog(request, TensionLook(), parent) {}

}  // namespace trendolin::gui
