// The main window's handling of the data grid's edit requests.
#include "session/grid_edits.h"

#include "data/document_hooks.h"
#include "platform/ui.h"

namespace trendolin {
namespace {

constexpr int kEditCaption = 117;
constexpr int kAddColumnQuestion = 122;
constexpr int kAddColumnFailed = 123;
constexpr int kDeleteColumnQuestion = 124;
constexpr int kDeleteColumnRefused = 125;
constexpr int kUnchanged = 1;  // ReplacePoint: the cell already held the value

void Warn(int textId) {
  platform::ResourceMessageBox(kEditCaption, textId, platform::Icon::Exclamation, platform::Buttons::Ok);
}

// Nobody at the screen never changes the shape of the data set.
bool AskYes(int textId) {
  return platform::ResourceMessageBox(kEditCaption, textId, platform::Icon::Question, platform::Buttons::YesNo,
                                      platform::Answer::No) == platform::Answer::Yes;
}

void Rehead(const CurveFit& doc, const GridColumnHooks& grid) {
  if (grid.setHeading) {
    for (int c = 0; c < doc.nColumns; ++c) grid.setHeading(c, GridHeading(c));
  }
  CallHook(grid.repaint);
}

}  // namespace

int GridCellCommitted(CurveFit& doc, int column, int row, double value) {
  const int result = doc.ReplacePoint(row, column, static_cast<datatype>(value), kRecordUndo);
  if (result != kUnchanged) CallHook(Hooks().refresh);
  return result;
}

int GridAddPoint(CurveFit& doc, int column, double value) {
  if (column < 0 || column >= doc.nColumns) return 1;
  DataBlock row = MakeBlock(1, doc.nColumns);
  row[static_cast<std::size_t>(column)][0] = static_cast<datatype>(value);
  if (doc.InsertRows(doc.nPoints, 0, 1, doc.nColumns, &row, kRecordUndo) != 0) return 1;
  CallHook(Hooks().refresh);
  return 0;
}

const char* GridHeading(int column) {
  switch (column) {
    case 0:
      return "X";
    case 1:
      return "Y";
    case 2:
      return "STD";
    default:
      return "";
  }
}

bool GridAddColumn(CurveFit& doc, const GridColumnHooks& grid) {
  if (!doc.CanAddUncertaintyColumn()) return false;
  if (!AskYes(kAddColumnQuestion)) return false;
  CallHook(grid.endEdit);
  if (doc.InsertColumn(doc.nValueColumns - 1) != 0) {
    Warn(kAddColumnFailed);
    return false;
  }
  // The history's items were recorded against the old column layout.
  doc.ClearHistory();
  Rehead(doc, grid);
  return true;
}

bool GridDeleteColumn(CurveFit& doc, int column, const GridColumnHooks& grid) {
  if (!doc.CanDeleteColumn()) {
    Warn(kDeleteColumnRefused);
    return false;
  }
  if (!AskYes(kDeleteColumnQuestion)) return false;
  CallHook(grid.endEdit);
  if (doc.DeleteColumn(column) != 0) {
    Warn(kDeleteColumnRefused);
    return false;
  }
  doc.ClearHistory();
  Rehead(doc, grid);
  return true;
}

}  // namespace trendolin
