// Undo and redo: reverse operations, menu texts, depth and emptying rules.
#include <gtest/gtest.h>

#include "data/curve_fit.h"
#include "data/data_test_support.h"
#include "platform/headless_ui.h"

namespace trendolin {
namespace {

using testsupport::ColumnValues;
using testsupport::Fill;

class HistoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Fill(doc, {{1, 2, 3}, {10, 20, 30}});
    doc.SetUndoLevels(20);
  }
  platform::HeadlessUi ui;
  platform::ScopedUi installed{ui};
  CurveFit doc;
};

TEST_F(HistoryTest, TypeUndoRedoAValue) {
  ASSERT_EQ(doc.ReplacePoint(1, 1, 25.0f, kRecordUndo), 0);
  EXPECT_EQ(UndoMenuEntry(doc, false).text, "&Undo Replace Point\tCtrl+Z");
  doc.Undo();
  EXPECT_EQ(doc.At(1, 1), 20.0f);
  EXPECT_EQ(RedoMenuEntry(doc).text, "&Redo Replace Point\tCtrl+Y");
  EXPECT_EQ(UndoMenuEntry(doc, false).text, "&Undo\tCtrl+Z");
  EXPECT_FALSE(UndoMenuEntry(doc, false).enabled);
  doc.Redo();
  EXPECT_EQ(doc.At(1, 1), 25.0f);
  EXPECT_EQ(UndoMenuEntry(doc, false).text, "&Undo Replace Point\tCtrl+Z");
  EXPECT_FALSE(RedoMenuEntry(doc).enabled);
  EXPECT_EQ(UndoMenuEntry(doc, true).text, "&Undo Edit\tCtrl+Z") << "the edit box undoes its own typing first";
}

TEST_F(HistoryTest, UndoingAnInsertOffersToRedoAnInsert) {
  DataBlock rows = {{4, 5}, {40, 50}};
  ASSERT_EQ(doc.InsertRows(0, 0, 2, 2, &rows, kRecordUndo), 0);
  EXPECT_EQ(UndoMenuEntry(doc, false).text, "&Undo Insert\tCtrl+Z");
  doc.Undo();
  EXPECT_EQ(ColumnValues(doc, 0), (std::vector<float>{1, 2, 3}));
  ASSERT_EQ(doc.history.redo.Newest().kind, kHistoryClear);
  EXPECT_EQ(RedoMenuEntry(doc).text, "&Redo Insert\tCtrl+Y");
  doc.Redo();
  EXPECT_EQ(ColumnValues(doc, 0), (std::vector<float>{4, 5, 1, 2, 3}));
  EXPECT_EQ(ColumnValues(doc, 1), (std::vector<float>{40, 50, 10, 20, 30}));
}

TEST_F(HistoryTest, ClearAndReplaceRangeRoundTrip) {
  ASSERT_EQ(doc.ClearRows(1, 0, 1, 2, kRecordUndo), 0);
  DataBlock values = {{7, 8}, {70, 80}};
  ASSERT_EQ(doc.ReplaceRange(0, 0, 2, 2, &values, kRecordUndo), 0);
  doc.Undo();
  doc.Undo();
  EXPECT_EQ(ColumnValues(doc, 0), (std::vector<float>{1, 2, 3}));
  EXPECT_EQ(ColumnValues(doc, 1), (std::vector<float>{10, 20, 30}));
  doc.Redo();
  doc.Redo();
  EXPECT_EQ(ColumnValues(doc, 0), (std::vector<float>{7, 8}));
  EXPECT_EQ(ColumnValues(doc, 1), (std::vector<float>{70, 80}));
}

TEST_F(HistoryTest, NewEditAfterUndoEmptiesRedoButRedoDoesNot) {
  doc.ReplacePoint(0, 0, 5, kRecordUndo);
  doc.ReplacePoint(0, 0, 6, kRecordUndo);
  doc.Undo();
  doc.Undo();
  EXPECT_EQ(doc.history.redo.Count(), 2);
  doc.Redo();
  EXPECT_EQ(doc.history.redo.Count(), 1) << "a redo keeps the rest of the redo list";
  doc.ReplacePoint(1, 0, 9, kRecordUndo);
  EXPECT_TRUE(doc.history.redo.Empty()) << "a new edit makes redo impossible";
}

TEST_F(HistoryTest, DepthLimitsBothLists) {
  doc.SetUndoLevels(3);
  for (int i = 0; i < 5; ++i) doc.ReplacePoint(0, 1, 100.0f + i, kRecordUndo);
  EXPECT_EQ(doc.history.undo.Count(), 3);
  for (int i = 0; i < 5; ++i) doc.Undo();
  EXPECT_EQ(doc.At(0, 1), 101.0f) << "only the last three edits can be undone";

  doc.SetUndoLevels(0);
  doc.ReplacePoint(0, 1, 1.0f, kRecordUndo);
  EXPECT_TRUE(doc.history.undo.Empty());
  doc.Undo();
  EXPECT_EQ(doc.At(0, 1), 1.0f);
}

TEST_F(HistoryTest, EmptyListsDoNothingAndResetEmptiesThem) {
  doc.Undo();
  doc.Redo();
  EXPECT_EQ(ColumnValues(doc, 0), (std::vector<float>{1, 2, 3}));
  doc.ReplacePoint(0, 0, 5, kRecordUndo);
  doc.ResetData();
  EXPECT_TRUE(doc.history.undo.Empty());
  EXPECT_TRUE(doc.history.redo.Empty());
}

}  // namespace
}  // namespace trendolin
