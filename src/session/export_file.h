// The export: one fitted model with its statistics, its coefficients and the
// data with the fitted values, as a text file a spreadsheet reads (labels in
// double quotes, fields separated by a chosen character); and the rules of
// the export panel.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "session/linear_fits_dialogs.h"

namespace trendolin {

class CurveFit;

// No model chosen yet: the panel's model menu has not been used and the
// data set has no most recently fitted model.
inline constexpr int kNoExportModel = -500;

struct ExportOptions {
  int model = kNoExportModel;   // 500..539, negative when none is chosen
  int includeCoefficients = 1;  // check box 1042
  int includeStatistics = 1;    // check box 1044
  char separator = '\t';
};

// Control identifiers and texts of the export panel.
inline constexpr int kExportCoefficientsBox = 1042;
inline constexpr int kExportModelButton = 1043;
inline constexpr int kExportStatisticsBox = 1044;
inline constexpr int kExportModelText = 11;
inline constexpr int kExportSeparatorButton = 12;
inline constexpr const char* kExportDialogTitle = "Export";
inline constexpr const char* kExportDefaultExtension = "txt";
inline constexpr const char* kExportHelpTopic = "fileexport.html";
inline constexpr const char* kNoFitsPerformed = "No curve fits performed.";

inline constexpr MessagePair kExportNoModel{33, 34};
// The text is a format filled with the file and the system's reason.
inline constexpr MessagePair kExportCannotWrite{33, 136};

// True when `model` has a result the export can read: fitted (with any
// weighting scheme); the data plot (503) has none.
bool HasExportableResult(const CurveFit& doc, int model);

// The options the panel opens with: the most recently fitted model when it
// still has a result, otherwise none; both check boxes on; tab.
ExportOptions InitialExportOptions(const CurveFit& doc);

// One entry of the panel's model menu.
struct ExportModelEntry {
  int model;
  std::string name;  // resource string 500 + model
};
// Every model with a result, 500 to 539 in order; empty when nothing is fitted.
std::vector<ExportModelEntry> ExportModelMenu(const CurveFit& doc);

// What static text 11 shows: the chosen model's menu name, or
// "No curve fits performed." when no model has a result (the model button
// is then disabled).
std::string ExportModelText(const CurveFit& doc, const ExportOptions& options);

// OK of the export dialog: 33/34 when no model with a result is chosen (the
// command then starts again); nothing when the export may go ahead.
std::optional<MessagePair> CheckExportOptions(const CurveFit& doc, const ExportOptions& options);

// The export file's text for a model with a result, every line ended by "\n".
std::string FormatExportText(CurveFit& doc, const ExportOptions& options);

// Writes the export file through a temporary file and a rename, so a failure
// leaves any previous file intact. 1 when written; 0 when nothing was
// written (no model with a result chosen, or the file could not be written;
// then `error`, when given, names the file and the system's reason).
int WriteExportFile(CurveFit& doc, const std::string& path, const ExportOptions& options,
                    std::string* error = nullptr);

// The Export command after its dialog: 33/34 for no model chosen, 33/136
// (with the file and the reason) when it cannot be written, both through the Ui.
enum class ExportOutcome {
  Written,
  NoModel,       // the command starts its dialog again
  CannotWrite,
};
ExportOutcome ExportToFile(CurveFit& doc, const std::string& path, const ExportOptions& options);

}  // namespace trendolin
