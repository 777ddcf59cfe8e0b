// QtSurface drawing into an image: which pixels each operation covers, and
// how text is placed and measured.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include <QBuffer>
#include <QFontInfo>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>

#include "render_qt/qt_font.h"
#include "render_qt/qt_surface.h"
#include "render_qt/ui_metrics.h"

namespace {

using trendolin::Brush;
using trendolin::FontSpec;
using trendolin::HAlign;
using trendolin::MakeColour;
using trendolin::Pen;
using trendolin::PenStyle;
using trendolin::Point;
using trendolin::QtSurface;
using trendolin::Rect;
using trendolin::VAlign;

constexpr QRgb kWhite = 0xffffffff;
constexpr QRgb kBlackPixel = 0xff000000;
constexpr QRgb kRedPixel = 0xffff0000;

const FontSpec kArial12{"Arial", 120, 700, 0, 0, 0, 0, 0};

// A white 100 x 100 image at screen resolution.
QImage WhiteImage(int width = 100, int height = 100) {
  QImage image(width, height, QImage::Format_RGB32);
  const int dotsPerMetre = static_cast<int>(trendolin::kScreenDpi / 0.0254 + 0.5);
  image.setDotsPerMeterX(dotsPerMetre);
  image.setDotsPerMeterY(dotsPerMetre);
  image.fill(Qt::white);
  return image;
}

// Draws on `image` through a fresh surface.
template <class Draw>
void DrawOn(QImage& image, Draw draw) {
  QPainter painter(&image);
  QtSurface surface(painter, false);
  draw(surface);
}

bool Dark(const QImage& image, int x, int y) { return qGray(image.pixel(x, y)) < 128; }

// The drawn (dark) and blank stretches along row y from x0 up to x1.
std::vector<int> RunsAlongRow(const QImage& image, int y, int x0, int x1) {
  std::vector<int> runs;
  bool dark = true;
  int length = 0;
  for (int x = x0; x < x1; ++x) {
    if (Dark(image, x, y) != dark) {
      runs.push_back(length);
      dark = !dark;
      length = 0;
    }
    ++length;
  }
  runs.push_back(length);
  return runs;
}

// The smallest box holding every pixel that differs from white.
QRect InkBox(const QImage& image) {
  QRect box;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (qGray(image.pixel(x, y)) < 160) box |= QRect(x, y, 1, 1);
    }
  }
  return box;
}

TEST(QtSurfaceTest, LineStylesCoverTheirPatternFromTheFirstPixelUpToTheLast) {
  struct Case {
    PenStyle style;
    std::vector<int> runs;  // drawn, blank, drawn, ... along 60 pixels
  };
  const Case cases[] = {
      {PenStyle::Solid, {60}},
      {PenStyle::Dash, {18, 6, 18, 6, 12}},
      {PenStyle::Dot, {3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3}},
      {PenStyle::DashDot, {9, 6, 3, 6, 9, 6, 3, 6, 9, 3}},
      {PenStyle::DashDotDot, {9, 3, 3, 3, 3, 3, 9, 3, 3, 3, 3, 3, 9, 3}},
  };
  for (const Case& c : cases) {
    QImage image = WhiteImage();
    DrawOn(image, [&](QtSurface& s) {
      s.SelectPen(Pen{c.style, 0, trendolin::kBlack});
      s.MoveTo(Point{10, 20});
      s.LineTo(Point{70, 20});
    });
    EXPECT_EQ(RunsAlongRow(image, 20, 10, 70), c.runs) << "style " << static_cast<int>(c.style);
    EXPECT_FALSE(Dark(image, 70, 20)) << "the end point is not drawn";
    EXPECT_FALSE(Dark(image, 9, 20));
    for (int x = 10; x < 70; ++x) {
      ASSERT_EQ(image.pixel(x, 19), kWhite) << "a thin line stays one pixel high, at " << x;
      ASSERT_EQ(image.pixel(x, 21), kWhite);
    }
  }
}

