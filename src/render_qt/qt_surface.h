// The plot renderer's drawing surface over a QPainter: a window, an image, an
// SVG or PDF file or a printer page, in integer device pixels with the
// classic 2-D layer's conventions (which pixels a line or a box covers, text
// anchored at its top or bottom edge, a transparent or opaque text cell).
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QTransform>

#include <vector>

#include "graph/surface.h"

namespace trendolin {

class QtSurface final : public Surface {
 public:
  // Draws through `painter`, which must be active on its device for the
  // surface's lifetime. A recorded picture (SVG, PDF) measures its text on a
  // screen-like image so that its layout matches a PNG of the same size.
  // The painter's state is saved here and restored when the surface goes.
  QtSurface(QPainter& painter, bool recordedPicture);
  ~QtSurface() override;
  QtSurface(const QtSurface&) = delete;
  QtSurface& operator=(const QtSurface&) = delete;

  void Save() override;
  void Restore() override;

  void SelectPen(const Pen& pen) override;
  void SelectBrush(const Brush& brush) override;
  void SelectFont(const FontSpec& font) override;

  void MoveTo(Point p) override;
  void LineTo(Point p) override;
  void Polyline(std::span<const Point> points) override;
  void Rectangle(const Rect& r) override;
  void RoundRect(const Rect& r, int ellipseWidth, int ellipseHeight) override;
  void Ellipse(const Rect& box) override;
  void Polygon(std::span<const Point> points) override;
  void DrawMarkers(const MarkerShape& shape, std::span<const Point> at, std::span<const ErrorBarExtent> errorBars) override;

  void TextOut(Point p, std::string_view text, HAlign h, VAlign v) override;
  TextSize MeasureText(std::string_view text) override;
  FontMetrics Metrics() override;
  int MeasureWrappedText(const Rect& r, std::string_view text) override;
  void DrawWrappedText(const Rect& r, std::string_view text) override;
  void SetTransparentText(bool transparent) override;
  void SetTextColour(Colour colour) override;

  void SetClip(const Rect& r) override;
  void SetOrigin(Point p) override;

  bool IsRecordedPicture() const override { return recorded_; }

 private:
  // What Save keeps besides the painter's own state.
  struct State {
    Pen pen;
    Point position;  // where LineTo starts
    FontSpec fontSpec;
    QFont font;
    Colour textColour = kBlack;
    bool transparentText = false;
  };

  // What a run of markers draws with, worked out once for the run.
  struct MarkerRun;

  QFontMetrics MeasuringMetrics() const;
  QPen PenWithCap(Qt::PenCapStyle thinSolidCap) const;
  // Applies the selected pen: `thinSolidCap` ends a thin solid line, styled
  // thin lines end flat so that their pattern keeps its lengths, wide lines
  // have round ends and joins.
  void ApplyPen(Qt::PenCapStyle thinSolidCap);
  void StrokeSegment(Point from, Point to);
  // Markers with the operations of one-by-one drawing, in the same order, so
  // that an image gets exactly the same pixels.
  void DrawMarkersInOrder(const MarkerRun& run, std::span<const Point> at, std::span<const ErrorBarExtent> errorBars);
  // Markers of a PDF: every fill first, then every outline, so that the pen
  // and brush change a few times for the whole run.
  void DrawMarkersInPasses(const MarkerRun& run, std::span<const Point> at, std::span<const ErrorBarExtent> errorBars);
  void FillTextCell(const QRectF& cell);

  QPainter& painter_;
  bool recorded_;
  // An SVG file: its renderers draw a thin box outline through the centres of
  // the outer pixels on exactly the pixels of its four segments (PDF viewers
  // that snap thin lines to the pixel grid do not), so a box is one element.
  bool svg_;
  int dpi_;              // the device's logical resolution: font sizes are points on it
  QTransform base_;      // the painter's own transform; origins are set on top of it
  QImage measuringImage_;  // recorded pictures only: the screen text is measured on
  State state_;
  std::vector<State> saved_;
};

}  // namespace trendolin
