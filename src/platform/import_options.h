// How the columns of a data file become the columns of the data set: what
// the import dialog shows and the person edits. The rules that fill and check
// it are the data file reader's (data/data_file.h).
#pragma once

#include <cstddef>
#include <string>

namespace trendolin {

struct ImportOptions {
  std::string path;             // full path of the file
  int columnsInFile = 0;        // from the scanning pass
  int pointsInFile = 0;         // data lines, from the scanning pass
  int firstColumn = 1;          // first file column to read, from 1
  int columnsToRead = 0;        // consecutive file columns to read
  int dataSetColumns = 0;       // columns to read, plus 1 when x is generated
  int independentVariables = 1; // always 1 when the options are consistent
  int dependentVariables = 0;   // dataSetColumns + (uncertainty ? 0 : 1) - 2
  bool generateX = false;       // x values are generated, not read
  bool uncertainty = false;     // the last column read holds uncertainties
  bool showDialogNextTime = true;  // mirrors the "ShowFileImportDlg" setting
  float xStart = 0.0f;          // first generated x (a stored value: datatype)
  float xIncrement = 1.0f;      // step between generated x values
  // The bytes of the file the scanning pass read; the reading pass reads no
  // more, so lines another program appends in between are not taken for a
  // changed file (0: the whole file).
  std::size_t scannedBytes = 0;
};

}  // namespace trendolin
