// The polynomial degree dialog: the degree of the nth-order polynomial fit.
#pragma once

#include "gui/dialogs/value_dialog.h"

namespace trendolin::gui {

class DegreeDialog : public ValueDialog {
  Q_OBJECT

 public:
  explicit DegreeDialog(const platform::ValueDialogRequest& request, QWidget* parent = nullptr);
};

}  // namespace trendolin::gui
