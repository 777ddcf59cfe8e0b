// The plot renderer drawing onto a recording surface: axes and ticks, the
// header and its hint lines, the bad logarithmic axis, monochrome output,
// residual bars, the curve sampler's runs, symbols and the object stacks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "data/curve_fit.h"
#include "data/data_test_support.h"
#include "fit/model_desc.h"
#include "graph/draw_object_stack.h"
#include "graph/plot_axes.h"
#include "graph/plot_renderer.h"
#include "precision/errors.h"
#include "support/raised.h"
#include "support/recording_surface.h"

namespace trendolin {
namespace {

using testsupport::RecordingSurface;
using testsupport::SurfaceCall;

constexpr UiMetrics kUi{16, 7};

class PlotRendererTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testsupport::FillColumns(doc_, {1, 2, 3, 4}, {2, 4, 6, 8});
    // A linear fit y = 2x with its statistics.
    FitResult& slot = doc_.Slot(500);
    slot.coefficients = {0, 2};
    slot.statistics = {0.123456789f, 0.99f, 1};
    attr_.modelId = 500;
    AutomaticAxes(attr_, doc_);
  }

  void Draw(int mode = kRenderScreen, Rect area = Rect{0, 0, 800, 600}, int model = 500) {
    const ModelDesc desc = DescriptorOf(doc_, model);
    Render(surface_, attr_, MakePlotMetrics(attr_, 1, 1), area, desc, mode, kUi);
  }

  // The calls made after the origin moved to the plot's corner.
  std::vector<SurfaceCall> PlotCalls(const char* op) const {
    std::vector<SurfaceCall> calls;
    for (const SurfaceCall& c : surface_.CallsOf(op)) {
      if (c.origin != Point{}) calls.push_back(c);
    }
    return calls;
  }

  CurveFit doc_;
  GraphAttr attr_;
  RecordingSurface surface_;
};

TEST(PlotAxesTest, LogarithmicAxisRunsInWholeDecadesWithMinorTicksToTheTop) {
  GraphAttr attr;
  attr.SetSwitch(kSwLogX, true);
  attr.xMin = 0.5f;
  attr.xMax = 200;
  const AxisSpec axis = XAxisSpec(attr);
  EXPECT_EQ(axis.low, -1);
  EXPECT_EQ(axis.high, 3);
  std::vector<std::string> labels;
  std::vector<int> minors;
  for (const AxisTick& t : AxisTicks(axis, 400)) {
    if (t.major) labels.push_back(t.label);
    else minors.push_back(t.pixel);
  }
  EXPECT_EQ(labels, (std::vector<std::string>{"0.1", "1.0", "10.0", "100.0", "1000.0"}));
  ASSERT_EQ(minors.size(), 32u);  // 2..9 in each of the four decades
  EXPECT_EQ(minors.back(), AxisPixel(axis, 900, 400));
  EXPECT_EQ(GridPixels(axis, 400), (std::vector<int>{100, 200, 300}));
}

TEST(PlotAxesTest, LinearAxisIncludesItsLastMajorAndStopsMinorsThere) {
  GraphAttr attr;
  attr.xMin = 0;
  attr.xMax = 6;
  attr.xStep = 1;
  const std::vector<AxisTick> ticks = AxisTicks(XAxisSpec(attr), 600);
  std::vector<int> majors, minors;
  for (const AxisTick& t : ticks) (t.major ? majors : minors).push_back(t.pixel);
  EXPECT_EQ(majors, (std::vector<int>{0, 100, 200, 300, 400, 500, 600}));
  EXPECT_EQ(ticks.back().label, "6.0");
  ASSERT_EQ(minors.size(), 18u);
  EXPECT_EQ(minors.front(), 25);
  EXPECT_EQ(minors.back(), 575);
  EXPECT_EQ(GridPixels(XAxisSpec(attr), 600), (std::vector<int>{100, 200, 300, 400, 500}));

  attr.xStep = 0;  // a step that never advances draws no ticks instead of hanging
  EXPECT_TRUE(AxisTicks(XAxisSpec(attr), 600).empty());
}

