// The main window's handling of the grid's requests: typed values, new rows,
// and adding or deleting the uncertainty column with the person's consent.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "data/curve_fit.h"
#include "data/data_test_support.h"
#include "data/document_hooks.h"
#include "session/grid_edits.h"
#include "platform/headless_ui.h"
#include "platform/resource_strings.h"

namespace trendolin {
namespace {

using platform::Answer;
using platform::UiEvent;
using testsupport::ColumnValues;
using testsupport::Fill;

class GridEditsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = Hooks().refresh;
    Hooks().refresh = [this] { ++refreshes; };
    Fill(doc, {{1, 2, 3}, {10, 20, 30}});
    doc.SetUndoLevels(20);
    hooks.endEdit = [this] { ++endEdits; };
    hooks.setHeading = [this](int column, const std::string& text) { headings[column] = text; };
    hooks.repaint = [this] { ++repaints; };
  }
  void TearDown() override { Hooks().refresh = saved_; }

  // The text of the last message box.
  std::string LastBoxText() const {
    const auto boxes = ui.EventsOf(UiEvent::Kind::MessageBox);
    return boxes.empty() ? std::string() : boxes.back().text;
  }
  static std::string Text(int id) { return std::string(platform::ResourceString(id)); }

  platform::HeadlessUi ui;
  platform::ScopedUi installed{ui};
  CurveFit doc;
  GridColumnHooks hooks;
  std::map<int, std::string> headings;
  int refreshes = 0;
  int endEdits = 0;
  int repaints = 0;

 private:
  std::function<void()> saved_;
};

TEST_F(GridEditsTest, ACommittedValueIsStoredAsOneUndoableEdit) {
  EXPECT_EQ(GridCellCommitted(doc, 1, 2, 0.1), 0);
  EXPECT_EQ(doc.At(2, 1), 0.1f);
  EXPECT_EQ(refreshes, 1);
  ASSERT_EQ(doc.history.undo.Count(), 1);
  doc.Undo();
  EXPECT_EQ(doc.At(2, 1), 30.0f);

  // The same value again changes nothing and refreshes nothing.
  EXPECT_EQ(GridCellCommitted(doc, 0, 0, 1.0), 1);
  EXPECT_EQ(refreshes, 1);
  EXPECT_EQ(doc.history.undo.Count(), 0);
}

TEST_F(GridEditsTest, AValueTypedPastTheDataAddsOneUndoablePoint) {
  EXPECT_EQ(GridAddPoint(doc, 1, 7.5), 0);
  EXPECT_EQ(doc.nPoints, 4);
  EXPECT_EQ(ColumnValues(doc, 0).back(), 0.0f);
  EXPECT_EQ(ColumnValues(doc, 1).back(), 7.5f);
  EXPECT_EQ(refreshes, 1);
  ASSERT_EQ(doc.history.undo.Count(), 1);
  EXPECT_EQ(doc.history.undo.Newest().name, "Insert");
  doc.Undo();
  EXPECT_EQ(doc.nPoints, 3);
  EXPECT_EQ(GridAddPoint(doc, 2, 1.0), 1);  // no such column
  EXPECT_EQ(doc.nPoints, 3);
}

TEST_F(GridEditsTest, TheUncertaintyColumnIsAddedOnlyOnYes) {
  doc.ReplacePoint(0, 1, 11.0f, kRecordUndo);
  ui.QueueAnswer(Answer::No);
  EXPECT_FALSE(GridAddColumn(doc, hooks));
  EXPECT_EQ(LastBoxText(), Text(122));
  EXPECT_EQ(doc.nColumns, 2);
  EXPECT_EQ(endEdits, 0);
  EXPECT_EQ(doc.history.undo.Count(), 1);

  ui.QueueAnswer(Answer::Yes);
  EXPECT_TRUE(GridAddColumn(doc, hooks));
  EXPECT_EQ(doc.nColumns, 3);
  EXPECT_EQ(doc.bUncertainty, 1);
  EXPECT_EQ(ColumnValues(doc, 2), (std::vector<float>{0, 0, 0}));
  EXPECT_EQ(ColumnValues(doc, 1), (std::vector<float>{11, 20, 30}));
  EXPECT_EQ(doc.history.undo.Count(), 0);
  EXPECT_EQ(endEdits, 1);
  EXPECT_EQ(headings, (std::map<int, std::string>{{0, "X"}, {1, "Y"}, {2, "STD"}}));
  EXPECT_EQ(repaints, 1);

  // A data set with its uncertainties takes no further column, unasked.
  ui.ClearEvents();
  EXPECT_FALSE(GridAddColumn(doc, hooks));
  EXPECT_TRUE(ui.EventsOf(UiEvent::Kind::MessageBox).empty());
}

TEST_F(GridEditsTest, AColumnThatCannotBeAddedIsReported) {
  doc.ResetData();
  doc.AllocateData(0, 2, 0);  // no points: nothing to hold uncertainties for
  ui.QueueAnswer(Answer::Yes);
  EXPECT_FALSE(GridAddColumn(doc, hooks));
  EXPECT_EQ(LastBoxText(), Text(123));
  EXPECT_EQ(doc.nColumns, 2);
}

TEST_F(GridEditsTest, OnlyTheUncertaintyColumnCanBeDeletedAndOnlyOnYes) {
  EXPECT_FALSE(GridDeleteColumn(doc, 1, hooks));
  EXPECT_EQ(LastBoxText(), Text(125));
  EXPECT_EQ(ui.EventsOf(UiEvent::Kind::MessageBox).back().buttons, platform::Buttons::Ok);

  Fill(doc, {{1, 2}, {10, 20}, {0.5f, 0.25f}});
  doc.ReplacePoint(0, 0, 4.0f, kRecordUndo);
  ui.QueueAnswer(Answer::No);
  EXPECT_FALSE(GridDeleteColumn(doc, 2, hooks));
  EXPECT_EQ(LastBoxText(), Text(124));
  EXPECT_EQ(doc.nColumns, 3);

  ui.QueueAnswer(Answer::Yes);
  EXPECT_TRUE(GridDeleteColumn(doc, 2, hooks));
  EXPECT_EQ(doc.nColumns, 2);
  EXPECT_EQ(doc.bUncertainty, 0);
  EXPECT_EQ(doc.history.undo.Count(), 0);
  EXPECT_EQ(endEdits, 1);
  EXPECT_EQ(headings, (std::map<int, std::string>{{0, "X"}, {1, "Y"}}));
}

}  // namespace
}  // namespace trendolin
