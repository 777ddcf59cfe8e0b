// The name under which the user model dialog stores a formula.
#pragma once

#include <QDialog>
#include <string>

class QLineEdit;

namespace trendolin::gui {

class ModelNameDialog : public QDialog {
  Q_OBJECT

 public:
  explicit ModelNameDialog(QWidget* parent = nullptr);

  QLineEdit* Field() const { return field_; }
  // The name OK took.
  const std::string& Name() const { return name_; }

  // A name with a comma is refused (the library separates name and formula
  // by the first comma) and the dialog stays.
  void accept() override;

 private:
  QLineEdit* field_;
  std::string name_;
};

}  // namespace trendolin::gui
