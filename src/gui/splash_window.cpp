#include "gui/splash_window.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <qdrawutil.h>

#include "data/curve_fit.h"

namespace trendolin::gui {

SplashWindow::SplashWindow() : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setObjectName(QStringLiteral("RevuzIplash"));
  setAttribute(Qt::WA_DeleteOnClose);
  setFixedSize(kSplashWidth, kSplashHeight);
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->geometry();
    move(area.center() - QPoint(kSplashWidth / 2, kSplashHeight / 2));
  }
}

void SplashWindow::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const QPalette& pal = palette();
  p.fillRect(rect(), pal.button());

  // A fitted curve through scattered points, the program's own picture.
  const QRectF plot(24, 64, 170, 110);
  p.setPen(QPen(pal.color(QPalette::Dark), 1));
  p.drawLine(plot.bottomLeft(), plot.bottomRight());
  p.drawLine(plot.bottomLeft(), plot.topLeft());
  QPainterPath curve;
  for (int i = 0; i <= 60; ++i) {
    const double t = i / 60.0;
    const double y = 1.0 / (1.0 + std::exp(-10.0 * (t - 0.5)));
    const QPointF pt(plot.left() + t * plot.width(), plot.bottom() - y * plot.height() * 0.9);
    if (i == 0) {
      curve.moveTo(pt);
    } else {
      curve.lineTo(pt);
    }
  }
  p.setPen(QPen(QColor(200, 40, 40), 2));
  p.drawPath(curve);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(30, 90, 200));
  const double noise[] = {0.03, -0.04, 0.05, -0.02, 0.04, -0.05, 0.02, 0.03, -0.03, 0.01};
  for (int i = 0; i < 10; ++i) {
    const double t = (i + 0.5) / 10.0;
    const double y = 1.0 / (1.0 + std::exp(-10.0 * (t - 0.5))) + noise[i];
    p.drawEllipse(QPointF(plot.left() + t * plot.width(), plot.bottom() - y * plot.height() * 0.9), 3, 3);
  }

  QFont title = font();
  title.setPixelSize(30);
  title.setBold(true);
  p.setFont(title);
  p.setPen(pal.color(QPalette::ButtonText));
  p.drawText(QRect(24, 14, kSplashWidth - 48, 40), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Trendolin"));
  QFont text = font();
  text.setPixelSize(13);
  p.setFont(text);
  p.drawText(QRect(210, 70, kSplashWidth - 224, 100), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
             QStringLiteral("Curve fitting workstation\n\nVersion %1\n\nStarting...").arg(QString::fromUtf8(kAppVersion)));

  qDrawShadePanel(&p, rect(), pal, false, 2);
}

}  // namespace trendolin::gui
