// The tension dialog of the tension spline: one positive number, with arrows
// that walk through the powers of two.
#pragma once

#include "gui/dialogs/value_dialog.h"

namespace trendolin::gui {

class SplineTensionDialog : public ValueDialog {
  Q_OBJECT

 public:
  explicit SplineTensionDialog(const platform::ValueDialogRequest& request, QWidget* parent = nullptr);
};

}  // namespace trendolin::gui
