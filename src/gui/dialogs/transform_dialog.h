// The Transform dialog of the Data menu: which column, which function, and
// the exponent of "x^a". OK lets through only a choice the transform can use.
#pragma once

#include <QDialog>
#include <optional>

#include "session/transform.h"

class QLineEdit;
class QListWidget;
class QRadioButton;

namespace trendolin::gui {

class TransformDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TransformDialog(QWidget* parent = nullptr);

  // The choice OK took; nullopt before that.
  const std::optional<TransformChoice>& Choice() const { return choice_; }

  void accept() override;

 private:
  TransformFields Fields() const;

  QListWidget* functions_;
  QRadioButton* xColumn_;
  QRadioButton* yColumn_;
  QLineEdit* exponent_;
  std::optional<TransformChoice> choice_;
};

// The Transform command: the dialog, then the transform of the data set.
// True when the data were changed.
bool RunTransformCommand(QWidget* parent, CurveFit& doc);

}  // namespace trendolin::gui
