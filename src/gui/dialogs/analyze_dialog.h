// The Analyze dialog of a graph window: y at x, x at y, the derivative, the
// integral and the arc length of the fit the window shows, one page each.
// The pages' rules (reading the fields, the calculation, the texts shown
// afterwards, where the focus goes) are the session's; this is their face.
#pragma once

#include <QDialog>
#include <map>
#include <string>

#include "precision/datatype.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace trendolin {
class CurveFit;
struct AnalyzeOutcome;
}  // namespace trendolin

namespace trendolin::gui {

// Opens the Analyze dialog, modal and owned by `parent` (the graph window),
// on the fit of model `modelId`, and returns when the person closes it. The
// defaults come from the x axis of the model's graph as it is drawn now.
void ShowAnalyzeDialog(QWidget* parent, trendolin::CurveFit& doc, int modelId);

class AnalyzeDialog : public QDialog {
  Q_OBJECT

 public:
  // `windowTitle` is the owner graph window's title; the x axis from
  // `xAxisMin` to `xAxisMax` gives the fields their first texts.
  AnalyzeDialog(trendolin::CurveFit& doc, int modelId, const std::string& windowTitle, datatype xAxisMin,
                datatype xAxisMax, QWidget* parent = nullptr);

  QTabWidget* Pages() const { return pages_; }
  // An input or result field by its control number (1104, 1201 ...), or
  // nullptr. Also found by the name "field<number>".
  QLineEdit* Field(int control) const;
  // The warning line of the integral (4901) or the arc length (1014).
  QLabel* Warning(int control) const;
  QPushButton* CalculateButton() const { return calculate_; }
  // An integral or an arc length is running (the dialog is disabled).
  bool Calculating() const { return calculating_; }

  // The calculate button: the page that is showing, with its fields as they stand.
  void Calculate();

  // Close, Escape and the close box: not while a calculation runs, which
  // pumps events and would come back to a dialog that is gone.
  void reject() override;

 private:
  QWidget* BuildPage(int page);
  QLineEdit* AddField(QWidget* page, int control, bool input);
  QLabel* AddWarning(QWidget* page, int control);
  void SetBusy(int page, bool busy);
  void ShowOutcome(int page, const trendolin::AnalyzeOutcome& outcome);
  void ShowHelp();

  trendolin::CurveFit& doc_;
  int modelId_;
  QTabWidget* pages_ = nullptr;
  QPushButton* calculate_ = nullptr;
  std::map<int, QLineEdit*> fields_;
  std::map<int, QLabel*> warnings_;
  bool calculating_ = false;
};

}  // namespace trendolin::gui
