#include "gui/dialogs/degree_dialog.h"

#include "session/linear_fits_dialogs.h"

namespace trendolin::gui {
namespace {

ValueDialogLook DegreeLook() {
  ValueDialogLook look;
  look.caption = QStringLiteral("Polynomial Degree");
  look.prompt = QStringLiteral(
      "Please specify the degree of the polynomial: at least 3, and less than the number of points minus one.");
  look.fieldLabel = QStringLiteral("&Degree:");
  look.maxChars = kDegreeFieldMaxChars;
  look.helpTopic = kDegreeHelpTopic;
  return look;
}

}  // namespace

DegreeDialog::DegreeDialog(const platform::ValueDialogRequest& request, QWidget* parent)
    : ValueDialog(request, DegreeLook(), parent) {}

}  // namespace trendolin::gui