TEST(QtSurfaceTest, PenWidthZeroIsOnePixelAndWidePensAreCentred) {
  QImage image = WhiteImage();
  DrawOn(image, [](QtSurface& s) {
    s.SelectPen(Pen{PenStyle::Solid, 0, trendolin::kBlack});
    s.MoveTo(Point{20, 10});
    s.LineTo(Point{20, 90});  // vertical, thinnest
    s.SelectPen(Pen{PenStyle::Solid, 5, trendolin::kBlack});
    s.MoveTo(Point{40, 50});
    s.LineTo(Point{90, 50});
  });
  EXPECT_EQ(image.pixel(20, 50), kBlackPixel);
  EXPECT_EQ(image.pixel(19, 50), kWhite);
  EXPECT_EQ(image.pixel(21, 50), kWhite);
  EXPECT_EQ(image.pixel(20, 90), kWhite) << "a vertical line stops before its end too";
  for (int y = 48; y <= 52; ++y) EXPECT_EQ(image.pixel(60, y), kBlackPixel) << y;
  EXPECT_EQ(image.pixel(60, 46), kWhite);
  EXPECT_EQ(image.pixel(60, 54), kWhite);
}

TEST(QtSurfaceTest, RectanglesFillWithTheBrushInsideAnOutlineOnTheOuterPixels) {
  for (bool hollow : {false, true}) {
    QImage image = WhiteImage();
    DrawOn(image, [hollow](QtSurface& s) {
      s.SelectPen(Pen{PenStyle::Solid, 0, trendolin::kBlack});
      s.SelectBrush(Brush{hollow, MakeColour(255, 0, 0)});
      s.Rectangle(Rect{20, 30, 60, 70});
    });
    EXPECT_EQ(image.pixel(40, 50), hollow ? kWhite : kRedPixel);
    for (Point edge : {Point{20, 50}, Point{59, 50}, Point{40, 30}, Point{40, 69}, Point{20, 30}, Point{59, 69}}) {
      EXPECT_EQ(image.pixel(edge.x, edge.y), kBlackPixel) << edge.x << "," << edge.y;
    }
    for (Point outside : {Point{19, 50}, Point{60, 50}, Point{40, 29}, Point{40, 70}}) {
      EXPECT_EQ(image.pixel(outside.x, outside.y), kWhite) << outside.x << "," << outside.y;
    }
    EXPECT_EQ(image.pixel(21, 50), hollow ? kWhite : kRedPixel) << "the outline is one pixel wide";
  }
}

TEST(QtSurfaceTest, EllipsesPolygonsAndRoundedBoxesFillInsideTheirBox) {
  QImage image = WhiteImage();
  DrawOn(image, [](QtSurface& s) {
    s.SelectPen(Pen{PenStyle::Solid, 0, MakeColour(255, 0, 0)});
    s.SelectBrush(Brush{false, MakeColour(255, 0, 0)});
    s.Ellipse(Rect{0, 0, 40, 40});
    const Point triangle[] = {{60, 10}, {90, 10}, {75, 40}};
    s.Polygon(triangle);
    s.RoundRect(Rect{10, 60, 90, 90}, 20, 20);
  });
  EXPECT_EQ(image.pixel(20, 20), kRedPixel);
  EXPECT_EQ(image.pixel(1, 1), kWhite) << "the ellipse leaves its box's corners";
  EXPECT_EQ(image.pixel(75, 15), kRedPixel);
  EXPECT_EQ(image.pixel(62, 35), kWhite) << "outside the triangle";
  EXPECT_EQ(image.pixel(50, 75), kRedPixel);
  EXPECT_EQ(image.pixel(10, 75), kRedPixel) << "a rounded box is straight between its corners";
  EXPECT_EQ(image.pixel(10, 60), kWhite) << "and rounded at them";
}

TEST(QtSurfaceTest, OriginAndClipMoveWithSaveAndRestore) {
  QImage image = WhiteImage();
  DrawOn(image, [](QtSurface& s) {
    s.SelectPen(Pen{PenStyle::Solid, 0, MakeColour(255, 0, 0)});
    s.SelectBrush(Brush{false, MakeColour(255, 0, 0)});
    s.Save();
    s.SetOrigin(Point{50, 60});
    s.SetClip(Rect{0, -20, 20, 0});     // device 50..70 x 40..60
    s.Rectangle(Rect{-50, -60, 50, 40});  // the whole image, clipped
    s.Restore();
    s.SelectBrush(Brush{false, MakeColour(0, 0, 0)});
    s.SelectPen(Pen{PenStyle::Solid, 0, MakeColour(0, 0, 0)});
    s.Rectangle(Rect{0, 0, 10, 10});  // back at the device origin, unclipped
  });
  EXPECT_EQ(image.pixel(55, 45), kRedPixel);
  EXPECT_EQ(image.pixel(69, 59), kRedPixel);
  EXPECT_EQ(image.pixel(70, 50), kWhite) << "right of the clip";
  EXPECT_EQ(image.pixel(55, 60), kWhite) << "below the clip";
  EXPECT_EQ(image.pixel(49, 50), kWhite) << "left of the clip";
  EXPECT_EQ(image.pixel(5, 5), kBlackPixel) << "Restore put the origin back";
  EXPECT_EQ(image.pixel(40, 45), kWhite);
}

