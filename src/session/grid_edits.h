// What the main window does when the data grid reports an edit: store a
// typed value, grow the data by a row, add or delete the uncertainty column.
// The person is asked and warned through the Ui seam only.
#pragma once

#include <functional>
#include <string>

#include "data/curve_fit.h"

namespace trendolin {

// A committed cell: the value (single precision from here on) replaces the
// point with an undo item. Unless it equals the old value (result 1), the
// application refresh runs; the caller repaints the preview then.
// Returns ReplacePoint's result.
int GridCellCommitted(CurveFit& doc, int column, int row, double value);

// A number was committed into the row just past the data: that row becomes a
// point, with the value in `column` and zero in the others, recorded as one
// undoable Insert; then the refresh. Until a value is committed the row is
// only a place to type, and leaving it empty leaves the data set as it was.
// 0 done; 1 the row could not be stored (nothing changed).
int GridAddPoint(CurveFit& doc, int column, double value);

// What adding or deleting a column needs of the grid. The data set tells the
// grid its new column count and pointers itself; these do the rest.
struct GridColumnHooks {
  std::function<void()> endEdit;                                  // the grid's edit and selection end
  std::function<void(int column, const std::string&)> setHeading;
  std::function<void()> repaint;                                  // grid (and preview) repaint
};

// The heading of a data-set column: "X", "Y", "STD", then none.
const char* GridHeading(int column);

// The first column past the data was clicked: on the person's Yes (117/122)
// the uncertainty column is inserted after the value columns, the history
// is emptied and the grid re-headed. True when the column was added.
bool GridAddColumn(CurveFit& doc, const GridColumnHooks& grid);

// Delete on one whole column: refused with 117/125 when the data set needs
// every column it has; otherwise asked (117/124), deleted, history emptied.
// True when the column was deleted.
bool GridDeleteColumn(CurveFit& doc, int column, const GridColumnHooks& grid);

}  // namespace trendolin
