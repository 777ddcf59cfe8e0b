// The residuals of a fit on the information window's Residuals page: a small
// residual plot drawn in the page, and the record the residual graph window
// shows.
#pragma once

#include <QWidget>
#include <memory>

#include "graph/graph_attr.h"

namespace trendolin {
class CurveFit;
}

namespace trendolin::gui {

inline constexpr const char* kResidualPlotFailed = "An error has occurred while drawing the residual plot.";

// The residual plot's record: the owner's drawing attributes without the
// header and the logarithmic axes, titled "Residuals", and axes chosen for
// the residuals. When those cannot be had (the fit cannot be evaluated) the
// record stays as copied, the failure is logged ("EX: ResidPage_OnInit_1")
// and its plot shows why when drawn.
std::unique_ptr<trendolin::GraphAttr> MakeResidualRecord(trendolin::CurveFit& doc, const trendolin::GraphAttr& owner);

// The page's plot area: the residual plot drawn into it with the title at
// seven tenths of its size, or a note when it cannot be drawn.
class ResidualPlotArea : public QWidget {
  Q_OBJECT

 public:
  ResidualPlotArea(trendolin::CurveFit& doc, trendolin::GraphAttr& record, QWidget* parent);

  // Whether the last paint drew the note instead of the plot.
  bool Failed() const { return failed_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  trendolin::CurveFit& doc_;
  trendolin::GraphAttr& record_;
  bool failed_ = false;
};

}  // namespace trendolin::gui
