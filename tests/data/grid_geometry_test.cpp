// The data grid's layout, hit test, click and edit-key rules.
#include <gtest/gtest.h>

#include "session/grid_geometry.h"

namespace trendolin {
namespace {

// 16-pixel scroll bars, 20-pixel rows and headings, 40-pixel row numbers,
// 100-pixel columns. The cell area is 344 x 264: 3 whole columns and 44
// pixels of a fourth, 13 whole rows and 4 pixels of a fourteenth.
GridLayout Layout(int width = 400, int height = 300) {
  GridLayout l;
  l.clientWidth = width;
  l.clientHeight = height;
  l.rowHeaderWidth = 40;
  l.headerHeight = 20;
  l.columnWidth = 100;
  l.rowHeight = 20;
  l.scrollBarWidth = 16;
  l.scrollBarHeight = 16;
  return l;
}

TEST(GridGeometryTest, ACutCellCountsWhenMoreThanASliverShows) {
  EXPECT_EQ(VisibleRows(Layout()), 14);
  EXPECT_EQ(VisibleColumns(Layout()), 4);
  EXPECT_EQ(VisibleRows(Layout(400, 299)), 13);  // 3 pixels of the last row: not counted
  EXPECT_EQ(VisibleRows(Layout(400, 20)), 1);  // never less than one
}

TEST(GridGeometryTest, ScrollLimitBringsTheLastAllocatedRowFullyIntoView) {
  // 14 visible, the 14th cut by 16 pixels: one more step is needed.
  EXPECT_EQ(LastTopRow(Layout(), 30), 17);
  // 13 whole rows and a sliver: the sliver row is not counted.
  EXPECT_EQ(LastTopRow(Layout(400, 298), 30), 17);
  // The last visible row cut by only 2 pixels counts as shown.
  EXPECT_EQ(LastTopRow(Layout(400, 314), 30), 16);
  EXPECT_EQ(LastTopRow(Layout(), 5), 0);
  EXPECT_EQ(LastLeftColumn(Layout(), 3), 0);
  EXPECT_EQ(LastLeftColumn(Layout(), 6), 3);
}

TEST(GridGeometryTest, ScrollPageAndRowHeaderWidth) {
  EXPECT_EQ(ScrollPage(14, 0, 10), 0);
  EXPECT_EQ(ScrollPage(14, 17, 30), 8);  // 7.67 rounded up
  EXPECT_EQ(ScrollPage(10, 30, 59), 5);  // exactly 5: no rounding up
  EXPECT_EQ(RowHeaderSample(125), "1250");
  EXPECT_EQ(RowHeaderWidth(28, 14), 42);
  EXPECT_EQ(RowHeaderWidth(7, 14), 21);
  EXPECT_EQ(RowHeightForText(13), 19);
  EXPECT_EQ(ColumnWidthForText(7), 105);
}

TEST(GridGeometryTest, HitTestNamesEveryRegion) {
  const GridLayout l = Layout();
  const GridHitResult cell = HitTest(l, 145, 65, 2, 10);
  EXPECT_EQ(cell.kind, GridHit::Cell);
  EXPECT_EQ(cell.column, 3);
  EXPECT_EQ(cell.row, 12);
  EXPECT_EQ(HitTest(l, 5, 5, 0, 0).kind, GridHit::Corner);
  const GridHitResult heading = HitTest(l, 250, 5, 1, 0);
  EXPECT_EQ(heading.kind, GridHit::ColumnHeader);
  EXPECT_EQ(heading.column, 3);
  const GridHitResult number = HitTest(l, 5, 50, 0, 4);
  EXPECT_EQ(number.kind, GridHit::RowHeader);
  EXPECT_EQ(number.row, 5);
  EXPECT_EQ(HitTest(l, 390, 290, 0, 0).kind, GridHit::ScrollCorner);
  EXPECT_EQ(HitTest(l, 100, -1, 0, 0).kind, GridHit::Above);
  EXPECT_EQ(HitTest(l, 100, 290, 0, 0).kind, GridHit::Below);
  EXPECT_EQ(HitTest(l, -1, 100, 0, 0).kind, GridHit::LeftOf);
  EXPECT_EQ(HitTest(l, 390, 100, 0, 0).kind, GridHit::RightOf);
  // Above the cells the row still follows the pointer, for dragging.
  EXPECT_EQ(HitTest(l, 100, -30, 0, 5).row, 2);
}

TEST(GridGeometryTest, PressesReachTheDataAndOneRowOrColumnPastIt) {
  const auto cell = [](int column, int row) { return GridHitResult{GridHit::Cell, column, row}; };
  EXPECT_EQ(PressRule(cell(1, 4), 2, 5), PressAction::StartCellSelection);
  EXPECT_EQ(PressRule(cell(1, 5), 2, 5), PressAction::StartCellSelection);  // row past the data
  EXPECT_EQ(PressRule(cell(2, 4), 2, 5), PressAction::StartCellSelection);  // column past the data
  EXPECT_EQ(PressRule(cell(2, 5), 2, 5), PressAction::Ignore);              // both past
  EXPECT_EQ(PressRule(cell(1, 6), 2, 5), PressAction::Ignore);
  EXPECT_EQ(PressRule(cell(3, 0), 2, 5), PressAction::Ignore);

  EXPECT_EQ(PressRule({GridHit::ColumnHeader, 1, -1}, 2, 5), PressAction::SelectColumn);
  EXPECT_EQ(PressRule({GridHit::ColumnHeader, 2, -1}, 2, 5), PressAction::Ignore);
  EXPECT_EQ(PressRule({GridHit::RowHeader, -1, 4}, 2, 5), PressAction::SelectRow);
  EXPECT_EQ(PressRule({GridHit::RowHeader, -1, 5}, 2, 5), PressAction::Ignore);
  EXPECT_EQ(PressRule({GridHit::Corner, -1, -1}, 2, 5), PressAction::SelectAll);
  EXPECT_EQ(PressRule({GridHit::Corner, -1, -1}, 2, 0), PressAction::Ignore);  // nothing to select
  EXPECT_EQ(PressRule({GridHit::Below, 0, 9}, 2, 5), PressAction::Ignore);
}

TEST(GridGeometryTest, AClickOpensAppendsOrAddsAndADragStaysInTheData) {
  EXPECT_EQ(ClickRule({1, 4}, 2, 5), ClickAction::OpenEdit);
  EXPECT_EQ(ClickRule({0, 5}, 2, 5), ClickAction::OpenNewRow);
  EXPECT_EQ(ClickRule({2, 0}, 2, 5), ClickAction::AddColumn);
  EXPECT_EQ(ClickRule({2, 5}, 2, 5), ClickAction::Ignore);

  EXPECT_EQ(DragCorner({0, 5}, {0, 5}, 2, 5), (GridCell{0, 5}));  // hovering over the start
  EXPECT_EQ(DragCorner({0, 5}, {0, 6}, 2, 5), (GridCell{0, 4}));
  EXPECT_EQ(DragCorner({1, 1}, {7, -3}, 2, 5), (GridCell{1, 0}));
  EXPECT_EQ(DragScrollStep(GridHit::Below).rows, 1);
  EXPECT_EQ(DragScrollStep(GridHit::ColumnHeader).rows, -1);
  EXPECT_EQ(DragScrollStep(GridHit::LeftOf).columns, -1);
  EXPECT_EQ(DragScrollStep(GridHit::Cell).rows, 0);
}

TEST(GridGeometryTest, EditKeysWrapAtRowEndsAndStopAtEdges) {
  const auto to = [](EditKey key, GridCell from) { return EditKeyTarget(key, from, 3, 10, 6); };
  EXPECT_EQ(to(EditKey::Next, {1, 2}), (GridCell{2, 2}));
  EXPECT_EQ(to(EditKey::Next, {2, 2}), (GridCell{0, 3}));
  EXPECT_EQ(to(EditKey::Next, {2, 9}), (GridCell{0, 10}));  // the row past the data: appended
  EXPECT_EQ(to(EditKey::Previous, {0, 3}), (GridCell{2, 2}));
  EXPECT_FALSE(to(EditKey::Previous, {0, 0}));
  EXPECT_FALSE(to(EditKey::Left, {0, 4}));
  EXPECT_FALSE(to(EditKey::Right, {2, 4}));
  EXPECT_FALSE(to(EditKey::Up, {1, 0}));
  EXPECT_FALSE(to(EditKey::Down, {1, 9}));
  EXPECT_EQ(to(EditKey::Down, {1, 8}), (GridCell{1, 9}));
  EXPECT_EQ(to(EditKey::PageUp, {1, 4}), (GridCell{1, 0}));
  EXPECT_EQ(to(EditKey::PageDown, {1, 2}), (GridCell{1, 8}));
  EXPECT_EQ(to(EditKey::PageDown, {1, 5}), (GridCell{1, 9}));
  EXPECT_EQ(to(EditKey::Home, {2, 7}), (GridCell{0, 0}));
  EXPECT_EQ(to(EditKey::End, {2, 3}), (GridCell{0, 9}));
}

TEST(GridGeometryTest, ACellOutOfViewIsCentredWithinTheLimits) {
  const GridOrigin at{0, 10};
  EXPECT_EQ(OriginShowing({1, 15}, at, 4, 8, 2, 40), at);
  // The last visible row may be cut: it counts as out of view.
  EXPECT_EQ(OriginShowing({1, 17}, at, 4, 8, 2, 40), (GridOrigin{0, 13}));
  EXPECT_EQ(OriginShowing({1, 9}, at, 4, 8, 2, 40), (GridOrigin{0, 5}));
  EXPECT_EQ(OriginShowing({1, 2}, at, 4, 8, 2, 40), (GridOrigin{0, 0}));
  EXPECT_EQ(OriginShowing({1, 99}, at, 4, 8, 2, 40), (GridOrigin{0, 40}));
  EXPECT_EQ(OriginShowing({5, 12}, at, 4, 8, 2, 40), (GridOrigin{2, 8}));
}

}  // namespace
}  // namespace trendolin
