// Adding and deleting columns, the data information summary and the Edit
// menu's undo and redo texts.
#include <cstdio>
#include <new>

#include "data/curve_fit.h"
#include "data/document_hooks.h"

namespace trendolin {

int CurveFit::InsertColumn(int afterIndex, const datatype* values) {
  if (afterIndex < -1 || afterIndex > nColumns - 1) return 2;
  // A data set has at most x, y and an uncertainty: a fourth column would
  // have no meaning anywhere in the program.
  if (nColumns >= 3) return 2;
  if (nPoints == 0) return 3;
  std::vector<datatype> column;
  try {
    column.assign(static_cast<std::size_t>(nRowsAllocated), 0.0f);
    columns_.reserve(columns_.size() + 1);
  } catch (const std::bad_alloc&) {
    return 1;
  }
  if (values) std::copy(values, values + nPoints, column.begin());
  columns_.insert(columns_.begin() + (afterIndex + 1), std::move(column));
  nColumns += 1;
  nColumnsAllocated = nColumns;
  if (nValueColumns == 2) {
    bUncertainty = 1;
  } else {
    nValueColumns += 1;
  }
  TellGridStorage();
  MarkModified();
  return 0;
}

int CurveFit::DeleteColumn(int index) {
  if (index < 0 || index >= nColumns) return 1;
  // x and y always stay: deleting one of a plain two-column set would leave
  // a data set no part of the program can use.
  if (nColumns <= 2) return 1;
  columns_.erase(columns_.begin() + index);
  nColumns -= 1;
  nColumnsAllocated = nColumns;
  if (nValueColumns == 2) {
    bUncertainty = 0;
  } else {
    nValueColumns -= 1;
  }
  TellGridStorage();
  MarkModified();
  return 0;
}

namespace {

std::string Printf(const char* format, double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, format, value);
  return buffer;
}

}  // namespace

DataInformation DataInformationTexts(CurveFit& doc) {
  CallHook(Hooks().refresh);
  doc.CalcDataStats();
  DataInformation info;
  info.version = std::string("Trendolin ") + kAppVersion;
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%ld bytes for data", doc.DataBytes());
  info.bytes = buffer;
  std::snprintf(buffer, sizeof buffer, "%ld", static_cast<long>(doc.nPoints));
  info.points = buffer;
  info.xMin = Printf("%f", doc.fMin[0]);
  info.xMax = Printf("%f", doc.fMax[0]);
  info.xMean = Printf("%f", doc.fMean[0]);
  info.xStdDev = Printf("%f", doc.fStdDev[0]);
  info.xRange = Printf("%f", doc.fMax[0] - doc.fMin[0]);
  info.yMin = Printf("%f", doc.fMin[1]);
  info.yMax = Printf("%f", doc.fMax[1]);
  info.yMean = Printf("%f", doc.fMean[1]);
  info.yStdDev = Printf("%f", doc.fStdDev[1]);
  info.yRange = Printf("%f", doc.fMax[1] - doc.fMin[1]);
  return info;
}

std::string RedoName(const HistoryItem& item) {
  if (item.kind == kHistoryClear) return "Insert";
  if (item.kind == kHistoryInsert) return "Clear";
  return item.name;
}

EditMenuEntry UndoMenuEntry(const CurveFit& doc, bool editBoxCanUndo) {
  if (editBoxCanUndo) return {"&Undo Edit\tCtrl+Z", true};
  if (!doc.history.undo.Empty()) return {"&Undo " + doc.history.undo.Newest().name + "\tCtrl+Z", true};
  return {"&Undo\tCtrl+Z", false};
}

EditMenuEntry RedoMenuEntry(const CurveFit& doc) {
  if (!doc.history.redo.Empty()) return {"&Redo " + RedoName(doc.history.redo.Newest()) + "\tCtrl+Y", true};
  return {"&Redo\tCtrl+Y", false};
}

}  // namespace trendolin
