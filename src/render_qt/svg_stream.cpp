// SvgStreamDevice: SVG written as it is painted, through a small buffer.
#include "render_qt/svg_stream.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QIODevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QTransform>

#include <charconv>
#include <map>
#include <string>
#include <string_view>

namespace trendolin {

class SvgStreamEngine final : public QPaintEngine {
 public:
  SvgStreamEngine(QIODevice& out, QSize size, int resolution, const QString& title)
      : QPaintEngine(PaintEngineFeatures(AllFeatures) &
                     ~PaintEngineFeatures(PerspectiveTransform | ConicalGradientFill | PorterDuff)),
        out_(out), size_(size), resolution_(resolution), title_(title) {}

  bool begin(QPaintDevice* device) override;
  bool end() override;
  void updateState(const QPaintEngineState& state) override;

  void drawPath(const QPainterPath& path) override;
  void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override;
  void drawRects(const QRectF* rects, int count) override;
  void drawEllipse(const QRectF& r) override;
  void drawTextItem(const QPointF& p, const QTextItem& item) override;
  void drawPixmap(const QRectF& r, const QPixmap& pixmap, const QRectF& source) override;
  void drawImage(const QRectF& r, const QImage& image, const QRectF& source, Qt::ImageConversionFlags flags) override;
  Type type() const override { return QPaintEngine::SVG; }

  bool Written() const { return written_; }

 private:
  // Writes pass through this buffer: one device write per this many bytes.
  static constexpr std::size_t kFlushBytes = 1 << 20;

  void Put(std::string_view text) {
    buffer_.append(text);
    if (buffer_.size() >= kFlushBytes) Flush();
  }
  void Put(char c) { buffer_.push_back(c); }
  void Put(double value);
  void PutPoint(QPointF p) {
    Put(p.x());
    Put(',');
    Put(p.y());
  }
  void PutEscaped(const QString& text);
  void PutColour(const QColor& colour, std::string_view name, std::string_view opacityName);
  // What a shape's element says besides its geometry: the line width that
  // does not scale with a cosmetic pen, and "none" for the stroke or fill the
  // open group has but the painter has not.
  // ` x="…" y="…" width="…" height="…"` of a box.
  void PutBox(const QRectF& r) {
    Put(" x=\"");
    Put(r.x());
    Put("\" y=\"");
    Put(r.y());
    Put("\" width=\"");
    Put(r.width());
    Put("\" height=\"");
    Put(r.height());
    Put('"');
  }
  void PutShapeAttributes(bool filled = true) {
    if (pen_.style() != Qt::NoPen && pen_.isCosmetic()) Put(" vector-effect=\"non-scaling-stroke\"");
    if (noStroke_) Put(" stroke=\"none\"");
    if (!cap_.empty() && pen_.style() != Qt::NoPen) {
      Put(" stroke-linecap=\"");
      Put(cap_);
      Put('"');
    }
    if (noFill_ && filled) Put(" fill=\"none\"");
  }
  void PutPathData(const QPainterPath& path);
  void Flush();

  std::string GroupFor(const QPen& pen, const QBrush& brush, const QPaintEngineState& state);
  std::string ClipReference();

  QIODevice& out_;
  QSize size_;
  int resolution_;
  QString title_;
  std::string buffer_;
  bool written_ = true;
  bool groupOpen_ = false;
  std::string group_;  // the attributes of the open group
  QPen pen_;
  // The last pen and brush that drew: a painter that only switches its pen
  // or brush off (a fill, then an outline) stays in the group that has both.
  QPen strokingPen_{Qt::NoPen};
  QBrush fillingBrush_{Qt::NoBrush};
  bool noStroke_ = false;
  bool noFill_ = false;
  // The pen the open group was written with; a pen that differs from it
  // only in its line ends names them on each element instead.
  QPen groupPen_{Qt::NoPen};
  std::string cap_;
  // What the open group was made from, to see at a glance that a state
  // (a pen or brush switched off and on, marker after marker) needs none.
  struct GroupSource {
    QPen pen;
    QBrush brush;
    QTransform transform;
    qreal opacity = 1;
    bool operator==(const GroupSource&) const = default;
  };
  GroupSource source_;
  bool sourceClipped_ = true;
  std::map<std::string, int> clips_;  // path data -> id, each clip written once
};

namespace {

const char* CapName(Qt::PenCapStyle cap) {
  switch (cap) {
    case Qt::FlatCap: return "butt";
    case Qt::RoundCap: return "round";
    default: return "square";
  }
}

}  // namespace

void SvgStreamEngine::Put(double value) {
  char text[32];
  const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 6);
  buffer_.append(text, result.ptr);
}

