// Runs of markers on the Qt surface: an image gets the very pixels of drawing
// marker by marker, a vector file the same drawing in a few groups, and a
// picture file is either complete or not there at all.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <QSvgRenderer>
#include <QXmlStreamReader>

#include "graph/graph_attr.h"
#include "graph/plot_symbols.h"
#include "precision/errors.h"
#include "render_qt/graph_file.h"
#include "render_qt/qt_font.h"
#include "render_qt/qt_surface.h"
#include "support/temp_dir.h"

namespace trendolin {
namespace {

using testsupport::ReadFile;
using testsupport::TempDir;

const Colour kBlue = MakeColour(0, 0, 255);

// Markers close enough to overlap, some on top of each other, with error
// bars of assorted lengths above and below (zero among them).
struct Scatter {
  std::vector<Point> at;
  std::vector<ErrorBarExtent> bars;
};

Scatter MakeScatter(int count) {
  Scatter s;
  for (int i = 0; i < count; ++i) {
    s.at.push_back({10 + (i * 37) % 180, 10 + (i * 53) % 130});
    s.bars.push_back({(i * 7) % 9, (i * 5) % 11});
  }
  s.at.push_back(s.at.front());
  s.bars.push_back({3, 3});
  return s;
}

// Draws the markers through `surface`'s own run, or through the one-by-one
// drawing every surface has.
void DrawRun(Surface& surface, const MarkerShape& shape, const Scatter& s, bool bars, bool oneByOne) {
  const std::span<const ErrorBarExtent> barSpan =
      bars ? std::span<const ErrorBarExtent>(s.bars) : std::span<const ErrorBarExtent>();
  if (oneByOne) {
    surface.Surface::DrawMarkers(shape, s.at, barSpan);
  } else {
    surface.DrawMarkers(shape, s.at, barSpan);
  }
}

struct Style {
  int type;
  int half;
  Pen pen;
  Brush brush;
};

QImage DrawImage(const Style& style, const Scatter& s, bool bars, bool oneByOne) {
  QImage image(200, 150, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  QtSurface surface(painter, false);
  surface.SetOrigin({3, 2});
  surface.SelectPen(style.pen);
  surface.SelectBrush(style.brush);
  DrawRun(surface, SymbolShape(SymbolStyle{style.type, style.half, style.half, false}), s, bars, oneByOne);
  return image;
}

// Every symbol, filled in the pen's colour, in another colour and hollow,
// thin and wide pens, tiny boxes: the run must not move a single pixel.
TEST(MarkerRunTest, AnImageRunIsPixelForPixelTheOneByOneDrawing) {
  const Scatter scatter = MakeScatter(60);
  const Pen thin{PenStyle::Solid, 0, kBlue};
  const Brush fills[] = {Brush{false, kBlue}, Brush{false, MakeColour(250, 200, 0)}, Brush{true, kWhite}};
  for (int type = 0; type <= kPtAsterisk; ++type) {
    for (const Brush& brush : fills) {
      for (bool bars : {false, true}) {
        const Style style{type, 5, thin, brush};
        EXPECT_EQ(DrawImage(style, scatter, bars, false), DrawImage(style, scatter, bars, true))
            << "type " << type << (brush.hollow ? " hollow" : " filled") << (bars ? " with bars" : "");
      }
    }
  }
  for (const Style& style : {Style{kPtSquare, 0, thin, fills[0]}, Style{kPtCircle, 0, thin, fills[1]},
                             Style{kPtDiamond, 4, Pen{PenStyle::Solid, 3, kBlue}, fills[1]},
                             Style{kPtCross, 4, Pen{PenStyle::Dot, 0, kBlue}, fills[2]}}) {
    EXPECT_EQ(DrawImage(style, scatter, true, false), DrawImage(style, scatter, true, true)) << "type " << style.type;
  }
}

// A picture of `style` markers written as SVG, marker by marker or as a run.
std::string WriteSvg(const TempDir& dir, const std::string& name, const Style& style, const Scatter& s, bool bars,
                     bool oneByOne) {
  std::string error;
  const auto draw = [&](Surface& surface, const Rect&) {
    surface.SelectPen(style.pen);
    surface.SelectBrush(style.brush);
    DrawRun(surface, SymbolShape(SymbolStyle{style.type, style.half, style.half, false}), s, bars, oneByOne);
  };
  EXPECT_TRUE(WriteGraphFile(dir.File(name), 200, 150, draw, &error)) << error;
  return dir.File(name);
}

QImage Rendered(const std::string& svgPath) {
  QSvgRenderer renderer(QString::fromStdString(svgPath));
  EXPECT_TRUE(renderer.isValid()) << svgPath;
  QImage image(200, 150, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  renderer.render(&painter);
  return image;
}

std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// An SVG keeps every marker's elements in their order, only without a group
// for each change of pen or brush: the same picture from a few groups.
TEST(MarkerRunTest, AnSvgRunDrawsTheSameShapesInAFewGroups) {
  TempDir dir;
  const Scatter scatter = MakeScatter(300);
  const Pen thin{PenStyle::Solid, 0, kBlue};
  for (const Brush& brush : {Brush{false, kBlue}, Brush{false, MakeColour(250, 200, 0)}}) {
    for (int type : {kPtCircle, kPtSquare, kPtTriangle, kPtHourglass, kPtAsterisk}) {
      for (bool bars : {false, true}) {
        const Style style{type, 5, thin, brush};
        const std::string run = WriteSvg(dir, "run.svg", style, scatter, bars, false);
        const std::string single = WriteSvg(dir, "single.svg", style, scatter, bars, true);
        EXPECT_EQ(Rendered(run), Rendered(single)) << "type " << type;
        EXPECT_LE(Count(ReadFile(run), "<g "), 8u) << "type " << type << ": as many for 300 markers as for one";
      }
    }
  }
}

// Every element is well formed and closed, and the dotted pens, texts and
// turned texts of a graph come through.
TEST(MarkerRunTest, AStreamedSvgIsAWholeDocument) {
  TempDir dir;
  std::string error;
  const auto draw = [](Surface& s, const Rect& area) {
    s.SelectPen(Pen{PenStyle::Dot, 0, MakeColour(160, 160, 160)});
    s.MoveTo({0, area.Height() / 2});
    s.LineTo({area.Width(), area.Height() / 2});
    s.SelectFont(FontSpec{"Arial", 120, 700, 90, kBlack, 1, 0, 0});
    s.SetTransparentText(true);
    s.TextOut({20, 100}, "Y <&> \"units\"", HAlign::Centre, VAlign::Top);
    s.SelectPen(Pen{PenStyle::Solid, 0, kBlue});
    s.SelectBrush(Brush{false, kBlue});
    s.DrawMarkers(SymbolShape(SymbolStyle{kPtCircle, 5, 5, false}), MakeScatter(20000).at, {});
  };
  ASSERT_TRUE(WriteGraphFile(dir.File("plot.svg"), 200, 150, draw, &error)) << error;
  const std::string text = ReadFile(dir.File("plot.svg"));
  QXmlStreamReader xml(QByteArray::fromStdString(text));
  int texts = 0;
  while (!xml.atEnd()) {
    if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QStringLiteral("text")) {
      ++texts;
      EXPECT_EQ(xml.attributes().value("font-style"), QStringLiteral("italic"));
      EXPECT_EQ(xml.readElementText(), QStringLiteral("Y <&> \"units\""));
    }
  }
  EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  EXPECT_EQ(texts, 1);
  EXPECT_NE(text.find("stroke-dasharray=\"3,3\""), std::string::npos);
  EXPECT_NE(text.find("transform=\"matrix(0,-1,1,0,20,100)\""), std::string::npos)
      << "the text turns a quarter counter-clockwise about its anchor";
  EXPECT_TRUE(text.ends_with("</g>\n</svg>\n"));
}

// The streamed SVG draws what Qt's own SVG generator drew before it, one
// marker at a time, with frames, dotted lines, turned text and a curve.
TEST(MarkerRunTest, TheStreamedSvgDrawsWhatQtsGeneratorDrew) {
  TempDir dir;
  const Scatter scatter = MakeScatter(200);
  const auto draw = [&](Surface& s, bool run) {
    s.SelectPen(Pen{PenStyle::Solid, 1, kBlack});
    s.SelectBrush(Brush{false, MakeColour(240, 240, 240)});
    s.Rectangle(Rect{0, 0, 200, 150});
    s.SelectPen(Pen{PenStyle::Dot, 0, MakeColour(160, 160, 160)});
    s.MoveTo({0, 75});
    s.LineTo({200, 75});
    s.SelectFont(FontSpec{"Arial", 100, 700, 90, kBlack, 0, 0, 0});
    s.SetTransparentText(true);
    s.TextOut({12, 75}, "Y Axis", HAlign::Centre, VAlign::Top);
    s.SelectPen(Pen{PenStyle::Solid, 0, kBlue});
    s.SelectBrush(Brush{false, kBlue});
    const MarkerShape shape = SymbolShape(SymbolStyle{kPtCircle, 4, 4, false});
    if (run) {
      s.DrawMarkers(shape, scatter.at, scatter.bars);
    } else {
      s.Surface::DrawMarkers(shape, scatter.at, scatter.bars);
    }
    s.SelectPen(Pen{PenStyle::Solid, 2, MakeColour(255, 0, 0)});
    const std::vector<Point> curve = {{0, 140}, {50, 90}, {100, 60}, {150, 50}, {199, 45}};
    s.Polyline(curve);
  };
  std::string error;
  ASSERT_TRUE(WriteGraphFile(dir.File("streamed.svg"), 200, 150,
                             [&](Surface& s, const Rect&) { draw(s, true); }, &error))
      << error;

  QBuffer generated;
  QSvgGenerator generator;
  generator.setOutputDevice(&generated);
  generator.setResolution(kScreenDpi);
  generator.setSize(QSize(200, 150));
  generator.setViewBox(QRect(0, 0, 200, 150));
  {
    QPainter painter(&generator);
    QtSurface surface(painter, true);
    draw(surface, false);
  }
  const QString before = dir.File("generated.svg").c_str();
  testsupport::WriteFile(before.toStdString(), generated.data().toStdString());
  EXPECT_EQ(Rendered(dir.File("streamed.svg")), Rendered(before.toStdString()));
}

TEST(MarkerRunTest, APdfOfManyMarkersEndsWithItsTrailer) {
  TempDir dir;
  std::string error;
  const auto draw = [](Surface& s, const Rect&) {
    s.SelectPen(Pen{PenStyle::Solid, 0, kBlue});
    s.SelectBrush(Brush{false, kBlue});
    s.DrawMarkers(SymbolShape(SymbolStyle{kPtDiamond, 4, 4, false}), MakeScatter(20000).at, {});
  };
  ASSERT_TRUE(WriteGraphFile(dir.File("plot.pdf"), 200, 150, draw, &error)) << error;
  const std::string pdf = ReadFile(dir.File("plot.pdf"));
  EXPECT_EQ(pdf.rfind("%PDF-", 0), 0u);
  const std::size_t trailer = pdf.rfind("trailer");
  ASSERT_NE(trailer, std::string::npos);
  EXPECT_NE(pdf.find("startxref", trailer), std::string::npos);
  EXPECT_NE(pdf.find("%%EOF", trailer), std::string::npos);
}

std::vector<std::string> FilesIn(const TempDir& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// A drawing that fails after much of the file went out leaves the previous
// file and no temporary; so does a disk that fills up.
TEST(MarkerRunTest, AFailedStreamLeavesNothingBehind) {
  TempDir dir;
  testsupport::WriteFile(dir.File("plot.svg"), "previous");
  const auto failing = [](Surface& s, const Rect&) {
    s.SelectPen(Pen{PenStyle::Solid, 0, kBlue});
    s.DrawMarkers(SymbolShape(SymbolStyle{kPtCircle, 5, 5, false}), MakeScatter(100000).at, {});
    RaiseError(kErrDomain);
  };
  EXPECT_THROW(WriteGraphFile(dir.File("plot.svg"), 200, 150, failing), errnotify);
  EXPECT_THROW(WriteGraphFile(dir.File("new.pdf"), 200, 150, failing), errnotify);
  EXPECT_EQ(ReadFile(dir.File("plot.svg")), "previous");
  EXPECT_EQ(FilesIn(dir), (std::vector<std::string>{"plot.svg"}));

  if (std::filesystem::exists("/dev/full")) {
    // A link to a device is written through, never replaced; this one is full.
    std::filesystem::create_symlink("/dev/full", dir.File("full.svg"));
    std::string error;
    const auto markers = [](Surface& s, const Rect&) {
      s.DrawMarkers(SymbolShape(SymbolStyle{kPtCircle, 5, 5, false}), MakeScatter(100000).at, {});
    };
    EXPECT_FALSE(WriteGraphFile(dir.File("full.svg"), 200, 150, markers, &error));
    EXPECT_NE(error.find("full.svg"), std::string::npos) << error;
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("full.svg")));
    EXPECT_EQ(FilesIn(dir), (std::vector<std::string>{"full.svg", "plot.svg"}));
  }
}

}  // namespace
}  // namespace trendolin
