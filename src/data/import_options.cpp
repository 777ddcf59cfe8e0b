// The import options of a data file: their defaults, the fields derived from
// what a person edits, and the consistency rule of the import dialog.
#include "platform/import_options.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "data/data_file.h"

namespace trendolin {

ImportOptions DefaultImportOptions(const std::string& path, int columnsInFile, int pointsInFile,
                                   bool showDialogNextTime) {
  ImportOptions options;
  options.path = path;
  options.columnsInFile = columnsInFile;
  options.pointsInFile = pointsInFile;
  options.firstColumn = 1;
  options.columnsToRead = columnsInFile;
  options.generateX = false;
  options.uncertainty = columnsInFile == 3;
  options.showDialogNextTime = showDialogNextTime;
  options.xStart = 0.0f;
  options.xIncrement = 1.0f;
  DeriveImportOptions(options);
  return options;
}

namespace {

// A person may type any int into the column fields: the sums are formed in
// 64 bits and kept within int.
int ClampToInt(long long value) {
  return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

// Generated x values are accumulated row by row in single precision, exactly
// as the reading pass does; once one is infinite every later one is too, so
// the last tells.
bool GeneratedXStaysFinite(const ImportOptions& options) {
  datatype x = options.xStart;
  if (!std::isfinite(x) || !std::isfinite(options.xIncrement)) return false;
  for (int row = 1; row < options.pointsInFile && std::isfinite(x); ++row) x += options.xIncrement;
  return std::isfinite(x);
}

}  // namespace

void DeriveImportOptions(ImportOptions& options) {
  const long long columns = static_cast<long long>(options.columnsToRead) + (options.generateX ? 1 : 0);
  options.dataSetColumns = ClampToInt(columns);
  options.dependentVariables = ClampToInt(columns + (options.uncertainty ? 0 : 1) - 2);
  // x is either generated or the first column read, so there is one as soon
  // as the data set has a column at all.
  options.independentVariables = columns >= 1 ? 1 : 0;
}

int CheckImportOptions(const ImportOptions& given) {
  // The rule judges the derived fields as the dialog shows them, recomputed
  // here so that stale ones can never let a bad shape through.
  ImportOptions options = given;
  DeriveImportOptions(options);
  if (options.columnsToRead <= 0) return 113;
  if (options.firstColumn <= 0 || options.firstColumn > options.columnsInFile) return 116;
  if (static_cast<long long>(options.firstColumn) + options.columnsToRead - 1 > options.columnsInFile) return 114;
  if (options.dependentVariables != 1) return 111;
  if (options.independentVariables != 1) return 112;
  if (options.generateX && !GeneratedXStaysFinite(options)) return 145;
  return 0;
}

}  // namespace trendolin
