// File > Export: the save dialog "Export" with its panel (coefficients and
// statistics check boxes, the fitted model to export, the separator), then
// the export file. The panel's rules and the file are the session's
// (session/export_file.h); this is their face.
#pragma once

#include <string>

#include "gui/dialogs/panel_file_dialog.h"
#include "session/export_file.h"

class QCheckBox;
class QHBoxLayout;
class QLabel;

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
  // An empty row at the top of the panel, for a choice of what is exported.
  QHBoxLayout* KindRow() const { return kindRow_; }

  // Chooses a model as its entry in the model menu does.
  void ChooseModel(int model);

 protected:
  bool AcceptPanel() override;

 private:
  void BuildPanel();

  trendolin::CurveFit& doc_;
  trendolin::ExportOptions options_;
  QCheckBox* coefficients_ = nullptr;
  QCheckBox* statistics_ = nullptr;
  QPushButton* modelButton_ = nullptr;
  QLabel* modelText_ = nullptr;
  SeparatorButton* separator_ = nullptr;
  QHBoxLayout* kindRow_ = nullptr;
};

}  // namespace trendolin::gui
