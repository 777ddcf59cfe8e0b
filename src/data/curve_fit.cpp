// The document's data set: storage and its growth, the elementary edits that
// the history records, the modified mark and the column statistics.
#include "data/curve_fit.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "data/document_hooks.h"
#include "data/notices.h"
#include "fit/engine_state.h"
#include "platform/resource_strings.h"
#include "precision/rounding.h"

namespace trendolin {
namespace {

constexpr int kRemoveTooManyCaption = 90;
constexpr int kRemoveTooManyText = 91;
// Two values this close are the same value for the grid: typing one again
// changes nothing and records nothing (2^-23, absolute).
constexpr double kSameValueTolerance = kDatatypeEpsilon;  // 1.1920929e-7

bool IsValidBlock(int firstRow, int firstColumn, int rowCount, int columnCount) {
  return firstRow >= 0 && firstColumn >= 0 && rowCount > 0 && columnCount > 0;
}

}  // namespace

// A data set being made has no results yet, and the session's user model is
// none of its business.
CurveFit::CurveFit() { ClearDataSet(); }

std::vector<datatype*> CurveFit::ColumnPointers() {
  std::vector<datatype*> pointers;
  for (auto& column : columns_) pointers.push_back(column.data());
  return pointers;
}

void CurveFit::AttachGrid(DataGridSink* grid) {
  grid_ = grid;
  if (grid_) TellGridStorage();
}

void CurveFit::TellGridStorage() {
  if (!grid_) return;
  grid_->SetAllocatedColumns(nColumns);
  grid_->SetUsedColumns(nColumns);
  grid_->SetAllocatedRows(nRowsAllocated);
  grid_->SetPointCount(nPoints);
  for (int c = 0; c < nColumns; ++c) grid_->SetColumnPointer(c, Column(c));
}

void CurveFit::ResetData() {
  ClearDataSet();
  CurrentEngine().userModel.Release();
}

void CurveFit::ClearDataSet() {
  FreeData();
  nPoints = nColumns = bUncertainty = nValueColumns = 0;
  nXColumn = 0;
  nYColumn = 1;
  szFileName = kUntitledFileName;
  headingLines.clear();
  ClearHistory();
  ReleaseOwnResults();
  ClearOwnFittedMarks();
  Interp(kTensionSplineModel).parameter = 1.0f;
  modelIntegers.fill(0);
  ClearModified();
  bStatsStale = 0;
  fMin.fill(0);
  fMax.fill(0);
  fMean.fill(0);
  fStdDev.fill(0);
}

int CurveFit::AllocateData(int points, int columns, int uncertainty) {
  const int newPoints = points == -1 ? nPoints : points;
  const int newColumns = columns == -1 ? nColumns : columns;
  if (newPoints < 0 || newColumns < 0) return 1;
  std::vector<std::vector<datatype>> fresh;
  try {
    fresh.assign(static_cast<std::size_t>(newColumns),
                 std::vector<datatype>(static_cast<std::size_t>(newPoints) + kSpareRows, 0.0f));
  } catch (const std::bad_alloc&) {
    return 1;  // the old storage stays in use
  }
  columns_ = std::move(fresh);
  nPoints = newPoints;
  nColumns = newColumns;
  bUncertainty = uncertainty ? 1 : 0;
  nValueColumns = nColumns - bUncertainty;
  nColumnsAllocated = nColumns;
  nRowsAllocated = nPoints + kSpareRows;
  TellGridStorage();
  CalcDataStats();
  return 0;
}

void CurveFit::FreeData() {
  columns_.clear();
  nRowsAllocated = 0;
  nColumnsAllocated = 0;
}

int CurveFit::AppendRows(int count) {
  if (count < 0) return 1;
  if (nPoints + count >= nRowsAllocated) {
    const std::size_t rows = static_cast<std::size_t>(nPoints) + static_cast<std::size_t>(count) + kSpareRows;
    std::vector<std::vector<datatype>> grown;
    try {
      grown.reserve(columns_.size());
      for (const auto& column : columns_) {
        std::vector<datatype> bigger(rows, 0.0f);
        std::copy(column.begin(), column.begin() + nPoints, bigger.begin());
        grown.push_back(std::move(bigger));
      }
    } catch (const std::bad_alloc&) {
      return 1;  // everything of this attempt is released; the old storage stays
    }
    columns_ = std::move(grown);
    nRowsAllocated = static_cast<int>(rows);
    if (grid_) {
      for (int c = 0; c < nColumns; ++c) grid_->SetColumnPointer(c, Column(c));
      grid_->SetAllocatedRows(nRowsAllocated);
    }
  } else {
    // Rows removed earlier keep their old values beyond the points in use:
    // the rows that come back must start at zero like new ones.
    for (auto& column : columns_) std::fill(column.begin() + nPoints, column.begin() + nPoints + count, 0.0f);
  }
  nPoints += count;
  if (grid_) grid_->SetPointCount(nPoints);
  MarkModified();
  return 0;
}

int CurveFit::RemoveLastRows(int count) {
  if (count >= 0 && nPoints - count >= 0) {
    MarkModified();
    nPoints -= count;
    if (grid_) grid_->SetPointCount(nPoints);
    return 0;
  }
  Tell(std::string(platform::ResourceString(kRemoveTooManyCaption)),
       std::string(platform::ResourceString(kRemoveTooManyText)));
  return 1;
}

void CurveFit::WriteBlock(int firstRow, int firstColumn, const DataBlock& values, int rowCount, int columnCount) {
  for (int c = 0; c < columnCount; ++c) {
    for (int r = 0; r < rowCount; ++r) At(firstRow + r, firstColumn + c) = values[c][r];
  }
}

void CurveFit::Record(int direction, int kind, HistoryBlock block, std::string name) {
  if (direction > 0) {
    PushUndo(kind, std::move(block), std::move(name));
  } else if (direction < 0) {
    PushRedo(kind, std::move(block), std::move(name));
  }
}

int CurveFit::InsertRows(int firstRow, int firstColumn, int rowCount, int columnCount, const DataBlock* values,
                         int direction) {
  if (!values || !IsValidBlock(firstRow, firstColumn, rowCount, columnCount)) return 1;
  if (firstRow > nPoints || firstColumn + columnCount > nColumns) return 1;
  if (BlockColumns(*values) < columnCount || BlockRows(*values) < rowCount) return 1;
  // The values may live in a history item that recording will move: keep a copy.
  const DataBlock block = *values;
  const int oldPoints = nPoints;
  if (AppendRows(rowCount) != 0) return 1;
  if (oldPoints > firstRow) MoveBlock(firstRow, firstColumn, oldPoints - firstRow, columnCount, rowCount, 0);
  WriteBlock(firstRow, firstColumn, block, rowCount, columnCount);
  if (direction != 0) Record(direction, kHistoryInsert, HistoryBlock{firstRow, firstColumn, rowCount, columnCount, block});
  return 0;
}

int CurveFit::ClearRows(int firstRow, int firstColumn, int rowCount, int columnCount, int direction) {
  if (!IsValidBlock(firstRow, firstColumn, rowCount, columnCount)) return 1;
  if (firstRow + rowCount > nPoints || firstColumn + columnCount > nColumns) return 1;
  if (direction != 0) {
    Record(direction, kHistoryClear,
           HistoryBlock{firstRow, firstColumn, rowCount, columnCount,
                        CopyBlock(firstRow, firstColumn, rowCount, columnCount)});
  }
  const int below = nPoints - (firstRow + rowCount);
  if (below > 0) MoveBlock(firstRow + rowCount, firstColumn, below, columnCount, -rowCount, 0);
  return RemoveLastRows(rowCount);
}

int CurveFit::ReplacePoint(int row, int column, datatype value, int direction) {
  if (row < 0 || row >= nPoints || column < 0 || column >= nColumns) return -1;
  const datatype old = At(row, column);
  const double v = old;
  if (static_cast<double>(value) - kSameValueTolerance <= v && v <= static_cast<double>(value) + kSameValueTolerance) {
    return 1;
  }
  if (direction != 0) {
    DataBlock before = MakeBlock(2, 2);
    before[0][0] = old;
    Record(direction, kHistoryReplacePoint, HistoryBlock{row, column, 2, 2, std::move(before)});
  }
  At(row, column) = value;
  MarkModified();
  return 0;
}

int CurveFit::ReplaceRange(int firstRow, int firstColumn, int rowCount, int columnCount, const DataBlock* values,
                           int direction) {
  if (!values || !IsValidBlock(firstRow, firstColumn, rowCount, columnCount)) return 1;
  if (firstRow + rowCount > nPoints || firstColumn + columnCount > nColumns) return 1;
  if (BlockColumns(*values) < columnCount || BlockRows(*values) < rowCount) return 1;
  const DataBlock block = *values;
  if (direction != 0) {
    Record(direction, kHistoryReplaceRange,
           HistoryBlock{firstRow, firstColumn, rowCount, columnCount,
                        CopyBlock(firstRow, firstColumn, rowCount, columnCount)});
  }
  WriteBlock(firstRow, firstColumn, block, rowCount, columnCount);
  MarkModified();
  return 0;
}

DataBlock CurveFit::CopyBlock(int firstRow, int firstColumn, int rowCount, int columnCount) const {
  DataBlock block = MakeBlock(rowCount, columnCount);
  for (int c = 0; c < columnCount; ++c) {
    for (int r = 0; r < rowCount; ++r) block[c][r] = At(firstRow + r, firstColumn + c);
  }
  return block;
}

int CurveFit::MoveBlock(int firstRow, int firstColumn, int rowCount, int columnCount, int rowShift,
                        int columnShift) {
  if (!IsValidBlock(firstRow, firstColumn, rowCount, columnCount)) return 1;
  const int toRow = firstRow + rowShift;
  const int toColumn = firstColumn + columnShift;
  if (toRow < 0 || toColumn < 0 || firstRow + rowCount > nRowsAllocated || toRow + rowCount > nRowsAllocated ||
      firstColumn + columnCount > nColumns || toColumn + columnCount > nColumns) {
    return 1;
  }
  // Through a copy, so that overlapping source and destination move exactly.
  const DataBlock block = CopyBlock(firstRow, firstColumn, rowCount, columnCount);
  WriteBlock(toRow, toColumn, block, rowCount, columnCount);
  return 0;
}

void CurveFit::MarkModified() {
  if (bModified == 0) UpdateTitle(szFileName, true);
  bModified = 1;
  bStatsStale = 1;
  ClearAllFittedMarks();
}

void CurveFit::ClearModified() {
  if (bModified == 1) UpdateTitle(szFileName, false);
  bModified = 0;
}

void CurveFit::UpdateTitle(const std::string& title, bool modified) {
  ShowCaption(std::string(kAppCaption) + " - [" + title + (modified ? "*]" : "]"));
}

void CurveFit::CalcDataStats() {
  if (bStatsStale != 1) return;
  ClearAllFittedMarks();
  bStatsStale = 0;
  const int n = nPoints;
  const int statColumns = std::min(nColumns, 3);
  for (int c = 0; c < statColumns; ++c) {
    const datatype* v = Column(c);
    datatype lo = 0, hi = 0, mean = 0, sd = 0;
    if (n > 0) {
      lo = hi = v[0];
      const datatype count = static_cast<datatype>(n);
      for (int i = 0; i < n; ++i) {
        if (v[i] < lo) lo = v[i];
        if (v[i] > hi) hi = v[i];
        // Each value is divided by n before it is added, every step in single precision.
        const datatype share = v[i] / count;
        mean = mean + share;
      }
      if (n >= 2) {
        // The deviations are taken in units of a power of two near the
        // largest magnitude, so that squares of values beyond about 1.8E+19
        // cannot overflow, nor those below 1E-19 vanish. Multiplying by a
        // power of two is exact, so on any other data every step rounds as
        // the unscaled single-precision sums did and the figure is the same.
        int exponent = 0;
        std::frexp(std::max(std::fabs(lo), std::fabs(hi)), &exponent);
        const datatype scaledMean = std::ldexp(mean, -exponent);
        datatype sum = 0;
        for (int i = 0; i < n; ++i) {
          const datatype d = std::ldexp(v[i], -exponent) - scaledMean;
          const datatype square = d * d;
          sum = sum + square;
        }
        const datatype variance = sum / static_cast<datatype>(n - 1);
        // sqrt halves the exponent: the even power 2^(-2 exponent) comes out exactly.
        sd = std::ldexp(static_cast<datatype>(std::sqrt(variance)), exponent);
      }
    }
    fMin[c] = lo;
    fMax[c] = hi;
    fMean[c] = mean;
    fStdDev[c] = sd;
  }
}

void CurveFit::PushUndo(int kind, HistoryBlock block, std::string name) {
  if (name.empty()) name = HistoryKindName(kind);
  history.undo.Push(HistoryItem{kind, std::move(name), std::move(block)});
  if (history.redoInProgress) {
    history.redoInProgress = false;
  } else {
    history.redo.Clear();  // a new edit makes redo impossible
  }
}

void CurveFit::PushRedo(int kind, HistoryBlock block, std::string name) {
  if (name.empty()) name = HistoryKindName(kind);
  history.redo.Push(HistoryItem{kind, std::move(name), std::move(block)});
}

void CurveFit::ClearHistory() {
  history.undo.Clear();
  history.redo.Clear();
}

void CurveFit::SetUndoLevels(int levels) {
  history.undo.SetMaximum(levels);
  history.redo.SetMaximum(levels);
}

namespace {

// Performs the reverse of `item`, recording its own reverse in the list that
// `direction` selects.
void ApplyHistoryItem(CurveFit& doc, const HistoryItem& item, int direction) {
  const HistoryBlock& b = item.block;
  switch (item.kind) {
    case kHistoryInsert: doc.ClearRows(b.firstRow, b.firstColumn, b.rowCount, b.columnCount, direction); break;
    case kHistoryClear:
      doc.InsertRows(b.firstRow, b.firstColumn, b.rowCount, b.columnCount, &b.values, direction);
      break;
    case kHistoryReplacePoint: doc.ReplacePoint(b.firstRow, b.firstColumn, b.values[0][0], direction); break;
    case kHistoryReplaceRange:
      doc.ReplaceRange(b.firstRow, b.firstColumn, b.rowCount, b.columnCount, &b.values, direction);
      break;
    case kHistoryReplaceData: doc.ReplaceData(b, item.name, direction); break;
    default: break;
  }
}

}  // namespace

HistoryBlock CurveFit::SnapshotData() const { return HistoryBlock{0, 0, nPoints, nColumns, CopyBlock(0, 0, nPoints, nColumns)}; }

int CurveFit::ReplaceData(const HistoryBlock& block, const std::string& name, int direction) {
  if (block.columnCount != nColumns || block.rowCount < 0 || BlockColumns(block.values) < block.columnCount ||
      BlockRows(block.values) < block.rowCount) {
    return 1;
  }
  std::optional<HistoryBlock> now;
  if (direction != 0) {
    try {
      now = SnapshotData();
    } catch (const std::bad_alloc&) {
      return 1;
    }
  }
  // The values may live in the history item that recording will drop: copy first.
  const DataBlock values = block.values;
  if (block.rowCount > nPoints) {
    if (AppendRows(block.rowCount - nPoints) != 0) return 1;
  } else if (block.rowCount < nPoints) {
    RemoveLastRows(nPoints - block.rowCount);
  }
  if (now) Record(direction, kHistoryReplaceData, std::move(*now), name);
  WriteBlock(0, 0, values, block.rowCount, block.columnCount);
  MarkModified();
  return 0;
}

UndoableChange::UndoableChange(CurveFit& doc, std::string name) : doc_(doc), name_(std::move(name)) {
  try {
    before_ = doc.SnapshotData();
  } catch (const std::bad_alloc&) {
    before_.reset();
  }
}

void UndoableChange::Done() {
  if (before_) {
    doc_.PushUndo(kHistoryReplaceData, std::move(*before_), name_);
    before_.reset();
  } else {
    doc_.ClearHistory();
  }
}

void CurveFit::Undo() {
  if (history.undo.Empty()) return;
  const HistoryItem item = history.undo.Newest();
  ApplyHistoryItem(*this, item, kRecordRedo);
  history.undo.Pop();
}

void CurveFit::Redo() {
  if (history.redo.Empty()) return;
  history.redoInProgress = true;
  const HistoryItem item = history.redo.Newest();
  ApplyHistoryItem(*this, item, kRecordUndo);
  // An item that recorded nothing (refused) must not leave the flag behind
  // for the next, unrelated edit.
  history.redoInProgress = false;
  history.redo.Pop();
}

}  // namespace trendolin
