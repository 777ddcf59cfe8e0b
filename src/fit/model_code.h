// A fitted model written out as code that other programs run: a C function,
// a Python function, a spreadsheet formula or a LaTeX equation, with the
// fitted coefficients written so that they read back as the same floats.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace trendolin {

class CurveFit;

enum class CodeLanguage { C, Python, Spreadsheet, Latex };

// The language a command-line word names: "c", "python", "spreadsheet",
// "latex"; nullopt for any other.
std::optional<CodeLanguage> CodeLanguageNamed(std::string_view word);

// The language as a sentence names it ("C", "Python", "spreadsheet", "LaTeX").
const char* CodeLanguageLabel(CodeLanguage language);

// Why `name` cannot name the function written in `language` (C and Python
// want an identifier that is neither a keyword nor a name the code itself
// relies on); empty when it can. The spreadsheet and LaTeX forms have no name.
std::string CodeNameProblem(CodeLanguage language, std::string_view name);

// The function's name when the person gives none: the Fit menu's label of
// model `id` in lower case, its words joined by '_', without mnemonics, dots
// and brackets ("exponential_association_2"); empty for an unknown id.
std::string DefaultCodeName(int id);

// The code of model `id` (500..539) as its stored result holds it, or why
// it cannot be written in `language`: a model with no coefficient form, a
// piecewise model as one formula, a user formula with a construct the
// language lacks, a coefficient that is not a finite number, no stored
// result. `name` names the C or Python function; it is checked by
// CodeNameProblem. The text ends with a line break.
struct ModelCode {
  std::string text;
  std::string refusal;  // empty when `text` holds the code
};
ModelCode FormatModelCode(CurveFit& doc, int id, CodeLanguage language, std::string_view name);

}  // namespace trendolin
