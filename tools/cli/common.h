// What the commands of trendolin-cli share: the settings of the run, loading
// the data file with the import options, JSON numbers and timing.
#pragma once

#include <CLI/CLI.hpp>

#include <chrono>
#include <optional>
#include <string>
#include <utility>

#include <nlohmann/json.hpp>

#include "cli/commands.h"
#include "data/curve_fit.h"
#include "platform/import_options.h"
#include "precision/datatype.h"

namespace platform {
class HeadlessUi;
}

namespace cli {

// Reads the settings of this run from the settings file (never creating or
// writing it) and applies its locale.
void LoadRunSettings(const GlobalOptions& global);

// The import options a command accepts (--first-column, --columns,
// --generate-x, --uncertainty). Without any of them the file is read as the
// desktop program reads it with the import dialog switched off.
struct ImportFlags {
  std::optional<int> firstColumn;
  std::optional<int> columns;
  std::optional<std::string> generateX;  // "START,STEP"
  bool uncertainty = false;
  bool Any() const { return firstColumn || columns || generateX || uncertainty; }
};
void AddImportOptions(CLI::App& command, ImportFlags& flags);

// START,STEP of --generate-x, or nullopt (kGenerateXUsage says why) when it
// is not two numbers separated by a comma.
std::optional<std::pair<double, double>> ParseGenerateX(const std::string& text);
inline constexpr const char* kGenerateXUsage = "--generate-x needs START,STEP, two numbers separated by a comma";

// Plays the import dialog with the import options on what the file's
// scanning pass found. False, with the reason in `why`, when they are not
// consistent (a column past the last one, --generate-x that is not two
// finite numbers ...).
bool ApplyImportFlags(const ImportFlags& flags, trendolin::ImportOptions& options, std::string* why);

// Opens FILE into `doc` through the same flow as the windows. Returns kExitOk,
// or kExitUsage when the file cannot be read (the reason is already printed).
int LoadDataFile(trendolin::CurveFit& doc, const std::string& file, const ImportFlags& flags);

// A float as a JSON number that reads back as the same float: its shortest
// decimal form.
nlohmann::json JsonFloat(trendolin::datatype value);
// The same shortest decimal form as text ("inf", "-inf" and "nan" as such).
std::string FloatText(trendolin::datatype value);

// Parses "A,B" (or more) numbers for options such as --scale FX,FY.
std::optional<std::vector<std::string>> SplitList(const std::string& text, std::size_t count);

// --expr FORMULA: the user model's formula for this run (model 539).
void AddUserFormulaOption(CLI::App& command, std::optional<std::string>& formula);

// Sets the user model of this run: the formula the program starts with
// ("a+b*x"), or FORMULA when given, checked exactly as the user model
// dialog's OK checks it. A formula that is refused prints the dialog's
// message (10/11, or 10/133 when nested too deeply) and gives kExitUsage;
// otherwise kExitOk. `hunt` and `groups` call it so that the user-model
// group fits FORMULA.
int SetRunUserFormula(const std::optional<std::string>& formula);

// The options of a command that fits one model before its own work: -m and
// the fit options of `fit` (--weighting, --guess, --tolerance,
// --max-iterations, --diverge-iterations, --slow-derivatives, --expr), plus
// the import options.
struct ModelFitFlags {
  std::string model;
  std::string weighting;
  std::string guess;
  std::optional<std::string> expr;  // the user model's formula (539 only)
  std::optional<std::string> degree;   // the polynomial degree (502 only)
  std::optional<std::string> tension;  // the tension spline's tension (538 only)
  std::optional<double> tolerance;
  std::optional<int> maxIterations;
  std::optional<int> divergeIterations;
  bool slowDerivatives = false;
  ImportFlags import;
};
void AddModelFitOptions(CLI::App& command, ModelFitFlags& flags);

// Resolves the model, reads the run's settings, applies the fit options for
// this run only, opens FILE into `doc` and fits the model the way `fit` does
// (the initial-guess dialog answered once, with --guess or as shown).
// Returns kExitOk with *id set when the model is fitted with the run's
// weighting; kExitUsage for bad options or an unreadable file; kExitFailed
// when the model cannot be fitted or the fit ended without a result (the
// reason is on standard error).
// `fitSeconds`, when given, receives the time of the fit itself.
int FitModelForCommand(const GlobalOptions& global, const std::string& file, const ModelFitFlags& flags,
                       trendolin::CurveFit& doc, int* id, double* fitSeconds = nullptr);

class Stopwatch {
 public:
  Stopwatch() : start_(std::chrono::steady_clock::now()) {}
  double Seconds() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  }

 private:
  std::chrono::steady_clock::time_point start_;
};

}  // namespace cli