void SvgStreamEngine::PutEscaped(const QString& text) {
  const QByteArray utf8 = text.toHtmlEscaped().toUtf8();
  Put(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

void SvgStreamEngine::PutColour(const QColor& colour, std::string_view name, std::string_view opacityName) {
  static constexpr char kDigits[] = "0123456789abcdef";
  const int channels[] = {colour.red(), colour.green(), colour.blue()};
  char hex[7] = {'#'};
  for (int i = 0; i < 3; ++i) {
    hex[1 + 2 * i] = kDigits[(channels[i] >> 4) & 15];
    hex[2 + 2 * i] = kDigits[channels[i] & 15];
  }
  Put(name);
  Put("=\"");
  Put(std::string_view(hex, sizeof hex));
  Put("\" ");
  Put(opacityName);
  Put("=\"");
  Put(colour.alphaF());
  Put("\" ");
}

void SvgStreamEngine::Flush() {
  if (buffer_.empty()) return;
  const qint64 size = static_cast<qint64>(buffer_.size());
  if (written_ && out_.write(buffer_.data(), size) != size) written_ = false;
  buffer_.clear();
}

bool SvgStreamEngine::begin(QPaintDevice*) {
  if (!out_.isOpen() && !out_.open(QIODevice::WriteOnly)) return false;
  Put("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n<svg width=\"");
  Put(size_.width() * 25.4 / resolution_);
  Put("mm\" height=\"");
  Put(size_.height() * 25.4 / resolution_);
  Put("mm\"\n viewBox=\"0 0 ");
  Put(static_cast<double>(size_.width()));
  Put(' ');
  Put(static_cast<double>(size_.height()));
  Put("\"\n xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" version=\"1.2\""
      " baseProfile=\"tiny\">\n<title>");
  PutEscaped(title_);
  // The starting state of every painter: no fill, a thin black line.
  Put("</title>\n<g fill=\"none\" stroke=\"black\" stroke-width=\"1\" fill-rule=\"evenodd\" stroke-linecap=\"square\""
      " stroke-linejoin=\"bevel\">\n");
  return true;
}

bool SvgStreamEngine::end() {
  if (groupOpen_) Put("</g>\n");
  groupOpen_ = false;
  Put("</g>\n</svg>\n");
  Flush();
  return written_;
}

std::string SvgStreamEngine::ClipReference() {
  QPainter* p = painter();
  if (p == nullptr || !p->hasClipping()) return {};
  const QPainterPath clip = p->clipPath();
  if (clip.elementCount() == 0) return {};
  // The clip's outline, written as path data into a scratch buffer.
  std::string saved;
  saved.swap(buffer_);
  PutPathData(clip);
  std::string data;
  data.swap(buffer_);
  buffer_.swap(saved);
  auto [entry, added] = clips_.try_emplace(data, static_cast<int>(clips_.size()));
  if (added) {
    Put("<clipPath id=\"clip");
    Put(std::to_string(entry->second));
    Put("\"><path d=\"");
    Put(data);
    Put("\"/></clipPath>\n");
  }
  return "clip-path=\"url(#clip" + std::to_string(entry->second) + ")\" ";
}

std::string SvgStreamEngine::GroupFor(const QPen& pen, const QBrush& brush, const QPaintEngineState& state) {
  std::string saved;
  saved.swap(buffer_);
  if (brush.style() == Qt::NoBrush) {
    Put("fill=\"none\" ");
  } else {
    PutColour(brush.color(), "fill", "fill-opacity");
  }
  if (pen.style() == Qt::NoPen) {
    Put("stroke=\"none\" ");
  } else {
    PutColour(pen.color(), "stroke", "stroke-opacity");
    const double width = pen.widthF() == 0 ? 1.0 : pen.widthF();
    if (pen.style() != Qt::SolidLine) {
      // Qt's dashes are in pen widths, SVG's in lengths.
      Put("stroke-dasharray=\"");
      const QList<qreal> pattern = pen.dashPattern();
      for (qsizetype i = 0; i < pattern.size(); ++i) {
        if (i > 0) Put(',');
        Put(pattern[i] * width);
      }
      Put("\" stroke-dashoffset=\"");
      Put(pen.dashOffset() * width);
      Put("\" ");
    }
    Put("stroke-width=\"");
    Put(width);
    Put("\" stroke-linecap=\"");
    Put(CapName(pen.capStyle()));
    Put("\" ");
    switch (pen.joinStyle()) {
      case Qt::MiterJoin:
      case Qt::SvgMiterJoin:
        Put("stroke-linejoin=\"miter\" stroke-miterlimit=\"");
        Put(pen.miterLimit());
        Put("\" ");
        break;
      case Qt::RoundJoin: Put("stroke-linejoin=\"round\" "); break;
      default: Put("stroke-linejoin=\"bevel\" "); break;
    }
  }
  const QTransform m = state.transform();
  Put("transform=\"matrix(");
  for (double v : {m.m11(), m.m12(), m.m21(), m.m22(), m.dx(), m.dy()}) {
    Put(v);
    Put(',');
  }
  buffer_.back() = ')';
  Put('"');
  if (state.opacity() < 1.0) {
    Put(" opacity=\"");
    Put(state.opacity());
    Put('"');
  }
  std::string attributes;
  attributes.swap(buffer_);
  buffer_.swap(saved);
  return attributes;
}

void SvgStreamEngine::updateState(const QPaintEngineState& state) {
  pen_ = state.pen();
  const QBrush brush = state.brush();
  if (pen_.style() != Qt::NoPen) strokingPen_ = pen_;
  if (brush.style() != Qt::NoBrush) fillingBrush_ = brush;
  noStroke_ = pen_.style() == Qt::NoPen && strokingPen_.style() != Qt::NoPen;
  noFill_ = brush.style() == Qt::NoBrush && fillingBrush_.style() != Qt::NoBrush;
  QPen groupPen = strokingPen_;
  cap_.clear();
  if (groupOpen_ && groupPen_.style() != Qt::NoPen && strokingPen_.capStyle() != groupPen_.capStyle()) {
    QPen sameEnds = strokingPen_;
    sameEnds.setCapStyle(groupPen_.capStyle());
    if (sameEnds == groupPen_) {
      groupPen = groupPen_;
      cap_ = CapName(strokingPen_.capStyle());
    }
  }
  const GroupSource source{groupPen, fillingBrush_, state.transform(), state.opacity()};
  const bool clipped = painter() != nullptr && painter()->hasClipping();
  if (groupOpen_ && !clipped && !sourceClipped_ && source == source_) return;
  const std::string clip = ClipReference();
  std::string group = clip + GroupFor(groupPen, fillingBrush_, state);
  source_ = source;
  sourceClipped_ = clipped;
  if (groupOpen_ && group == group_) return;
  // A new group is written with the pen as it is, line ends included.
  cap_.clear();
  if (groupPen != strokingPen_) group = clip + GroupFor(strokingPen_, fillingBrush_, state);
  groupPen_ = strokingPen_;
  source_.pen = strokingPen_;
  if (groupOpen_) Put("</g>\n");
  Put("<g ");
  Put(group);
  Put(">\n");
  group_.swap(group);
  groupOpen_ = true;
}

void SvgStreamEngine::PutPathData(const QPainterPath& path) {
  for (int i = 0; i < path.elementCount(); ++i) {
    const QPainterPath::Element& e = path.elementAt(i);
    if (i > 0) Put(' ');
    switch (e.type) {
      case QPainterPath::MoveToElement: Put('M'); break;
      case QPainterPath::LineToElement: Put('L'); break;
      case QPainterPath::CurveToElement: Put('C'); break;
      case QPainterPath::CurveToDataElement: break;
    }
    PutPoint(e);
  }
}

void SvgStreamEngine::drawPath(const QPainterPath& path) {
  Put("<path");
  PutShapeAttributes();
  // The outermost group fills by the even-odd rule, which every path inherits.
  Put(path.fillRule() == Qt::OddEvenFill ? " d=\"" : " fill-rule=\"nonzero\" d=\"");
  PutPathData(path);
  Put("\"/>\n");
}

void SvgStreamEngine::drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) {
  if (count < 2) return;
  if (mode == PolylineMode) {
    Put("<polyline fill=\"none\"");
    PutShapeAttributes(false);
    Put(" points=\"");
    for (int i = 0; i < count; ++i) {
      PutPoint(points[i]);
      Put(' ');
    }
    Put("\"/>\n");
    return;
  }
  // Closed by a line back to the first corner, as a closed subpath of a
  // painter path is.
  QPainterPath path(points[0]);
  for (int i = 1; i < count; ++i) path.lineTo(points[i]);
  path.closeSubpath();
  path.setFillRule(mode == WindingMode ? Qt::WindingFill : Qt::OddEvenFill);
  drawPath(path);
}

void SvgStreamEngine::drawRects(const QRectF* rects, int count) {
  for (int i = 0; i < count; ++i) {
    const QRectF r = rects[i].normalized();
    Put("<rect");
    PutShapeAttributes();
    PutBox(r);
    Put("/>\n");
  }
}

void SvgStreamEngine::drawEllipse(const QRectF& r) {
  const bool circle = r.width() == r.height();
  Put(circle ? "<circle" : "<ellipse");
  PutShapeAttributes();
  Put(" cx=\"");
  Put(r.center().x());
  Put("\" cy=\"");
  Put(r.center().y());
  if (circle) {
    Put("\" r=\"");
    Put(r.width() / 2);
  } else {
    Put("\" rx=\"");
    Put(r.width() / 2);
    Put("\" ry=\"");
    Put(r.height() / 2);
  }
  Put("\"/>\n");
}

void SvgStreamEngine::drawTextItem(const QPointF& p, const QTextItem& item) {
  if (pen_.style() == Qt::NoPen) return;
  const QFont font = item.font();
  Put("<text ");
  PutColour(pen_.color(), "fill", "fill-opacity");
  Put("stroke=\"none\" xml:space=\"preserve\" x=\"");
  Put(p.x());
  Put("\" y=\"");
  Put(p.y());
  Put("\" font-family=\"");
  PutEscaped(font.family());
  Put("\" font-size=\"");
  Put(font.pixelSize() == -1 ? font.pointSizeF() * resolution_ / 72 : static_cast<double>(font.pixelSize()));
  Put("\" font-weight=\"");
  Put(static_cast<double>(font.weight()));
  Put(font.italic() ? "\" font-style=\"italic\">" : "\" font-style=\"normal\">");
  PutEscaped(item.text());
  Put("</text>\n");
}

void SvgStreamEngine::drawPixmap(const QRectF& r, const QPixmap& pixmap, const QRectF& source) {
  drawImage(r, pixmap.toImage(), source, Qt::AutoColor);
}

void SvgStreamEngine::drawImage(const QRectF& r, const QImage& image, const QRectF& source, Qt::ImageConversionFlags) {
  const QImage part = source.isNull() ? image : image.copy(source.toAlignedRect());
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  part.save(&buffer, "PNG");
  Put("<image");
  PutBox(r);
  Put(" preserveAspectRatio=\"none\" xlink:href=\"data:image/png;base64,");
  const QByteArray base64 = png.toBase64();
  Put(std::string_view(base64.constData(), static_cast<std::size_t>(base64.size())));
  Put("\"/>\n");
}

SvgStreamDevice::SvgStreamDevice(QIODevice& out, QSize size, int resolution, const QString& title)
    : engine_(std::make_unique<SvgStreamEngine>(out, size, resolution, title)), size_(size),
      resolution_(resolution) {}

SvgStreamDevice::~SvgStreamDevice() = default;

QPaintEngine* SvgStreamDevice::paintEngine() const { return engine_.get(); }

bool SvgStreamDevice::Written() const { return engine_->Written(); }

int SvgStreamDevice::metric(PaintDeviceMetric metric) const {
  switch (metric) {
    case PdmWidth: return size_.width();
    case PdmHeight: return size_.height();
    case PdmWidthMM: return qRound(size_.width() * 25.4 / resolution_);
    case PdmHeightMM: return qRound(size_.height() * 25.4 / resolution_);
    case PdmNumColors: return 0x7fffffff;
    case PdmDepth: return 32;
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY: return resolution_;
    case PdmDevicePixelRatio: return 1;
    case PdmDevicePixelRatioScaled: return static_cast<int>(QPaintDevice::devicePixelRatioFScale());
    default: return 0;
  }
}

}  // namespace trendolin
