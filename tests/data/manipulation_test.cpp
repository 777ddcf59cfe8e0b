// Tests of the manipulation pages (scaling, translation, clipping, sorting,
// swap) and of the Transform command.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "data/curve_fit.h"
#include "data/document_hooks.h"
#include "session/manipulation.h"
#include "session/transform.h"
#include "platform/headless_ui.h"
#include "platform/resource_strings.h"

namespace trendolin {
namespace {

using platform::UiEvent;

// Fills the document with the given rows (x, y[, uncertainty]), unmodified
// and with current statistics.
void Fill(CurveFit& doc, const std::vector<std::vector<float>>& rows) {
  const int columns = static_cast<int>(rows.front().size());
  doc.AllocateData(static_cast<int>(rows.size()), columns, columns == 3 ? 1 : 0);
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    for (int c = 0; c < columns; ++c) doc.At(r, c) = rows[r][c];
  }
  doc.bStatsStale = 1;
  doc.CalcDataStats();
  doc.ClearModified();
}

std::vector<float> ColumnOf(const CurveFit& doc, int c) {
  std::vector<float> values;
  for (int r = 0; r < doc.nPoints; ++r) values.push_back(doc.At(r, c));
  return values;
}

class GridSpy : public DataGridSink {
 public:
  void SetAllocatedColumns(int) override {}
  void SetUsedColumns(int columns) override { usedColumns = columns; }
  void SetAllocatedRows(int) override {}
  void SetPointCount(int points) override { pointCount = points; }
  void SetColumnPointer(int, datatype*) override {}
  int usedColumns = -1;
  int pointCount = -1;
};

class ManipulationTest : public ::testing::Test {
 protected:
  platform::HeadlessUi ui;
  platform::ScopedUi scoped{ui};
  CurveFit doc;
};

TEST(ManipulationFields, ReadNumberFieldAcceptsOnlyANumberWithTrailingBlanks) {
  struct Case {
    const char* text;
    bool ok;
    std::size_t badPosition;  // when not ok
  };
  const Case cases[] = {
      {"2.5", true, 0},    {"2.5  ", true, 0},   {" -1e3", true, 0},  // strtod skips leading blanks
      {"", false, 0},      {"abc", false, 0},    {"2.5x", false, 3},
      {"2 5", false, 1},   // blanks are only allowed at the end
      {"1,5", false, 1},   // the C locale's point is "."
      {"inf", false, 0},   {"nan", false, 0},    {"1e999", false, 0},  // no field can use these
  };
  for (const Case& c : cases) {
    std::size_t bad = 99;
    const auto value = ReadNumberField(c.text, &bad);
    EXPECT_EQ(value.has_value(), c.ok) << c.text;
    if (!c.ok) {
      EXPECT_EQ(bad, c.badPosition) << c.text;
    }
  }
}

TEST_F(ManipulationTest, ScalingYScalesUncertaintiesAndTranslationLeavesThem) {
  Fill(doc, {{1, 2, 0.5f}, {3, 4, 0.25f}});
  ScalingFields scaling{false, "not read when unticked", true, "2"};
  EXPECT_TRUE(ApplyScaling(doc, scaling).applied);
  EXPECT_EQ(ColumnOf(doc, 0), (std::vector<float>{1, 3}));
  EXPECT_EQ(ColumnOf(doc, 1), (std::vector<float>{4, 8}));
  EXPECT_EQ(ColumnOf(doc, 2), (std::vector<float>{1, 0.5f}));
  EXPECT_EQ(doc.bModified, 1);
  EXPECT_EQ(ui.EventsOf(UiEvent::Kind::Busy).size(), 2u);

  TranslationFields translation{true, "-1", true, "1"};
  EXPECT_TRUE(ApplyTranslation(doc, translation).applied);
  EXPECT_EQ(ColumnOf(doc, 0), (std::vector<float>{0, 2}));
  EXPECT_EQ(ColumnOf(doc, 1), (std::vector<float>{5, 9}));
  EXPECT_EQ(ColumnOf(doc, 2), (std::vector<float>{1, 0.5f}));
}

TEST_F(ManipulationTest, BadFieldBeepsNamesTheFieldAndChangesNothing) {
  Fill(doc, {{1, 2}, {3, 4}});
  const ApplyResult result = ApplyScaling(doc, {true, "3", true, "2.5q"});
  EXPECT_FALSE(result.applied);
  EXPECT_EQ(result.badField, kScaleYFactorField);
  EXPECT_EQ(result.badPosition, 3u);
  EXPECT_EQ(ui.EventsOf(UiEvent::Kind::Beep).size(), 1u);
  EXPECT_EQ(ColumnOf(doc, 0), (std::vector<float>{1, 3}));  // x was read but not applied
  EXPECT_EQ(doc.bModified, 0);
  // The busy cursor came back although the apply stopped half-way.
  EXPECT_EQ(ui.Events().back().kind, UiEvent::Kind::Busy);
  EXPECT_EQ(ui.Events().back().part, 0);
}

// A factor or offset that is a fine number on its own may still carry a
// value past the float range: the change is refused whole, with its own
// message, and the data set is not even marked modified.
TEST_F(ManipulationTest, ScalingAndTranslationPastTheFloatRangeChangeNothing) {
  const std::vector<std::vector<float>> rows = {{1, 2, 1e10f}, {4e37f, -3, 0.5f}};
  struct Case {
    const char* why;
    std::function<ApplyResult()> apply;
    int caption;
  };
  const Case cases[] = {
      {"x scaled", [&] { return ApplyScaling(doc, {true, "10", true, "1"}); }, 140},
      {"only an uncertainty overflows", [&] { return ApplyScaling(doc, {false, "", true, "1e30"}); }, 140},
      {"x translated", [&] { return ApplyTranslation(doc, {true, "3.39e38", false, ""}); }, 142},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    Fill(doc, rows);
    ui.ClearEvents();
    const ApplyResult result = c.apply();
    EXPECT_FALSE(result.applied);
    EXPECT_TRUE(result.notFinite);
    EXPECT_EQ(result.badField, 0);
    for (int col = 0; col < 3; ++col) {
      EXPECT_EQ(ColumnOf(doc, col), (std::vector<float>{rows[0][col], rows[1][col]})) << col;
    }
    EXPECT_EQ(doc.bModified, 0);
    const auto boxes = ui.EventsOf(UiEvent::Kind::MessageBox);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, platform::ResourceString(c.caption));
    EXPECT_EQ(boxes[0].text, platform::ResourceString(c.caption + 1));
  }
  // Up to the largest float is still a change like any other.
  Fill(doc, {{1, 2}, {2, 4}});
  EXPECT_TRUE(ApplyScaling(doc, {true, "1.7e38", true, "1"}).applied);
  EXPECT_TRUE(std::isfinite(ColumnOf(doc, 0)[1]));
}

