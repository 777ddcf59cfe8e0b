// The `hunt` and `groups` commands: FitHunter and Calculate Groups on a data
// file, unattended, through the same commands the windows run; `hunt` on
// several files searches them side by side and prints one row per file.
#include <algorithm>
#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/app_settings.h"
#include "cli/common.h"
#include "data/document_hooks.h"
#include "session/drivers.h"
#include "session/fit_hunter.h"
#include "fit/engine_state.h"
#include "fit/model_desc.h"
#include "session/graph_queue.h"
#include "session/hunt_batch.h"
#include "platform/ui.h"
#include "session/session.h"

namespace cli {
namespace {

using trendolin::CurveFit;

struct HuntOptions {
  std::vector<std::string> files;  // `groups` takes one
  std::optional<int> maxDegree;
  std::optional<int> groups;
  bool json = false;
  std::optional<std::string> expr;  // the user model's formula for the user-model group
  ImportFlags import;
  std::optional<int> jobs;             // hunt on several files: worker threads
  std::optional<std::string> summary;  // hunt on several files: "csv" or "json"
};

// The drivers answer the document's hooks for the length of one command.
class DriverHooksScope {
 public:
  explicit DriverHooksScope(CurveFit& doc) { trendolin::InstallFitDriverHooks(doc); }
  ~DriverHooksScope() { trendolin::Hooks() = {}; }
  DriverHooksScope(const DriverHooksScope&) = delete;
  DriverHooksScope& operator=(const DriverHooksScope&) = delete;
};

bool ValidMask(int mask) { return mask > 0 && (mask & ~trendolin::kAllGroupsMask) == 0; }

// Loads FILE and examines it as the windows do after opening a file.
int LoadForRun(CurveFit& doc, const GlobalOptions& global, const HuntOptions& options) {
  LoadRunSettings(global);
  if (int status = SetRunUserFormula(options.expr); status != kExitOk) return status;
  if (int status = LoadDataFile(doc, options.files.front(), options.import); status != kExitOk) return status;
  trendolin::Reexamine(doc, 0);
  return kExitOk;
}

nlohmann::json Statistics(CurveFit& doc, int id) {
  const trendolin::ModelDesc desc = trendolin::DescriptorOf(doc, id);
  if (desc.kind == trendolin::FIT_INTERPOLATION || !desc.statistics || !doc.IsFitted(id, -1)) {
    return {{"standard_error", nullptr}, {"correlation", nullptr}, {"score", nullptr}};
  }
  return {{"standard_error", JsonFloat(desc.statistics[0])},
          {"correlation", JsonFloat(desc.statistics[1])},
          {"score", JsonFloat(trendolin::FitScore(desc.statistics[0], desc.statistics[1]))}};
}

void PrintRankingText(CurveFit& doc, const std::vector<trendolin::RankingEntry>& ranking, int best) {
  if (best >= 0) std::printf("Best fit: %d %s\n", best, trendolin::RankingName(best).c_str());
  std::printf("Polynomial degree: %d\n", trendolin::CurrentEngine().polynomialDegree);
  std::printf("%4s  %5s  %-14s  %-14s  %-12s  %s\n", "Rank", "Model", "Score", "Std. error", "Correlation",
              "Name");
  for (const trendolin::RankingEntry& entry : ranking) {
    const trendolin::ModelDesc desc = trendolin::DescriptorOf(doc, entry.modelId);
    std::printf("%4d  %5d  %-14.7g  %-14.7g  %-12.8f  %s\n", entry.rank, entry.modelId,
                static_cast<double>(entry.score), static_cast<double>(desc.statistics[0]),
                static_cast<double>(desc.statistics[1]), trendolin::RankingName(entry.modelId).c_str());
  }
}

// --groups of hunt: refused (the reason printed) unless a sum of group bits.
bool SearchGroupsUsable(const HuntOptions& options) {
  if (!options.groups || ValidMask(*options.groups)) return true;
  std::cerr << "--groups takes a sum of group bits from 1 to 1023 (2 linear, 4 miscellaneous, 8 exponential, "
               "16 sigmoidal, 32 growth, 64 power law, 128 polynomial, 256 user, 512 yield-density)\n";
  return false;
}

int RunHunt(const GlobalOptions& global, const HuntOptions& options) {
  if (!SearchGroupsUsable(options)) return kExitUsage;
  CurveFit& doc = trendolin::CurrentSession().data;
  DriverHooksScope hooks(doc);
  if (int status = LoadForRun(doc, global, options); status != kExitOk) return status;
  // Without options the search runs like Ctrl+F (degrees up to 8, every
  // group but the interpolations, nothing checked); with --max-degree or
  // --groups the request passes the FitHunter dialog's rules, as OK would.
  const std::optional<trendolin::SearchRequest> request =
      trendolin::SearchRequestFor(doc, options.maxDegree, options.groups);
  if (!request) return kExitUsage;

  Stopwatch watch;
  const trendolin::FitHunterOutcome outcome = trendolin::RunFitHunter(doc, *request);
  const double seconds = watch.Seconds();
  const std::vector<trendolin::RankingEntry> ranking = trendolin::RankFittedModels(doc);

  if (options.json) {
    nlohmann::json list = nlohmann::json::array();
    for (const trendolin::RankingEntry& entry : ranking) {
      const trendolin::ModelDesc desc = trendolin::DescriptorOf(doc, entry.modelId);
      list.push_back({{"rank", entry.rank},
                      {"model", entry.modelId},
                      {"name", trendolin::RankingName(entry.modelId)},
                      {"score", JsonFloat(entry.score)},
                      {"standard_error", JsonFloat(desc.statistics[0])},
                      {"correlation", JsonFloat(desc.statistics[1])}});
    }
    const nlohmann::json out = {{"best", outcome.best},
                                {"degree", trendolin::CurrentEngine().polynomialDegree},
                                {"max_degree", request->maxDegree},
                                {"groups", request->classMask},
                                {"ranking", list},
                                {"seconds", seconds}};
    std::cout << out.dump(2) << '\n';
  } else {
    PrintRankingText(doc, ranking, outcome.best);
  }
  return outcome.end == trendolin::FitHunterEnd::Found ? kExitOk : kExitFailed;
}

// A CSV field, quoted as RFC 4180 asks when it holds a separator, a quote
// or a line end.
std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

std::string CsvNumber(const std::optional<trendolin::datatype>& value) { return value ? FloatText(*value) : ""; }

nlohmann::json JsonNumber(const std::optional<trendolin::datatype>& value) {
  return value ? JsonFloat(*value) : nlohmann::json(nullptr);
}

// What a file's session told, each line led by the file's name, so that a
// message is known by its file whatever else the batch prints.
void PrintMessages(const trendolin::HuntRow& row) {
  std::istringstream lines(row.messages);
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty()) std::cerr << row.file << ": " << line << '\n';
  }
  std::cerr.flush();
}

