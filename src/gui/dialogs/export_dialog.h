// File > Export: the save dialog "Export" with its panel (coefficients and
// statistics check boxes, the fitted model to export, the separator), then
// the export file. Above the options the person may choose to write the
// fitted model as code instead: a C or Python function (with its name), a
// spreadsheet formula or a LaTeX equation. The panel's rules and the files
// are the session's (session/export_file.h, session/model_code_file.h);
// this is their face.
#pragma once

#include <optional>
#include <string>

#include "fit/model_code.h"
#include "gui/dialogs/panel_file_dialog.h"
#include "session/export_file.h"

class QCheckBox;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;

namespace trendolin {
class CurveFit;
}

namespace trendolin::gui {

// The Export command on `doc`: the dialog until the person cancels or a
// model with a result is chosen (no model gives the warning and the dialog
// again), then the file, written whole or not at all.
void RunExportCommand(QWidget* parent, trendolin::CurveFit& doc);

class ExportDialog : public PanelFileDialog {
  Q_OBJECT

 public:
  // The panel starts from `options`; `initialPath` fills the file-name field.
  ExportDialog(trendolin::CurveFit& doc, const trendolin::ExportOptions& options, const QString& initialPath,
               QWidget* parent = nullptr);

  // The options as the panel holds them (the check boxes as read at OK).
  const trendolin::ExportOptions& Options() const { return options_; }

  QCheckBox* CoefficientsBox() const { return coefficients_; }
  QCheckBox* StatisticsBox() const { return statistics_; }
  QPushButton* ModelButton() const { return modelButton_; }
  QLabel* ModelText() const { return modelText_; }
  SeparatorButton* Separator() const { return separator_; }
  // What is written: the export file, or the model as code.
  QComboBox* KindBox() const { return kind_; }
  // The C or Python function's name; it follows the chosen model until the
  // person types in it.
  QLineEdit* NameField() const { return name_; }

  // Chooses a model as its entry in the model menu does.
  void ChooseModel(int model);
  // Chooses what is written: nullopt for the export file. A non-empty
  // `name` is taken as typed.
  void ChooseKind(std::optional<trendolin::CodeLanguage> language, const QString& name = {});

  // The language of the code, or nullopt for the export file.
  std::optional<trendolin::CodeLanguage> Language() const;
  std::string FunctionName() const;

 protected:
  bool AcceptPanel() override;

 private:
  void BuildPanel();
  void BuildKindRow(QHBoxLayout* row);
  void KindChanged();

  trendolin::CurveFit& doc_;
  trendolin::ExportOptions options_;
  QCheckBox* coefficients_ = nullptr;
  QCheckBox* statistics_ = nullptr;
  QPushButton* modelButton_ = nullptr;
  QLabel* modelText_ = nullptr;
  SeparatorButton* separator_ = nullptr;
  QComboBox* kind_ = nullptr;
  QLabel* nameLabel_ = nullptr;
  QLineEdit* name_ = nullptr;
  QString suffix_;  // the default extension of the kind shown
};

}  // namespace trendolin::gui
