// Tests of the Copy, Cut, Paste and Clear commands and of the clipboard text.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "session/clipboard.h"
#include "data/curve_fit.h"
#include "platform/headless_ui.h"

namespace trendolin {
namespace {

using platform::UiEvent;

class ClipboardTest : public ::testing::Test {
 protected:
  // Points (1, 10), (2, 20), ... (n, 10 n), unmodified, empty history.
  void FillPoints(int n) {
    doc.AllocateData(n, 2, 0);
    for (int r = 0; r < n; ++r) {
      doc.At(r, 0) = static_cast<float>(r + 1);
      doc.At(r, 1) = static_cast<float>(10 * (r + 1));
    }
    doc.ClearModified();
  }

  void Select(int firstRow, int firstColumn, int lastRow, int lastColumn) {
    grid.selection = {true, firstRow, firstColumn, lastRow, lastColumn};
  }

  std::vector<float> Row(int r) const {
    std::vector<float> values;
    for (int c = 0; c < doc.nColumns; ++c) values.push_back(doc.At(r, c));
    return values;
  }

  std::vector<UiEvent> Boxes() const { return ui.EventsOf(UiEvent::Kind::MessageBox); }

  platform::HeadlessUi ui;
  platform::ScopedUi scoped{ui};
  CurveFit doc;
  GridContext grid;
};

TEST_F(ClipboardTest, CopiedTextIsTheDataFileFormatWithoutAFinalLineBreak) {
  FillPoints(4);
  doc.At(1, 1) = 0.125f;
  Select(1, 0, 2, 1);
  EXPECT_EQ(CopyCommand(doc, grid), kEditDone);
  EXPECT_EQ(ui.Clipboard(), "2\t0.125\n3\t30");

  Select(3, 1, 3, 1);  // one value: no line break at all, so it pastes into a cell
  CopyCommand(doc, grid);
  EXPECT_EQ(ui.Clipboard(), "40");
}

TEST_F(ClipboardTest, CopyThenPasteOntoAnEqualSelectionReplacesWithOneHistoryItem) {
  FillPoints(6);
  Select(0, 0, 2, 1);
  CopyCommand(doc, grid);
  Select(3, 0, 5, 1);
  EXPECT_EQ(PasteCommand(doc, grid), kEditDone);
  EXPECT_EQ(doc.nPoints, 6);
  EXPECT_EQ(Row(3), (std::vector<float>{1, 10}));
  EXPECT_EQ(Row(5), (std::vector<float>{3, 30}));
  ASSERT_EQ(doc.history.undo.Count(), 1);
  EXPECT_EQ(doc.history.undo.Newest().kind, kHistoryReplaceRange);
}

TEST_F(ClipboardTest, PasteWithoutSelectionInsertsAtTheTopOrAtTheEditCell) {
  FillPoints(6);
  ui.SetClipboard("7\t8\n9\t11\n");
  EXPECT_EQ(PasteCommand(doc, grid), kEditDone);
  EXPECT_EQ(doc.nPoints, 8);
  EXPECT_EQ(Row(0), (std::vector<float>{7, 8}));
  EXPECT_EQ(Row(1), (std::vector<float>{9, 11}));
  EXPECT_EQ(Row(2), (std::vector<float>{1, 10}));
  EXPECT_EQ(doc.history.undo.Newest().kind, kHistoryInsert);

  // A single y column at the edit cell (row 5, column 1): new rows with x = 0.
  bool ended = false;
  grid.endEdit = [&] { ended = true; };
  grid.edit.open = true;
  grid.edit.row = 5;
  grid.edit.column = 1;
  ui.SetClipboard("-1\n-2");
  EXPECT_EQ(PasteCommand(doc, grid), kEditDone);
  EXPECT_TRUE(ended);
  EXPECT_EQ(Row(5), (std::vector<float>{0, -1}));
  EXPECT_EQ(Row(6), (std::vector<float>{0, -2}));
  EXPECT_EQ(Row(7), (std::vector<float>{4, 40}));  // the old row 5 moved down
}

TEST_F(ClipboardTest, PasteReadsHeadingsAndCommas) {
  FillPoints(2);
  ui.SetClipboard("time,count\r\n1.5,2\r\n2.5,4\r\n");
  EXPECT_EQ(PasteCommand(doc, grid), kEditDone);
  EXPECT_EQ(doc.nPoints, 4);
  EXPECT_EQ(Row(0), (std::vector<float>{1.5f, 2}));
  EXPECT_EQ(Row(1), (std::vector<float>{2.5f, 4}));
}

TEST_F(ClipboardTest, WholeRowOntoSelectedWholeRowTakesItsPlace) {
  FillPoints(5);
  Select(1, 0, 1, 1);
  CopyCommand(doc, grid);
  Select(3, 0, 3, 1);
  EXPECT_EQ(PasteCommand(doc, grid), kEditDone);
  EXPECT_EQ(doc.nPoints, 5);
  EXPECT_EQ(Row(3), (std::vector<float>{2, 20}));
  EXPECT_EQ(Row(4), (std::vector<float>{5, 50}));
  ASSERT_EQ(doc.history.undo.Count(), 2);
  EXPECT_EQ(doc.history.undo.At(0).kind, kHistoryInsert);
  EXPECT_EQ(doc.history.undo.At(1).kind, kHistoryClear);

  // Several rows onto one selected row: the row is replaced by all of them.
  ui.SetClipboard("8\t80\n9\t90");
  Select(0, 0, 0, 1);
  EXPECT_EQ(PasteCommand(doc, grid), kEditDone);
  EXPECT_EQ(doc.nPoints, 6);
  EXPECT_EQ(Row(0), (std::vector<float>{8, 80}));
  EXPECT_EQ(Row(2), (std::vector<float>{2, 20}));
}

TEST_F(ClipboardTest, PasteRefusalsChangeNothing) {
  FillPoints(4);
  struct Case {
    std::optional<std::string> clipboard;
    int selectedRows;  // rows 0..selectedRows-1, both columns; 0 for no selection
    int result;
    const char* text;
  };
  const Case cases[] = {
      {std::nullopt, 0, kEditRefused, "The clipboard holds no numbers that can be pasted."},
      {"no numbers here", 0, kEditRefused, "The clipboard holds no numbers that can be pasted."},
      {"1\t2\n3\t4", 3, kEditFailed, nullptr},  // 2 x 2 onto 3 x 2
      {"1\n2", 2, kEditFailed, nullptr},        // one column onto two
  };
  for (const Case& c : cases) {
    ui.ClearEvents();
    ui.SetClipboard(c.clipboard);
    grid.selection = {};
    if (c.selectedRows > 0) Select(0, 0, c.selectedRows - 1, 1);
    EXPECT_EQ(PasteCommand(doc, grid), c.result);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].caption, "Edit Data");
    if (c.text) {
      EXPECT_EQ(Boxes()[0].text, c.text);
    }
  }
  EXPECT_EQ(doc.nPoints, 4);
  EXPECT_EQ(doc.bModified, 0);
  EXPECT_TRUE(doc.history.undo.Empty());
}

