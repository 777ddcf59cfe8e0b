// The Manipulate dialog of the Data menu: scaling, translation, clipping and
// sorting pages, and the button that swaps x and y. OK applies the page in
// front and leaves the dialog open for the next change; Cancel closes it.
#pragma once

#include <QDialog>

#include "session/manipulation.h"

class QCheckBox;
class QDialogButtonBox;
class QLineEdit;
class QRadioButton;
class QTabWidget;

namespace trendolin::gui {

class ManipulateDialog : public QDialog {
  Q_OBJECT

 public:
  // `grid` (may be null) is told the new row count after a clipping. The
  // dialog is modal: while a clipping or a sort runs, the other windows
  // take no input, and its own buttons and close box are refused too.
  ManipulateDialog(CurveFit& doc, DataGridSink* grid, QWidget* parent = nullptr);

  // OK: applies the current page; the dialog stays open.
  void accept() override;
  // Cancel: closes, except while an operation runs.
  void reject() override;

  // The fields as the pages show them now.
  ManipulationFields Fields() const;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  QWidget* BuildScalingPage();
  QWidget* BuildTranslationPage();
  QWidget* BuildClippingPage();
  QWidget* BuildSortingPage();
  void Swap();
  void SetWorking(bool working);
  // A refused number field: focus on it with its bad part selected.
  void SelectBadField(const ApplyResult& result);
  void FollowDataInClippingFields();

  CurveFit& doc_;
  DataGridSink* grid_;
  QString caption_;
  bool working_ = false;

  QTabWidget* tabs_;
  QDialogButtonBox* buttons_;
  QCheckBox* scaleX_;
  QLineEdit* xFactor_;
  QCheckBox* scaleY_;
  QLineEdit* yFactor_;
  QCheckBox* translateX_;
  QLineEdit* xOffset_;
  QCheckBox* translateY_;
  QLineEdit* yOffset_;
  QLineEdit* clipXMin_;
  QLineEdit* clipXMax_;
  QLineEdit* clipYMin_;
  QLineEdit* clipYMax_;
  QRadioButton* sortByX_;
  QRadioButton* sortByY_;
};

}  // namespace trendolin::gui
