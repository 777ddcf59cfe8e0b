// The data grid's layout, hit test, click and key rules.
#include "session/grid_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace trendolin {
namespace {

// A cell cut to this many pixels or fewer is as good as not there.
constexpr int kSliver = 3;

int FloorDiv(int a, int b) {
  const int q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

int RowsSpace(const GridLayout& l) { return l.CellAreaBottom() - l.headerHeight; }
int ColumnsSpace(const GridLayout& l) { return l.CellAreaRight() - l.rowHeaderWidth; }

}  // namespace

int VisibleCount(int space, int cellSize) {
  if (cellSize <= 0 || space <= 0) return 1;
  const int count = space / cellSize + (space % cellSize > kSliver ? 1 : 0);
  return std::max(count, 1);
}

int VisibleRows(const GridLayout& layout) { return VisibleCount(RowsSpace(layout), layout.rowHeight); }

int VisibleColumns(const GridLayout& layout) {
  return VisibleCount(ColumnsSpace(layout), layout.columnWidth);
}

int ScrollLimit(int allocated, int space, int cellSize) {
  const int visible = VisibleCount(space, cellSize);
  int limit = allocated - visible;
  if (cellSize > 0 && space > 0) {
    // The partly shown last cell counts as visible; when it is cut by more
    // than a sliver, one more step brings the last allocated cell fully in.
    const int shown = space % cellSize;
    if (shown > kSliver && cellSize - shown > kSliver) limit += 1;
  }
  return std::max(limit, 0);
}

int LastTopRow(const GridLayout& layout, int rowsAllocated) {
  return ScrollLimit(rowsAllocated, RowsSpace(layout), layout.rowHeight);
}

int LastLeftColumn(const GridLayout& layout, int columnsAllocated) {
  return ScrollLimit(columnsAllocated, ColumnsSpace(layout), layout.columnWidth);
}

std::string RowHeaderSample(int rowsAllocated) {
  char text[16];
  std::snprintf(text, sizeof text, "%d", rowsAllocated);
  return std::string(text) + "0";
}

int RowHeaderWidth(int sampleTextWidth, int minimumTextWidth) {
  return 3 * std::max(sampleTextWidth, minimumTextWidth) / 2;
}

int RowHeightForText(int textHeight) { return 3 * textHeight / 2; }

int ColumnWidthForText(int averageCharWidth) { return 15 * averageCharWidth; }

int ScrollPage(int visible, int limit, int allocated) {
  if (limit <= 0) return 0;
  const double page = static_cast<double>(visible) * limit / (allocated + 1.0);
  const double whole = std::floor(page);
  return static_cast<int>(whole) + (page - whole >= 0.00001 ? 1 : 0);
}

GridHitResult HitTest(const GridLayout& l, int x, int y, int left, int top) {
  GridHitResult hit;
  hit.column = FloorDiv(x - l.rowHeaderWidth, std::max(l.columnWidth, 1)) + left;
  hit.row = FloorDiv(y - l.headerHeight, std::max(l.rowHeight, 1)) + top;
  const int rowsEnd = std::min(l.CellAreaBottom(), l.headerHeight + VisibleRows(l) * l.rowHeight);
  const int columnsEnd = std::min(l.CellAreaRight(), l.rowHeaderWidth + VisibleColumns(l) * l.columnWidth);
  const bool inHeader = y < l.headerHeight;
  const bool inRowHeader = x < l.rowHeaderWidth;
  if (y < 0) {
    hit.kind = GridHit::Above;
  } else if (x < 0) {
    hit.kind = GridHit::LeftOf;
  } else if (x >= l.CellAreaRight() && y >= l.CellAreaBottom() && x < l.clientWidth && y < l.clientHeight) {
    hit.kind = GridHit::ScrollCorner;
  } else if (y >= rowsEnd) {
    hit.kind = GridHit::Below;
  } else if (x >= columnsEnd) {
    hit.kind = GridHit::RightOf;
  } else if (inHeader && inRowHeader) {
    hit.kind = GridHit::Corner;
  } else if (inHeader) {
    hit.kind = GridHit::ColumnHeader;
  } else if (inRowHeader) {
    hit.kind = GridHit::RowHeader;
  } else {
    hit.kind = GridHit::Cell;
  }
  return hit;
}

PressAction PressRule(const GridHitResult& hit, int columns, int rows) {
  switch (hit.kind) {
    case GridHit::Cell: {
      // Only the data and the one row and one column just past it answer.
      const bool beyond = hit.column > columns || hit.row > rows || (hit.column == columns && hit.row == rows);
      return beyond || hit.column < 0 || hit.row < 0 ? PressAction::Ignore : PressAction::StartCellSelection;
    }
    case GridHit::ColumnHeader:
      return hit.column >= 0 && hit.column < columns && rows > 0 ? PressAction::SelectColumn : PressAction::Ignore;
    case GridHit::RowHeader:
      return hit.row >= 0 && hit.row < rows && columns > 0 ? PressAction::SelectRow : PressAction::Ignore;
    case GridHit::Corner:
      return columns > 0 && rows > 0 ? PressAction::SelectAll : PressAction::Ignore;
    default:
      return PressAction::Ignore;
  }
}

ClickAction ClickRule(GridCell cell, int columns, int rows) {
  if (cell.column < 0 || cell.row < 0) return ClickAction::Ignore;
  if (cell.column < columns && cell.row < rows) return ClickAction::OpenEdit;
  if (cell.column < columns && cell.row == rows) return ClickAction::OpenNewRow;
  if (cell.column == columns && cell.row < rows) return ClickAction::AddColumn;
  return ClickAction::Ignore;
}

GridCell DragCorner(GridCell anchor, GridCell pointer, int columns, int rows) {
  if (pointer == anchor) return anchor;
  return {std::clamp(pointer.column, 0, std::max(columns - 1, 0)), std::clamp(pointer.row, 0, std::max(rows - 1, 0))};
}

ScrollStep DragScrollStep(GridHit kind) {
  switch (kind) {
    case GridHit::Above:
    case GridHit::ColumnHeader:
      return {0, -1};
    case GridHit::Below:
      return {0, 1};
    case GridHit::LeftOf:
    case GridHit::RowHeader:
      return {-1, 0};
    case GridHit::RightOf:
      return {1, 0};
    case GridHit::Corner:
      return {-1, -1};
    case GridHit::ScrollCorner:
      return {1, 1};
    default:
      return {};
  }
}

std::optional<GridCell> EditKeyTarget(EditKey key, GridCell from, int columns, int rows, int visibleRows) {
  const int c = from.column;
  const int r = from.row;
  switch (key) {
    case EditKey::Next:
      if (c + 1 < columns) return GridCell{c + 1, r};
      return GridCell{0, r + 1};
    case EditKey::Previous:
      if (c > 0) return GridCell{c - 1, r};
      if (r > 0) return GridCell{columns - 1, r - 1};
      return std::nullopt;
    case EditKey::Left:
      return c > 0 ? std::optional<GridCell>(GridCell{c - 1, r}) : std::nullopt;
    case EditKey::Right:
      return c + 1 < columns ? std::optional<GridCell>(GridCell{c + 1, r}) : std::nullopt;
    case EditKey::Up:
      return r > 0 ? std::optional<GridCell>(GridCell{c, r - 1}) : std::nullopt;
    case EditKey::Down:
      return r + 1 < rows ? std::optional<GridCell>(GridCell{c, r + 1}) : std::nullopt;
    case EditKey::PageUp:
      return GridCell{c, std::max(r - visibleRows, 0)};
    case EditKey::PageDown:
      return GridCell{c, std::max(std::min(r + visibleRows, rows - 1), 0)};
    case EditKey::Home:
      return GridCell{0, 0};
    case EditKey::End:
      return GridCell{0, std::max(rows - 1, 0)};
  }
  return std::nullopt;
}

GridOrigin OriginShowing(GridCell target, GridOrigin current, int visibleColumns, int visibleRows, int lastLeft,
                         int lastTop) {
  const bool rowInView = target.row >= current.top && target.row < current.top + visibleRows - 1;
  const bool columnInView = target.column >= current.left && target.column < current.left + visibleColumns - 1;
  if (rowInView && columnInView) return current;
  return {std::clamp(target.column - visibleColumns / 2, 0, std::max(lastLeft, 0)),
          std::clamp(target.row - visibleRows / 2, 0, std::max(lastTop, 0))};
}

}  // namespace trendolin
