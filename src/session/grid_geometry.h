// The data grid's rules that need no window: how many rows and columns fit,
// how far it scrolls, which cell a point falls on, what a click means and
// where the edit keys lead. The grid widget measures and draws; these decide.
#pragma once

#include <optional>
#include <string>

namespace trendolin {

// A cell in absolute indices (column, row).
struct GridCell {
  int column = 0;
  int row = 0;
  bool operator==(const GridCell&) const = default;
};

// The grid's pixel layout. The scroll bars always take their room, even when
// disabled, so the cell area does not jump when the data grows.
struct GridLayout {
  int clientWidth = 0;
  int clientHeight = 0;
  int rowHeaderWidth = 0;
  int headerHeight = 0;  // the column-header band, one row high
  int columnWidth = 1;
  int rowHeight = 1;
  int scrollBarWidth = 0;   // the vertical bar along the right edge
  int scrollBarHeight = 0;  // the horizontal bar along the bottom edge

  int CellAreaRight() const { return clientWidth - scrollBarWidth; }
  int CellAreaBottom() const { return clientHeight - scrollBarHeight; }
};

// Cells that fit into `space` pixels; a last cell showing more than 3 pixels
// counts, so the user can click it. At least 1.
int VisibleCount(int space, int cellSize);
int VisibleRows(const GridLayout& layout);
int VisibleColumns(const GridLayout& layout);

// The largest origin (top row or left column): enough to bring the last
// allocated cell fully into view. At least 0.
int ScrollLimit(int allocated, int space, int cellSize);
int LastTopRow(const GridLayout& layout, int rowsAllocated);
int LastLeftColumn(const GridLayout& layout, int columnsAllocated);

// The row-header band is wide enough for the largest row number with a digit
// to spare, and never narrower than two digits: 3/2 of the wider of the two
// measured texts RowHeaderSample and kRowHeaderMinimumSample.
inline constexpr const char* kRowHeaderMinimumSample = "20";
std::string RowHeaderSample(int rowsAllocated);
int RowHeaderWidth(int sampleTextWidth, int minimumTextWidth);

// The cell size the grid takes from the interface font.
int RowHeightForText(int textHeight);
int ColumnWidthForText(int averageCharWidth);

// The scroll bar's page for `visible` of `allocated` cells with origins
// 0..limit: visible x limit / (allocated + 1), rounded up unless the fraction
// is negligible.
int ScrollPage(int visible, int limit, int allocated);

enum class GridHit {
  Cell,
  Corner,        // the top-left cell of the headers
  ColumnHeader,  // column holds the column under the point
  RowHeader,     // row holds the row under the point
  ScrollCorner,  // the square between the two scroll bars
  Above,         // above the window
  Below,         // below the visible rows
  LeftOf,        // left of the window
  RightOf,       // right of the visible columns
};

struct GridHitResult {
  GridHit kind = GridHit::Cell;
  int column = 0;  // absolute; meaningful for cells and the header bands
  int row = 0;
};

// Where the point (x, y) falls with the view starting at (left, top).
GridHitResult HitTest(const GridLayout& layout, int x, int y, int left, int top);

// What a button press means. The data's extent is `columns` x `rows` (in use).
enum class PressAction { Ignore, SelectColumn, SelectRow, SelectAll, StartCellSelection };
PressAction PressRule(const GridHitResult& hit, int columns, int rows);

// What a release on the cell where the selection started means, when the
// selection is still that one cell.
enum class ClickAction { OpenEdit, OpenNewRow, AddColumn, Ignore };
ClickAction ClickRule(GridCell cell, int columns, int rows);

// While a cell selection is dragged: the selection's far corner for the
// cell under the pointer. It stays inside the data, except that hovering over
// the start cell keeps it there (that start may be a cell just past the data).
GridCell DragCorner(GridCell anchor, GridCell pointer, int columns, int rows);

// While dragging: one line of scrolling toward the pointer when it is
// outside the cell area (-1, 0 or +1 in each direction).
struct ScrollStep {
  int columns = 0;
  int rows = 0;
};
ScrollStep DragScrollStep(GridHit kind);

// The keys of the in-place editor that move to another cell.
enum class EditKey { Next, Previous, Left, Right, Up, Down, PageUp, PageDown, Home, End };

// The cell an edit key leads to from `from`, with the data `columns` x
// `rows` in use and `visibleRows` a page; nothing when the key has nowhere to
// go. Next from the last cell gives the first cell of the row past the data,
// which appends a row.
std::optional<GridCell> EditKeyTarget(EditKey key, GridCell from, int columns, int rows, int visibleRows);

// The view origin (left column, top row) that shows `target`: unchanged when
// the cell is fully in view, else the cell centred within the scroll limits.
// The last visible row and column count as out of view, since they may be cut.
struct GridOrigin {
  int left = 0;
  int top = 0;
  bool operator==(const GridOrigin&) const = default;
};
GridOrigin OriginShowing(GridCell target, GridOrigin current, int visibleColumns, int visibleRows,
                         int lastLeft, int lastTop);

}  // namespace trendolin
