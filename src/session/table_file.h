// Table generation: one fitted model evaluated over an x range with a fixed
// step, written as "x S f(x)" lines; the rules of the table dialog's OK.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fit/analysis.h"
#include "session/linear_fits_dialogs.h"
#include "precision/datatype.h"

namespace trendolin {

class CurveFit;

// ---- separators (shared with the export) ----

// One entry of the separator pop-up menu.
struct SeparatorChoice {
  const char* label;  // "Tab", "Space", "Comma"
  char character;
};
// The menu in its order; "Tab" is ticked when a dialog opens.
const std::vector<SeparatorChoice>& SeparatorChoices();

// ---- table options and the dialog's rules ----

struct TableOptions {
  datatype startX = 0.0f;
  datatype endX = 0.0f;
  datatype step = 0.0f;
  char separator = '\t';
};

// The dialog opens on the graph's x axis: its minimum, maximum and step.
TableOptions InitialTableOptions(datatype graphXMin, datatype graphXMax, datatype graphXStep);

// Control identifiers of the table panel.
inline constexpr int kTableStartField = 1042;
inline constexpr int kTableEndField = 1043;
inline constexpr int kTableStepField = 1044;
inline constexpr int kTableSeparatorButton = 1045;
inline constexpr int kTableFieldMaxChars = 30;
inline constexpr const char* kTableDialogTitle = "Generate Table";
inline constexpr const char* kTableDefaultExtension = "tab";
inline constexpr const char* kTableHelpTopic = "table.html";

inline constexpr MessagePair kTableZeroStep{53, 54};
inline constexpr MessagePair kTableStepWrongWay{53, 55};
// A step so small against the x values that adding it would leave x as it
// is: the table would never reach its end.
inline constexpr MessagePair kTableStepTooSmall{53, 132};
// The table file could not be written; the text is a format filled with the
// file and the system's reason.
inline constexpr MessagePair kTableCannotWriteWhy{119, 137};

// The text a field starts with: "%g" of its value.
std::string TableFieldText(datatype value);

enum class TableVerdict {
  Accepted,     // the options are taken; the dialog closes and the table is written
  BadField,     // a field is not a number: its bad part is selected, the dialog stays
  Refused,      // an error box (`warning`), the dialog stays
};
struct TableCheck {
  TableVerdict verdict = TableVerdict::BadField;
  TableOptions options;                // the values read (Accepted)
  int badField = 0;                    // BadField: the control to select
  std::size_t selectFrom = 0;          // BadField: where the selection starts
  std::optional<MessagePair> warning;  // Refused: the box to show
};

// OK on the panel: the three fields must be numbers; the step must not be
// zero (53/54), must lead from start to a different end (53/55) and must be
// large enough to move x at every value of the range (53/132).
TableCheck CheckTableFields(std::string_view start, std::string_view end, std::string_view step, char separator);

// The panel's OK as the person sees it: CheckTableFields, with a beep for a
// bad field and the error box of a refusal shown through the Ui.
TableCheck TableDialogOk(std::string_view start, std::string_view end, std::string_view step, char separator);

// ---- writing ----

inline constexpr int kTableWritten = 0;
inline constexpr int kTableCannotWrite = -1;  // the file cannot be created (or written in full)
inline constexpr int kTableStalled = -2;      // the step does not move x: nothing is written

// Writes the table of `model` (which must have a stored result): one line
// per x from start towards end, x accumulated in single precision, each
// "%g" x, the separator and "%g" f(x), or "ERR" where the evaluation
// raises errnotify (logged "EX: WriteTable_1" ascending, "EX: WriteTable_2"
// descending). No header. The file is replaced atomically: on failure any
// previous file is left as it was, and `error` (when given) names the file
// and the system's reason.
int WriteTable(CurveFit& doc, const std::string& path, int model, const TableOptions& options,
               std::string* error = nullptr);

// The Generate Table command after its dialog: writes the table and shows
// 119/137 when the file cannot be written. True when written.
bool GenerateTableFile(CurveFit& doc, const std::string& path, int model, const TableOptions& options);

}  // namespace trendolin