TEST_F(ManipulationTest, ClippingWithTheInitialFieldsRemovesNothing) {
  Fill(doc, {{-1.5f, 2}, {0.25f, -3}, {4, 8.125f}});
  doc.ReplacePoint(0, 1, 2.5f, kRecordUndo);
  const ManipulationFields fields = InitialManipulationFields(doc);
  EXPECT_EQ(fields.scaling.xFactor, "1.000000");
  EXPECT_EQ(fields.clipping.yMax, "8.125000");

  const ApplyResult result = ApplyClipping(doc, fields.clipping);
  EXPECT_TRUE(result.applied);
  EXPECT_EQ(result.pointsRemoved, 0);
  EXPECT_EQ(doc.nPoints, 3);
  EXPECT_FALSE(doc.history.undo.Empty());  // nothing removed: the history stays
}

TEST_F(ManipulationTest, InitialLimitsKeepPreciseExtremesInside) {
  // Six decimals would round 0.00123456 up past the point it came from.
  Fill(doc, {{0.00123456f, 0.5f}, {123456.789f, -0.000987654f}});
  const ManipulationFields fields = InitialManipulationFields(doc);
  EXPECT_EQ(ApplyClipping(doc, fields.clipping).pointsRemoved, 0);
  EXPECT_EQ(doc.nPoints, 2);
}