TEST_F(PlotRendererTest, LayoutFollowsTheFontsAndIsStoredOnScreenOnly) {
  attr_.yMax = 10;
  attr_.yMin = 0;
  Draw(kRenderScreen);
  // Fixed-width text: 9-point fonts are 6 wide and 18 high, 12-point ones 24 high.
  const int left = static_cast<int>(24 * 2.3) + 5 * 6 + 9;  // y title, "10.00", 1.5 ticks
  const int right = 800 - std::max(6 * 5, 3 * 6) * 2 / 3;
  const int bottom = 600 - 9 - 24 * 2 - 18;
  const int top = static_cast<int>(4.3 * kUi.textHeight);
  EXPECT_EQ(attr_.plotRect, (Rect{left, top, right, bottom}));

  attr_.plotRect = Rect{};
  Draw(4);
  EXPECT_EQ(attr_.plotRect, Rect{});
  EXPECT_EQ(surface_.SaveDepth(), 0u);
}

TEST_F(PlotRendererTest, HeaderShowsStatisticsAndHintsInsteadOfTheTitle) {
  Draw();
  EXPECT_TRUE(surface_.DrewText(kHintLine1));
  EXPECT_TRUE(surface_.DrewText(kHintLine2));
  EXPECT_TRUE(surface_.DrewText("S = 0.12345679"));
  EXPECT_TRUE(surface_.DrewText("r = 0.99000001"));
  EXPECT_TRUE(surface_.CallsOf("DrawWrappedText").empty());
  for (const SurfaceCall& c : surface_.CallsOf("TextOut")) {
    if (c.text.rfind("S = ", 0) == 0) {
      EXPECT_EQ(c.points[0], (Point{attr_.plotRect.right, kUi.textHeight}));
      EXPECT_EQ(c.h, HAlign::Right);
    }
  }

  surface_.Clear();
  Draw(kRenderScreen, Rect{0, 0, 800, 600}, 503);  // the data plot counts as an interpolation
  EXPECT_TRUE(surface_.DrewText(kHintLine1));
  EXPECT_FALSE(surface_.DrewText("S = 0.12345679"));

  surface_.Clear();
  attr_.SetSwitch(kSwDrawHeader, false);
  Draw();
  EXPECT_FALSE(surface_.DrewText(kHintLine1));
  EXPECT_FALSE(surface_.DrewText("S = 0.12345679"));
  ASSERT_EQ(surface_.CallsOf("DrawWrappedText").size(), 1u);
  EXPECT_EQ(surface_.CallsOf("DrawWrappedText")[0].text, "Untitled Graph");
}

TEST_F(PlotRendererTest, HintLinesNeedRoomAndAScreen) {
  // The first hint line is 43 characters of 6 pixels: 258 pixels, which must
  // be under two thirds of the plot's width.
  Draw(kRenderScreen, Rect{0, 0, 400, 300});
  EXPECT_FALSE(surface_.DrewText(kHintLine1));
  EXPECT_TRUE(surface_.DrewText("S = 0.12345679"));

  RecordingSurface picture(/*recordedPicture=*/true);
  Render(picture, attr_, MakePlotMetrics(attr_, 1, 1), Rect{0, 0, 800, 600}, DescriptorOf(doc_, 500), 4, kUi);
  EXPECT_FALSE(picture.DrewText(kHintLine1));
  EXPECT_TRUE(picture.DrewText("S = 0.12345679"));
}

