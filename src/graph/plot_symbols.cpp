// The data-point symbols, error bars and residual bars of the plot.
#include <algorithm>
#include <array>
#include <cmath>

#include "graph/plot_renderer.h"

namespace trendolin {
namespace {

void Line(Surface& surface, Point from, Point to) {
  surface.MoveTo(from);
  surface.LineTo(to);
}

// The residual plot's bar: as wide as the symbol, from the point to the zero line.
void DrawBar(Surface& surface, Point p, const PlotTransform& transform, int halfWidth) {
  const int zero = transform.YPixel(0.0);
  surface.Rectangle(Rect{p.x - halfWidth / 2, std::min(p.y, zero), p.x + halfWidth / 2, std::max(p.y, zero)});
}

// The half-length of the bar in pixels; on a logarithmic y axis the bar
// spans the logarithm of the half-length.
int ErrorBarPixels(const PlotTransform& transform, datatype halfLength) {
  const double length = transform.logY ? std::log10(static_cast<double>(halfLength)) : halfLength;
  return ClampToPixel(std::fabs(length * transform.YScale()));
}

void DrawErrorBar(Surface& surface, Point p, int e, int left, int right) {
  Line(surface, {p.x, p.y - e}, {p.x, p.y + e});
  Line(surface, {left, p.y - e}, {right, p.y - e});
  Line(surface, {left, p.y + e}, {right, p.y + e});
}

void DrawShape(Surface& surface, int type, Point p, const Rect& box) {
  const int l = box.left, t = box.top, r = box.right, b = box.bottom;
  switch (type) {
    case kPtCross:
      Line(surface, {l, t}, {r, b});
      Line(surface, {l, b}, {r, t});
      break;
    case kPtPlus:
      Line(surface, {p.x, t}, {p.x, b});
      Line(surface, {l, p.y}, {r, p.y});
      break;
    case kPtSquare:
      surface.Rectangle(box);
      break;
    case kPtTriangle: {
      const std::array<Point, 3> shape = {{{p.x, t}, {r, b}, {l, b}}};
      surface.Polygon(shape);
      break;
    }
    case kPtInvTriangle: {
      const std::array<Point, 3> shape = {{{p.x, b}, {l, t}, {r, t}}};
      surface.Polygon(shape);
      break;
    }
    case kPtHourglass: {
      const std::array<Point, 3> upper = {{{l, t}, {r, t}, p}};
      const std::array<Point, 3> lower = {{{l, b}, {r, b}, p}};
      surface.Polygon(upper);
      surface.Polygon(lower);
      break;
    }
    case kPtDiamond: {
      const std::array<Point, 4> shape = {{{p.x, t}, {r, p.y}, {p.x, b}, {l, p.y}}};
      surface.Polygon(shape);
      break;
    }
    case kPtAsterisk:
      DrawShape(surface, kPtCross, p, box);
      DrawShape(surface, kPtPlus, p, box);
      break;
    default:
      surface.Ellipse(box);
      break;
  }
}

}  // namespace

int DrawSymbol(Surface& surface, const PlotPoint& point, const PlotTransform& transform, const SymbolStyle& style,
               const Point* pixel, bool errorBar) {
  const Point p = pixel ? *pixel : transform.ToPixel(point.x, point.y);
  if (style.bar) {
    DrawBar(surface, p, transform, style.halfWidth);
    return 0;
  }
  // A point on the left edge is inside: data starting at x = 0 get an axis
  // from 0, and their first point must not vanish.
  if (p.y > 0 || p.y < transform.Height() || p.x < 0 || p.x >= transform.Width()) return 1;

  Rect box{p.x - style.halfWidth, p.y - style.halfHeight, p.x + style.halfWidth, p.y + style.halfHeight};
  if (box.right <= box.left) box.right = box.left + 1;
  if (box.bottom <= box.top) box.bottom = box.top + 1;
  if (errorBar) DrawErrorBar(surface, p, ErrorBarPixels(transform, point.errorHalfLength), box.left, box.right);
  DrawShape(surface, style.type, p, box);
  return 0;
}

}  // namespace trendolin