TEST_F(ManipulationTest, ClippingToleranceKeepsNearEdgePointsAndMovesKeptRowsUp) {
  Fill(doc, {{1.0f - 1e-6f, 10, 1}, {1.0f - 1e-7f, 20, 2}, {2, 30, 3}, {3, 99, 4}, {2.5f, 40, 5}});
  doc.ReplacePoint(2, 1, 31, kRecordUndo);
  GridSpy grid;
  std::vector<bool> working;
  const ApplyResult result = ApplyClipping(doc, {"1", "3", "0", "50"}, &grid, [&](bool on) { working.push_back(on); });
  EXPECT_TRUE(result.applied);
  EXPECT_EQ(result.pointsRemoved, 2);
  EXPECT_EQ(ColumnOf(doc, 1), (std::vector<float>{20, 31, 40}));
  EXPECT_EQ(ColumnOf(doc, 2), (std::vector<float>{2, 3, 5}));  // uncertainties travel with their points
  EXPECT_EQ(grid.pointCount, 3);
  EXPECT_EQ(grid.usedColumns, 3);
  EXPECT_EQ(working, (std::vector<bool>{true, false}));
  EXPECT_GT(ui.PumpCount(), 0);

  // The removed points come back in their places, and the edit made before
  // the clipping can still be undone after it.
  doc.AttachGrid(&grid);
  EXPECT_EQ(UndoMenuEntry(doc, false).text, "&Undo Clip\tCtrl+Z");
  doc.Undo();
  EXPECT_EQ(doc.nPoints, 5);
  EXPECT_EQ(grid.pointCount, 5);
  EXPECT_EQ(ColumnOf(doc, 1), (std::vector<float>{10, 20, 31, 99, 40}));
  EXPECT_EQ(ColumnOf(doc, 2), (std::vector<float>{1, 2, 3, 4, 5}));
  EXPECT_EQ(RedoMenuEntry(doc).text, "&Redo Clip\tCtrl+Y");
  doc.Undo();
  EXPECT_EQ(ColumnOf(doc, 1)[2], 30.0f);
  doc.Redo();
  doc.Redo();
  EXPECT_EQ(doc.nPoints, 3);
  EXPECT_EQ(grid.pointCount, 3);
  EXPECT_EQ(ColumnOf(doc, 1), (std::vector<float>{20, 31, 40}));
  doc.AttachGrid(nullptr);
}

