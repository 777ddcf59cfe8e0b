// The model information window: the detailed read-out of the fit a graph
// window shows, in pages (coefficients, iteration history, covariance
// matrix, residuals, comments, statistics), each of which copies itself to the
// clipboard as a plain-text report. A modal dialog owned by the graph
// window; one may be open at a time.
#pragma once

#include <QDialog>
#include <QPointer>
#include <memory>
#include <string>

#include "graph/fit_report.h"
#include "graph/graph_attr.h"

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace trendolin {
class CurveFit;
}

namespace trendolin::gui {

class GraphWindow;
class ModelPicture;
class ResidualPlotArea;
class TabStopList;

// The window's commands (its buttons).
enum InfoCommand : int {
  kInfoClose = 1,
  kInfoHelp = 9,
  kInfoShowGraph = 102,
  kInfoCopy = 108,
  kInfoPlotToggle = 1103,
};

inline constexpr const char* kInfoTitle = "Model Information - [%1]";
inline constexpr const char* kResidualWindowTitle = "Residuals - [%1]";
inline constexpr const char* kShowPlotText = "Show Plot >>";
inline constexpr const char* kHidePlotText = "Hide Plot <<";
inline constexpr int kInfoAlreadyOpenCaption = 104;
inline constexpr int kInfoAlreadyOpenText = 105;

// The help topic of each page, in page order.
const char* InfoPageHelpTopic(ReportPage page);

class InfoWindow : public QDialog {
  Q_OBJECT

 public:
  // The window for the fit `owner` shows; `owner` must have a record.
  InfoWindow(trendolin::CurveFit& doc, GraphWindow& owner);
  ~InfoWindow() override;

  // Runs the window until it closes, or, when another one is open already,
  // says so (104/105) and closes at once. The dialog's result.
  int Run();
  // Another information window was open when this one was made.
  bool Refused() const { return refused_; }

  // Acts on a command as its button does.
  void Command(int id);

  ReportPage CurrentPage() const;
  void SetCurrentPage(ReportPage page);
  int PageCount() const;
  QTabWidget* Pages() const { return pages_; }
  // The residual plot in its own graph window (never in the graph queue).
  GraphWindow* ResidualWindow() const { return residualWindow_; }
  const trendolin::GraphAttr& ResidualRecord() const { return *residualRecord_; }
  bool PlotShown() const { return plotShown_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  QWidget* BuildCoefficientsPage();
  QWidget* BuildHistoryPage();
  QWidget* BuildCovariancePage();
  QWidget* BuildResidualsPage();
  QWidget* BuildCommentsPage();
  QWidget* BuildStatisticsPage();
  void BuildButtons();
  void FillHistoryList(QComboBox* chooser, TabStopList* list);
  void PrepareResidualGraph();
  void ToggleResidualWindow();
  void ResidualWindowClosed();
  void ShowOwner();

  trendolin::CurveFit& doc_;
  QPointer<GraphWindow> owner_;
  int modelId_ = 0;
  trendolin::ModelInfoTexts texts_;  // what the pages show, read once
  bool refused_ = false;
  bool plotShown_ = false;
  std::unique_ptr<trendolin::GraphAttr> residualRecord_;
  GraphWindow* residualWindow_ = nullptr;
  QTabWidget* pages_ = nullptr;
  ResidualPlotArea* residualArea_ = nullptr;
  QPushButton* plotToggle_ = nullptr;
};

// Command 103 of `owner`: its fit's information window, run to its end.
void ShowModelInformation(trendolin::CurveFit& doc, GraphWindow& owner);

}  // namespace trendolin::gui
