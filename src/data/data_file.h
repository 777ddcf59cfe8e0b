// Data files: the tolerant text grammar, the scanning and reading passes and
// the writer. The same code reads clipboard text, which has the same format.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/import_options.h"
#include "precision/datatype.h"

namespace trendolin {

// Results of the scanning and reading passes.
inline constexpr int kFileCannotOpen = -1;
inline constexpr int kFileBadLine = -2;   // a data line with too few or unconvertible fields
inline constexpr int kFileNoData = -3;    // scanning only: not one data line

// The defaults used without the import dialog: every column from the first,
// x read (not generated), uncertainty exactly when the file has 3 columns.
ImportOptions DefaultImportOptions(const std::string& path, int columnsInFile, int pointsInFile,
                                   bool showDialogNextTime);

// Recomputes the derived fields (data-set columns, dependent and independent
// variables) from the fields a person edits.
void DeriveImportOptions(ImportOptions& options);

// The consistency rule of the import dialog's OK: 0 when the options are
// consistent, else the resource text of the first violation (113, 116, 114,
// 111, 112, then 145 for generated x values that would not all be finite,
// in that order of testing); the caption is resource string 110.
int CheckImportOptions(const ImportOptions& options);

// Data lines left out because a number on them is infinite, not a number or
// beyond the float range: how many, and the line number (from 1) of the first.
struct SkippedLines {
  long count = 0;
  long firstLine = 0;
};

// Scanning pass over text already in memory / over a file. Returns the
// number of data lines and sets *columns; or kFileCannotOpen, kFileBadLine,
// kFileNoData. With `progress`, the status bar shows the path and counts
// every 25 lines and pending events are handled. Lines with numbers that are
// not finite are not counted; `skipped` says which they were, and the
// reading pass skips the same lines. For kFileBadLine, `badLine` receives
// the number (from 1) of the line at fault, or 0 when no one line is (a NUL
// byte: no text file). `bytes` receives how many bytes of the file the
// scan read: the reading pass reads those (ImportOptions::scannedBytes).
int ScanDataText(std::string_view text, int* columns, SkippedLines* skipped = nullptr);
int ScanDataFile(const std::string& path, int* columns, bool progress, SkippedLines* skipped = nullptr,
                 long* badLine = nullptr, std::size_t* bytes = nullptr);

// The heading of a data file is the run of lines before its first data line
// (a description of the sample, column names, blank lines): the lines a
// read skips before the numbers. It is kept with the data set and written
// back before the numbers, so a save loses none of it. Each line is kept as
// read and ended by "\n" (a CR before the line feed is dropped). Lines
// skipped between data lines are not part of it: their place among the rows
// does not survive sorting and editing, and moved to the top they would read
// as a description of the whole. Neither is a line of values that are not
// finite, which ends the heading like a data line. Only the first
// kMaxHeadingBytes are kept, in whole lines, so that a file with megabytes
// of text before its numbers cannot make the data set hold them all: the
// lines past the limit are not written back.
inline constexpr std::size_t kMaxHeadingBytes = std::size_t{64} * 1024;

// Reading pass: fills columns[0..] (each with room for options.pointsInFile
// rows) as the options say. Returns the rows read, or kFileCannotOpen /
// kFileBadLine. `heading`, when given, receives the heading lines.
int ReadDataText(std::string_view text, const ImportOptions& options, datatype* const* columns,
                 std::string* heading = nullptr);
int Read_TRDL_File(const ImportOptions& options, datatype* const* columns, bool progress,
                   std::string* heading = nullptr);

// The data file format of a block: one line per row, "%g" values separated
// by one tab, each line ended by "\n", no heading.
std::string FormatDataText(const datatype* const* columns, int firstRow, int firstColumn, int rowCount,
                           int columnCount);

// Writes a block as a data file through a temporary file and a rename: the
// previous file survives any failure. `heading` (lines each ended by "\n",
// as the reading pass keeps them) comes before the numbers. 0, or -1 when it
// cannot be written (`error`, when given, then names the file and the
// system's reason).
int WriteDataFile(const std::string& path, const datatype* const* columns, int firstRow, int firstColumn,
                  int rowCount, int columnCount, bool progress, std::string* error = nullptr,
                  std::string_view heading = {});

// The file title of a path (the name without its folders), or "" when none can be derived.
std::string FileTitle(const std::string& path);

}  // namespace trendolin
