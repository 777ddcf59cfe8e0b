// The preview area: off-screen painting through the shared preview painter,
// and its popup menu of preview switches.
#include "gui/preview_widget.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

#include "app/app_settings.h"
#include "app/settings_location.h"
#include "graph/preview.h"
#include "graph/system_colours.h"
#include "gui/graph_picture.h"
#include "gui/graph_window.h"
#include "gui/help_viewer.h"
#include "render_qt/qt_surface.h"
#include "session/session.h"

namespace trendolin::gui {
namespace {

constexpr const char* kPreviewHelpTopic = "graphpreviewarea.html";

QColor ButtonFace() {
  return QColor(RedOf(kSystemButtonFace), GreenOf(kSystemButtonFace), BlueOf(kSystemButtonFace));
}

}  // namespace

PreviewWidget::PreviewWidget(CurveFit& doc, QWidget* parent) : QWidget(parent), doc_(doc) {
  // Every paint covers the whole area from the picture.
  setAttribute(Qt::WA_OpaquePaintEvent, true);
  BuildMenu();
}

void PreviewWidget::BuildMenu() {
  menu_ = new QMenu(this);
  menu_->setObjectName(QStringLiteral("GMenu2"));
  auto add = [this](int id, const char* label) {
    QAction* action = menu_->addAction(QString::fromUtf8(label));
    action->setData(id);
    connect(action, &QAction::triggered, this, [this, id] { Command(id); });
    return action;
  };
  enableAction_ = add(kPreviewEnable, "Enable Preview");
  enableAction_->setCheckable(true);
  animateAction_ = add(kPreviewAnimate, "Enable Animation");
  animateAction_->setCheckable(true);
  menu_->addSeparator();
  add(kPreviewOpen, "Open Plot...");
  add(kPreviewHelp, "Help...");
  connect(menu_, &QMenu::aboutToShow, this, [this] {
    enableAction_->setChecked(CurrentSession().settings.IsOn(kFlagEnableThumb));
    animateAction_->setChecked(CurrentSession().settings.IsOn(kFlagAnimatePlot));
  });
}

void PreviewWidget::SetSelectedItemSource(std::function<std::optional<int>()> source) {
  selectedItem_ = std::move(source);
  update();
}

void PreviewWidget::Animate(int modelId) {
  animatedModel_ = modelId;
  repaint();
  animatedModel_ = 0;
}

void PreviewWidget::Refresh() {
  profile_.reset();
  update();
}

void PreviewWidget::Command(int id) {
  switch (id) {
    case kPreviewEnable:
      CurrentSession().settings.SetFlag(kFlagEnableThumb, !CurrentSession().settings.IsOn(kFlagEnableThumb));
      update();
      break;
    case kPreviewAnimate:
      CurrentSession().settings.SetFlag(kFlagAnimatePlot, !CurrentSession().settings.IsOn(kFlagAnimatePlot));
      if (!CurrentSession().settings.IsOn(kFlagAnimatePlot)) {
        animatedModel_ = 0;
        update();
      }
      break;
    case kPreviewOpen: emit openRequested(); break;
    case kPreviewHelp: ShowHelp(kPreviewHelpTopic); break;
    default: break;
  }
}

const platform::ProfileFile& PreviewWidget::Profile() {
  if (!profile_) profile_ = platform::ProfileFile::Load(CurrentSession().iniFile);
  return *profile_;
}

void PreviewWidget::paintEvent(QPaintEvent*) {
  const std::optional<int> selected = selectedItem_ ? selectedItem_() : std::nullopt;
  const int model = PreviewModel(animatedModel_, selected);
  lastPainted_ = model;
  QPainter painter(this);
  if (model == kPreviewNothing) {
    painter.fillRect(rect(), ButtonFace());
    return;
  }
  const bool enabled = CurrentSession().settings.IsOn(kFlagEnableThumb);
  const Rect client{0, 0, width(), height()};
  auto paintLayers = [&](QImage& picture, int layers) {
    QPainter offScreen(&picture);
    QtSurface surface(offScreen, false);
    PaintPreview(surface, client, Profile(), doc_, model, enabled, ScreenUiMetrics(), layers);
  };
  if (animatedModel_ == 0 || !enabled) {
    animationBase_ = QImage();
    QImage picture = ScreenImage(size(), devicePixelRatioF(), logicalDpiY(), ButtonFace());
    if (picture.isNull()) return;
    paintLayers(picture, 0);
    painter.drawImage(0, 0, picture);
    return;
  }
  const QSize pixels = size() * devicePixelRatioF();
  if (animationBase_.isNull() || animationBaseModel_ != model || animationBase_.size() != pixels) {
    animationBase_ = ScreenImage(size(), devicePixelRatioF(), logicalDpiY(), ButtonFace());
    if (animationBase_.isNull()) return;
    animationBaseModel_ = model;
    paintLayers(animationBase_, kRenderWithoutCurve);
  }
  QImage frame = animationBase_.copy();
  paintLayers(frame, kRenderCurveOnly);
  painter.drawImage(0, 0, frame);
}

void PreviewWidget::contextMenuEvent(QContextMenuEvent* event) {
  // Taken here: an event left unaccepted goes on to the main window, which
  // would open its File menu over this one.
  menu_->popup(event->globalPos());
  event->accept();
}

void PreviewWidget::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    emit openRequested();
    return;
  }
  QWidget::mouseDoubleClickEvent(event);
}

}  // namespace trendolin::gui