// A fit that stopped at the iteration limit says so where the hints stand,
// on screen and in pictures; its statistics stay where they were.
TEST_F(PlotRendererTest, HeaderSaysWhenTheFitDidNotConverge) {
  FitResult& slot = doc_.Slot(518);
  slot.valid = 1;
  slot.m = 3;
  slot.coefficients = {1, 0.5f, 0.1f};
  slot.statistics = {0.123456789f, 0.99f, 1};
  slot.comment = "The iteration count of 100 was exceeded.  The fit failed to converge to tolerance of 0.000100 "
                 "(CHI2 at 2.500000). No weighting used. ";
  Draw(kRenderScreen, Rect{0, 0, 800, 600}, 518);
  EXPECT_TRUE(surface_.DrewText("The fit did not converge:"));
  EXPECT_TRUE(surface_.DrewText("the iteration limit was reached."));
  EXPECT_FALSE(surface_.DrewText(kHintLine1));
  EXPECT_TRUE(surface_.DrewText("S = 0.12345679"));
  EXPECT_TRUE(surface_.DrewText("r = 0.99000001"));

  RecordingSurface picture(/*recordedPicture=*/true);
  Render(picture, attr_, MakePlotMetrics(attr_, 1, 1), Rect{0, 0, 800, 600}, DescriptorOf(doc_, 518), 4, kUi);
  EXPECT_TRUE(picture.DrewText("The fit did not converge:"));

  surface_.Clear();
  Draw(kRenderPrinted, Rect{0, 0, 800, 600}, 518);
  EXPECT_TRUE(surface_.DrewText("Graph: the fit did not converge (the iteration limit was reached)"));

  // Converged, the same fit has the header of every good fit.
  slot.comment = "The fit converged to a tolerance of 0.0001 in 7 iterations. No weighting used. ";
  surface_.Clear();
  Draw(kRenderScreen, Rect{0, 0, 800, 600}, 518);
  EXPECT_TRUE(surface_.DrewText(kHintLine1));
  EXPECT_FALSE(surface_.DrewText("The fit did not converge:"));
}

TEST_F(PlotRendererTest, PrintedPageHasItsOwnHeader) {
  Draw(kRenderPrinted);
  EXPECT_TRUE(surface_.DrewText(DescriptorOf(doc_, 500).name));
  EXPECT_TRUE(surface_.DrewText("Graph"));
  EXPECT_TRUE(surface_.DrewText("Trendolin 1.4"));
  EXPECT_FALSE(surface_.DrewText(kHintLine1));
  const int z = 180 / 5;
  EXPECT_EQ(surface_.CallsOf("Rectangle")[1].rect, (Rect{0, 0, 800, 3 * z}));
}

TEST_F(PlotRendererTest, LogAxisAtOrBelowZeroRaisesBeforeDrawingAnything) {
  attr_.SetSwitch(kSwLogX, true);
  attr_.xMin = 0;
  const ErrorRecord error = testsupport::Raised([&] { Draw(); });
  EXPECT_EQ(error.id, kErrDomain);
  for (const char* op : {"Rectangle", "MoveTo", "TextOut", "Polyline", "Ellipse"}) {
    EXPECT_TRUE(surface_.CallsOf(op).empty()) << op;
  }
  EXPECT_EQ(surface_.SaveDepth(), 0u);
  EXPECT_EQ(surface_.Calls().back().op, "Restore");
}

TEST_F(PlotRendererTest, AFailingModelPassesItsErrorOnAfterRestoringTheSurface) {
  ModelDesc desc = DescriptorOf(doc_, 500);
  desc.evaluate = [](const ModelDesc&, datatype x) -> datatype {
    if (x > 2) RaiseError(kErrOverflow);
    return x;
  };
  const ErrorRecord error = testsupport::Raised(
      [&] { Render(surface_, attr_, MakePlotMetrics(attr_, 1, 1), Rect{0, 0, 800, 600}, desc, 1, kUi); });
  EXPECT_EQ(error.id, kErrOverflow);
  EXPECT_EQ(surface_.SaveDepth(), 0u);
  EXPECT_EQ(surface_.Calls().back().op, "Restore");
}

