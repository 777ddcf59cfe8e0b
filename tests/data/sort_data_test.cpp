// Sorting the points: order, the uncertainty travelling with its point, and
// which fits it invalidates.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "data/curve_fit.h"
#include "data/data_test_support.h"
#include "platform/headless_ui.h"

namespace trendolin {
namespace {

using testsupport::ColumnValues;
using testsupport::Fill;

TEST(SortDataTest, SortsByEitherKeyKeepingPointsTogether) {
  CurveFit doc;
  Fill(doc, {{3, 1, 2}, {30, 10, 20}, {0.3f, 0.1f, 0.2f}});
  ASSERT_EQ(doc.SortData(0), 0);
  EXPECT_EQ(ColumnValues(doc, 0), (std::vector<float>{1, 2, 3}));
  EXPECT_EQ(ColumnValues(doc, 1), (std::vector<float>{10, 20, 30}));
  EXPECT_EQ(ColumnValues(doc, 2), (std::vector<float>{0.1f, 0.2f, 0.3f}));

  Fill(doc, {{1, 2, 3}, {5, -1, 2}});
  ASSERT_EQ(doc.SortData(1), 0);
  EXPECT_EQ(ColumnValues(doc, 1), (std::vector<float>{-1, 2, 5}));
  EXPECT_EQ(ColumnValues(doc, 0), (std::vector<float>{2, 3, 1}));
}

TEST(SortDataTest, LargeInputsOfEveryShapeComeOutSortedAndComplete) {
  std::mt19937 random(42);
  std::uniform_real_distribution<float> value(-1000, 1000);
  const int n = 5000;
  std::vector<std::vector<float>> shapes;
  std::vector<float> v(n);
  for (float& f : v) f = value(random);
  shapes.push_back(v);                        // random
  std::sort(v.begin(), v.end());
  shapes.push_back(v);                        // already sorted
  shapes.push_back({v.rbegin(), v.rend()});   // reversed
  shapes.push_back(std::vector<float>(n, 7)); // all equal
  std::vector<float> few(n);
  for (int i = 0; i < n; ++i) few[i] = static_cast<float>(i % 3);
  shapes.push_back(few);                      // many duplicates

  for (const auto& xs : shapes) {
    CurveFit doc;
    std::vector<float> ys(n);
    for (int i = 0; i < n; ++i) ys[i] = xs[i] * 2;  // y tells which x it belonged to
    Fill(doc, {xs, ys});
    ASSERT_EQ(doc.SortData(0), 0);
    auto sortedX = ColumnValues(doc, 0);
    EXPECT_TRUE(std::is_sorted(sortedX.begin(), sortedX.end()));
    auto expected = xs;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(sortedX, expected);
    for (int i = 0; i < n; ++i) ASSERT_EQ(doc.At(i, 1), doc.At(i, 0) * 2);
  }
}

TEST(SortDataTest, InvalidatesOnlyInterpolationsAndLeavesTheFileUnmodified) {
  platform::HeadlessUi ui;
  platform::ScopedUi installed(ui);
  CurveFit doc;
  Fill(doc, {{2, 1}, {1, 2}});
  doc.MarkFitted(500, 460);
  for (int id = 534; id <= 538; ++id) doc.MarkFitted(id, 1);
  ASSERT_EQ(doc.SortData(0), 0);
  EXPECT_EQ(doc.FittedMark(500), 460) << "a linear fit does not depend on the order";
  for (int id = 534; id <= 538; ++id) EXPECT_EQ(doc.FittedMark(id), 0) << id;
  EXPECT_EQ(doc.nLastModel, 534) << "534 is cleared last";
  EXPECT_EQ(doc.bModified, 0);
  EXPECT_TRUE(ui.EventsOf(platform::UiEvent::Kind::Caption).empty());
}

}  // namespace
}  // namespace trendolin