// hunt on several files, or with --summary: each file searched in a session
// of its own on --jobs threads, one row per file in the order given.
// Several files without --summary print the CSV summary (with --json alone,
// the JSON one): one best model per file is what a list of files asks for,
// and CSV rows can be printed as they come while later files are searched.
// Exit status: 0 when every file got a best model; 1 when any did not (a
// file that could not be read, a request its points refuse, nothing
// fitted: its row says why); 2 for bad usage, found before any search.
int RunHuntSummary(const GlobalOptions& global, const HuntOptions& options) {
  if (!SearchGroupsUsable(options)) return kExitUsage;
  const std::string format = options.summary.value_or(options.json ? "json" : "csv");
  if (options.json && format != "json") {
    std::cerr << "--json asks for the JSON summary; it cannot go with --summary " << format << '\n';
    return kExitUsage;
  }
  if (options.import.generateX && !ParseGenerateX(*options.import.generateX)) {
    std::cerr << kGenerateXUsage << '\n';
    return kExitUsage;
  }
  // The settings are read, and their locale (the process's) applied, once
  // here; every file's session starts from a copy.
  LoadRunSettings(global);
  if (int status = SetRunUserFormula(options.expr); status != kExitOk) return status;

  trendolin::HuntBatchOptions batch;
  batch.settings = trendolin::CurrentSession().settings;
  batch.maxDegree = options.maxDegree;
  batch.groups = options.groups;
  batch.userFormula = options.expr;
  batch.historyFolder = trendolin::CurrentSession().historyFolder;
  if (options.import.Any()) {
    batch.importDialog = [flags = options.import](trendolin::ImportOptions& import, std::string* why) {
      return ApplyImportFlags(flags, import, why);
    };
  }
  const bool csv = format == "csv";
  if (csv) std::cout << "file,best,name,score,standard_error,correlation,error\n" << std::flush;
  batch.onRow = [csv](std::size_t, const trendolin::HuntRow& row) {
    if (csv) {
      std::cout << CsvField(row.file) << ',' << row.best << ',' << CsvField(row.name) << ','
                << CsvNumber(row.score) << ',' << CsvNumber(row.standardError) << ','
                << CsvNumber(row.correlation) << ',' << CsvField(row.error) << '\n'
                << std::flush;
    }
    PrintMessages(row);
  };
  const int jobs = options.jobs.value_or(static_cast<int>(std::max(1u, std::thread::hardware_concurrency())));

  Stopwatch watch;
  const std::vector<trendolin::HuntRow> rows = trendolin::RunHuntBatch(options.files, batch, jobs);
  const double seconds = watch.Seconds();

  if (!csv) {
    nlohmann::json list = nlohmann::json::array();
    for (const trendolin::HuntRow& row : rows) {
      list.push_back({{"file", row.file},
                      {"best", row.best},
                      {"name", row.name},
                      {"score", JsonNumber(row.score)},
                      {"standard_error", JsonNumber(row.standardError)},
                      {"correlation", JsonNumber(row.correlation)},
                      {"error", row.error}});
    }
    const nlohmann::json out = {{"jobs", std::min<std::size_t>(static_cast<std::size_t>(jobs), rows.size())},
                                {"files", list},
                                {"seconds", seconds}};
    std::cout << out.dump(2) << '\n';
  }
  const bool allFound =
      std::all_of(rows.begin(), rows.end(), [](const trendolin::HuntRow& row) { return row.best >= 0; });
  return allFound ? kExitOk : kExitFailed;
}

