// The initial-guess dialog of a nonlinear fit: the model's parameters and
// their starting values, edited one at a time in the edit box, with an
// optional test graph that draws the model with the values as they stand.
#pragma once

#include <QDialog>
#include <functional>
#include <vector>

#include "precision/datatype.h"

class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace trendolin::gui {

// Makes the test graph of the initial-guess dialog: a widget that draws the
// model `testModelId` (the negative model id) with the test coefficients
// and repaints on update(). The dialog takes it as its own window, titles
// it, shows and hides it, and destroys it with itself.
using GuessTestGraphFactory = std::function<QWidget*(int testModelId)>;

// The name the dialog gives model `modelId` (the current polynomial degree
// goes into the polynomial's name).
QString GuessDialogModelName(int modelId);

class GuessDialog : public QDialog {
  Q_OBJECT

 public:
  GuessDialog(int modelId, int m, const datatype* guesses, GuessTestGraphFactory testGraph = {},
              QWidget* parent = nullptr);
  ~GuessDialog() override;

  // The values confirmed by OK (before that, the values the dialog opened with).
  const std::vector<datatype>& Guesses() const { return guesses_; }
  int SelectedParameter() const;
  // Parameter `index` selected in the list: the edit box is committed to the
  // previous one first, as a click in the list does.
  void SelectParameter(int index);
  // What the value list shows for parameter `index`.
  QString ValueText(int index) const;
  // The edit box's value goes to the selected parameter and the test graph.
  void Commit();
  bool TestGraphShown() const;

  void accept() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ShowParameter(int index);
  bool FilterListKey(QKeyEvent* key);
  void ToggleTestGraph();
  void SyncPlotButton();

  int modelId_;
  std::vector<datatype> guesses_;
  GuessTestGraphFactory testGraphFactory_;
  QWidget* testGraph_ = nullptr;
  QTableWidget* list_;
  QLineEdit* edit_;
  QPushButton* plotButton_;
  int shownParameter_ = 0;  // the parameter the edit box belongs to
  bool choosing_ = false;   // a selection made by the dialog itself: no commit
};

}  // namespace trendolin::gui
