#include "gui/main_client_area.h"

#include <QPainter>
#include <qdrawutil.h>

namespace trendolin::gui {

void MainClientArea::SetLayout(const MainLayout& layout, int offsetY) {
  layout_ = layout;
  offsetY_ = offsetY;
  update();
}

QRect MainClientArea::Local(const Rect& r) const {
  return QRect(r.left, r.top - offsetY_, r.Width(), r.Height());
}

void MainClientArea::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QPalette& pal = palette();
  painter.fillRect(rect(), pal.button());

  // The separator under the toolbar: a shadow line with a highlight below it.
  painter.setPen(pal.color(QPalette::Dark));
  painter.drawLine(0, 0, width(), 0);
  painter.setPen(pal.color(QPalette::Light));
  painter.drawLine(0, 1, width(), 1);

  // The headers of the results list, raised, their text centred.
  painter.setFont(font());
  auto header = [&](const Rect& r, const QString& text) {
    const QRect box = Local(r);
    if (box.width() <= 0 || box.height() <= 0) return;
    qDrawShadePanel(&painter, box, pal, false, 1, &pal.brush(QPalette::Button));
    painter.setPen(pal.color(QPalette::ButtonText));
    painter.drawText(box, Qt::AlignCenter | Qt::TextSingleLine, text);
  };
  header(layout_.rankHeader, QStringLiteral("Rank"));
  header(layout_.regressionHeader, QStringLiteral("Regression"));

  // The sunken border round the list.
  const QRect border = Local(layout_.listBorder);
  if (border.width() > 0 && border.height() > 0) qDrawShadePanel(&painter, border, pal, true, 1);
}

}  // namespace trendolin::gui
