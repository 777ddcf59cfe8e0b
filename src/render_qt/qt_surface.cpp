// QtSurface: the drawing operations of the plot renderer on a QPainter.
//
// Pixel conventions follow the classic 2-D layer the renderer's layout was
// made for: pixel (x, y) is the unit square right and below the point; a thin
// line from a to b covers the pixels from a up to but not including b; a box
// (left, top, right, bottom) covers left..right-1 and top..bottom-1 with its
// outline on the outermost pixels. Strokes are therefore placed on pixel
// centres, fills on pixel edges, which keeps antialiased output crisp along
// the axes.
#include "render_qt/qt_surface.h"

#include <QFontMetrics>
#include <QPaintEngine>
#include <QPainterPath>
#include <QPolygonF>
#include <QTransform>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <utility>

#include "render_qt/qt_font.h"

namespace trendolin {
namespace {

QColor ToQColor(Colour c) { return QColor(RedOf(c), GreenOf(c), BlueOf(c)); }

QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QPointF Centre(Point p) { return QPointF(p.x + 0.5, p.y + 0.5); }

// Dash patterns of the cosmetic styled pens, in pen widths: long dashes,
// short dots, and their mixtures, each starting with a drawn stretch.
QList<qreal> DashPattern(PenStyle style) {
  switch (style) {
    case PenStyle::Dash: return {18, 6};
    case PenStyle::Dot: return {3, 3};
    case PenStyle::DashDot: return {9, 6, 3, 6};
    case PenStyle::DashDotDot: return {9, 3, 3, 3, 3, 3};
    case PenStyle::Solid: break;
  }
  return {};
}

bool IsWide(const Pen& pen) { return pen.width > 1; }

// A box with its edges in order, as the classic layer accepts either order.
Rect Normalised(const Rect& r) {
  return Rect{std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
              std::max(r.top, r.bottom)};
}

// A thin line's centre line, shifted back by half a pixel along its major
// direction so that it starts on the edge of the first pixel and stops on the
// edge of the last one: exactly the pixels from `from` up to `to`, dashes
// included.
QLineF ThinSegment(Point from, Point to) {
  const double dx = to.x - from.x;
  const double dy = to.y - from.y;
  const double major = std::max(std::abs(dx), std::abs(dy));
  const QPointF shift(0.5 - 0.5 * dx / major, 0.5 - 0.5 * dy / major);
  return QLineF(QPointF(from.x, from.y) + shift, QPointF(to.x, to.y) + shift);
}

QRectF FillArea(const Rect& r) { return QRectF(r.left, r.top, r.Width(), r.Height()); }

// The path an outline follows: through the centres of the box's outer pixels.
QRectF OutlinePath(const Rect& r) {
  return QRectF(r.left + 0.5, r.top + 0.5, std::max(0, r.Width() - 1), std::max(0, r.Height() - 1));
}

// Word-wrapped lines of `text` no wider than `width` where the words allow:
// breaks at blanks, a word wider than the line stands alone, line feeds
// start a new line.
QStringList WrapLines(const QFontMetrics& metrics, const QString& text, int width) {
  QStringList lines;
  if (text.isEmpty()) return lines;
  QString normalised = text;
  normalised.remove(QLatin1Char('\r'));
  for (const QString& paragraph : normalised.split(QLatin1Char('\n'))) {
    QString line;
    bool lineStarted = false;
    for (const QString& word : paragraph.split(QLatin1Char(' '))) {
      if (!lineStarted) {
        line = word;
        lineStarted = true;
        continue;
      }
      const QString candidate = line + QLatin1Char(' ') + word;
      if (metrics.horizontalAdvance(candidate) <= width || line.isEmpty()) {
        line = candidate;
      } else {
        lines.push_back(line);
        line = word;
      }
    }
    lines.push_back(line);
  }
  return lines;
}

}  // namespace

QtSurface::QtSurface(QPainter& painter, bool recordedPicture)
    : painter_(painter),
      recorded_(recordedPicture),
      svg_(painter.paintEngine() != nullptr && painter.paintEngine()->type() == QPaintEngine::SVG),
      dpi_(painter.device()->logicalDpiY()) {
  painter_.save();
  base_ = painter_.transform();
  painter_.setRenderHint(QPainter::Antialiasing, true);
  painter_.setRenderHint(QPainter::TextAntialiasing, true);
  if (recorded_) {
    // A 1-pixel image at screen resolution: all the text measuring needs.
    measuringImage_ = QImage(1, 1, QImage::Format_RGB32);
    const int dotsPerMetre = static_cast<int>(kScreenDpi / 0.0254 + 0.5);
    measuringImage_.setDotsPerMeterX(dotsPerMetre);
    measuringImage_.setDotsPerMeterY(dotsPerMetre);
  }
  // The starting state of a fresh drawing context: thin black pen, white
  // brush, the dialog font, black text on an opaque cell.
  state_.fontSpec = FontSpec{"MS Sans Serif", 90, 700, 0, kBlack, 0, 0, 0};
  state_.font = FontFromSpec(state_.fontSpec, dpi_);
  painter_.setBrush(Qt::white);
}

QtSurface::~QtSurface() {
  for (std::size_t i = 0; i < saved_.size(); ++i) painter_.restore();
  painter_.restore();
}

void QtSurface::Save() {
  saved_.push_back(state_);
  painter_.save();
}

void QtSurface::Restore() {
  if (saved_.empty()) return;
  state_ = saved_.back();
  saved_.pop_back();
  painter_.restore();
}

void QtSurface::SelectPen(const Pen& pen) { state_.pen = pen; }

void QtSurface::SelectBrush(const Brush& brush) {
  if (brush.hollow) {
    painter_.setBrush(Qt::NoBrush);
  } else {
    painter_.setBrush(ToQColor(brush.colour));
  }
}

void QtSurface::SelectFont(const FontSpec& font) {
  state_.fontSpec = font;
  state_.font = FontFromSpec(font, dpi_);
}

QPen QtSurface::PenWithCap(Qt::PenCapStyle thinSolidCap) const {
  const Pen& pen = state_.pen;
  QPen qpen(ToQColor(pen.colour));
  qpen.setWidth(std::max(0, pen.width));  // 0: cosmetic, one device pixel
  if (pen.style == PenStyle::Solid) {
    qpen.setCapStyle(IsWide(pen) ? Qt::RoundCap : thinSolidCap);
  } else {
    qpen.setDashPattern(DashPattern(pen.style));
    qpen.setCapStyle(IsWide(pen) ? Qt::RoundCap : Qt::FlatCap);
  }
  qpen.setJoinStyle(IsWide(pen) ? Qt::RoundJoin : Qt::MiterJoin);
  return qpen;
}

void QtSurface::ApplyPen(Qt::PenCapStyle thinSolidCap) { painter_.setPen(PenWithCap(thinSolidCap)); }

void QtSurface::StrokeSegment(Point from, Point to) {
  if (from == to) return;
  ApplyPen(Qt::FlatCap);
  if (IsWide(state_.pen)) {
    painter_.drawLine(Centre(from), Centre(to));
    return;
  }
  painter_.drawLine(ThinSegment(from, to));
}

void QtSurface::MoveTo(Point p) { state_.position = p; }

void QtSurface::LineTo(Point p) {
  StrokeSegment(state_.position, p);
  state_.position = p;
}

void QtSurface::Polyline(std::span<const Point> points) {
  if (points.size() < 2) return;
  QPolygonF line;
  line.reserve(static_cast<qsizetype>(points.size()));
  for (Point p : points) line.push_back(Centre(p));
  ApplyPen(Qt::SquareCap);
  QPen pen = painter_.pen();
  pen.setJoinStyle(Qt::RoundJoin);
  painter_.setPen(pen);
  painter_.drawPolyline(line);
}

void QtSurface::Rectangle(const Rect& given) {
  const Rect r = Normalised(given);
  if (r.Width() == 0 || r.Height() == 0) return;
  if (svg_ && !IsWide(state_.pen) && state_.pen.style == PenStyle::Solid && r.Width() > 1 && r.Height() > 1) {
    // One element: the brush fills inside the outline and the outline covers
    // the outer pixels on top, the very pixels of the fill and the four
    // segments below, without a change of pen or brush.
    ApplyPen(Qt::FlatCap);
    painter_.drawRect(OutlinePath(r));
    return;
  }
  if (painter_.brush().style() != Qt::NoBrush) painter_.fillRect(FillArea(r), painter_.brush());
  if (IsWide(state_.pen)) {
    ApplyPen(Qt::SquareCap);
    painter_.save();
    painter_.setBrush(Qt::NoBrush);
    painter_.drawRect(OutlinePath(r));
    painter_.restore();
    return;
  }
  // A thin outline is four segments around the outer pixels, so that styled
  // pens keep their pattern crisp.
  const Point corners[] = {{r.left, r.top}, {r.right - 1, r.top}, {r.right - 1, r.bottom - 1}, {r.left, r.bottom - 1}};
  if (r.Width() == 1 || r.Height() == 1) {
    StrokeSegment(corners[0], corners[2]);
    ApplyPen(Qt::SquareCap);
    painter_.drawPoint(Centre(corners[2]));
    return;
  }
  for (int i = 0; i < 4; ++i) StrokeSegment(corners[i], corners[(i + 1) % 4]);
}

void QtSurface::RoundRect(const Rect& given, int ellipseWidth, int ellipseHeight) {
  const Rect r = Normalised(given);
  if (r.Width() == 0 || r.Height() == 0) return;
  const qreal rx = std::min(std::abs(ellipseWidth), r.Width()) / 2.0;
  const qreal ry = std::min(std::abs(ellipseHeight), r.Height()) / 2.0;
  if (painter_.brush().style() != Qt::NoBrush) {
    QPainterPath area;
    area.addRoundedRect(FillArea(r), rx, ry);
    painter_.fillPath(area, painter_.brush());
  }
  ApplyPen(Qt::SquareCap);
  painter_.save();
  painter_.setBrush(Qt::NoBrush);
  painter_.drawRoundedRect(OutlinePath(r), std::max(0.0, rx - 0.5), std::max(0.0, ry - 0.5));
  painter_.restore();
}

void QtSurface::Ellipse(const Rect& given) {
  const Rect r = Normalised(given);
  if (r.Width() == 0 || r.Height() == 0) return;
  if (painter_.brush().style() != Qt::NoBrush) {
    QPainterPath area;
    area.addEllipse(FillArea(r));
    painter_.fillPath(area, painter_.brush());
  }
  ApplyPen(Qt::SquareCap);
  painter_.save();
  painter_.setBrush(Qt::NoBrush);
  painter_.drawEllipse(OutlinePath(r));
  painter_.restore();
}

void QtSurface::Polygon(std::span<const Point> points) {
  if (points.size() < 2) return;
  QPolygonF shape;
  shape.reserve(static_cast<qsizetype>(points.size()));
  for (Point p : points) shape.push_back(Centre(p));
  ApplyPen(Qt::SquareCap);
  painter_.drawPolygon(shape, Qt::OddEvenFill);
}

// What a run of markers draws with. Shapes are relative to the marker's
// point; each marker moves them by whole pixels.
struct QtSurface::MarkerRun {
  const MarkerShape& shape;
  QPen flatPen;    // lines and thin box outlines
  QPen squarePen;  // ellipses and polygons
  QBrush brush;
  bool filled = false;
  std::vector<QPainterPath> ellipseFills;  // one per ellipse part, in order
  bool boxElements = false;  // a box is one element, as Rectangle draws it in an SVG
};

namespace {

Rect Moved(const MarkerPart& part, Point p) {
  return Normalised(Rect{p.x + part.points[0].x, p.y + part.points[0].y, p.x + part.points[1].x,
                         p.y + part.points[1].y});
}

QPolygonF MovedCorners(const MarkerPart& part, Point p) {
  QPolygonF shape;
  for (int i = 0; i < part.count; ++i) shape.push_back(Centre({p.x + part.points[i].x, p.y + part.points[i].y}));
  return shape;
}

// The thin segments of a box outline, as Rectangle draws them.
std::array<std::pair<Point, Point>, 4> BoxOutline(const Rect& r) {
  const Point c[] = {{r.left, r.top}, {r.right - 1, r.top}, {r.right - 1, r.bottom - 1}, {r.left, r.bottom - 1}};
  return {{{c[0], c[1]}, {c[1], c[2]}, {c[2], c[3]}, {c[3], c[0]}}};
}

// Every part of a marker can go through the run's own drawing: boxes that
// draw at all, and of at least two pixels each way for a rectangle (a
// thinner one has an outline of its own), polygons with two corners or more.
bool RunnableShape(const MarkerShape& shape) {
  for (const MarkerPart& part : shape.parts) {
    const Rect r = Moved(part, {0, 0});
    switch (part.kind) {
      case MarkerPart::Kind::Line: break;
      case MarkerPart::Kind::Rectangle:
        if (r.Width() < 2 || r.Height() < 2) return false;
        break;
      case MarkerPart::Kind::Ellipse:
        if (r.Width() < 1 || r.Height() < 1) return false;
        break;
      case MarkerPart::Kind::Polygon:
        if (part.count < 2) return false;
        break;
    }
  }
  return true;
}

// The error bar's three segments at `p`.
std::array<std::pair<Point, Point>, 3> ErrorBarSegments(const MarkerShape& shape, Point p, ErrorBarExtent e) {
  const int left = p.x + shape.capLeft, right = p.x + shape.capRight;
  const int top = p.y - e.up, bottom = p.y + e.down;
  return {{{{p.x, top}, {p.x, bottom}}, {{left, top}, {right, top}}, {{left, bottom}, {right, bottom}}}};
}

}  // namespace

void QtSurface::DrawMarkers(const MarkerShape& shape, std::span<const Point> at, std::span<const ErrorBarExtent> errorBars) {
  if (IsWide(state_.pen) || !RunnableShape(shape)) {
    Surface::DrawMarkers(shape, at, errorBars);
    return;
  }
  MarkerRun run{shape, PenWithCap(Qt::FlatCap), PenWithCap(Qt::SquareCap), painter_.brush(), false, {}};
  run.filled = run.brush.style() != Qt::NoBrush;
  for (const MarkerPart& part : shape.parts) {
    if (part.kind != MarkerPart::Kind::Ellipse) continue;
    QPainterPath area;
    area.addEllipse(FillArea(Moved(part, {0, 0})));
    run.ellipseFills.push_back(area);
  }
  run.boxElements = svg_ && state_.pen.style == PenStyle::Solid;
  // Fills and outlines of one colour (or outlines alone) look the same in
  // whichever order they are laid down, so a PDF may group them. An SVG
  // keeps the order: switching the pen or the brush off costs it nothing.
  const bool oneColour = !run.filled || run.brush.color() == ToQColor(state_.pen.colour);
  painter_.save();
  if (recorded_ && !svg_ && oneColour && state_.pen.style == PenStyle::Solid) {
    DrawMarkersInPasses(run, at, errorBars);
  } else {
    DrawMarkersInOrder(run, at, errorBars);
  }
  painter_.restore();
}

void QtSurface::DrawMarkersInOrder(const MarkerRun& run, std::span<const Point> at, std::span<const ErrorBarExtent> errorBars) {
  const QTransform origin = painter_.transform();
  auto segment = [this, &run](Point from, Point to) {
    if (from == to) return;
    painter_.setPen(run.flatPen);
    painter_.drawLine(ThinSegment(from, to));
  };
  for (std::size_t k = 0; k < at.size(); ++k) {
    const Point p = at[k];
    if (k < errorBars.size()) {
      for (const auto& [from, to] : ErrorBarSegments(run.shape, p, errorBars[k])) segment(from, to);
    }
    std::size_t ellipse = 0;
    for (const MarkerPart& part : run.shape.parts) {
      switch (part.kind) {
        case MarkerPart::Kind::Line:
          segment({p.x + part.points[0].x, p.y + part.points[0].y}, {p.x + part.points[1].x, p.y + part.points[1].y});
          break;
        case MarkerPart::Kind::Rectangle: {
          const Rect r = Moved(part, p);
          if (run.boxElements) {
            painter_.setPen(run.flatPen);
            painter_.setBrush(run.brush);
            painter_.drawRect(OutlinePath(r));
            break;
          }
          if (run.filled) painter_.fillRect(FillArea(r), run.brush);
          for (const auto& [from, to] : BoxOutline(r)) segment(from, to);
          break;
        }
        case MarkerPart::Kind::Ellipse:
          // The fill's path is made once; moving the painter by whole
          // pixels puts it where a path made here would be.
          if (run.filled && recorded_) {
            // A vector file gets the ellipse itself, without moving the painter.
            painter_.setPen(Qt::NoPen);
            painter_.setBrush(run.brush);
            painter_.drawEllipse(FillArea(Moved(part, p)));
          } else if (run.filled) {
            painter_.setTransform(QTransform::fromTranslate(p.x, p.y) * origin);
            painter_.fillPath(run.ellipseFills[ellipse], run.brush);
            painter_.setTransform(origin);
          }
          ++ellipse;
          painter_.setPen(run.squarePen);
          painter_.setBrush(Qt::NoBrush);
          painter_.drawEllipse(OutlinePath(Moved(part, p)));
          break;
        case MarkerPart::Kind::Polygon:
          painter_.setPen(run.squarePen);
          painter_.setBrush(run.brush);
          painter_.drawPolygon(MovedCorners(part, p), Qt::OddEvenFill);
          break;
      }
    }
  }
}

void QtSurface::DrawMarkersInPasses(const MarkerRun& run, std::span<const Point> at, std::span<const ErrorBarExtent> errorBars) {
  using Kind = MarkerPart::Kind;
  auto has = [&run](Kind kind) {
    return std::any_of(run.shape.parts.begin(), run.shape.parts.end(),
                       [kind](const MarkerPart& part) { return part.kind == kind; });
  };
  // Boxes of an SVG are one element each (see Rectangle), drawn with the
  // outlines; every other fill comes first, on its own.
  const bool boxFills = has(Kind::Rectangle) && !svg_;
  if (run.filled && (has(Kind::Ellipse) || boxFills)) {
    painter_.setPen(Qt::NoPen);
    painter_.setBrush(run.brush);
    for (const Point p : at) {
      for (const MarkerPart& part : run.shape.parts) {
        if (part.kind == Kind::Ellipse) painter_.drawEllipse(FillArea(Moved(part, p)));
        if (part.kind == Kind::Rectangle && boxFills) painter_.drawRect(FillArea(Moved(part, p)));
      }
    }
  }
  // Lines, error bars and box outlines: thin segments with flat ends, each
  // its own element as one by one.
  if (!errorBars.empty() || has(Kind::Line) || has(Kind::Rectangle)) {
    painter_.setPen(run.flatPen);
    painter_.setBrush(svg_ ? run.brush : QBrush(Qt::NoBrush));
    auto segment = [this](Point from, Point to) {
      if (from != to) painter_.drawLine(ThinSegment(from, to));
    };
    for (std::size_t k = 0; k < at.size(); ++k) {
      const Point p = at[k];
      if (k < errorBars.size()) {
        for (const auto& [from, to] : ErrorBarSegments(run.shape, p, errorBars[k])) segment(from, to);
      }
      for (const MarkerPart& part : run.shape.parts) {
        if (part.kind == Kind::Line) {
          segment({p.x + part.points[0].x, p.y + part.points[0].y}, {p.x + part.points[1].x, p.y + part.points[1].y});
        } else if (part.kind == Kind::Rectangle && svg_) {
          painter_.drawRect(OutlinePath(Moved(part, p)));
        } else if (part.kind == Kind::Rectangle) {
          for (const auto& [from, to] : BoxOutline(Moved(part, p))) segment(from, to);
        }
      }
    }
  }
  // Ellipse outlines, and polygons filled and outlined in one go as one by one.
  if (has(Kind::Ellipse) || has(Kind::Polygon)) {
    painter_.setPen(run.squarePen);
    for (const Point p : at) {
      for (const MarkerPart& part : run.shape.parts) {
        if (part.kind == Kind::Ellipse) {
          painter_.setBrush(Qt::NoBrush);
          painter_.drawEllipse(OutlinePath(Moved(part, p)));
        } else if (part.kind == Kind::Polygon) {
          painter_.setBrush(run.brush);
          painter_.drawPolygon(MovedCorners(part, p), Qt::OddEvenFill);
        }
      }
    }
  }
}

QFontMetrics QtSurface::MeasuringMetrics() const {
  if (recorded_) return QFontMetrics(state_.font, &measuringImage_);
  return QFontMetrics(state_.font, painter_.device());
}

void QtSurface::FillTextCell(const QRectF& cell) {
  // An opaque text cell is painted in the default background colour, white.
  if (!state_.transparentText) painter_.fillRect(cell, Qt::white);
}

void QtSurface::TextOut(Point p, std::string_view text, HAlign h, VAlign v) {
  const QString qtext = ToQString(text);
  const QFontMetrics metrics = MeasuringMetrics();
  const int width = metrics.horizontalAdvance(qtext);
  int left = 0;
  if (h == HAlign::Centre) left = -width / 2;
  if (h == HAlign::Right) left = -width;
  // Top: the anchor is the top of the text cell; bottom: the bottom of its
  // descenders.
  const int top = v == VAlign::Top ? 0 : -(metrics.ascent() + metrics.descent());

  painter_.save();
  painter_.translate(p.x, p.y);
  // Angles turn counter-clockwise on the page; Qt's turn clockwise because
  // its y axis points down.
  if (state_.fontSpec.angle % 360 != 0) painter_.rotate(-state_.fontSpec.angle);
  FillTextCell(QRectF(left, top, width, metrics.ascent() + metrics.descent()));
  painter_.setFont(state_.font);
  painter_.setPen(ToQColor(state_.textColour));
  painter_.drawText(QPointF(left, top + metrics.ascent()), qtext);
  painter_.restore();
}

TextSize QtSurface::MeasureText(std::string_view text) {
  const QFontMetrics metrics = MeasuringMetrics();
  return TextSize{metrics.horizontalAdvance(ToQString(text)), metrics.ascent() + metrics.descent()};
}

FontMetrics QtSurface::Metrics() {
  const QFontMetrics metrics = MeasuringMetrics();
  return FontMetrics{metrics.ascent() + metrics.descent(), metrics.averageCharWidth()};
}

int QtSurface::MeasureWrappedText(const Rect& r, std::string_view text) {
  const QFontMetrics metrics = MeasuringMetrics();
  const QStringList lines = WrapLines(metrics, ToQString(text), r.Width());
  return static_cast<int>(lines.size()) * (metrics.ascent() + metrics.descent());
}

void QtSurface::DrawWrappedText(const Rect& r, std::string_view text) {
  // Laid out with the measuring metrics line by line, so a picture breaks its
  // lines exactly where MeasureWrappedText said it would.
  const QFontMetrics metrics = MeasuringMetrics();
  const QStringList lines = WrapLines(metrics, ToQString(text), r.Width());
  const int lineHeight = metrics.ascent() + metrics.descent();
  painter_.save();
  painter_.setFont(state_.font);
  int top = r.top;
  for (const QString& line : lines) {
    const int width = metrics.horizontalAdvance(line);
    const int left = r.left + (r.Width() - width) / 2;
    FillTextCell(QRectF(left, top, width, lineHeight));
    painter_.setPen(ToQColor(state_.textColour));
    painter_.drawText(QPointF(left, top + metrics.ascent()), line);
    top += lineHeight;
  }
  painter_.restore();
}

void QtSurface::SetTransparentText(bool transparent) { state_.transparentText = transparent; }

void QtSurface::SetTextColour(Colour colour) { state_.textColour = colour; }

void QtSurface::SetClip(const Rect& r) {
  const Rect box = Normalised(r);
  painter_.setClipRect(QRect(box.left, box.top, box.Width(), box.Height()), Qt::IntersectClip);
}

void QtSurface::SetOrigin(Point p) {
  painter_.setTransform(QTransform::fromTranslate(p.x, p.y) * base_);
}

}  // namespace trendolin
