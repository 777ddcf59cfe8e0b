// The drawing surface the plot renderer paints on: a small set of 2-D
// operations in integer device pixels that a screen widget, an image, a
// vector file or a printer page each provide.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace trendolin {

// A colour with red in the low byte, then green, then blue.
using Colour = std::uint32_t;

constexpr Colour MakeColour(int red, int green, int blue) {
  return static_cast<Colour>((red & 0xff) | ((green & 0xff) << 8) | ((blue & 0xff) << 16));
}
constexpr int RedOf(Colour c) { return static_cast<int>(c & 0xff); }
constexpr int GreenOf(Colour c) { return static_cast<int>((c >> 8) & 0xff); }
constexpr int BlueOf(Colour c) { return static_cast<int>((c >> 16) & 0xff); }

inline constexpr Colour kBlack = MakeColour(0, 0, 0);
inline constexpr Colour kWhite = MakeColour(255, 255, 255);

// One font description, as the settings file stores it.
struct FontSpec {
  static constexpr std::size_t kMaxFaceLength = 31;
  std::string face;     // at most kMaxFaceLength characters
  int size = 0;         // tenths of a point: 120 is 12 pt
  int weight = 0;       // 400 normal, 700 bold
  int angle = 0;        // degrees counter-clockwise
  Colour colour = 0;
  std::uint8_t italic = 0;
  std::uint8_t underline = 0;
  std::uint8_t strikeOut = 0;

  bool operator==(const FontSpec&) const = default;
};

enum class PenStyle { Solid, Dash, Dot, DashDot, DashDotDot };

struct Pen {
  PenStyle style = PenStyle::Solid;
  int width = 0;  // pixels; 0 is the thinnest line the surface can draw
  Colour colour = kBlack;
  bool operator==(const Pen&) const = default;
};

struct Brush {
  bool hollow = false;  // no fill at all
  Colour colour = kWhite;
  bool operator==(const Brush&) const = default;
};

struct Point {
  int x = 0;
  int y = 0;
  bool operator==(const Point&) const = default;
};

// Edges in device pixels; right and bottom are exclusive as on a screen.
struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool operator==(const Rect&) const = default;
};

struct TextSize {
  int width = 0;
  int height = 0;
};

struct FontMetrics {
  int height = 0;            // ascent + descent
  int averageCharWidth = 0;
};

// One drawing operation of a marker, in pixels relative to the marker's point.
struct MarkerPart {
  enum class Kind { Line, Rectangle, Ellipse, Polygon };
  Kind kind = Kind::Line;
  // A line's two ends, a box's top-left and bottom-right corners (rectangle,
  // ellipse) or a closed polygon's corners.
  std::array<Point, 4> points{};
  int count = 0;  // how many of `points` are used
};

// A marker drawn at many points: the same operations moved to each point.
// A marker may stand on an error bar of its own length: a vertical line and
// caps from capLeft to capRight at both ends, drawn before the marker.
struct MarkerShape {
  std::vector<MarkerPart> parts;
  int capLeft = 0;
  int capRight = 0;
};

// How far an error bar reaches above and below its marker's point, in
// pixels (equal on a linear axis, not on a logarithmic one).
struct ErrorBarExtent {
  int up = 0;
  int down = 0;
  bool operator==(const ErrorBarExtent&) const = default;
};

enum class HAlign { Left, Centre, Right };
enum class VAlign { Top, Bottom };

// Coordinates are device pixels relative to the current origin; y grows
// downward. Every operation draws with the pen, brush and font selected last.
class Surface {
 public:
  virtual ~Surface() = default;

  // Saves and restores the whole drawing state: pen, brush, font, text
  // colour and background mode, clip and origin.
  virtual void Save() = 0;
  virtual void Restore() = 0;

  virtual void SelectPen(const Pen& pen) = 0;
  virtual void SelectBrush(const Brush& brush) = 0;
  virtual void SelectFont(const FontSpec& font) = 0;