const char* OutcomeName(int result) {
  switch (result) {
    case trendolin::kWindowOpened: return "window";
    case trendolin::kWindowError: return "stopped";
    default: return "failed";
  }
}

int RunGroups(const GlobalOptions& global, const HuntOptions& options) {
  if (options.groups && !ValidMask(*options.groups)) {
    std::cerr << "--groups takes a sum of group bits from 1 to 1023 (1 interpolations, 2 linear, 4 miscellaneous, "
                 "8 exponential, 16 sigmoidal, 32 growth, 64 power law, 128 polynomial, 256 user, 512 "
                 "yield-density)\n";
    return kExitUsage;
  }
  CurveFit& doc = trendolin::CurrentSession().data;
  DriverHooksScope hooks(doc);
  if (int status = LoadForRun(doc, global, options); status != kExitOk) return status;
  const trendolin::GroupsDialogSetup setup = trendolin::GroupsDialogOpening(doc, true);
  int mask = options.groups.value_or(setup.checkedMask);
  if (!setup.polynomialEnabled) mask &= ~trendolin::CLASS_POLYNOMIAL;

  std::vector<trendolin::GroupRunEntry> log;
  Stopwatch watch;
  const int result = trendolin::RunCalculateGroups(doc, mask, &log);
  const double seconds = watch.Seconds();

  if (options.json) {
    nlohmann::json models = nlohmann::json::array();
    for (const trendolin::GroupRunEntry& entry : log) {
      nlohmann::json item = {{"model", entry.modelId},
                             {"name", trendolin::ModelName(doc, entry.modelId)},
                             {"outcome", OutcomeName(entry.result)},
                             {"fitted", trendolin::FitIsCurrent(doc, entry.modelId)}};
      item.update(Statistics(doc, entry.modelId));
      models.push_back(item);
    }
    const nlohmann::json out = {{"groups", mask},
                                {"windows", trendolin::CurrentSession().graphQueue.Count()},
                                {"degree", trendolin::CurrentEngine().polynomialDegree},
                                {"models", models},
                                {"seconds", seconds}};
    std::cout << out.dump(2) << '\n';
  } else {
    for (const trendolin::GroupRunEntry& entry : log) {
      std::printf("%d  %-8s %s\n", entry.modelId, OutcomeName(entry.result),
                  trendolin::ModelName(doc, entry.modelId).c_str());
    }
    std::printf("Graph windows opened: %d\n", trendolin::CurrentSession().graphQueue.Count());
  }
  return result == 0 ? kExitOk : kExitFailed;
}

}  // namespace

void AddHuntCommands(CLI::App& app, const GlobalOptions& global, int& status) {
  auto hunt = std::make_shared<HuntOptions>();
  CLI::App* huntCommand = app.add_subcommand("hunt", "FitHunter: fit every applicable model and rank them");
  huntCommand->add_option("FILE", hunt->files, "Data files; with several, one summary row each")->required();
  huntCommand->add_option("--max-degree", hunt->maxDegree, "Highest polynomial degree tried (3 and up)");
  huntCommand->add_option("--groups", hunt->groups, "Model groups as a sum of class bits (default: all)");
  huntCommand->add_flag("--json", hunt->json, "Print one JSON object");
  AddImportOptions(*huntCommand, hunt->import);
  AddUserFormulaOption(*huntCommand, hunt->expr);
  huntCommand->add_option("--jobs", hunt->jobs, "Files searched at once (default: one per core)")
      ->check(CLI::Range(1, 1024));
  huntCommand->add_option("--summary", hunt->summary, "One row per file, as csv or json")
      ->check(CLI::IsMember({"csv", "json"}));
  huntCommand->callback([&global, &status, hunt] {
    const bool summary = hunt->files.size() > 1 || hunt->summary;
    status = summary ? RunHuntSummary(global, *hunt) : RunHunt(global, *hunt);
  });

  auto groups = std::make_shared<HuntOptions>();
  CLI::App* groupsCommand = app.add_subcommand("groups", "Calculate Groups: fit every model of the groups");
  groupsCommand->add_option("FILE", groups->files, "Data file")->required()->expected(1);
  groupsCommand->add_option("--groups", groups->groups, "Model groups as a sum of class bits (default: all)");
  groupsCommand->add_flag("--json", groups->json, "Print one JSON object");
  AddImportOptions(*groupsCommand, groups->import);
  AddUserFormulaOption(*groupsCommand, groups->expr);
  groupsCommand->callback([&global, &status, groups] { status = RunGroups(global, *groups); });
}

}  // namespace cli