TEST_F(ManipulationTest, EveryAppliedChangeUndoesAndRedoesUnderItsName) {
  struct Case {
    const char* name;
    std::function<bool(CurveFit&)> apply;
  };
  const Case cases[] = {
      {"Scale", [](CurveFit& d) { return ApplyScaling(d, {true, "2", true, "-3"}).applied; }},
      {"Translate", [](CurveFit& d) { return ApplyTranslation(d, {true, "0.1", true, "1e6"}).applied; }},
      {"Sort", [](CurveFit& d) { return ApplySorting(d, {1}).applied; }},
      {"Swap", [](CurveFit& d) { ApplySwap(d); return true; }},
      {"Transform", [](CurveFit& d) { return OnTransform(d, {1, kTransformSqrt, 1.0}); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Fill(doc, {{3, 9, 0.5f}, {1, 4, 0.25f}, {2, 0.3f, 2}});
    doc.ClearHistory();
    const std::vector<std::vector<float>> before = {ColumnOf(doc, 0), ColumnOf(doc, 1), ColumnOf(doc, 2)};
    ASSERT_TRUE(c.apply(doc));
    const std::vector<std::vector<float>> after = {ColumnOf(doc, 0), ColumnOf(doc, 1), ColumnOf(doc, 2)};
    ASSERT_NE(after, before);
    EXPECT_EQ(UndoMenuEntry(doc, false).text, std::string("&Undo ") + c.name + "\tCtrl+Z");
    doc.Undo();
    EXPECT_EQ((std::vector<std::vector<float>>{ColumnOf(doc, 0), ColumnOf(doc, 1), ColumnOf(doc, 2)}), before);
    EXPECT_EQ(doc.bModified, 1);  // the fits made on the changed data no longer hold
    EXPECT_EQ(RedoMenuEntry(doc).text, std::string("&Redo ") + c.name + "\tCtrl+Y");
    doc.Redo();
    EXPECT_EQ((std::vector<std::vector<float>>{ColumnOf(doc, 0), ColumnOf(doc, 1), ColumnOf(doc, 2)}), after);
    EXPECT_EQ(doc.history.undo.Count(), 1);
  }
}

TEST_F(ManipulationTest, RefusedChangesRecordNothingAndKeepRedo) {
  Fill(doc, {{1, 0}, {2, 3}});
  doc.ReplacePoint(0, 0, 5, kRecordUndo);
  doc.Undo();
  ASSERT_EQ(doc.history.redo.Count(), 1);
  EXPECT_FALSE(ApplyScaling(doc, {true, "2x", true, "1"}).applied);      // a bad field
  EXPECT_FALSE(ApplyScaling(doc, {true, "3e38", true, "1"}).applied);      // past the float range
  EXPECT_FALSE(ApplyClipping(doc, {"5", "4", "0", "3"}).applied);         // an inverted window
  EXPECT_EQ(ApplyClipping(doc, {"0", "3", "-1", "4"}).pointsRemoved, 0);   // nothing outside
  EXPECT_FALSE(OnTransform(doc, {1, kTransformLn, 1.0}));                  // ln of 0
  EXPECT_TRUE(doc.history.undo.Empty());
  EXPECT_EQ(doc.history.redo.Count(), 1);
}

TEST_F(ManipulationTest, DataOfAnotherColumnLayoutAreNotPutBack) {
  Fill(doc, {{1, 2}, {3, 4}});
  ApplySwap(doc);
  ASSERT_EQ(doc.InsertColumn(1), 0);  // the grid empties the history here; an item kept by mistake must not apply
  const HistoryItem stale{kHistoryReplaceData, "Swap", HistoryBlock{0, 0, 2, 2, MakeBlock(2, 2)}};
  EXPECT_EQ(doc.ReplaceData(stale.block, stale.name, kRecordRedo), 1);
  EXPECT_EQ(doc.nColumns, 3);
}

TEST_F(ManipulationTest, ClippingWindowOutsideTheDataOrInvertedIsRefused) {
  Fill(doc, {{0, 0}, {10, 10}});
  const ClippingFields refused[] = {
      {"5", "4", "0", "10"},    // x min above x max
      {"11", "20", "0", "10"},  // entirely right of the data
      {"0", "10", "-5", "-1"},  // entirely below the data
  };
  for (const ClippingFields& fields : refused) {
    ui.ClearEvents();
    EXPECT_FALSE(ApplyClipping(doc, fields).applied);
    const auto boxes = ui.EventsOf(UiEvent::Kind::MessageBox);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Clip Data");
  }
  EXPECT_EQ(doc.nPoints, 2);
  EXPECT_EQ(doc.bModified, 0);
}

TEST_F(ManipulationTest, SwapExchangesXAndYAndKeepsTheUncertainties) {
  Fill(doc, {{3, 1, 7}, {1, 2, 8}});
  ApplySwap(doc);
  EXPECT_EQ(ColumnOf(doc, 0), (std::vector<float>{1, 2}));
  EXPECT_EQ(ColumnOf(doc, 1), (std::vector<float>{3, 1}));
  EXPECT_EQ(ColumnOf(doc, 2), (std::vector<float>{7, 8}));
  EXPECT_EQ(doc.bModified, 1);
}

// ---- Transform ----

class TransformTest : public ManipulationTest {};

TEST_F(TransformTest, LnOfAZeroChangesNothingAndSaysWhy) {
  Fill(doc, {{1, 5}, {2, 0}, {3, 7}});
  EXPECT_FALSE(OnTransform(doc, {1, kTransformLn, 1.0}));
  EXPECT_EQ(ColumnOf(doc, 1), (std::vector<float>{5, 0, 7}));  // the value before the bad one too
  EXPECT_EQ(doc.bModified, 0);
  const auto boxes = ui.EventsOf(UiEvent::Kind::MessageBox);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "Error");
  EXPECT_EQ(boxes[0].text,
            "An error has occurred while transforming the selected column.  Please check your dataset for values "
            "inconsistent with the chosen transformation.");
}

TEST_F(TransformTest, PowerOfTenOnYTransformsTheUncertaintiesToo) {
  Fill(doc, {{1, 2, 0}, {2, -1, 1}});
  int refreshes = 0;  // the window's Undo and Redo buttons follow through the refresh
  Hooks().refresh = [&refreshes] { ++refreshes; };
  EXPECT_TRUE(OnTransform(doc, {1, kTransformPow10, 1.0}));
  EXPECT_EQ(refreshes, 1);
  EXPECT_EQ(ColumnOf(doc, 0), (std::vector<float>{1, 2}));
  EXPECT_EQ(ColumnOf(doc, 1), (std::vector<float>{100, 0.1f}));
  EXPECT_EQ(ColumnOf(doc, 2), (std::vector<float>{1, 10}));
  EXPECT_EQ(doc.bModified, 1);
}

TEST_F(TransformTest, EveryFailureLeavesTheColumnAsItWas) {
  struct Case {
    int function;
    float value;
    double exponent;
    const char* why;
  };
  const Case cases[] = {
      {kTransformExp, 100, 1, "finite in double, overflows the stored float"},
      {kTransformSinh, 1000, 1, "overflows in double"},
      {kTransformSqrt, -1, 1, "outside the domain"},
      {kTransformArccos, 1.5f, 1, "outside the domain"},
      {kTransformPower, 0, -1, "pole of x^a"},
      {kTransformPower, -8, 1.0 / 3, "negative base, fractional exponent"},
      {kTransformLog10, 0, 1, "pole of log"},
  };
  for (const Case& c : cases) {
    Fill(doc, {{1, 0.5f}, {c.value, 0.5f}});
    EXPECT_FALSE(OnTransform(doc, {0, c.function, c.exponent})) << c.why;
    EXPECT_EQ(ColumnOf(doc, 0), (std::vector<float>{1, c.value})) << c.why;
  }
}

TEST_F(TransformTest, DialogCheckRefusesInvalidChoicesAndReadsTheExponentOnlyForPower) {
  EXPECT_FALSE(CheckTransformFields({-1, 0, "1"}).choice);
  EXPECT_FALSE(CheckTransformFields({0, 16, "1"}).choice);
  const auto boxes = ui.EventsOf(UiEvent::Kind::MessageBox);
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text, "The column selected is invalid.");
  EXPECT_EQ(boxes[1].text, "The function selected is invalid.");
  EXPECT_EQ(ui.EventsOf(UiEvent::Kind::Beep).size(), 2u);

  const TransformCheck bad = CheckTransformFields({1, kTransformPower, "2..5"});
  EXPECT_FALSE(bad.choice);
  EXPECT_EQ(bad.badField, kTransformExponentField);
  EXPECT_EQ(bad.badPosition, 2u);
  EXPECT_TRUE(CheckTransformFields({1, kTransformSqrt, "2..5"}).choice);
  const TransformCheck good = CheckTransformFields({1, kTransformPower, "-0.5 "});
  ASSERT_TRUE(good.choice);
  EXPECT_EQ(good.choice->exponent, -0.5);

  EXPECT_EQ(TransformFunctionByName("tanh(x)"), kTransformTanh);
  EXPECT_EQ(TransformFunctionByName("log10(x)"), -1);
}

}  // namespace
}  // namespace trendolin
