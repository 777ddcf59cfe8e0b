// `trendolin-cli plot` end to end: the real program writing real pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <QImage>
#include <QSvgRenderer>

#include "render_qt/ui_metrics.h"
#include "support/cli_run.h"
#include "support/temp_dir.h"

namespace {

using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WriteFile;

using testsupport::CliRun;

using testsupport::Cli;

// Counts decaying from 100 with x from 0, so that a logarithmic x axis is refused.
const char* kDecay =
    "0 100\n1 74.1\n2 54.9\n3 40.7\n4 30.1\n5 22.3\n6 16.5\n";

QImage LoadPng(const std::string& path) { return QImage(QString::fromStdString(path)); }

bool HasColour(const QImage& image, QRgb colour) {
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixel(x, y) == colour) return true;
    }
  }
  return false;
}

bool AllGrey(const QImage& image) {
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QRgb p = image.pixel(x, y);
      if (qRed(p) != qGreen(p) || qGreen(p) != qBlue(p)) return false;
    }
  }
  return true;
}

TEST(PlotCommandTest, WritesTheGraphAtTheGraphWindowSizeOrTheGivenOne) {
  TempDir dir;
  WriteFile(dir.File("decay.dat"), kDecay);
  const std::string png = dir.File("decay.png");
  CliRun run = Cli(dir, "plot '" + dir.File("decay.dat") + "' -m exponential -o '" + png + "'");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, png + "\n");
  EXPECT_EQ(run.err, "");
  const QImage image = LoadPng(png);
  const int line = trendolin::MeasureUiMetrics().textHeight;
  EXPECT_EQ(image.size(), QSize(45 * line, 31 * line));
  EXPECT_TRUE(HasColour(image, qRgb(255, 0, 0))) << "the red curve";
  EXPECT_TRUE(HasColour(image, qRgb(0, 0, 255))) << "the blue points";

  run = Cli(dir, "plot '" + dir.File("decay.dat") + "' -m exponential --monochrome --size 300x200 -o '" + png + "'");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(LoadPng(png).size(), QSize(300, 200));
  EXPECT_TRUE(AllGrey(LoadPng(png))) << "monochrome has no colour (only antialiased greys)";

  run = Cli(dir, "plot '" + dir.File("decay.dat") + "' --size 320X240 -o '" + dir.File("data.svg") + "'");
  ASSERT_EQ(run.status, 0) << run.err << " (the data plot needs no model)";
  QSvgRenderer svg(QString::fromStdString(dir.File("data.svg")));
  ASSERT_TRUE(svg.isValid());
  EXPECT_EQ(svg.viewBox(), QRect(0, 0, 320, 240));

  run = Cli(dir, "plot '" + dir.File("decay.dat") + "' -m linear --residuals -o '" + dir.File("resid.pdf") + "'");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(ReadFile(dir.File("resid.pdf")).rfind("%PDF-", 0), 0u);
}

TEST(PlotCommandTest, RefusalsAndFailuresWriteNothing) {
  TempDir dir;
  WriteFile(dir.File("decay.dat"), kDecay);
  const std::string data = "'" + dir.File("decay.dat") + "' ";
  WriteFile(dir.File("old.png"), "previous picture");

  CliRun run = Cli(dir, "plot " + data + "-m exponential --log-x -o '" + dir.File("old.png") + "'");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("logarithmic x axis"), std::string::npos) << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(ReadFile(dir.File("old.png")), "previous picture");

  const struct {
    std::string args;
    int status;
    const char* message;
  } refused[] = {
      {"-o '" + dir.File("plot.gif") + "'", 2, ".png, .svg or .pdf"},
      {"--size 640 -o '" + dir.File("plot.png") + "'", 2, "--size"},
      {"--size 0x10 -o '" + dir.File("plot.png") + "'", 2, "--size"},
      {"--residuals -o '" + dir.File("plot.png") + "'", 2, "--residuals"},
      {"-m exponential -o '" + dir.File("missing/plot.png") + "'", 1, "missing"},
      {"-m exponential --bands wide -o '" + dir.File("plot.png") + "'", 2, "--bands"},
      {"-m cubic-spline --bands both -o '" + dir.File("plot.png") + "'", 2, "--bands needs a regression"},
      {"-m exponential --residuals --bands both -o '" + dir.File("plot.png") + "'", 2, "--bands needs"},
  };
  for (const auto& c : refused) {
    run = Cli(dir, "plot " + data + c.args);
    EXPECT_EQ(run.status, c.status) << c.args << ": " << run.err;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << c.args << ": " << run.err;
  }
  // The tool runs in `dir`: the exponential fit leaves its history there.
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"decay.dat", "history.dmp", "old.png", "stderr.txt"}));
}

// The bands are the curve's red, a third and a fifth of the way from the
// white plot area: each shade is there exactly when its band was asked for.
TEST(PlotCommandTest, BandsAreShadedAroundTheCurveWhenAsked) {
  TempDir dir;
  // Scattered enough for bands many pixels wide.
  WriteFile(dir.File("scatter.dat"), "0 1.2\n1 2.1\n2 5.3\n3 5.2\n4 9.6\n5 9.1\n6 13.8\n7 13.2\n8 17.9\n9 17.1\n");
  const QRgb confidence = qRgb(255, 170, 170);
  const QRgb prediction = qRgb(255, 204, 204);
  const struct {
    const char* bands;
    bool confidence, prediction;
  } cases[] = {{"", false, false}, {"--bands confidence", true, false},
               {"--bands prediction", false, true}, {"--bands both", true, true}};
  for (const auto& c : cases) {
    const std::string png = dir.File("bands.png");
    const CliRun run =
        Cli(dir, "plot '" + dir.File("scatter.dat") + "' -m linear " + c.bands + " -o '" + png + "'");
    ASSERT_EQ(run.status, 0) << c.bands << ": " << run.err;
    const QImage image = LoadPng(png);
    EXPECT_EQ(HasColour(image, confidence), c.confidence) << c.bands;
    EXPECT_EQ(HasColour(image, prediction), c.prediction) << c.bands;
  }
  // Two points leave a line no degrees of freedom: no bands to draw.
  WriteFile(dir.File("two.dat"), "1 2\n2 3\n");
  const CliRun run = Cli(dir, "plot '" + dir.File("two.dat") + "' -m linear --bands both -o '" + dir.File("two.png") + "'");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("has no bands"), std::string::npos) << run.err;
  EXPECT_FALSE(std::filesystem::exists(dir.File("two.png")));
}

}  // namespace