TEST_F(PlotRendererTest, MonochromeDrawsBlackOnWhite) {
  attr_.background = MakeColour(0, 0, 80);
  Draw(kRenderScreen | kRenderMonochrome);
  for (const SurfaceCall& c : surface_.Calls()) {
    if (c.op == "LineTo" || c.op == "Polyline" || c.op == "Ellipse") {
      EXPECT_EQ(c.pen.colour, kBlack) << c.op;
    }
    if (c.op == "TextOut") {
      EXPECT_EQ(c.textColour, kBlack) << c.text;
    }
    if (c.op == "Rectangle") {
      EXPECT_EQ(c.brush.colour, kWhite);
    }
    if (c.op == "Ellipse") {
      EXPECT_EQ(c.brush.colour, kBlack) << "filled symbols stay visible";
    }
  }
  EXPECT_EQ(surface_.CallsOf("Ellipse").size(), 4u);
  EXPECT_FALSE(surface_.CallsOf("Polyline").empty());
}

// Points that land on a pixel where a symbol was already drawn would draw
// the same symbol again: ten million points took 35 s. Each pixel gets one
// symbol, in data order; with error bars, whose lengths differ, every point
// is still drawn.
TEST_F(PlotRendererTest, EachPixelGetsOneSymbol) {
  std::vector<float> x, y, sigma;
  for (int k = 0; k < 3000; ++k) {
    x.push_back(1 + static_cast<float>(k % 3));  // three pixels, a thousand times each
    y.push_back(2 * x.back());
    sigma.push_back(0.1f * static_cast<float>(1 + k % 5));
  }
  testsupport::FillColumns(doc_, x, y);
  AutomaticAxes(attr_, doc_);
  Draw();
  ASSERT_EQ(PlotCalls("Ellipse").size(), 3u);

  testsupport::Fill(doc_, {x, y, sigma});
  doc_.bUncertainty = 1;
  doc_.CalcDataStats();
  attr_.SetSwitch(kSwShowErrorBars, true);
  surface_.Clear();
  Draw();
  EXPECT_EQ(PlotCalls("Ellipse").size(), 3000u);
}

TEST_F(PlotRendererTest, ResidualsAreBarsFromTheZeroLineUnlessShownAsPoints) {
  doc_.At(2, 1) = 7;  // the third point lies 1 above the fit y = 2x
  attr_.plotKind = PlotKind::Residual;
  AutomaticAxes(attr_, doc_);
  Draw();
  EXPECT_TRUE(PlotCalls("Polyline").empty()) << "a residual plot has no curve";
  const std::vector<SurfaceCall> bars = PlotCalls("Rectangle");
  ASSERT_EQ(bars.size(), 4u);
  const int h = attr_.plotRect.top - attr_.plotRect.bottom;
  const int zero = static_cast<int>((0 - attr_.yMin) * h / (attr_.yMax - attr_.yMin));
  EXPECT_EQ(bars[0].rect.top, zero);
  EXPECT_EQ(bars[0].rect.bottom, zero);
  EXPECT_EQ(bars[2].rect.bottom, zero);
  EXPECT_LT(bars[2].rect.top, zero);
  EXPECT_TRUE(PlotCalls("Ellipse").empty());

  surface_.Clear();
  attr_.SetSwitch(kSwResidPoints, true);
  Draw();
  EXPECT_TRUE(PlotCalls("Rectangle").empty());
  EXPECT_EQ(PlotCalls("Ellipse").size(), 4u);
}

TEST(DrawCurveTest, ACurveThatLeavesAndComesBackIsDrawnAsTwoRuns) {
  RecordingSurface surface;
  const PlotTransform transform{Rect{0, -100, 100, 0}, 0, 100, 0, 100, false, false};
  // Visible while |x - 50| > 20: out of the plot's top between 30 and 70.
  const auto f = [](datatype x) { return std::fabs(x - 50) > 20 ? 50.0f : 500.0f; };
  DrawCurve(surface, transform, 4, f);
  const std::vector<SurfaceCall> runs = surface.CallsOf("Polyline");
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].points.front().x, 0);
  EXPECT_EQ(runs[0].points.back().x, 32) << "the first column outside ends the run";
  EXPECT_EQ(runs[1].points.front().x, 64) << "two columns of lead-in before 72";
  EXPECT_EQ(runs[1].points[2].x, 72);
  EXPECT_EQ(runs[1].points.back().x, 100) << "the last column is always sampled";
  EXPECT_EQ(runs[1].points.back().y, -50);

  surface.Clear();
  DrawCurve(surface, transform, 4, [](datatype) { return -5.0f; });
  EXPECT_TRUE(surface.CallsOf("Polyline").empty()) << "a curve below the plot draws nothing";
}