TEST_F(ClipboardTest, ClearRemovesWholeRowsAndHandsAWholeColumnToTheGrid) {
  FillPoints(5);
  std::vector<int> deleted;
  grid.deleteColumn = [&](int column) { deleted.push_back(column); };

  Select(0, 0, 4, 1);  // Select All
  EXPECT_EQ(ClearCommand(doc, grid), kEditDone);
  EXPECT_EQ(doc.nPoints, 5);
  EXPECT_TRUE(deleted.empty());

  Select(0, 1, 4, 1);  // the whole y column
  ClearCommand(doc, grid);
  EXPECT_EQ(deleted, std::vector<int>{1});
  EXPECT_EQ(doc.nPoints, 5);

  Select(1, 1, 2, 1);  // part of a column
  EXPECT_EQ(ClearCommand(doc, grid), kEditRefused);
  EXPECT_EQ(Boxes().back().text, "Only whole rows or one whole column can be cleared. Select them first.");

  Select(1, 0, 2, 1);
  EXPECT_EQ(ClearCommand(doc, grid), kEditDone);
  EXPECT_EQ(doc.nPoints, 3);
  EXPECT_EQ(Row(1), (std::vector<float>{4, 40}));
  EXPECT_EQ(doc.history.undo.Newest().kind, kHistoryClear);
}

TEST_F(ClipboardTest, CutCopiesThenClears) {
  FillPoints(3);
  Select(0, 0, 0, 1);
  EXPECT_EQ(CutCommand(doc, grid), kEditDone);
  EXPECT_EQ(ui.Clipboard(), "1\t10");
  EXPECT_EQ(doc.nPoints, 2);

  grid.selection = {};
  EXPECT_EQ(CutCommand(doc, grid), kEditRefused);  // nothing copied, nothing cleared
  EXPECT_EQ(Boxes().back().text, "Please select the data cells to copy first.");
  EXPECT_EQ(doc.nPoints, 2);
}

TEST_F(ClipboardTest, AnOpenEditBoxHandlesItsOwnText) {
  FillPoints(3);
  std::vector<std::string> calls;
  grid.edit = {true, 1, 1, [&] { calls.push_back("copy"); }, [&] { calls.push_back("paste"); },
               [&] { calls.push_back("delete"); }};
  ui.SetClipboard("42");
  CopyCommand(doc, grid);
  ClearCommand(doc, grid);
  PasteCommand(doc, grid);
  EXPECT_EQ(calls, (std::vector<std::string>{"copy", "delete", "paste"}));
  EXPECT_EQ(doc.nPoints, 3);
  EXPECT_TRUE(doc.history.undo.Empty());
}

}  // namespace
}  // namespace trendolin
