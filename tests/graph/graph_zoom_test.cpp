// Mouse zoom, arrow-key panning, and the Window menu's tile, cascade and
// main-window rescue geometry.
#include <gtest/gtest.h>

#include <vector>

#include "graph/graph_attr.h"
#include "graph/graph_zoom.h"
#include "session/window_arrangement.h"

namespace trendolin {
namespace {

// A plot area 400 px wide and 300 px high at (100, 50), showing x 0..10 and
// y 0..6: 40 px per x unit, 50 px per y unit.
GraphAttr ZoomableGraph() {
  GraphAttr attr;
  attr.plotRect = Rect{100, 50, 500, 350};
  attr.xMin = 0;
  attr.xMax = 10;
  attr.yMin = 0;
  attr.yMax = 6;
  attr.xStep = 2;
  attr.yStep = 1;
  return attr;
}

struct Limits {
  float xMin, xMax, yMin, yMax, xStep, yStep;
};
Limits LimitsOf(const GraphAttr& a) { return {a.xMin, a.xMax, a.yMin, a.yMax, a.xStep, a.yStep}; }
void ExpectUnchanged(const GraphAttr& a) {
  const Limits before = LimitsOf(ZoomableGraph());
  const Limits after = LimitsOf(a);
  EXPECT_EQ(after.xMin, before.xMin);
  EXPECT_EQ(after.xMax, before.xMax);
  EXPECT_EQ(after.yMin, before.yMin);
  EXPECT_EQ(after.yMax, before.yMax);
  EXPECT_EQ(after.xStep, before.xStep);
  EXPECT_EQ(after.yStep, before.yStep);
}

TEST(GraphZoom, ALeftToRightDragBecomesTheWholePlotWithTheSameTickCount) {
  GraphAttr attr = ZoomableGraph();
  // x 140..340 is 1..6; y 100..250 is 5 down to 2.
  ASSERT_TRUE(ZoomToDrag(attr, Point{140, 250}, Point{340, 100}));
  EXPECT_FLOAT_EQ(attr.xMin, 1);
  EXPECT_FLOAT_EQ(attr.xMax, 6);
  EXPECT_FLOAT_EQ(attr.yMin, 2);
  EXPECT_FLOAT_EQ(attr.yMax, 5);
  EXPECT_FLOAT_EQ(attr.xStep, 1) << "half the range, half the step";
  EXPECT_FLOAT_EQ(attr.yStep, 0.5f);

  // Dragged upwards or downwards alike: only the horizontal direction matters.
  GraphAttr down = ZoomableGraph();
  ASSERT_TRUE(ZoomToDrag(down, Point{140, 100}, Point{340, 250}));
  EXPECT_FLOAT_EQ(down.yMin, 2);
  EXPECT_FLOAT_EQ(down.yMax, 5);
}

TEST(GraphZoom, ARightToLeftDragShrinksTheViewIntoTheRectangle) {
  GraphAttr attr = ZoomableGraph();
  ASSERT_TRUE(ZoomToDrag(attr, Point{340, 100}, Point{140, 250}));
  // Corners 40..240 (t = 140) and -250..-100 (m = -175) move out to
  // 140 - 196, 140 + 676, -175 - 208 (208.33 rounded) and -175 + 408.
  EXPECT_FLOAT_EQ(attr.xMin, -56 / 40.0f);
  EXPECT_FLOAT_EQ(attr.xMax, 816 / 40.0f);
  EXPECT_FLOAT_EQ(attr.yMin, 233 / -50.0f);
  EXPECT_FLOAT_EQ(attr.yMax, -383 / -50.0f);
  EXPECT_FLOAT_EQ(attr.xStep, 2 * (attr.xMax - attr.xMin) / 10);

  // The old view now takes about as many pixels as the rectangle dragged.
  EXPECT_NEAR(10 * 400 / (attr.xMax - attr.xMin), 200, 20);
  EXPECT_NEAR(6 * 300 / (attr.yMax - attr.yMin), 150, 20);
}

TEST(GraphZoom, SmallDragsCornersOutsideThePlotAndLogAxesChangeNothing) {
  GraphAttr attr = ZoomableGraph();
  EXPECT_FALSE(ZoomToDrag(attr, Point{200, 200}, Point{215, 215})) << "a 15-pixel drag";
  EXPECT_FALSE(ZoomToDrag(attr, Point{200, 100}, Point{219, 300})) << "19 pixels wide";
  EXPECT_FALSE(ZoomToDrag(attr, Point{150, 200}, Point{400, 181})) << "19 pixels high";
  EXPECT_FALSE(ZoomToDrag(attr, Point{50, 100}, Point{300, 300})) << "starts left of the plot";
  EXPECT_FALSE(ZoomToDrag(attr, Point{200, 100}, Point{300, 360})) << "ends below the plot";
  ExpectUnchanged(attr);
  EXPECT_TRUE(ZoomToDrag(attr, Point{200, 100}, Point{220, 120})) << "20 pixels is a zoom";

  for (GraphSwitch logAxis : {kSwLogX, kSwLogY}) {
    GraphAttr log = ZoomableGraph();
    log.SetSwitch(logAxis, true);
    EXPECT_FALSE(ZoomToDrag(log, Point{140, 250}, Point{340, 100}));
    ExpectUnchanged(log);
  }

  GraphAttr neverDrawn = ZoomableGraph();
  neverDrawn.plotRect = Rect{};
  EXPECT_FALSE(ZoomToDrag(neverDrawn, Point{0, 0}, Point{300, 300}));
}

TEST(GraphZoom, ProductsAreRoundedToTheNearestWithHalvesAwayFromZero) {
  EXPECT_EQ(MulDivRound(15625, 1, 75), 208);
  EXPECT_EQ(MulDivRound(5, 1, 2), 3);
  EXPECT_EQ(MulDivRound(-5, 1, 2), -3);
  EXPECT_EQ(MulDivRound(5, 1, -2), -3);
  EXPECT_EQ(MulDivRound(7, 1, 4), 2);
  EXPECT_EQ(MulDivRound(100000, 100000, 3), 3333333333) << "64-bit product";
}

TEST(GraphPan, ArrowsMoveByTheStepOrTheMinorStepExceptOnLogAxes) {
  GraphAttr attr = ZoomableGraph();
  attr.xMinorTicks = 3;
  ASSERT_TRUE(PanAxes(attr, PanDirection::Left, false));
  EXPECT_FLOAT_EQ(attr.xMin, -2);
  EXPECT_FLOAT_EQ(attr.xMax, 8);
  ASSERT_TRUE(PanAxes(attr, PanDirection::Right, true));
  EXPECT_FLOAT_EQ(attr.xMin, -1.5f) << "a quarter step with three minor ticks";
  ASSERT_TRUE(PanAxes(attr, PanDirection::Up, false));
  EXPECT_FLOAT_EQ(attr.yMin, 1);
  EXPECT_FLOAT_EQ(attr.yMax, 7);
  ASSERT_TRUE(PanAxes(attr, PanDirection::Down, false));
  EXPECT_FLOAT_EQ(attr.yMin, 0);

  attr.SetSwitch(kSwLogX, true);
  EXPECT_FALSE(PanAxes(attr, PanDirection::Left, false));
  EXPECT_FLOAT_EQ(attr.xMin, -1.5f);
  EXPECT_TRUE(PanAxes(attr, PanDirection::Up, false)) << "the linear y axis still moves";
}

TEST(WindowArrangement, TilingFillsRowsOfRoundedSquareRootColumns) {
  EXPECT_EQ(TileGridFor(5).columns, 2);
  EXPECT_EQ(TileGridFor(5).rows, 3) << "2 x 2 < 5";
  EXPECT_EQ(TileGridFor(2).columns, 1);
  EXPECT_EQ(TileGridFor(2).rows, 2);
  EXPECT_EQ(TileGridFor(7).columns, 3);
  EXPECT_EQ(TileGridFor(7).rows, 3);
  EXPECT_EQ(TileGridFor(0).columns, 0);

  // 1280 x 1024 with 32-pixel icons: 80 pixels stay free at the bottom, and
  // (1024 - 80) / 3 = 314.67 rounds to 315.
  const std::vector<Rect> cells = TileRects(5, 1280, 1024, 32);
  ASSERT_EQ(cells.size(), 5u);
  EXPECT_EQ(cells[0], (Rect{0, 0, 640, 315}));
  EXPECT_EQ(cells[1], (Rect{640, 0, 1280, 315}));
  EXPECT_EQ(cells[2], (Rect{0, 315, 640, 630}));
  EXPECT_EQ(cells[4], (Rect{0, 630, 640, 945}));
  EXPECT_TRUE(TileRects(0, 1280, 1024, 32).empty());
}

TEST(WindowArrangement, CascadeStepsByTheFrameAndStartsAgainAtTheEdge) {
  const FrameSizes frame{20, 4, 4};
  const std::vector<Point> corners = CascadePositions(3, 1000, 800, 600, 500, frame);
  ASSERT_EQ(corners.size(), 4u) << "one more for the main window";
  EXPECT_EQ(corners[0], (Point{5, 5}));
  EXPECT_EQ(corners[1], (Point{30, 30}));
  EXPECT_EQ(corners[3], (Point{80, 80}));

  // 25-pixel steps: the 13th corner (5 + 12 x 25 = 305) would end at 805.
  const std::vector<Point> many = CascadePositions(14, 1000, 800, 600, 500, frame);
  EXPECT_EQ(many[11], (Point{280, 280}));
  EXPECT_EQ(many[12], (Point{5, 5}));
  EXPECT_EQ(many[13], (Point{30, 30}));
}

TEST(WindowArrangement, AMainWindowPartlyOffTheScreenIsCentredAtTheDefaultSize) {
  EXPECT_FALSE(RescuedMainWindowPosition(Rect{0, 0, 1280, 1024}, 1280, 1024, 600, 500));
  EXPECT_FALSE(RescuedMainWindowPosition(Rect{100, 100, 700, 600}, 1280, 1024, 600, 500));
  const auto moved = RescuedMainWindowPosition(Rect{900, 100, 1500, 600}, 1280, 1024, 600, 500);
  ASSERT_TRUE(moved);
  EXPECT_EQ(*moved, (Point{340, 262}));
  EXPECT_TRUE(RescuedMainWindowPosition(Rect{-10, 100, 590, 600}, 1280, 1024, 600, 500));
}

}  // namespace
}  // namespace trendolin
