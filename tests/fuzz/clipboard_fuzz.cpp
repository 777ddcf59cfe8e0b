// libFuzzer target of the clipboard block reader and of Paste: any clipboard
// text, pasted onto a small data set with any selection or edit cell, must
// end in a pasted block or a warning, never a crash or undefined behaviour;
// the block read must have the size the scanner reports; the data set must
// stay consistent; and Undo must bring back the data exactly, Redo the paste.
//
// Input: four bytes choose the data set's shape, the selection and the edit
// cell; the rest is the clipboard text.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "session/clipboard.h"
#include "data/curve_fit.h"
#include "data/data_file.h"
#include "fuzz/fuzz_check.h"
#include "platform/headless_ui.h"

namespace {

using trendolin::CurveFit;
using trendolin::datatype;


std::vector<std::vector<datatype>> Snapshot(const CurveFit& doc) {
  std::vector<std::vector<datatype>> values(static_cast<std::size_t>(doc.nColumns));
  for (int c = 0; c < doc.nColumns; ++c) {
    for (int r = 0; r < doc.nPoints; ++r) values[c].push_back(doc.At(r, c));
  }
  return values;
}

bool SameData(const std::vector<std::vector<datatype>>& a, const std::vector<std::vector<datatype>>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t c = 0; c < a.size(); ++c) {
    if (a[c].size() != b[c].size()) return false;
    if (!a[c].empty() && std::memcmp(a[c].data(), b[c].data(), a[c].size() * sizeof(datatype)) != 0) return false;
  }
  return true;
}

void CheckConsistent(const CurveFit& doc) {
  FUZZ_CHECK(doc.nPoints >= 0 && doc.nPoints <= doc.nRowsAllocated);
  FUZZ_CHECK(doc.nColumns >= 2 && doc.nColumns <= doc.nColumnsAllocated && doc.nColumns <= 3);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const FuzzSession fresh;
  if (size < 4) return 0;
  platform::HeadlessUi ui(platform::HeadlessUi::Mode::Unattended);
  platform::ScopedUi installed(ui);
  const std::string text(reinterpret_cast<const char*>(data + 4), size - 4);
  ui.SetClipboard(text);

  // The block on its own: the size the scanner reports, or nothing.
  int scannedColumns = 0;
  const int scannedRows = trendolin::ScanDataText(text, &scannedColumns);
  const std::optional<trendolin::DataBlock> block = trendolin::ReadClipboardBlock();
  FUZZ_CHECK(block.has_value() == (scannedRows > 0));
  if (block) {
    FUZZ_CHECK(trendolin::BlockRows(*block) == scannedRows && trendolin::BlockColumns(*block) == scannedColumns);
  }

  // A data set of 0..7 rows, with or without an uncertainty column.
  CurveFit doc;
  doc.SetUndoLevels(20);
  const int rows = data[0] % 8;
  const int uncertainty = (data[0] >> 3) & 1;
  doc.ResetData();
  doc.AllocateData(rows, 2 + uncertainty, uncertainty);
  doc.nPoints = rows;
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < doc.nColumns; ++c) doc.At(r, c) = static_cast<datatype>(r * 10 + c);
  }
  const std::vector<std::vector<datatype>> before = Snapshot(doc);

  trendolin::GridContext grid;
  if (data[1] & 0x80) {
    // A selection that may reach outside the data: the command must refuse it.
    grid.selection.exists = true;
    grid.selection.firstRow = (data[1] & 0x0f) % 9 - 1;
    grid.selection.lastRow = grid.selection.firstRow + (data[2] & 0x0f) % 9;
    grid.selection.firstColumn = (data[1] >> 4 & 0x07) % 4 - 1;
    grid.selection.lastColumn = grid.selection.firstColumn + (data[2] >> 4) % 4;
  } else if (data[1] & 0x40) {
    grid.edit.open = true;
    grid.edit.row = data[3] % 9;
    grid.edit.column = (data[3] >> 4) % 3;
  }

  const int undoBefore = doc.history.undo.Count();
  const int result = trendolin::PasteCommand(doc, grid);
  CheckConsistent(doc);
  const std::vector<std::vector<datatype>> after = Snapshot(doc);
  if (result != trendolin::kEditDone) {
    FUZZ_CHECK(SameData(before, after));
    return 0;
  }
  const int recorded = doc.history.undo.Count() - undoBefore;
  FUZZ_CHECK(recorded >= 0 && recorded <= 2);
  for (int i = 0; i < recorded; ++i) doc.Undo();
  CheckConsistent(doc);
  FUZZ_CHECK(SameData(before, Snapshot(doc)));
  for (int i = 0; i < recorded; ++i) doc.Redo();
  CheckConsistent(doc);
  FUZZ_CHECK(SameData(after, Snapshot(doc)));
  return 0;
}
