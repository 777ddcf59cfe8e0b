// The Edit menu's Copy, Cut, Paste and Clear: blocks of the data set moved
// through the clipboard as data-file text, and whole rows removed.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "data/curve_fit.h"
#include "data/data_block.h"

namespace trendolin {

// The grid's selection in absolute cell indices (first <= last once the
// grid has normalised it).
struct GridSelection {
  bool exists = false;
  int firstRow = -1;
  int firstColumn = -1;
  int lastRow = -1;
  int lastColumn = -1;

  int RowCount() const { return lastRow - firstRow + 1; }
  int ColumnCount() const { return lastColumn - firstColumn + 1; }
};

// The grid's in-place edit box: whether it is open, on which cell, and its
// own clipboard actions on its text.
struct GridEditBox {
  bool open = false;
  int row = -1;     // absolute
  int column = -1;  // absolute
  std::function<void()> copy;        // copies its selected text
  std::function<void()> paste;       // pastes the clipboard text into it
  std::function<void()> deleteText;  // deletes its selected text
};

// What the commands consult and drive in the grid. Every callback may be
// empty (headless use); the commands then skip that step.
struct GridContext {
  GridSelection selection;
  GridEditBox edit;
  DataGridSink* sink = nullptr;             // told the column and row counts after a change
  std::function<void()> endEdit;            // commits and closes the edit, ends the selection
  std::function<void()> repaint;            // the grid repaints
  // The main window's delete-column handling for the given column: it asks
  // (117/124), deletes, empties the history and re-heads the grid.
  std::function<void(int column)> deleteColumn;
};

// Results of the commands.
inline constexpr int kEditDone = 0;
inline constexpr int kEditRefused = 1;  // no usable selection, or nothing to paste; the user was warned
inline constexpr int kEditFailed = 3;   // copying failed (silently), or the pasted block does not fit

// A selection that lies inside the data.
bool IsCopyable(const CurveFit& doc, const GridSelection& selection);
// Copyable, and either whole rows or one whole column.
bool IsClearable(const CurveFit& doc, const GridSelection& selection);

// Puts the block on the clipboard as the data file writer formats it, less
// the final line ending. 0 done; -6 the clipboard refused the text.
int CopyBlockToClipboard(const datatype* const* columns, int firstRow, int firstColumn, int rowCount,
                         int columnCount);

// The text CopyBlockToClipboard puts on the clipboard.
std::string ClipboardTextOfBlock(const datatype* const* columns, int firstRow, int firstColumn, int rowCount,
                                 int columnCount);

// The clipboard's numbers read as a data file with every column from the
// first, no generated x and no uncertainty; nullopt when the clipboard holds
// no text or the text holds no readable data.
std::optional<DataBlock> ReadClipboardBlock();

int CopyCommand(CurveFit& doc, GridContext& grid);
int CutCommand(CurveFit& doc, GridContext& grid);
int PasteCommand(CurveFit& doc, GridContext& grid);
int ClearCommand(CurveFit& doc, GridContext& grid);

// Menu state: Paste while the clipboard offers text; Cut, Copy and Clear
// while the edit box is open or a selection exists.
bool CanPaste();
bool CanCutCopyClear(const GridContext& grid);

}  // namespace trendolin