// Where text anchored at (50, 50) lands for each alignment.
QRect TextInk(HAlign h, VAlign v, int angle = 0) {
  QImage image = WhiteImage();
  DrawOn(image, [&](QtSurface& s) {
    s.SetTransparentText(true);
    FontSpec font = kArial12;
    font.angle = angle;
    s.SelectFont(font);
    s.TextOut(Point{50, 50}, "Hg", h, v);
  });
  return InkBox(image);
}

TEST(QtSurfaceTest, TextIsAnchoredByItsCellEdgesAndTurnsCounterClockwise) {
  const QRect leftTop = TextInk(HAlign::Left, VAlign::Top);
  EXPECT_GE(leftTop.left(), 50);
  EXPECT_LE(leftTop.left(), 52);
  EXPECT_GE(leftTop.top(), 50) << "the cell's top, above the capitals, is at the anchor";
  EXPECT_LE(leftTop.top(), 55);

  const QRect rightBottom = TextInk(HAlign::Right, VAlign::Bottom);
  EXPECT_LT(rightBottom.right(), 50);
  EXPECT_GE(rightBottom.right(), 47);
  EXPECT_LT(rightBottom.bottom(), 50) << "descenders end at the anchor";
  EXPECT_GE(rightBottom.bottom(), 47);

  const QRect centred = TextInk(HAlign::Centre, VAlign::Top);
  EXPECT_LE(std::abs(centred.center().x() - 50), 2);
  EXPECT_EQ(centred.width(), leftTop.width());

  // Turned 90 degrees the text reads upwards: its top faces left, so a
  // top-aligned anchor is at its left edge, and it starts at the anchor.
  const QRect turned = TextInk(HAlign::Left, VAlign::Top, 90);
  EXPECT_GE(turned.left(), 50);
  EXPECT_LE(turned.left(), 55);
  EXPECT_LT(turned.bottom(), 50);
  EXPECT_GE(turned.bottom(), 47);
  EXPECT_GT(turned.height(), turned.width());
}

TEST(QtSurfaceTest, OpaqueTextPaintsItsCellWhiteAndTransparentTextDoesNot) {
  for (bool transparent : {false, true}) {
    QImage image = WhiteImage();
    image.fill(Qt::red);
    DrawOn(image, [transparent](QtSurface& s) {
      s.SelectFont(kArial12);
      s.SetTransparentText(transparent);
      s.SetTextColour(MakeColour(0, 0, 255));
      s.TextOut(Point{10, 10}, "i i", HAlign::Left, VAlign::Top);
    });
    EXPECT_EQ(image.pixel(11, 11), transparent ? kRedPixel : kWhite);
    bool blue = false;
    for (int y = 10; y < 30; ++y) blue = blue || image.pixel(11, y) == 0xff0000ff || image.pixel(12, y) == 0xff0000ff;
    EXPECT_TRUE(blue) << "the text is in the text colour";
  }
}

TEST(QtSurfaceTest, FontSizesArePointsAtTheDeviceResolution) {
  EXPECT_EQ(trendolin::FontPixelSize(90, 96), 12);
  EXPECT_EQ(trendolin::FontPixelSize(120, 600), 100) << "a printer's points are bigger in pixels";
  EXPECT_EQ(trendolin::FontPixelSize(1, 96), 1) << "never below one pixel";

  QImage image = WhiteImage();
  DrawOn(image, [](QtSurface& s) {
    s.SelectFont(FontSpec{"Arial", 90, 700});
    const trendolin::FontMetrics small = s.Metrics();
    s.SelectFont(FontSpec{"Arial", 180, 700});
    const trendolin::FontMetrics large = s.Metrics();
    // The Arial-compatible family is 1.15 em high.
    EXPECT_NEAR(small.height, 14, 1);
    EXPECT_NEAR(large.height, 28, 1);
    EXPECT_EQ(s.MeasureText("Graph").height, large.height);
  });
  // The interface font, 9-point bold, sizes the graph windows.
  EXPECT_NEAR(trendolin::MeasureUiMetrics().textHeight, 14, 1);
}

