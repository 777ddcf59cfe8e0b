// The document: the one data set (x, y and optional uncertainty columns),
// its statistics, its edit history and, later, the stored fit results.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "data/data_block.h"
#include "data/history.h"
#include "fit/fit_result.h"
#include "precision/datatype.h"

namespace trendolin {

inline constexpr const char* kUntitledFileName = "UNTITLED.DAT";
inline constexpr const char* kTitleError = "TITLE.ERR";
inline constexpr const char* kAppCaption = "Trendolin 1.4";
inline constexpr const char* kAppVersion = "1.4";
inline constexpr int kSpareRows = 25;
inline constexpr int kFirstModelId = 500;
inline constexpr int kModelCount = 40;  // model ids 500..539

// Record directions of the elementary edits: where the reverse item goes.
inline constexpr int kRecordUndo = 1;
inline constexpr int kRecordRedo = -1;
inline constexpr int kRecordNone = 0;

// What the data grid is told whenever the column storage changes. The grid
// window implements it; without a grid nothing is told.
class DataGridSink {
 public:
  virtual ~DataGridSink() = default;
  virtual void SetAllocatedColumns(int columns) = 0;
  virtual void SetUsedColumns(int columns) = 0;
  virtual void SetAllocatedRows(int rows) = 0;
  virtual void SetPointCount(int points) = 0;
  virtual void SetColumnPointer(int column, datatype* values) = 0;
};

class CurveFit {
 public:
  CurveFit();

  // ---- data-set fields ----
  std::string szFileName = kUntitledFileName;  // title of the current data file
  // The heading of the data file the data came from (the lines before its
  // first data line, each ended by "\n"), written back before the numbers
  // when the data are saved; empty for a new data set.
  std::string headingLines;
  int nValueColumns = 0;  // columns other than the uncertainty column
  int nColumns = 0;       // 2 (x, y) or 3 (x, y, uncertainty)
  int bUncertainty = 0;   // the third column holds each y's standard deviation
  int nPoints = 0;        // rows in use
  int nRowsAllocated = 0;
  int nColumnsAllocated = 0;
  int nXColumn = 0;
  int nYColumn = 1;
  std::array<datatype, 3> fMin{};
  std::array<datatype, 3> fMax{};
  std::array<datatype, 3> fMean{};
  std::array<datatype, 3> fStdDev{};
  int bModified = 0;
  int bStatsStale = 0;
  int nLastModel = 0;
  // Per model 500..539 (index id - 500): the polynomial degree of 502 and the
  // interpolation degree of 534, written by the fit routines.
  std::array<int, kModelCount> modelIntegers{};

  History history;

  // ---- storage ----
  // Column c, nRowsAllocated values (x, y, uncertainty). Valid until the next
  // allocation or growth, which tells the grid the new pointers.
  datatype* Column(int c) { return columns_[static_cast<std::size_t>(c)].data(); }
  const datatype* Column(int c) const { return columns_[static_cast<std::size_t>(c)].data(); }
  datatype& At(int row, int column) { return columns_[static_cast<std::size_t>(column)][static_cast<std::size_t>(row)]; }
  datatype At(int row, int column) const {
    return columns_[static_cast<std::size_t>(column)][static_cast<std::size_t>(row)];
  }
  std::vector<datatype*> ColumnPointers();

  // ---- elementary operations (0 success unless stated) ----
  // An empty data set; every result is released (the user model's included).
  void ResetData();
  int AllocateData(int points, int columns, int uncertainty);
  void FreeData();
  int AppendRows(int count);
  int RemoveLastRows(int count);
  int InsertRows(int firstRow, int firstColumn, int rowCount, int columnCount, const DataBlock* values,
                 int direction);
  int ClearRows(int firstRow, int firstColumn, int rowCount, int columnCount, int direction);
  int ReplacePoint(int row, int column, datatype value, int direction);
  int ReplaceRange(int firstRow, int firstColumn, int rowCount, int columnCount, const DataBlock* values,
                   int direction);
  DataBlock CopyBlock(int firstRow, int firstColumn, int rowCount, int columnCount) const;
  int MoveBlock(int firstRow, int firstColumn, int rowCount, int columnCount, int rowShift, int columnShift);
  int InsertColumn(int afterIndex, const datatype* values = nullptr);
  int DeleteColumn(int index);
  bool CanAddUncertaintyColumn() const { return !(nValueColumns == 2 && bUncertainty == 1); }
  bool CanDeleteColumn() const { return !(nValueColumns == 2 && bUncertainty == 0); }

  // Column-wide changes (manipulation).
  void SwapColumns(int a, int b);
  // False, with nothing changed, when a result would not be a finite float.
  bool ScaleData(datatype xFactor, datatype yFactor);
  bool TranslateData(datatype xOffset, datatype yOffset);
  // Number of points removed; -1 no memory for the work array; -2 a removal was refused.
  int ClipData(datatype xMin, datatype xMax, datatype yMin, datatype yMax);
  // key 0 by x, 1 by y. 0 sorted; 1 no memory (the user was told).
  int SortData(int key);

