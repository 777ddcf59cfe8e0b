// The Residuals page: its plot area, and the residual graph window that the
// toggle button shows and hides.
#include "gui/info_residuals.h"

#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "fit/model_desc.h"
#include "graph/plot_renderer.h"
#include "gui/graph_window.h"
#include "gui/info_window.h"
#include "precision/errors.h"
#include "graph/system_colours.h"
#include "render_qt/qt_surface.h"

namespace trendolin::gui {

std::unique_ptr<GraphAttr> MakeResidualRecord(CurveFit& doc, const GraphAttr& owner) {
  auto record = std::make_unique<GraphAttr>();
  CopyGraphAttr(*record, owner);
  record->SetSwitch(kSwDrawHeader, false);
  record->SetSwitch(kSwLogX, false);
  record->SetSwitch(kSwLogY, false);
  record->plotKind = PlotKind::Residual;
  record->title = "Residuals";
  record->modelId = owner.modelId;
  try {
    ClearErrorInfo();
    AutomaticAxes(*record, doc);
  } catch (const errnotify&) {
    LogExceptionMarker("ResidPage_OnInit_1");
  }
  return record;
}

ResidualPlotArea::ResidualPlotArea(CurveFit& doc, GraphAttr& record, QWidget* parent)
    : QWidget(parent), doc_(doc), record_(record) {
  setObjectName(QStringLiteral("residualPlot"));
  setAttribute(Qt::WA_OpaquePaintEvent, true);
  setMinimumSize(200, 150);
}

void ResidualPlotArea::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), QColor(RedOf(record_.windowFill), GreenOf(record_.windowFill), BlueOf(record_.windowFill)));
  // The small plot takes a smaller title; the record is the residual
  // window's too, which keeps its own title size and the plot rectangle its
  // zoom works on.
  const int titleSize = record_.titleFont.size;
  const Rect plotRect = record_.plotRect;
  record_.titleFont.size = titleSize * 7 / 10;
  failed_ = false;
  {
    QtSurface surface(painter, false);
    try {
      ClearErrorInfo();
      const ModelDesc desc = DescriptorOf(doc_, record_.modelId);
      Render(surface, record_, MakePlotMetrics(record_, 1.0f, 1.0f), Rect{0, 0, width(), height()}, desc,
             kRenderScreen, ScreenUiMetrics());
    } catch (const errnotify&) {
      LogExceptionMarker("AllPages_OnDrawItem_1");
      failed_ = true;
    }
  }
  record_.titleFont.size = titleSize;
  record_.plotRect = plotRect;
  if (!failed_) return;
  painter.fillRect(rect(), Qt::white);
  painter.setPen(Qt::black);
  // Centred on a box reaching a third of the height above the area: the
  // note sits a third of the way down.
  const QRect box = rect().adjusted(0, -height() / 3, 0, 0);
  painter.drawText(box, Qt::AlignCenter | Qt::TextWordWrap, QString::fromUtf8(kResidualPlotFailed));
}

// ---- the page and the residual graph window ----

void InfoWindow::PrepareResidualGraph() {
  residualRecord_ = MakeResidualRecord(doc_, *owner_->Record());
  residualWindow_ = new GraphWindow(doc_, *residualRecord_, QString::fromUtf8(kResidualWindowTitle).arg(owner_->windowTitle()), this);
  residualWindow_->SetMainWindow(owner_->MainWindow());
  connect(residualWindow_, &GraphWindow::closed, this, [this] { ResidualWindowClosed(); });
}

QWidget* InfoWindow::BuildResidualsPage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  residualArea_ = new ResidualPlotArea(doc_, *residualRecord_, page);
  layout->addWidget(residualArea_, 1);
  plotToggle_ = new QPushButton(QString::fromUtf8(kShowPlotText), page);
  plotToggle_->setObjectName(QStringLiteral("plotToggle"));
  plotToggle_->setAutoDefault(false);
  connect(plotToggle_, &QPushButton::clicked, this, [this] { Command(kInfoPlotToggle); });
  layout->addWidget(plotToggle_, 0, Qt::AlignRight);
  // A pan or zoom in the window shows in the page's plot as well.
  connect(residualWindow_, &GraphWindow::refreshed, residualArea_, [this] { residualArea_->update(); });
  return page;
}

void InfoWindow::ToggleResidualWindow() {
  if (plotShown_) {
    residualWindow_->hide();
    plotToggle_->setText(QString::fromUtf8(kShowPlotText));
    plotShown_ = false;
  } else {
    residualWindow_->showNormal();
    residualWindow_->raise();
    residualWindow_->activateWindow();
    plotToggle_->setText(QString::fromUtf8(kHidePlotText));
    plotShown_ = true;
  }
}

void InfoWindow::ResidualWindowClosed() {
  plotToggle_->setText(QString::fromUtf8(kShowPlotText));
  residualArea_->update();
  plotShown_ = false;
}

}  // namespace trendolin::gui
