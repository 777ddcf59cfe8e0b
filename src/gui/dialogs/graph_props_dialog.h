// Graph Properties: a graph window's attributes on four pages (X Axis,
// Y Axis, Points and Lines, Overall). Edits go into the window's own record;
// Apply redraws the graph, Cancel puts back the record as it was when the
// dialog opened, and Make Default, Apply to All Graphs and Automatic Axes
// reach beyond the page. One such dialog is open at a time in the program.
#pragma once

#include <QDialog>
#include <QPointer>

#include <optional>

#include "session/graph_properties.h"

class QMenu;
class QPushButton;
class QTabWidget;

namespace trendolin {
class CurveFit;
}

namespace trendolin::gui {

class GraphWindow;
class AxisPage;
class PointsPage;
class OverallPage;

enum GraphPropsPage { kXAxisPage = 0, kYAxisPage, kPointsPage, kOverallPage };

class GraphPropsDialog : public QDialog {
  Q_OBJECT

 public:
  GraphPropsDialog(GraphWindow& owner, trendolin::CurveFit& doc);
  ~GraphPropsDialog() override;

  // Validates the page shown and redraws the graph when the record changed;
  // false (the person back on the refused field) when a value was refused.
  bool Apply();
  void MakeDefault();
  void ApplyToAllGraphs();
  void AutomaticAxes();
  void ShowHelp();
  // The point-type (1..9) or line-style (0..4) choice of the menus.
  void ChoosePointType(int type);
  void ChooseLineStyle(int style);

  bool Applied() const { return applied_; }
  QTabWidget* Pages() const { return pages_; }
  QMenu* PointTypeMenu() const { return pointTypeMenu_; }
  QMenu* LineStyleMenu() const { return lineStyleMenu_; }

 public slots:
  void accept() override;
  void reject() override;
  void done(int result) override;

 protected:
  // The graph window takes no input while its properties are open.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildPages();
  void BuildButtons();
  void BuildMenus();
  void ConnectCommands();
  void FillPages();
  void ShowColours();
  // Reads page `index` into the record; on a refusal the person is put back
  // on the field (the page shown first) with a beep.
  bool ValidatePage(int index);
  void PageChanged(int index);
  void RedrawIfChanged();
  void Release();
  void ChooseColourOf(trendolin::Colour& colour, const QString& title);
  void ChooseFontOf(trendolin::FontSpec& font, const QString& sample);

  QPointer<GraphWindow> owner_;
  trendolin::CurveFit& doc_;
  trendolin::GraphAttr& record_;
  trendolin::GraphAttr saved_;  // the record when the dialog opened (or last made default / applied to all)
  bool applied_ = false;
  bool residual_ = false;
  bool released_ = false;
  int currentPage_ = kXAxisPage;

  QTabWidget* pages_ = nullptr;
  AxisPage* xPage_ = nullptr;
  AxisPage* yPage_ = nullptr;
  PointsPage* pointsPage_ = nullptr;
  OverallPage* overallPage_ = nullptr;
  QPushButton* automaticAxes_ = nullptr;
  QMenu* pointTypeMenu_ = nullptr;
  QMenu* lineStyleMenu_ = nullptr;
};

// Opens the Graph Properties of `window` (not modal: the window itself is
// disabled while they are open). When they are already open for some graph
// the person is told, and the answer is nullptr.
GraphPropsDialog* ShowGraphProperties(GraphWindow& window, trendolin::CurveFit& doc);

}  // namespace trendolin::gui
