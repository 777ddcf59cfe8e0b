// The data grid: the spreadsheet-like view of the main window in which the
// person sees and edits the data set. It shows the data set's own column
// arrays (it never copies them), keeps a rectangular selection, edits one
// cell at a time in an in-place editor and scrolls over every allocated row.
// It changes no data itself: committed values and requests for a new row or
// column go to its owner, which changes the data set; the data set then
// tells the grid its new shape through DataGridSink.
#pragma once

#include <QPoint>
#include <QString>
#include <QWidget>
#include <vector>

#include "session/clipboard.h"
#include "data/curve_fit.h"
#include "session/grid_edits.h"
#include "session/grid_geometry.h"

class QLineEdit;
class QScrollBar;

namespace trendolin::gui {

class DataGridEditBox;

// What the grid tells its owner (the main window).
class DataGridOwner {
 public:
  virtual ~DataGridOwner() = default;
  // A number was committed into a cell (absolute indices).
  virtual void GridCellCommitted(int column, int row, double value) = 0;
  // A number was committed into the row just past the data, which the grid
  // offers as a place to type: the owner makes that row a point. 0 done.
  virtual int GridAddPoint(int column, double value) = 0;
  // The column just past the data was clicked.
  virtual void GridAddColumn(int column) = 0;
  // The right button, over the grid or its editor.
  virtual void GridContextMenu(const QPoint& globalPos) = 0;
  // The Delete key with a selection and no edit open: clear it as Edit > Clear does.
  virtual void GridClearSelection() = 0;
};

class DataGrid : public QWidget, public trendolin::DataGridSink {
  Q_OBJECT

 public:
  explicit DataGrid(QWidget* parent = nullptr);
  ~DataGrid() override;

  void SetOwner(DataGridOwner* owner) { owner_ = owner; }

  // DataGridSink: the data set's shape and storage.
  void SetAllocatedColumns(int columns) override;
  void SetUsedColumns(int columns) override;
  void SetAllocatedRows(int rows) override;
  void SetPointCount(int points) override;
  void SetColumnPointer(int column, trendolin::datatype* values) override;
  // The column array shown, null beyond the allocated columns.
  trendolin::datatype* ColumnPointer(int column) const;

  int AllocatedColumns() const { return columnsAllocated_; }
  int AllocatedRows() const { return rowsAllocated_; }
  int UsedColumns() const { return columnsUsed_; }
  int UsedRows() const { return rowsUsed_; }

  // Starts over for a new data set: the editor empties and closes without
  // committing, the selection ends, the view returns to the top-left cell.
  // `valueType` 0: single-precision columns (the data set's own).
  void Reset(int valueType);
  int ValueType() const { return valueType_; }

  // Commits and closes the edit in progress. True when done (or nothing was
  // open); false when the text is not a number: a beep, the edit stays open
  // with the unreadable part selected.
  bool Commit();
  // Commit, close and end the selection. False when the commit failed.
  bool EndEdit();
  // Closes the edit without committing what was typed (Esc): the cell keeps
  // its value, and the row past the data stays no point.
  void CancelEdit();
  // The edit is open in the row just past the data, which is no point yet.
  bool IsEditingNewRow() const { return editing_ && editCell_.row >= rowsUsed_; }
  // As a click on the top-left corner: everything in use is selected.
  void SelectAll();

  void SetCellSize(int rowHeight, int columnWidth);
  int RowHeight() const { return rowHeight_; }
  int ColumnWidth() const { return columnWidth_; }
  // The cell size from the interface font (row 3/2 of its text height, column
  // 15 average characters), never smaller than the grid's own font needs.
  void ApplyFontCellSize();

  // Headings exist for allocated columns only; an empty text or a missing
  // column changes nothing.
  void SetHeading(int column, const QString& text);
  QString Heading(int column) const;

  // Absolute and normalised (first <= last).
  trendolin::GridSelection Selection() const;
  bool IsEditing() const { return editing_; }
  int EditColumn() const { return editing_ ? editCell_.column : -1; }
  int EditRow() const { return editing_ ? editCell_.row : -1; }
  QLineEdit* EditBox();

  int TopRow() const { return top_; }
  int LeftColumn() const { return left_; }
  int VisibleRows() const { return visibleRows_; }
  int VisibleColumns() const { return visibleColumns_; }
  int LastTopRow() const { return lastTop_; }
  int LastLeftColumn() const { return lastLeft_; }
  QScrollBar* VerticalScrollBar() const { return vbar_; }
  QScrollBar* HorizontalScrollBar() const { return hbar_; }

  // The text a cell shows: the value with "%g" inside the data, else empty.
  QString CellText(int column, int row) const;
  // Where an absolute cell lies in the widget (it may be out of view).
  QRect CellRect(int column, int row) const;

  // The clipboard commands' view of the grid; deleteColumn is left to the owner.
  trendolin::GridContext Context();
  // What adding or deleting a column needs of the grid (the owner adds the
  // preview's repaint to `repaint` when it wants).
  trendolin::GridColumnHooks ColumnHooks();

  // For the in-place editor: a key of the edit-key table, the editor losing
  // the focus to `next`, the right button.
  void EditKeyPressed(trendolin::EditKey key);
  void EditFocusLost(QWidget* next);
  void ShowContextMenu(const QPoint& globalPos);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  trendolin::GridLayout Layout() const;
  void UpdateRowHeaderWidth();
  void Relayout();
  void UpdateScrollBars();
  void PlaceEditBox();
  void OnScrollAction(QScrollBar* bar, int action);

  void OpenEdit(trendolin::GridCell cell, const QString& text);
  void CloseEdit();
  void ClearSelection();
  void SetSelection(trendolin::GridCell first, trendolin::GridCell last);
  // A press at `hit`, as the mouse or Select All make it.
  void Press(const trendolin::GridHitResult& hit);
  // A press and release on one cell.
  void Click(trendolin::GridCell cell);
  // Where the edit keys and the release lead: scroll the cell into view, click it.
  void MoveToCell(trendolin::GridCell cell);
  // The person scrolls: the edit is committed and the selection ends first;
  // false when the edit refused.
  bool UserScroll(int top, int left);
  void ScrollBy(int rows, int columns);

  void PaintHeaders(QPainter& painter, const trendolin::GridLayout& layout, const QRect& exposed);
  void PaintCells(QPainter& painter, const trendolin::GridLayout& layout, const QRect& exposed);
  void PaintMarks(QPainter& painter, const trendolin::GridLayout& layout);

  DataGridOwner* owner_ = nullptr;
  int valueType_ = 1;
  std::vector<trendolin::datatype*> columns_;
  std::vector<QString> headings_;
  QScrollBar* vbar_ = nullptr;
  QScrollBar* hbar_ = nullptr;
  DataGridEditBox* edit_ = nullptr;

  bool editing_ = false;
  trendolin::GridCell editCell_;

  int columnsAllocated_ = 0;
  int rowsAllocated_ = 0;
  int columnsUsed_ = 0;
  int rowsUsed_ = 0;
  int top_ = 0;
  int left_ = 0;
  int lastTop_ = 2;
  int lastLeft_ = 2;
  int visibleRows_ = 1;
  int visibleColumns_ = 1;
  int rowHeaderWidth_ = 0;
  int columnWidth_ = 500;
  int rowHeight_ = 50;

  bool selecting_ = false;  // the selection exists
  bool dragging_ = false;   // a cell press is being dragged
  trendolin::GridCell anchor_;
  trendolin::GridCell corner_;
};

}  // namespace trendolin::gui
