// The fitted model as code, written to a file: a C function, a Python
// function, a spreadsheet formula of cell A1 or a LaTeX equation, the
// coefficients with every digit a float has (fit/model_code.h writes the
// text).
#pragma once

#include <string>

#include "fit/model_code.h"
#include "session/export_file.h"

namespace trendolin {

class CurveFit;

// Why `model` cannot be written as `language` code now, as a sentence that
// starts with the model's name; empty when it can. For asking before a file
// is chosen: a model with no coefficient form (the data plot, the quadratic
// and tension splines), a spline as a spreadsheet formula or a LaTeX
// equation, a user formula with a construct the language lacks, no stored
// result.
std::string ModelCodeRefusal(CurveFit& doc, int model, CodeLanguage language);

// Why `name` cannot name the function (C and Python want an identifier that
// is no keyword); empty when it can, and always for the spreadsheet and LaTeX.
std::string ModelCodeNameProblem(CodeLanguage language, const std::string& name);

// Writes the code of `model` as `language` to `path`, its function called
// `name` (C and Python), through a temporary file and a rename: a failure
// leaves any previous file as it was. 1 when written; 0 when refused or not
// written, with `error` (when given) holding the refusal or the file and the
// system's reason.
int WriteModelCodeFile(CurveFit& doc, const std::string& path, int model, CodeLanguage language,
                       const std::string& name, std::string* error = nullptr);

// File > Export with the fitted model as code, after its dialog: as
// ExportToFile, 33/34 when no model with a result is chosen (the command
// then starts its dialog again); a refusal or a failure to write is told in
// a box and nothing is written.
ExportOutcome ExportModelCode(CurveFit& doc, const std::string& path, int model, CodeLanguage language,
                              const std::string& name);

}  // namespace trendolin
