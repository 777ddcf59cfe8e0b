// A run of symbols draws what DrawSymbol draws point by point, in the same
// order, across batches and with points the plot leaves out.
#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "graph/graph_attr.h"
#include "graph/plot_symbols.h"
#include "support/recording_surface.h"

namespace trendolin {
namespace {

using testsupport::RecordingSurface;
using testsupport::SurfaceCall;

bool SameCall(const SurfaceCall& a, const SurfaceCall& b) {
  return a.op == b.op && a.points == b.points && a.rect == b.rect;
}

// More points than one batch holds; every 7th lies left of the plot.
std::vector<PlotPoint> ManyPoints() {
  std::vector<PlotPoint> points;
  for (int i = 0; i < 9000; ++i) {
    const float x = (i % 7 == 0) ? -1.0f : static_cast<float>(i % 100) / 10.0f;
    points.push_back(PlotPoint{x, static_cast<float>((i * 13) % 100) / 10.0f, static_cast<float>(i % 5) / 10.0f});
  }
  return points;
}

TEST(SymbolRunTest, DrawsWhatDrawSymbolDrawsOneByOne) {
  const PlotTransform transform{Rect{0, -100, 100, 0}, 0, 10, 0, 10, false, false};
  const std::vector<PlotPoint> points = ManyPoints();
  for (int type = 0; type <= kPtAsterisk; ++type) {
    for (bool errorBars : {false, true}) {
      const SymbolStyle style{type, 3, 2, false};
      RecordingSurface single;
      RecordingSurface batched;
      SymbolRun run(batched, transform, style, errorBars);
      for (const PlotPoint& point : points) {
        const Point pixel = transform.ToPixel(point.x, point.y);
        ASSERT_EQ(run.Add(point, pixel), DrawSymbol(single, point, transform, style, &pixel, errorBars));
      }
      EXPECT_TRUE(batched.Calls().size() < single.Calls().size()) << "most are held until the flush";
      run.Flush();
      ASSERT_EQ(batched.Calls().size(), single.Calls().size()) << "type " << type;
      for (std::size_t i = 0; i < single.Calls().size(); ++i) {
        ASSERT_TRUE(SameCall(batched.Calls()[i], single.Calls()[i])) << "type " << type << ", call " << i;
      }
    }
  }
}

// On a logarithmic y axis a bar runs from y - e to y + e: longer below than
// above, a smaller uncertainty a shorter bar, and a lower end at or below
// zero reaches the axis.
TEST(SymbolRunTest, ErrorBarsOnALogarithmicAxisSpanYMinusToYPlusTheUncertainty) {
  // Two decades, 0.1 to 10, over 200 pixels.
  const PlotTransform transform{Rect{0, -200, 100, 0}, 0, 10, -1, 1, false, true};
  const SymbolStyle style{kPtCircle, 3, 3, false};
  auto bar = [&](float y, float e) {
    RecordingSurface surface;
    const PlotPoint point{5, y, e};
    const Point pixel = transform.ToPixel(point.x, point.y);
    DrawSymbol(surface, point, transform, style, &pixel, true);
    const auto lines = surface.Lines();
    EXPECT_FALSE(lines.empty());
    return std::pair<int, int>{pixel.y - lines.front().first.y, lines.front().second.y - pixel.y};  // up, down
  };
  const auto [up, down] = bar(1, 0.5f);
  EXPECT_NEAR(up, 100 * std::log10(1.5), 1.0);
  EXPECT_NEAR(down, 100 * std::log10(2.0), 1.0);
  const auto [smallUp, smallDown] = bar(1, 0.05f);
  EXPECT_LT(smallUp, up);
  EXPECT_LT(smallDown, down);
  const auto [wideUp, wideDown] = bar(1, 2);
  EXPECT_NEAR(wideDown, 100, 1.0) << "y - e below zero: down to the axis at 0.1";
  EXPECT_NEAR(wideUp, 100 * std::log10(3.0), 1.0);
}

TEST(SymbolRunTest, ResidualBarsAreDrawnAsTheyCome) {
  const PlotTransform transform{Rect{0, -100, 100, 0}, 0, 10, -5, 5, false, false};
  RecordingSurface surface;
  SymbolRun run(surface, transform, SymbolStyle{kPtCircle, 4, 4, true}, false);
  EXPECT_EQ(run.Add(PlotPoint{2, 3}, transform.ToPixel(2, 3)), 0);
  EXPECT_EQ(run.Add(PlotPoint{20, -3}, transform.ToPixel(20, -3)), 0) << "bars are never outside";
  const std::vector<SurfaceCall> bars = surface.CallsOf("Rectangle");
  ASSERT_EQ(bars.size(), 2u);
  EXPECT_EQ(bars[0].rect, (Rect{18, -80, 22, -50})) << "from the point down to the zero line";
}

}  // namespace
}  // namespace trendolin
