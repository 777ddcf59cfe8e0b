// The data-point symbols, error bars and residual bars of the plot.
#include "graph/plot_symbols.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace trendolin {
namespace {

// The residual plot's bar: as wide as the symbol, from the point to the zero line.
void DrawBar(Surface& surface, Point p, const PlotTransform& transform, int halfWidth) {
  const int zero = transform.YPixel(0.0);
  surface.Rectangle(Rect{p.x - halfWidth / 2, std::min(p.y, zero), p.x + halfWidth / 2, std::max(p.y, zero)});
}

// The bar of `point` drawn at pixel `p`: y -/+ the half-length. On a
// logarithmic y axis that is longer above than below, and a lower end at or
// below zero reaches the axis. (Scaling the logarithm of the half-length
// instead would draw the smallest uncertainties as the longest bars.)
ErrorBarExtent ErrorBarPixels(const PlotTransform& transform, const PlotPoint& point, Point p) {
  const double half = std::fabs(static_cast<double>(point.errorHalfLength));
  if (!transform.logY) {
    const int e = ClampToPixel(half * std::fabs(transform.YScale()));
    return {e, e};
  }
  const double y = point.y;
  const int up = p.y - transform.YPixel(y + half);
  const int down = y - half > 0 ? transform.YPixel(y - half) - p.y : -p.y;
  return {std::max(up, 0), std::max(down, 0)};
}

// A point on the left edge is inside: data starting at x = 0 get an axis
// from 0, and their first point must not vanish.
bool OutsidePlot(Point p, const PlotTransform& transform) {
  return p.y > 0 || p.y < transform.Height() || p.x < 0 || p.x >= transform.Width();
}

// The symbol's box around (0, 0), at least one pixel wide and high.
Rect SymbolBox(const SymbolStyle& style) {
  Rect box{-style.halfWidth, -style.halfHeight, style.halfWidth, style.halfHeight};
  if (box.right <= box.left) box.right = box.left + 1;
  if (box.bottom <= box.top) box.bottom = box.top + 1;
  return box;
}

MarkerPart Part(MarkerPart::Kind kind, std::initializer_list<Point> points) {
  MarkerPart part;
  part.kind = kind;
  for (Point p : points) part.points[static_cast<std::size_t>(part.count++)] = p;
  return part;
}

void AddShape(std::vector<MarkerPart>& parts, int type, const Rect& box) {
  using Kind = MarkerPart::Kind;
  const int l = box.left, t = box.top, r = box.right, b = box.bottom;
  switch (type) {
    case kPtCross:
      parts.push_back(Part(Kind::Line, {{l, t}, {r, b}}));
      parts.push_back(Part(Kind::Line, {{l, b}, {r, t}}));
      break;
    case kPtPlus:
      parts.push_back(Part(Kind::Line, {{0, t}, {0, b}}));
      parts.push_back(Part(Kind::Line, {{l, 0}, {r, 0}}));
      break;
    case kPtSquare:
      parts.push_back(Part(Kind::Rectangle, {{l, t}, {r, b}}));
      break;
    case kPtTriangle:
      parts.push_back(Part(Kind::Polygon, {{0, t}, {r, b}, {l, b}}));
      break;
    case kPtInvTriangle:
      parts.push_back(Part(Kind::Polygon, {{0, b}, {l, t}, {r, t}}));
      break;
    case kPtHourglass:
      parts.push_back(Part(Kind::Polygon, {{l, t}, {r, t}, {0, 0}}));
      parts.push_back(Part(Kind::Polygon, {{l, b}, {r, b}, {0, 0}}));
      break;
    case kPtDiamond:
      parts.push_back(Part(Kind::Polygon, {{0, t}, {r, 0}, {0, b}, {l, 0}}));
      break;
    case kPtAsterisk:
      AddShape(parts, kPtCross, box);
      AddShape(parts, kPtPlus, box);
      break;
    default:
      parts.push_back(Part(Kind::Ellipse, {{l, t}, {r, b}}));
      break;
  }
}

}  // namespace

MarkerShape SymbolShape(const SymbolStyle& style) {
  const Rect box = SymbolBox(style);
  MarkerShape shape;
  AddShape(shape.parts, style.type, box);
  shape.capLeft = box.left;
  shape.capRight = box.right;
  return shape;
}

int DrawSymbol(Surface& surface, const PlotPoint& point, const PlotTransform& transform, const SymbolStyle& style,
               const Point* pixel, bool errorBar) {
  const Point p = pixel ? *pixel : transform.ToPixel(point.x, point.y);
  if (style.bar) {
    DrawBar(surface, p, transform, style.halfWidth);
    return 0;
  }
  if (OutsidePlot(p, transform)) return 1;
  const MarkerShape shape = SymbolShape(style);
  if (errorBar) DrawMarkerErrorBar(surface, shape, p, ErrorBarPixels(transform, point, p));
  DrawMarkerParts(surface, shape, p);
  return 0;
}

SymbolRun::SymbolRun(Surface& surface, const PlotTransform& transform, const SymbolStyle& style, bool errorBars)
    : surface_(surface), transform_(transform), style_(style), errorBars_(errorBars), shape_(SymbolShape(style)) {}

int SymbolRun::Add(const PlotPoint& point, Point pixel) {
  if (style_.bar) {
    DrawBar(surface_, pixel, transform_, style_.halfWidth);
    return 0;
  }
  if (OutsidePlot(pixel, transform_)) return 1;
  at_.push_back(pixel);
  if (errorBars_) bars_.push_back(ErrorBarPixels(transform_, point, pixel));
  if (at_.size() >= kBatch) Flush();
  return 0;
}

void SymbolRun::Flush() {
  if (at_.empty()) return;
  surface_.DrawMarkers(shape_, at_, bars_);
  at_.clear();
  bars_.clear();
}

}  // namespace trendolin
