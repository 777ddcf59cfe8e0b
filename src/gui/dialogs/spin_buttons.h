// An up-down arrow pair that belongs to a text field: each step moves a
// position through its range and writes the position's text into the field.
// The field stays free text (a tension such as "0.50000000" is no integer),
// so the dialog's own rules, not a validator, decide what OK takes.
#pragma once

#include <QWidget>
#include <functional>
#include <string>

class QLineEdit;
class QToolButton;

namespace trendolin::gui {

class SpinButtons : public QWidget {
  Q_OBJECT

 public:
  // Without `spinText` the position is written in decimals, and a step
  // starts from the number typed in the field when there is one, so the
  // arrows carry on from what the person typed. The Up and Down keys in the
  // field step as well.
  SpinButtons(QLineEdit* field, int lower, int upper, int position,
              std::function<std::string(int)> spinText = {}, QWidget* parent = nullptr);

  int Position() const { return position_; }
  int Lower() const { return lower_; }
  int Upper() const { return upper_; }
  // One press of an arrow: +1 up, -1 down.
  void Step(int delta);

 signals:
  void stepped(int position);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  int Clamp(int value) const;

  QLineEdit* field_;
  int lower_;
  int upper_;
  int position_;
  std::function<std::string(int)> spinText_;
  QToolButton* up_;
  QToolButton* down_;
};

}  // namespace trendolin::gui