TEST(QtSurfaceTest, ClassicFacesMapToMetricCompatibleFamilies) {
  EXPECT_EQ(trendolin::FamilyForFace("Arial"), "Liberation Sans");
  EXPECT_EQ(trendolin::FamilyForFace("ms sans serif"), "Liberation Sans");
  EXPECT_EQ(QFontInfo(trendolin::FontFromSpec(kArial12, 96)).family(), "Liberation Sans") << "the font is installed";
  const QString fallback = trendolin::FamilyForFace("No Such Face 12345");
  EXPECT_FALSE(fallback.isEmpty());
  EXPECT_NE(fallback, "No Such Face 12345");
  EXPECT_EQ(trendolin::FontFromSpec(FontSpec{"Arial", 100, 0}, 96).weight(), QFont::Normal) << "0 means any weight";
}

TEST(QtSurfaceTest, WrappedTextBreaksBetweenWordsAndDrawsWhatItMeasured) {
  const std::string title = "Decay of the counts over the whole measured run";
  QImage image = WhiteImage(300, 200);
  int oneLine = 0;
  int wrapped = 0;
  int lineHeight = 0;
  DrawOn(image, [&](QtSurface& s) {
    s.SelectFont(kArial12);
    lineHeight = s.Metrics().height;
    oneLine = s.MeasureWrappedText(Rect{0, 0, 1000, 0}, title);
    wrapped = s.MeasureWrappedText(Rect{0, 0, 120, 0}, title);
    EXPECT_EQ(s.MeasureWrappedText(Rect{0, 0, 120, 0}, ""), 0);
    EXPECT_EQ(s.MeasureWrappedText(Rect{0, 0, 1000, 0}, "two\nlines"), 2 * lineHeight);
    s.SetTransparentText(true);
    s.DrawWrappedText(Rect{90, 10, 210, 10 + wrapped}, title);
  });
  EXPECT_EQ(oneLine, lineHeight);
  EXPECT_GE(wrapped, 3 * lineHeight);
  EXPECT_EQ(wrapped % lineHeight, 0);
  const QRect ink = InkBox(image);
  EXPECT_GE(ink.top(), 10);
  EXPECT_LE(ink.bottom(), 10 + wrapped);
  EXPECT_GT(ink.bottom(), 10 + wrapped - lineHeight) << "the last line is drawn where it was measured";
  EXPECT_LE(std::abs(ink.center().x() - 150), 3) << "each line centred";
}

TEST(QtSurfaceTest, RecordedPicturesMeasureTextAsTheScreenDoes) {
  QImage image = WhiteImage();
  QPainter imagePainter(&image);
  QtSurface screen(imagePainter, false);
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  QSvgGenerator svg;
  svg.setOutputDevice(&buffer);
  svg.setResolution(trendolin::kScreenDpi);
  svg.setSize(QSize(100, 100));
  QPainter svgPainter(&svg);
  QtSurface picture(svgPainter, true);
  EXPECT_TRUE(picture.IsRecordedPicture());
  EXPECT_FALSE(screen.IsRecordedPicture());
  for (const FontSpec& font : {kArial12, FontSpec{"Arial", 90, 400, 25}, FontSpec{"MS Sans Serif", 90, 700}}) {
    screen.SelectFont(font);
    picture.SelectFont(font);
    const trendolin::TextSize a = screen.MeasureText("-12.75 x 10^3");
    const trendolin::TextSize b = picture.MeasureText("-12.75 x 10^3");
    EXPECT_EQ(a.width, b.width);
    EXPECT_EQ(a.height, b.height);
    EXPECT_EQ(screen.Metrics().averageCharWidth, picture.Metrics().averageCharWidth);
  }
}

}  // namespace