TEST(DrawSymbolTest, EachTypeHasItsShapeAndOutsidePointsAreSkipped) {
  const PlotTransform transform{Rect{0, -100, 100, 0}, 0, 10, 0, 10, false, false};
  struct Case {
    int type;
    const char* op;
    std::size_t calls;
  };
  const Case cases[] = {{kPtCircle, "Ellipse", 1},   {kPtCross, "LineTo", 2},       {kPtPlus, "LineTo", 2},
                        {kPtSquare, "Rectangle", 1}, {kPtTriangle, "Polygon", 1},   {kPtInvTriangle, "Polygon", 1},
                        {kPtHourglass, "Polygon", 2}, {kPtDiamond, "Polygon", 1},   {kPtAsterisk, "LineTo", 4},
                        {12, "Ellipse", 1}};
  for (const Case& c : cases) {
    RecordingSurface surface;
    const SymbolStyle style{c.type, 3, 3, false};
    EXPECT_EQ(DrawSymbol(surface, PlotPoint{5, 5}, transform, style), 0);
    EXPECT_EQ(surface.CallsOf(c.op).size(), c.calls) << "type " << c.type;
  }

  RecordingSurface surface;
  const SymbolStyle circle{kPtCircle, 3, 3, false};
  EXPECT_EQ(DrawSymbol(surface, PlotPoint{-0.1f, 5}, transform, circle), 1) << "left of the plot";
  EXPECT_EQ(DrawSymbol(surface, PlotPoint{10, 5}, transform, circle), 1) << "on the right edge";
  EXPECT_EQ(DrawSymbol(surface, PlotPoint{5, 11}, transform, circle), 1);
  EXPECT_TRUE(surface.Calls().empty());
  EXPECT_EQ(DrawSymbol(surface, PlotPoint{0, 5}, transform, circle), 0) << "x at the axis minimum is drawn";
  surface = RecordingSurface();

  // An error bar of half-length 2 spans 20 pixels each way, with caps.
  EXPECT_EQ(DrawSymbol(surface, PlotPoint{5, 5, 2}, transform, circle, nullptr, true), 0);
  const auto lines = surface.Lines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].first, (Point{50, -70}));
  EXPECT_EQ(lines[0].second, (Point{50, -30}));
  EXPECT_EQ(lines[1].first, (Point{47, -70}));
}

TEST(DrawObjectStackTest, HoldsThreeAboveTheBaseAndReselectsWhenPopped) {
  RecordingSurface surface;
  DrawObjectStack stack(surface);
  const Pen red{PenStyle::Solid, 1, MakeColour(255, 0, 0)};
  const Pen green{PenStyle::Dash, 1, MakeColour(0, 255, 0)};
  EXPECT_TRUE(stack.PushPen(red));
  EXPECT_TRUE(stack.PushPen(green));
  EXPECT_TRUE(stack.PushPen(red));
  EXPECT_FALSE(stack.PushPen(green)) << "a fourth is refused";
  EXPECT_EQ(surface.CallsOf("SelectPen").size(), 3u);
  stack.PopPen();
  EXPECT_EQ(surface.CallsOf("SelectPen").back().pen, green);
  EXPECT_TRUE(stack.ReplacePen(red));
  EXPECT_EQ(stack.PenDepth(), 2);
  stack.Close();
  EXPECT_EQ(stack.PenDepth(), 0);
  EXPECT_EQ(surface.CallsOf("SelectPen").back().pen, kBasePen);
}

}  // namespace
}  // namespace trendolin
