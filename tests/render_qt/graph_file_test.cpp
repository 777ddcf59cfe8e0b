// Graph pictures written as PNG, SVG and PDF files, and the failures that
// must leave nothing behind.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <QImage>
#include <QSvgRenderer>

#include "precision/errors.h"
#include "render_qt/graph_file.h"
#include "support/temp_dir.h"

namespace {

using testsupport::ReadFile;
using testsupport::TempDir;
using trendolin::Rect;
using trendolin::Surface;
using trendolin::WriteGraphFile;

// A grey picture with a black frame and a word: enough to see every format draw.
void DrawSample(Surface& s, const Rect& area) {
  s.SelectPen(trendolin::Pen{trendolin::PenStyle::Solid, 1, trendolin::kBlack});
  s.SelectBrush(trendolin::Brush{false, trendolin::MakeColour(192, 192, 192)});
  s.Rectangle(area);
  s.SelectFont(trendolin::FontSpec{"Arial", 120, 700});
  s.SetTransparentText(true);
  s.TextOut(trendolin::Point{area.Width() / 2, area.Height() / 2}, "Decay", trendolin::HAlign::Centre,
            trendolin::VAlign::Top);
}

// The folder holds exactly `names` (no temporary left behind).
std::vector<std::string> FilesIn(const TempDir& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST(GraphFileTest, TheExtensionChoosesTheFormat) {
  using trendolin::GraphFileFormat;
  EXPECT_EQ(trendolin::GraphFileFormatOf("a/plot.png"), GraphFileFormat::Png);
  EXPECT_EQ(trendolin::GraphFileFormatOf("plot.SVG"), GraphFileFormat::Svg);
  EXPECT_EQ(trendolin::GraphFileFormatOf("plot.v2.Pdf"), GraphFileFormat::Pdf);
  EXPECT_FALSE(trendolin::GraphFileFormatOf("plot.gif"));
  EXPECT_FALSE(trendolin::GraphFileFormatOf("png")) << "a name, not an extension";
  EXPECT_FALSE(trendolin::GraphFileFormatOf("out.png/plot")) << "the folder's extension does not count";
}

TEST(GraphFileTest, PngSvgAndPdfAreWrittenWholeAtTheRequestedSize) {
  TempDir dir;
  std::string error;
  ASSERT_TRUE(WriteGraphFile(dir.File("plot.png"), 405, 279, DrawSample, &error)) << error;
  const QImage png(QString::fromStdString(dir.File("plot.png")));
  ASSERT_FALSE(png.isNull());
  EXPECT_EQ(png.size(), QSize(405, 279));
  EXPECT_EQ(png.dotsPerMeterX(), 3780) << "96 dpi";
  EXPECT_EQ(png.pixel(0, 0), 0xff000000u) << "the frame";
  EXPECT_EQ(png.pixel(10, 10), 0xffc0c0c0u) << "the fill";

  ASSERT_TRUE(WriteGraphFile(dir.File("plot.svg"), 405, 279, DrawSample, &error)) << error;
  QSvgRenderer svg(QString::fromStdString(dir.File("plot.svg")));
  ASSERT_TRUE(svg.isValid());
  EXPECT_EQ(svg.viewBox(), QRect(0, 0, 405, 279));
  EXPECT_NE(ReadFile(dir.File("plot.svg")).find("Decay"), std::string::npos) << "text stays text";

  ASSERT_TRUE(WriteGraphFile(dir.File("plot.pdf"), 405, 279, DrawSample, &error)) << error;
  const std::string pdf = ReadFile(dir.File("plot.pdf"));
  EXPECT_EQ(pdf.rfind("%PDF-", 0), 0u);
  EXPECT_NE(pdf.find("%%EOF"), std::string::npos);
  // One page of 405 x 279 pixels at 96 dpi, 303.75 x 209.25 points, in whole points.
  EXPECT_NE(pdf.find("/MediaBox [0 0 304.000000 210.000000]"), std::string::npos);
  const std::size_t page = pdf.find("/Type /Page\n");
  ASSERT_NE(page, std::string::npos);
  EXPECT_EQ(pdf.find("/Type /Page\n", page + 1), std::string::npos) << "one page";

  EXPECT_EQ(FilesIn(dir), (std::vector<std::string>{"plot.pdf", "plot.png", "plot.svg"}));
}

TEST(GraphFileTest, FailuresLeaveNoFileAndSayWhy) {
  TempDir dir;
  std::string error;
  EXPECT_FALSE(WriteGraphFile(dir.File("plot.gif"), 100, 100, DrawSample, &error));
  EXPECT_NE(error.find(".png, .svg or .pdf"), std::string::npos) << error;
  EXPECT_FALSE(WriteGraphFile(dir.File("plot.png"), 0, 100, DrawSample, &error));
  EXPECT_NE(error.find("0x100"), std::string::npos) << error;

  std::filesystem::create_directory(dir.File("locked"));
  std::filesystem::permissions(dir.File("locked"), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  if (::access(dir.File("locked").c_str(), W_OK) != 0) {  // root may write anyway
    EXPECT_FALSE(WriteGraphFile(dir.File("locked/plot.png"), 100, 100, DrawSample, &error));
    EXPECT_NE(error.find("locked"), std::string::npos) << error;
    EXPECT_TRUE(std::filesystem::is_empty(dir.File("locked")));
  }
  EXPECT_FALSE(WriteGraphFile(dir.File("missing/plot.svg"), 100, 100, DrawSample, &error));
  EXPECT_EQ(FilesIn(dir), (std::vector<std::string>{"locked"}));
}

TEST(GraphFileTest, ADrawingThatRaisesKeepsTheOldFile) {
  TempDir dir;
  testsupport::WriteFile(dir.File("plot.pdf"), "previous");
  const auto failing = [](Surface& s, const Rect& area) {
    DrawSample(s, area);
    trendolin::RaiseError(trendolin::kErrDomain);
  };
  EXPECT_THROW(WriteGraphFile(dir.File("plot.pdf"), 100, 100, failing), trendolin::errnotify);
  EXPECT_THROW(WriteGraphFile(dir.File("plot.png"), 100, 100, failing), trendolin::errnotify);
  EXPECT_EQ(ReadFile(dir.File("plot.pdf")), "previous");
  EXPECT_EQ(FilesIn(dir), (std::vector<std::string>{"plot.pdf"}));
}

}  // namespace
