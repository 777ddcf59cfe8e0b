// The import-options dialog: which columns of a data file become x, y and
// the uncertainties, or whether x is generated. OK lets through only options
// that describe one of the shapes the data set can take.
#pragma once

#include <QDialog>

#include "platform/import_options.h"
#include "precision/datatype.h"

class QCheckBox;
class QLabel;
class QLineEdit;

namespace trendolin::gui {

class ImportDialog : public QDialog {
  Q_OBJECT

 public:
  explicit ImportDialog(const ImportOptions& options, QWidget* parent = nullptr);

  // The options as confirmed by OK (before that, as the dialog opened).
  const ImportOptions& Options() const { return options_; }

  void accept() override;

 private:
  void Recompute();
  // Reads a number field; on a bad text the field gets the focus with the
  // bad part selected, a beep sounds, and false is answered.
  bool ReadNumber(QLineEdit* field, datatype& value);
  bool ReadInteger(QLineEdit* field, int& value);

  ImportOptions options_;
  QLineEdit* firstColumn_;
  QLineEdit* columnsToRead_;
  QLineEdit* xStart_;
  QLineEdit* xIncrement_;
  QCheckBox* generateX_;
  QCheckBox* uncertainty_;
  QCheckBox* showNextTime_;
  QLabel* independent_;
  QLabel* dependent_;
  QLabel* dataSetColumns_;
  QLabel* uncertaintyAnswer_;
};

}  // namespace trendolin::gui