  void MarkModified();
  void ClearModified();
  // The main window's caption: "Trendolin 1.4 - [title*]" or "... - [title]".
  void UpdateTitle(const std::string& title, bool modified);
  void CalcDataStats();

  // ---- history ----
  // `name` is what the Edit menu shows; empty: the kind's own name.
  void PushUndo(int kind, HistoryBlock block, std::string name = {});
  void PushRedo(int kind, HistoryBlock block, std::string name = {});
  void PopUndo() { history.undo.Pop(); }
  void PopRedo() { history.redo.Pop(); }
  void ClearHistory();
  void SetUndoLevels(int levels);
  void Undo();
  void Redo();
  // Every row in use of every column, as a Replace Data item holds it.
  // Throws std::bad_alloc when there is no room for the copy.
  HistoryBlock SnapshotData() const;
  // Puts back the rows and values of `block` (taken by SnapshotData while
  // the columns were as they are now), recording the data it replaces as
  // the item `name` in the list `direction` selects. 1 when refused: the
  // column layout changed since, or no room for the rows.
  int ReplaceData(const HistoryBlock& block, const std::string& name, int direction);

  // ---- stored fit results ----
  // Five interpolation records (534..538) and forty regression slots
  // (index id - 500); the user model keeps its own record (UserModel).
  std::array<InterpResult, 5> interpResults;
  std::array<FitResult, kModelCount> fitResults;

  FitResult& Slot(int id) { return fitResults[static_cast<std::size_t>(id - kFirstModelId)]; }
  const FitResult& Slot(int id) const { return fitResults[static_cast<std::size_t>(id - kFirstModelId)]; }
  InterpResult& Interp(int id) { return interpResults[static_cast<std::size_t>(InterpIndex(id))]; }
  const InterpResult& Interp(int id) const { return interpResults[static_cast<std::size_t>(InterpIndex(id))]; }

  // Every model 500..539 counts as not fitted (the data changed); the most
  // recently fitted model is forgotten.
  void ClearAllFittedMarks();
  // The five interpolation results 537, 536, 535, 538, 534 become invalid.
  void InvalidateInterpolations();
  // 500..533: the weighting scheme (455..460, 0 = not fitted); 534..538: 1 when
  // scheme is non-zero; 539: the user model's scheme. Remembers id as the
  // most recently fitted model.
  void MarkFitted(int id, int scheme);
  // scheme -1: fitted at all; otherwise fitted with exactly that scheme.
  bool IsFitted(int id, int scheme) const;
  // The stored mark as MarkFitted left it (0 when not fitted).
  int FittedMark(int id) const;
  // Releases and allocates the result record of `id` for a new fit (`size`:
  // the length of each interpolation array).
  void ResetFitResult(int id, int size = 0);
  // Releases every result record (the user model's included).
  void ReleaseAllResults();
  void SetFitComment(int id, const std::string& text);
  std::string GetFitComment(int id) const;
  // The statistics triple (S, r, standard deviation of y) of a fitted model.
  void CalcStat(int id);

  // The grid that shows this data set (not owned); null when none.
  void AttachGrid(DataGridSink* grid);

  // Bytes held by the column storage, as the information summary reports it.
  long DataBytes() const { return static_cast<long>(nColumnsAllocated) * nRowsAllocated * 4; }

 private:
  // ResetData but for the user model's result, which belongs to the session.
  void ClearDataSet();
  void ReleaseOwnResults();
  void ClearOwnFittedMarks();
  void TellGridStorage();
  void Record(int direction, int kind, HistoryBlock block, std::string name = {});
  void WriteBlock(int firstRow, int firstColumn, const DataBlock& values, int rowCount, int columnCount);

  std::vector<std::vector<datatype>> columns_;
  DataGridSink* grid_ = nullptr;
};

// A column-wide change that can be undone: the data are copied when it is
// made, before the change; Done() puts the copy on the undo list under the
// change's name. A change that is refused (Done() not called) records
// nothing. When there is no room for the copy the change goes ahead without
// it, and Done() empties the history instead, since the older items may no
// longer fit the changed rows.
class UndoableChange {
 public:
  UndoableChange(CurveFit& doc, std::string name);
  void Done();

 private:
  CurveFit& doc_;
  std::string name_;
  std::optional<HistoryBlock> before_;
};

// The data information summary: the texts of its fields, keyed as the dialog shows them.
struct DataInformation {
  std::string version;    // "Trendolin %s"
  std::string bytes;      // "%ld bytes for data"
  std::string points;     // "%ld"
  std::string xMin, xMax, xMean, xStdDev, xRange;  // "%f" each
  std::string yMin, yMax, yMean, yStdDev, yRange;
};
DataInformation DataInformationTexts(CurveFit& doc);

// The Edit menu texts for the undo and redo entries, with whether each is enabled.
struct EditMenuEntry {
  std::string text;
  bool enabled;
};
EditMenuEntry UndoMenuEntry(const CurveFit& doc, bool editBoxCanUndo);
EditMenuEntry RedoMenuEntry(const CurveFit& doc);
// The name the redo entry shows for an item: "Insert" for a Clear, "Clear" for an Insert.
std::string RedoName(const HistoryItem& item);

}  // namespace trendolin
