// The data set: growth, elementary edits, the modified mark, statistics and
// what the grid is told.
#include "data/curve_fit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "data/data_test_support.h"
#include "platform/headless_ui.h"

namespace trendolin {
namespace {

using platform::HeadlessUi;
using platform::ScopedUi;
using platform::UiEvent;
using testsupport::ColumnValues;
using testsupport::Fill;

// Records what the grid is told, in order.
class RecordingGrid : public DataGridSink {
 public:
  void SetAllocatedColumns(int n) override { log += "AC" + std::to_string(n) + " "; }
  void SetUsedColumns(int n) override { log += "UC" + std::to_string(n) + " "; }
  void SetAllocatedRows(int n) override { log += "AR" + std::to_string(n) + " "; }
  void SetPointCount(int n) override { log += "P" + std::to_string(n) + " "; }
  void SetColumnPointer(int c, datatype*) override { log += "C" + std::to_string(c) + " "; }
  std::string log;
};

TEST(CurveFitTest, NewDocumentIsEmptyAndUntitled) {
  CurveFit doc;
  EXPECT_EQ(doc.szFileName, "UNTITLED.DAT");
  EXPECT_EQ(doc.nPoints, 0);
  EXPECT_EQ(doc.nYColumn, 1);
  EXPECT_EQ(doc.AllocateData(0, 2, 0), 0);
  EXPECT_EQ(doc.nRowsAllocated, 25);
  EXPECT_EQ(doc.DataBytes(), 2 * 25 * 4);
}

TEST(CurveFitTest, AllocationTellsTheGridInOrderAndGrowthKeepsValues) {
  HeadlessUi ui;
  ScopedUi installed(ui);
  CurveFit doc;
  RecordingGrid grid;
  doc.AttachGrid(&grid);
  grid.log.clear();
  ASSERT_EQ(doc.AllocateData(3, 2, 0), 0);
  EXPECT_EQ(grid.log, "AC2 UC2 AR28 P3 C0 C1 ");
  for (int r = 0; r < 3; ++r) doc.At(r, 1) = static_cast<float>(r + 1);

  // 27 points + 1 reaches the 28 allocated rows: equality is enough to grow.
  ASSERT_EQ(doc.AppendRows(24), 0);
  EXPECT_EQ(doc.nRowsAllocated, 28);
  grid.log.clear();
  ASSERT_EQ(doc.AppendRows(1), 0);
  EXPECT_EQ(doc.nPoints, 28);
  EXPECT_EQ(doc.nRowsAllocated, 28 + 25);
  EXPECT_EQ(grid.log, "C0 C1 AR53 P28 ");
  EXPECT_EQ(doc.At(2, 1), 3.0f) << "old values survive growth";
  EXPECT_EQ(doc.At(27, 1), 0.0f);
  EXPECT_EQ(doc.bModified, 1);
  EXPECT_EQ(ui.Caption(), "Trendolin 1.4 - [UNTITLED.DAT*]");
}

TEST(CurveFitTest, RowsThatComeBackAreZero) {
  CurveFit doc;
  Fill(doc, {{1, 2, 3}, {4, 5, 6}});
  ASSERT_EQ(doc.RemoveLastRows(2), 0);
  ASSERT_EQ(doc.AppendRows(2), 0);
  EXPECT_EQ(ColumnValues(doc, 1), (std::vector<float>{4, 0, 0}));
}

TEST(CurveFitTest, RemovingTooManyRowsIsRefusedWithAWarning) {
  HeadlessUi ui;
  ScopedUi installed(ui);
  CurveFit doc;
  Fill(doc, {{1, 2}, {3, 4}});
  EXPECT_EQ(doc.RemoveLastRows(3), 1);
  EXPECT_EQ(doc.nPoints, 2);
  ASSERT_EQ(ui.EventsOf(UiEvent::Kind::MessageBox).size(), 1u);
}

TEST(CurveFitTest, ReplacePointRefusesSameValuesAndBadIndices) {
  CurveFit doc;
  Fill(doc, {{1, 2}, {3, 4}});
  EXPECT_EQ(doc.ReplacePoint(0, 1, 3.0f + 1.0e-7f, kRecordUndo), 1) << "within 2^-23: nothing changes";
  EXPECT_TRUE(doc.history.undo.Empty());
  EXPECT_EQ(doc.bModified, 0);
  EXPECT_EQ(doc.ReplacePoint(2, 0, 1.0f, kRecordUndo), -1);
  EXPECT_EQ(doc.ReplacePoint(0, 2, 1.0f, kRecordUndo), -1);
  EXPECT_EQ(doc.ReplacePoint(0, 1, 9.0f, kRecordUndo), 0);
  EXPECT_EQ(doc.At(0, 1), 9.0f);
  EXPECT_EQ(doc.history.undo.Newest().block.values[0][0], 3.0f);
}

TEST(CurveFitTest, InsertAndClearRowsMoveTheRowsBelow) {
  CurveFit doc;
  Fill(doc, {{1, 2, 3}, {10, 20, 30}});
  DataBlock block = {{7, 8}, {70, 80}};
  ASSERT_EQ(doc.InsertRows(1, 0, 2, 2, &block, kRecordUndo), 0);
  EXPECT_EQ(ColumnValues(doc, 0), (std::vector<float>{1, 7, 8, 2, 3}));
  EXPECT_EQ(ColumnValues(doc, 1), (std::vector<float>{10, 70, 80, 20, 30}));
  ASSERT_EQ(doc.ClearRows(0, 0, 2, 2, kRecordUndo), 0);
  EXPECT_EQ(ColumnValues(doc, 0), (std::vector<float>{8, 2, 3}));
  EXPECT_EQ(doc.InsertRows(0, 0, 0, 2, &block, kRecordUndo), 1) << "zero rows";
  EXPECT_EQ(doc.InsertRows(0, 0, 1, 2, nullptr, kRecordUndo), 1) << "no values";
  EXPECT_EQ(doc.ClearRows(2, 0, 5, 2, kRecordUndo), 1) << "beyond the points";
}

TEST(CurveFitTest, MoveBlockHandlesOverlap) {
  CurveFit doc;
  Fill(doc, {{1, 2, 3, 4}, {0, 0, 0, 0}});
  ASSERT_EQ(doc.MoveBlock(0, 0, 3, 1, 1, 0), 0);
  EXPECT_EQ(ColumnValues(doc, 0), (std::vector<float>{1, 1, 2, 3}));
  EXPECT_EQ(doc.MoveBlock(0, 0, 0, 1, 1, 0), 1);
  EXPECT_EQ(doc.MoveBlock(-1, 0, 1, 1, 1, 0), 1);
}

TEST(CurveFitTest, ColumnsComeAndGoWithTheUncertaintyFlag) {
  CurveFit doc;
  Fill(doc, {{1, 2}, {3, 4}});
  EXPECT_TRUE(doc.CanAddUncertaintyColumn());
  EXPECT_FALSE(doc.CanDeleteColumn());
  const float u[] = {0.1f, 0.2f};
  ASSERT_EQ(doc.InsertColumn(1, u), 0);
  EXPECT_EQ(doc.nColumns, 3);
  EXPECT_EQ(doc.bUncertainty, 1);
  EXPECT_EQ(doc.nValueColumns, 2);
  EXPECT_EQ(doc.At(1, 2), 0.2f);
  EXPECT_FALSE(doc.CanAddUncertaintyColumn());
  EXPECT_EQ(doc.InsertColumn(2), 2) << "no fourth column";
  ASSERT_EQ(doc.DeleteColumn(2), 0);
  EXPECT_EQ(doc.nColumns, 2);
  EXPECT_EQ(doc.bUncertainty, 0);
  EXPECT_EQ(doc.DeleteColumn(1), 1) << "x and y always stay";
  EXPECT_EQ(doc.InsertColumn(5), 2);
  CurveFit empty;
  empty.AllocateData(0, 2, 0);
  EXPECT_EQ(empty.InsertColumn(1), 3);
}

TEST(CurveFitTest, StatisticsRoundEveryStepInSinglePrecision) {
  CurveFit doc;
  Fill(doc, {{5}, {-2}});
  doc.CalcDataStats();
  EXPECT_EQ(doc.fMin[0], 5.0f);
  EXPECT_EQ(doc.fMax[0], 5.0f);
  EXPECT_EQ(doc.fMean[0], 5.0f);
  EXPECT_EQ(doc.fStdDev[0], 0.0f);

  // Each value divided by n before it is added: 0.1/3 three times, in floats.
  Fill(doc, {{0.1f, 0.1f, 0.1f}, {1, 2, 4}});
  doc.CalcDataStats();
  float expected = 0;
  for (int i = 0; i < 3; ++i) expected = expected + 0.1f / 3.0f;
  EXPECT_EQ(doc.fMean[0], expected);
  EXPECT_NE(doc.fMean[0], 0.1f) << "the rounding of each share shows";
  EXPECT_FLOAT_EQ(doc.fStdDev[1], std::sqrt(((1 - 7 / 3.0f) * (1 - 7 / 3.0f) + (2 - 7 / 3.0f) * (2 - 7 / 3.0f) +
                                              (4 - 7 / 3.0f) * (4 - 7 / 3.0f)) / 2));
  EXPECT_EQ(doc.bStatsStale, 0);

  Fill(doc, {{3, 1, 2}, {0, 0, 0}});
  doc.CalcDataStats();
  EXPECT_EQ(doc.fMin[0], 1.0f);
  EXPECT_EQ(doc.fMax[0], 3.0f);
}

// Squares of deviations beyond about 1.8E+19 overflow a float, and below
// about 1E-19 they vanish: the standard deviation must still come out
// whenever it is itself a float, and as before on any other data.
TEST(CurveFitTest, StandardDeviationAtTheEndsOfTheFloatRange) {
  CurveFit doc;
  Fill(doc, {{1e30f, 2e30f, 3e30f}, {1e38f, -1e38f, 0}, {1e-25f, 2e-25f, 3e-25f}});
  doc.CalcDataStats();
  EXPECT_NEAR(doc.fMean[0] / 2e30f, 1.0, 1e-6);
  EXPECT_NEAR(doc.fStdDev[0] / 1e30f, 1.0, 1e-6);
  EXPECT_NEAR(doc.fStdDev[1] / 1e38f, 1.0, 1e-6);
  EXPECT_NEAR(doc.fStdDev[2] / 1e-25f, 1.0, 1e-6);

  // Elsewhere the figure is the one the plain single-precision sums give.
  std::mt19937 random(11);
  std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
  for (const float scale : {1e-6f, 0.37f, 1.0f, 250.0f, 3e9f}) {
    std::vector<float> values(101);
    for (float& v : values) v = scale * (0.5f + unit(random));
    Fill(doc, {values, values});
    doc.CalcDataStats();
    float sum = 0;
    for (const float v : values) {
      const float d = v - doc.fMean[0];
      sum = sum + d * d;
    }
    EXPECT_EQ(doc.fStdDev[0], std::sqrt(sum / 100.0f)) << scale;
  }
}

TEST(CurveFitTest, ModifiedMarkInvalidatesFitsAndShowsInTheCaption) {
  HeadlessUi ui;
  ScopedUi installed(ui);
  CurveFit doc;
  Fill(doc, {{1, 2}, {3, 4}});
  doc.MarkFitted(500, 460);
  doc.MarkFitted(537, 1);
  EXPECT_EQ(doc.nLastModel, 537);
  doc.MarkModified();
  EXPECT_EQ(doc.FittedMark(500), 0);
  EXPECT_EQ(doc.nLastModel, 0);
  EXPECT_EQ(ui.Caption(), "Trendolin 1.4 - [UNTITLED.DAT*]");
  doc.ClearModified();
  EXPECT_EQ(ui.Caption(), "Trendolin 1.4 - [UNTITLED.DAT]");
}

TEST(CurveFitTest, InformationSummaryTexts) {
  CurveFit doc;
  Fill(doc, {{1, 3}, {2, 6}});
  DataInformation info = DataInformationTexts(doc);
  EXPECT_EQ(info.version, "Trendolin 1.4");
  EXPECT_EQ(info.bytes, "216 bytes for data");
  EXPECT_EQ(info.points, "2");
  EXPECT_EQ(info.xMean, "2.000000");
  EXPECT_EQ(info.yRange, "4.000000");
  EXPECT_EQ(info.yStdDev, "2.828427");
}

}  // namespace
}  // namespace trendolin