  virtual void MoveTo(Point p) = 0;
  virtual void LineTo(Point p) = 0;  // from the current position, which moves to p
  virtual void Polyline(std::span<const Point> points) = 0;
  virtual void Rectangle(const Rect& r) = 0;  // outlined with the pen, filled with the brush
  virtual void RoundRect(const Rect& r, int ellipseWidth, int ellipseHeight) = 0;
  virtual void Ellipse(const Rect& box) = 0;
  virtual void Polygon(std::span<const Point> points) = 0;  // closed

  // Draws `shape` at each of `at` in turn, each after its error bar when
  // `errorBars` holds the bars' extents (one per point, else empty): the
  // same picture as drawing the parts one by one, which is what this does.
  // Surfaces that can draw a run of markers faster override it.
  virtual void DrawMarkers(const MarkerShape& shape, std::span<const Point> at, std::span<const ErrorBarExtent> errorBars);

  // Text in the selected font and the text colour, anchored at p.
  virtual void TextOut(Point p, std::string_view text, HAlign h, VAlign v) = 0;
  virtual TextSize MeasureText(std::string_view text) = 0;  // one line, selected font
  virtual FontMetrics Metrics() = 0;                         // of the selected font
  // Word-wrapped text centred in the width of `r`: the height it needs, and
  // the drawing itself (top-aligned in `r`).
  virtual int MeasureWrappedText(const Rect& r, std::string_view text) = 0;
  virtual void DrawWrappedText(const Rect& r, std::string_view text) = 0;
  virtual void SetTransparentText(bool transparent) = 0;
  virtual void SetTextColour(Colour colour) = 0;

  virtual void SetClip(const Rect& r) = 0;
  // Places the origin at p, given in the surface's own device coordinates.
  virtual void SetOrigin(Point p) = 0;

  // True for a recorded picture (a vector file): it is sampled at every
  // pixel, measured on the screen and never clipped.
  virtual bool IsRecordedPicture() const = 0;
};

// The parts of `shape` drawn at `p` with the surface's own operations.
inline void DrawMarkerParts(Surface& surface, const MarkerShape& shape, Point p) {
  for (const MarkerPart& part : shape.parts) {
    const auto& q = part.points;
    switch (part.kind) {
      case MarkerPart::Kind::Line:
        surface.MoveTo({p.x + q[0].x, p.y + q[0].y});
        surface.LineTo({p.x + q[1].x, p.y + q[1].y});
        break;
      case MarkerPart::Kind::Rectangle:
      case MarkerPart::Kind::Ellipse: {
        const Rect box{p.x + q[0].x, p.y + q[0].y, p.x + q[1].x, p.y + q[1].y};
        if (part.kind == MarkerPart::Kind::Rectangle) {
          surface.Rectangle(box);
        } else {
          surface.Ellipse(box);
        }
        break;
      }
      case MarkerPart::Kind::Polygon: {
        std::array<Point, 4> corners{};
        for (int i = 0; i < part.count; ++i) corners[i] = {p.x + q[i].x, p.y + q[i].y};
        surface.Polygon(std::span<const Point>(corners.data(), static_cast<std::size_t>(part.count)));
        break;
      }
    }
  }
}

// An error bar under the marker at `p`.
inline void DrawMarkerErrorBar(Surface& surface, const MarkerShape& shape, Point p, ErrorBarExtent e) {
  const int left = p.x + shape.capLeft, right = p.x + shape.capRight;
  surface.MoveTo({p.x, p.y - e.up});
  surface.LineTo({p.x, p.y + e.down});
  surface.MoveTo({left, p.y - e.up});
  surface.LineTo({right, p.y - e.up});
  surface.MoveTo({left, p.y + e.down});
  surface.LineTo({right, p.y + e.down});
}

inline void Surface::DrawMarkers(const MarkerShape& shape, std::span<const Point> at, std::span<const ErrorBarExtent> errorBars) {
  for (std::size_t i = 0; i < at.size(); ++i) {
    if (i < errorBars.size()) DrawMarkerErrorBar(*this, shape, at[i], errorBars[i]);
    DrawMarkerParts(*this, shape, at[i]);
  }
}

}  // namespace trendolin
