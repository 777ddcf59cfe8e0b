#include "gui/toolbar_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <cmath>
#include <functional>

namespace trendolin::gui {
namespace {

// Every picture is drawn on a 16 x 16 grid, at twice the size for sharp
// scaling on dense screens.
using Drawing = std::function<void(QPainter&)>;

const QColor kInk(40, 40, 40);
const QColor kPaper(255, 255, 255);
const QColor kBlue(30, 90, 200);
const QColor kRed(200, 40, 40);
const QColor kGreen(20, 140, 50);
const QColor kYellow(240, 200, 80);

QPen Pen(const QColor& colour, qreal width = 1.0) {
  QPen pen(colour, width);
  pen.setCapStyle(Qt::RoundCap);
  pen.setJoinStyle(Qt::RoundJoin);
  return pen;
}

void Page(QPainter& p, qreal x, qreal y, qreal w, qreal h) {
  QPainterPath path;
  path.moveTo(x, y);
  path.lineTo(x + w - 3, y);
  path.lineTo(x + w, y + 3);
  path.lineTo(x + w, y + h);
  path.lineTo(x, y + h);
  path.closeSubpath();
  p.setPen(Pen(kInk));
  p.setBrush(kPaper);
  p.drawPath(path);
  p.drawLine(QPointF(x + w - 3, y), QPointF(x + w - 3, y + 3));
  p.drawLine(QPointF(x + w - 3, y + 3), QPointF(x + w, y + 3));
}

void Dots(QPainter& p, std::initializer_list<QPointF> points) {
  p.setPen(Qt::NoPen);
  p.setBrush(kInk);
  for (const QPointF& pt : points) p.drawEllipse(pt, 1.0, 1.0);
}

void Curve(QPainter& p, const std::function<qreal(qreal)>& f, const QColor& colour) {
  QPainterPath path;
  for (int i = 0; i <= 26; ++i) {
    const qreal x = 1.5 + i * 0.5;
    const QPointF pt(x, f(x));
    if (i == 0) {
      path.moveTo(pt);
    } else {
      path.lineTo(pt);
    }
  }
  p.setBrush(Qt::NoBrush);
  p.setPen(Pen(colour, 1.4));
  p.drawPath(path);
}

void Arrow(QPainter& p, bool forward) {
  p.save();
  if (!forward) {
    p.translate(16, 0);
    p.scale(-1, 1);
  }
  QPainterPath arc;
  arc.moveTo(3, 12);
  arc.cubicTo(3, 4, 11, 3, 12, 8);
  p.setPen(Pen(kBlue, 1.8));
  p.setBrush(Qt::NoBrush);
  p.drawPath(arc);
  p.setPen(Qt::NoPen);
  p.setBrush(kBlue);
  p.drawPolygon(QPolygonF({QPointF(9, 7.5), QPointF(15, 7), QPointF(12.5, 12.5)}));
  p.restore();
}

Drawing DrawingOf(int index) {
  switch (index) {
    case 0:  // cut: scissors
      return [](QPainter& p) {
        p.setPen(Pen(kInk, 1.3));
        p.drawLine(QPointF(5, 2), QPointF(10, 11));
        p.drawLine(QPointF(11, 2), QPointF(6, 11));
        p.setBrush(Qt::NoBrush);
        p.setPen(Pen(kRed, 1.4));
        p.drawEllipse(QPointF(5, 12.5), 2.3, 2.3);
        p.drawEllipse(QPointF(11, 12.5), 2.3, 2.3);
      };
    case 1:  // copy: two pages
      return [](QPainter& p) {
        Page(p, 1.5, 1.5, 8, 10);
        Page(p, 6.5, 4.5, 8, 10);
      };
    case 2:  // paste: clipboard with a page
      return [](QPainter& p) {
        p.setPen(Pen(kInk));
        p.setBrush(QColor(190, 140, 80));
        p.drawRoundedRect(QRectF(1.5, 2.5, 10, 12), 1, 1);
        p.setBrush(QColor(160, 160, 160));
        p.drawRect(QRectF(4, 1, 5, 3));
        Page(p, 7.5, 6.5, 7, 8);
      };
    case 3:  // new: a blank page
      return [](QPainter& p) { Page(p, 3.5, 1.5, 9, 13); };
    case 4:  // open: a folder
      return [](QPainter& p) {
        p.setPen(Pen(kInk));
        p.setBrush(kYellow);
        QPainterPath back;
        back.moveTo(1.5, 13.5);
        back.lineTo(1.5, 3.5);
        back.lineTo(5.5, 3.5);
        back.lineTo(7, 5);
        back.lineTo(12.5, 5);
        back.lineTo(12.5, 13.5);
        back.closeSubpath();
        p.drawPath(back);
        p.setBrush(QColor(250, 225, 130));
        p.drawPolygon(QPolygonF({QPointF(1.5, 13.5), QPointF(4, 7.5), QPointF(15, 7.5), QPointF(12.5, 13.5)}));
      };
    case 5:  // save: a floppy disk
      return [](QPainter& p) {
        p.setPen(Pen(kInk));
        p.setBrush(kBlue);
        p.drawRect(QRectF(1.5, 1.5, 13, 13));
        p.setBrush(kPaper);
        p.drawRect(QRectF(4, 1.5, 8, 5));
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(QRectF(4, 9.5, 8, 5));
      };
    case 6:  // print: a printer
      return [](QPainter& p) {
        Page(p, 4.5, 1.5, 7, 5);
        p.setPen(Pen(kInk));
        p.setBrush(QColor(180, 180, 180));
        p.drawRoundedRect(QRectF(1.5, 6.5, 13, 6), 1, 1);
        p.setBrush(kPaper);
        p.drawRect(QRectF(4.5, 10.5, 7, 4));
        p.setPen(Pen(kGreen, 1.5));
        p.drawPoint(QPointF(12.5, 8.5));
      };
    case 7:  // help: a question mark in a circle
      return [](QPainter& p) {
        p.setPen(Pen(kBlue));
        p.setBrush(kBlue);
        p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
        QFont font = p.font();
        font.setPixelSize(11);
        font.setBold(true);
        p.setFont(font);
        p.setPen(kPaper);
        p.drawText(QRectF(1.5, 1.5, 13, 13), Qt::AlignCenter, QStringLiteral("?"));
      };
    case 9:  // linear
      return [](QPainter& p) {
        Dots(p, {QPointF(3, 12), QPointF(6, 10.5), QPointF(9, 7), QPointF(12, 5.5)});
        Curve(p, [](qreal x) { return 14 - 0.75 * x; }, kRed);
      };
    case 10:  // quadratic
      return [](QPainter& p) {
        Dots(p, {QPointF(2.5, 4), QPointF(5.5, 11), QPointF(10.5, 11.5), QPointF(13.5, 4.5)});
        Curve(p, [](qreal x) { return 12.5 - 0.22 * (x - 8) * (x - 8); }, kRed);
      };
    case 11:  // polynomial
      return [](QPainter& p) {
        Dots(p, {QPointF(3, 11), QPointF(6, 5), QPointF(10, 11), QPointF(13, 4)});
        Curve(p, [](qreal x) { return 8 - 4 * std::sin((x - 1.5) * 0.62 - 0.3); }, kRed);
      };
    case 12:  // FitHunter: a magnifier over a curve
      return [](QPainter& p) {
        Curve(p, [](qreal x) { return 13 - 0.05 * x * x; }, kRed);
        p.setPen(Pen(kInk, 1.5));
        p.setBrush(QColor(200, 230, 255, 180));
        p.drawEllipse(QPointF(6.5, 6.5), 4.2, 4.2);
        p.setPen(Pen(kInk, 2.2));
        p.drawLine(QPointF(9.6, 9.6), QPointF(14, 14));
      };
    case 13:  // AutoGuess: a target
      return [](QPainter& p) {
        p.setBrush(Qt::NoBrush);
        p.setPen(Pen(kRed, 1.4));
        p.drawEllipse(QPointF(8, 8), 6, 6);
        p.drawEllipse(QPointF(8, 8), 3, 3);
        p.setPen(Pen(kInk, 1.0));
        p.drawLine(QPointF(8, 0.5), QPointF(8, 15.5));
        p.drawLine(QPointF(0.5, 8), QPointF(15.5, 8));
      };
    case 14:  // user model: f(x)
      return [](QPainter& p) {
        QFont font = p.font();
        font.setPixelSize(9);
        font.setItalic(true);
        font.setBold(true);
        p.setFont(font);
        p.setPen(kBlue);
        p.drawText(QRectF(0, 0, 16, 16), Qt::AlignCenter, QStringLiteral("f(x)"));
      };
    case 15:  // abort: a red stop sign
      return [](QPainter& p) {
        p.setPen(Pen(kRed.darker(130)));
        p.setBrush(kRed);
        p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
        p.setPen(Pen(kPaper, 2.0));
        p.drawLine(QPointF(5, 5), QPointF(11, 11));
        p.drawLine(QPointF(11, 5), QPointF(5, 11));
      };
    case 16:  // accept: a green tick
      return [](QPainter& p) {
        p.setPen(Pen(kGreen, 2.6));
        p.drawLine(QPointF(2.5, 8.5), QPointF(6.5, 12.5));
        p.drawLine(QPointF(6.5, 12.5), QPointF(13.5, 3.5));
      };
    case 17: return [](QPainter& p) { Arrow(p, false); };  // undo
    case 18: return [](QPainter& p) { Arrow(p, true); };   // redo
    default: return [](QPainter&) {};
  }
}

}  // namespace

QIcon ToolbarIcon(int index) {
  QIcon icon;
  for (int scale : {1, 2}) {
    QPixmap pixmap(16 * scale, 16 * scale);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(scale, scale);
    DrawingOf(index)(painter);
    painter.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

}  // namespace trendolin::gui
