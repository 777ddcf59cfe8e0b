// The `export` and `table` commands: one model fitted to a data file, then
// the export file or a table of the fitted curve written as the windows
// write them, or the fitted model written as code (--as).
#include <cctype>
#include <iostream>
#include <memory>
#include <string>

#include "cli/common.h"
#include "cli/model_names.h"
#include "session/export_file.h"
#include "session/model_code_file.h"
#include "session/session.h"
#include "session/table_file.h"
#include "fit/model_desc.h"

namespace cli {
namespace {

struct ExportFlags {
  std::string file;
  std::string out;
  std::string separator = "tab";
  bool noCoefficients = false;
  bool noStatistics = false;
  std::string language;  // --as: the model as code instead of the export file
  std::optional<std::string> name;
  ModelFitFlags fit;
};

struct TableFlags {
  std::string file;
  std::string out;
  std::string separator = "tab";
  std::string start;
  std::string end;
  std::string step;
  ModelFitFlags fit;
};

// The separator menu's entry for --sep (tab, space, comma).
char SeparatorNamed(const std::string& name) {
  for (const trendolin::SeparatorChoice& choice : trendolin::SeparatorChoices()) {
    std::string label = choice.label;
    for (char& c : label) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (label == name) return choice.character;
  }
  return '\t';
}

void AddSeparatorOption(CLI::App& command, std::string& separator) {
  command.add_option("--sep", separator, "Field separator: tab, space or comma (default tab)")
      ->check(CLI::IsMember({"tab", "space", "comma"}));
}

int RunExportAsCode(const GlobalOptions& global, const ExportFlags& flags) {
  const trendolin::CodeLanguage language = *trendolin::CodeLanguageNamed(flags.language);
  std::string why;
  const std::optional<int> model = ResolveModel(flags.fit.model, &why);
  if (!model) {
    std::cerr << "-m: " << why << "\n";
    return kExitUsage;
  }
  const std::string name = flags.name.value_or(trendolin::DefaultCodeName(*model));
  if (const std::string problem = trendolin::ModelCodeNameProblem(language, name); !problem.empty()) {
    std::cerr << "--name: " << problem << "\n";
    return kExitUsage;
  }
  trendolin::CurveFit& doc = trendolin::CurrentSession().data;
  int id = 0;
  if (int status = FitModelForCommand(global, flags.file, flags.fit, doc, &id); status != kExitOk) return status;
  std::string error;
  if (trendolin::WriteModelCodeFile(doc, flags.out, id, language, name, &error) != 1) {
    std::cerr << error << "\n";
    return kExitFailed;
  }
  return kExitOk;
}

int RunExport(const GlobalOptions& global, const ExportFlags& flags) {
  if (!flags.language.empty()) return RunExportAsCode(global, flags);
  trendolin::CurveFit& doc = trendolin::CurrentSession().data;
  int id = 0;
  if (int status = FitModelForCommand(global, flags.file, flags.fit, doc, &id); status != kExitOk) return status;
  trendolin::ExportOptions options;
  options.model = id;
  options.includeCoefficients = flags.noCoefficients ? 0 : 1;
  options.includeStatistics = flags.noStatistics ? 0 : 1;
  options.separator = SeparatorNamed(flags.separator);
  // A refusal or a write failure was shown as its message box on standard error.
  return trendolin::ExportToFile(doc, flags.out, options) == trendolin::ExportOutcome::Written ? kExitOk
                                                                                               : kExitFailed;
}

const char* OptionOfTableField(int field) {
  switch (field) {
    case trendolin::kTableStartField: return "--start";
    case trendolin::kTableEndField: return "--end";
    default: return "--step";
  }
}

const std::string& TableFieldText(const TableFlags& flags, int field) {
  switch (field) {
    case trendolin::kTableStartField: return flags.start;
    case trendolin::kTableEndField: return flags.end;
    default: return flags.step;
  }
}

int RunTable(const GlobalOptions& global, const TableFlags& flags) {
  // The panel's rules first: a refused range needs no fit.
  const trendolin::TableCheck check =
      trendolin::TableDialogOk(flags.start, flags.end, flags.step, SeparatorNamed(flags.separator));
  if (check.verdict == trendolin::TableVerdict::BadField) {
    std::cerr << OptionOfTableField(check.badField) << ": '" << TableFieldText(flags, check.badField)
              << "' is not a number\n";
    return kExitUsage;
  }
  if (check.verdict == trendolin::TableVerdict::Refused) return kExitFailed;

  trendolin::CurveFit& doc = trendolin::CurrentSession().data;
  int id = 0;
  if (int status = FitModelForCommand(global, flags.file, flags.fit, doc, &id); status != kExitOk) return status;
  if (!trendolin::HasExportableResult(doc, id)) {
    std::cerr << trendolin::ModelName(doc, id) << ": there is no fitted curve to tabulate.\n";
    return kExitFailed;
  }
  return trendolin::GenerateTableFile(doc, flags.out, id, check.options) ? kExitOk : kExitFailed;
}

}  // namespace

void AddExportCommands(CLI::App& app, const GlobalOptions& global, int& status) {
  auto exportFlags = std::make_shared<ExportFlags>();
  CLI::App* exporter = app.add_subcommand("export", "Fit one model and write it with its data as an export file");
  exporter->add_option("FILE", exportFlags->file, "Data file")->required();
  exporter->add_option("-o,--output", exportFlags->out, "Export file to write")->required();
  AddSeparatorOption(*exporter, exportFlags->separator);
  CLI::Option* coefficients =
      exporter->add_flag("--no-coefficients", exportFlags->noCoefficients, "Leave out the coefficients");
  CLI::Option* statistics = exporter->add_flag("--no-statistics", exportFlags->noStatistics, "Leave out the statistics");
  CLI::Option* language =
      exporter
          ->add_option("--as", exportFlags->language,
                       "Write the fitted model as code instead: a C function, a Python function, a spreadsheet "
                       "formula of cell A1 or a LaTeX equation")
          ->check(CLI::IsMember({"c", "python", "spreadsheet", "latex"}));
  language->excludes(coefficients)->excludes(statistics)->excludes("--sep");
  exporter
      ->add_option("--name", exportFlags->name,
                   "Name of the C or Python function (default: the model's name, '_' for '-')")
      ->needs(language);
  AddModelFitOptions(*exporter, exportFlags->fit);
  exporter->callback([&global, &status, exportFlags] { status = RunExport(global, *exportFlags); });

  auto tableFlags = std::make_shared<TableFlags>();
  CLI::App* table = app.add_subcommand("table", "Fit one model and write a table of it over an x range");
  table->add_option("FILE", tableFlags->file, "Data file")->required();
  table->add_option("-o,--output", tableFlags->out, "Table file to write")->required();
  table->add_option("--start", tableFlags->start, "First x")->required();
  table->add_option("--end", tableFlags->end, "Last x (not passed)")->required();
  table->add_option("--step", tableFlags->step, "Step of x, negative when --end is below --start")->required();
  AddSeparatorOption(*table, tableFlags->separator);
  AddModelFitOptions(*table, tableFlags->fit);
  table->callback([&global, &status, tableFlags] { status = RunTable(global, *tableFlags); });
}

}  // namespace cli
