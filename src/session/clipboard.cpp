// Clipboard exchange of data blocks and the Edit menu commands built on it.
#include "session/clipboard.h"

#include <algorithm>
#include <vector>

#include "data/data_file.h"
#include "data/document_hooks.h"
#include "platform/ui.h"

namespace trendolin {
namespace {

constexpr int kEditCaption = 117;
constexpr int kNothingToCopy = 118;
constexpr int kNothingToClear = 121;
constexpr int kBlockDoesNotFit = 126;
constexpr int kNothingToPaste = 128;
constexpr int kClipboardRefused = -6;

void Warn(int textId) {
  platform::ResourceMessageBox(kEditCaption, textId, platform::Icon::Exclamation, platform::Buttons::Ok);
}

bool SpansAllColumns(const CurveFit& doc, const GridSelection& s) {
  return s.firstColumn == 0 && s.lastColumn == doc.nColumns - 1;
}

bool SpansAllPoints(const CurveFit& doc, const GridSelection& s) {
  return s.firstRow == 0 && s.lastRow == doc.nPoints - 1;
}

// After a change of the data: the grid learns the new extent and repaints,
// the application refreshes, and the preview pane of the main window repaints.
void AfterChange(const CurveFit& doc, GridContext& grid) {
  if (grid.sink) {
    grid.sink->SetUsedColumns(doc.nColumns);
    grid.sink->SetPointCount(doc.nPoints);
  }
  CallHook(grid.repaint);
  CallHook(Hooks().refresh);
  CallHook(Hooks().repaintMain);
}

// The pasted block spread over the data set's full width from `column` on;
// pasted columns beyond the last data-set column are dropped.
DataBlock WidenBlock(const DataBlock& block, int column, int columns) {
  DataBlock wide = MakeBlock(BlockRows(block), columns);
  for (int c = 0; c < BlockColumns(block) && column + c < columns; ++c) {
    wide[static_cast<std::size_t>(column + c)] = block[static_cast<std::size_t>(c)];
  }
  return wide;
}

enum class PasteMode { Replace, Insert, InsertOverRow, DoesNotFit };

// How a block goes onto a selection. A block of whole rows onto one selected
// whole row takes that row's place (a Clear, then an Insert), even when the
// block is that single row: this is tested before the exact-size replace so
// that pasting a copied row onto a selected row behaves like pasting several.
PasteMode ModeForSelection(const CurveFit& doc, const GridSelection& s, const DataBlock& block) {
  if (!IsCopyable(doc, s)) return PasteMode::DoesNotFit;
  const int rows = BlockRows(block);
  const int columns = BlockColumns(block);
  if (columns == s.ColumnCount() && s.RowCount() == 1 && columns == doc.nColumns) return PasteMode::InsertOverRow;
  if (rows == s.RowCount() && columns == s.ColumnCount()) return PasteMode::Replace;
  return PasteMode::DoesNotFit;
}

}  // namespace

bool IsCopyable(const CurveFit& doc, const GridSelection& s) {
  return s.exists && s.firstColumn >= 0 && s.lastColumn < doc.nColumns && s.firstRow >= 0 &&
         s.lastRow < doc.nPoints && s.firstRow <= s.lastRow && s.firstColumn <= s.lastColumn;
}

bool IsClearable(const CurveFit& doc, const GridSelection& s) {
  if (!IsCopyable(doc, s)) return false;
  return SpansAllColumns(doc, s) || (SpansAllPoints(doc, s) && s.firstColumn == s.lastColumn);
}

// The clipboard carries exactly what a data file holds, formatted in memory:
// rows end with the platform's line ending (LF), like every text file the
// program writes, and the line ending after the last row is dropped so that
// a single value pastes into a cell or another program without a line break.
// Readers of this text accept LF and CR LF alike.
std::string ClipboardTextOfBlock(const datatype* const* columns, int firstRow, int firstColumn, int rowCount,
                                 int columnCount) {
  std::string text = FormatDataText(columns, firstRow, firstColumn, rowCount, columnCount);
  for (int i = 0; i < 2 && !text.empty() && (text.back() == '\n' || text.back() == '\r'); ++i) text.pop_back();
  return text;
}

int CopyBlockToClipboard(const datatype* const* columns, int firstRow, int firstColumn, int rowCount,
                         int columnCount) {
  const std::string text = ClipboardTextOfBlock(columns, firstRow, firstColumn, rowCount, columnCount);
  return platform::CurrentUi().SetClipboardText(text) ? 0 : kClipboardRefused;
}

std::optional<DataBlock> ReadClipboardBlock() {
  const std::optional<std::string> text = platform::CurrentUi().ClipboardText();
  if (!text) return std::nullopt;
  int columns = 0;
  const int rows = ScanDataText(*text, &columns);
  if (rows <= 0 || columns <= 0) return std::nullopt;

  ImportOptions options = DefaultImportOptions({}, columns, rows, false);
  options.firstColumn = 1;
  options.columnsToRead = columns;
  options.generateX = false;
  options.uncertainty = false;
  DeriveImportOptions(options);

  DataBlock block = MakeBlock(rows, columns);
  std::vector<datatype*> pointers;
  for (auto& column : block) pointers.push_back(column.data());
  const int read = ReadDataText(*text, options, pointers.data());
  if (read <= 0) return std::nullopt;
  if (read < rows) {
    for (auto& column : block) column.resize(static_cast<std::size_t>(read));
  }
  return block;
}

int CopyCommand(CurveFit& doc, GridContext& grid) {
  if (grid.edit.open) {
    CallHook(grid.edit.copy);
    return kEditDone;
  }
  const GridSelection& s = grid.selection;
  if (!IsCopyable(doc, s)) {
    Warn(kNothingToCopy);
    return kEditRefused;
  }
  const std::vector<datatype*> columns = doc.ColumnPointers();
  if (CopyBlockToClipboard(columns.data(), s.firstRow, s.firstColumn, s.RowCount(), s.ColumnCount()) != 0) {
    return kEditFailed;
  }
  return kEditDone;
}

int ClearCommand(CurveFit& doc, GridContext& grid) {
  if (grid.edit.open) {
    CallHook(grid.edit.deleteText);
    return kEditDone;
  }
  const GridSelection s = grid.selection;
  if (!IsClearable(doc, s)) {
    Warn(kNothingToClear);
    return kEditRefused;
  }
  if (SpansAllPoints(doc, s)) {
    // Every point of one column is that column; every point of several
    // columns would be the whole data set, which Clear never empties.
    if (s.firstColumn == s.lastColumn && grid.deleteColumn) grid.deleteColumn(s.firstColumn);
    return kEditDone;
  }
  CallHook(grid.endEdit);
  doc.ClearRows(s.firstRow, s.firstColumn, s.RowCount(), s.ColumnCount(), kRecordUndo);
  AfterChange(doc, grid);
  return kEditDone;
}

int CutCommand(CurveFit& doc, GridContext& grid) {
  int result = CopyCommand(doc, grid);
  if (result == kEditDone) result = ClearCommand(doc, grid);
  CallHook(Hooks().refresh);
  CallHook(Hooks().repaintMain);
  return result;
}

int PasteCommand(CurveFit& doc, GridContext& grid) {
  const std::optional<DataBlock> block = ReadClipboardBlock();
  if (!block) {
    Warn(kNothingToPaste);
    return kEditRefused;
  }
  if (grid.edit.open && BlockRows(*block) == 1 && BlockColumns(*block) == 1) {
    CallHook(grid.edit.paste);
    return kEditDone;
  }

  PasteMode mode = PasteMode::Insert;
  int row = 0;
  int column = 0;
  if (grid.selection.exists) {
    mode = ModeForSelection(doc, grid.selection, *block);
    if (mode == PasteMode::DoesNotFit) {
      Warn(kBlockDoesNotFit);
      return kEditFailed;
    }
    row = grid.selection.firstRow;
    column = grid.selection.firstColumn;
  } else if (grid.edit.open) {
    // The cell being edited; it may be the row just appended past the data.
    row = std::clamp(grid.edit.row, 0, doc.nPoints);
    column = std::clamp(grid.edit.column, 0, std::max(doc.nColumns - 1, 0));
  }

  CallHook(grid.endEdit);
  const int rows = BlockRows(*block);
  if (mode == PasteMode::Replace) {
    doc.ReplaceRange(row, column, rows, BlockColumns(*block), &*block, kRecordUndo);
  } else {
    // The selected row goes first, so the pasted rows take its place.
    if (mode == PasteMode::InsertOverRow) doc.ClearRows(row, 0, 1, doc.nColumns, kRecordUndo);
    const DataBlock wide = WidenBlock(*block, column, doc.nColumns);
    doc.InsertRows(row, 0, rows, doc.nColumns, &wide, kRecordUndo);
  }
  AfterChange(doc, grid);
  return kEditDone;
}

bool CanPaste() { return platform::CurrentUi().ClipboardText().has_value(); }

bool CanCutCopyClear(const GridContext& grid) { return grid.edit.open || grid.selection.exists; }

}  // namespace trendolin
