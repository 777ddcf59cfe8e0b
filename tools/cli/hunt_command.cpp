// The `hunt` and `groups` commands: FitHunter and Calculate Groups on a data
// file, unattended, through the same commands the windows run.
#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/app_settings.h"
#include "cli/common.h"
#include "data/document_hooks.h"
#include "session/drivers.h"
#include "session/fit_hunter.h"
#include "fit/engine_state.h"
#include "fit/model_desc.h"
#include "session/graph_queue.h"
#include "platform/ui.h"
#include "session/session.h"

namespace cli {
namespace {

using trendolin::CurveFit;

struct HuntOptions {
  std::string file;
  std::optional<int> maxDegree;
  std::optional<int> groups;
  bool json = false;
  std::optional<std::string> expr;  // the user model's formula for the user-model group
  ImportFlags import;
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
  if (int status = LoadDataFile(doc, options.file, options.import); status != kExitOk) return status;
  trendolin::Reexamine(doc, 0);
  return kExitOk;
}

// Without options the search runs like Ctrl+F (degrees up to 8, every group
// but the interpolations, nothing checked); with --max-degree or --groups
// the request passes the FitHunter dialog's rules, as OK would.
std::optional<trendolin::SearchRequest> HuntRequest(const CurveFit& doc, const HuntOptions& options) {
  if (!options.maxDegree && !options.groups) return trendolin::SearchRequest{};
  const trendolin::GroupsDialogSetup setup = trendolin::GroupsDialogOpening(doc, false);
  int mask = options.groups.value_or(setup.checkedMask) & trendolin::kSearchGroupsMask;
  if (!setup.polynomialEnabled) mask &= ~trendolin::CLASS_POLYNOMIAL;  // its box cannot be checked
  const std::string degree = std::to_string(options.maxDegree.value_or(trendolin::kDefaultSearchDegree));
  const trendolin::SearchDialogCheck check =
      trendolin::CheckFitHunterDialog(mask, degree, doc.nPoints, trendolin::CurrentSession().settings.maxPolyDegree);
  if (check.verdict != trendolin::SearchDialogVerdict::Accepted) {
    const trendolin::MessagePair pair = check.warning.value_or(trendolin::kSearchDegreeRefused);
    platform::ResourceMessageBox(pair.caption, pair.text, platform::Icon::Exclamation, platform::Buttons::Ok);
    return std::nullopt;
  }
  return check.request;
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

int RunHunt(const GlobalOptions& global, const HuntOptions& options) {
  if (options.groups && !ValidMask(*options.groups)) {
    std::cerr << "--groups takes a sum of group bits from 1 to 1023 (2 linear, 4 miscellaneous, 8 exponential, "
                 "16 sigmoidal, 32 growth, 64 power law, 128 polynomial, 256 user, 512 yield-density)\n";
    return kExitUsage;
  }
  CurveFit doc;
  DriverHooksScope hooks(doc);
  if (int status = LoadForRun(doc, global, options); status != kExitOk) return status;
  const std::optional<trendolin::SearchRequest> request = HuntRequest(doc, options);
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
  CurveFit doc;
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
  huntCommand->add_option("FILE", hunt->file, "Data file")->required();
  huntCommand->add_option("--max-degree", hunt->maxDegree, "Highest polynomial degree tried (3 and up)");
  huntCommand->add_option("--groups", hunt->groups, "Model groups as a sum of class bits (default: all)");
  huntCommand->add_flag("--json", hunt->json, "Print one JSON object");
  AddImportOptions(*huntCommand, hunt->import);
  AddUserFormulaOption(*huntCommand, hunt->expr);
  huntCommand->callback([&global, &status, hunt] { status = RunHunt(global, *hunt); });

  auto groups = std::make_shared<HuntOptions>();
  CLI::App* groupsCommand = app.add_subcommand("groups", "Calculate Groups: fit every model of the groups");
  groupsCommand->add_option("FILE", groups->file, "Data file")->required();
  groupsCommand->add_option("--groups", groups->groups, "Model groups as a sum of class bits (default: all)");
  groupsCommand->add_flag("--json", groups->json, "Print one JSON object");
  AddImportOptions(*groupsCommand, groups->import);
  AddUserFormulaOption(*groupsCommand, groups->expr);
  groupsCommand->callback([&global, &status, groups] { status = RunGroups(global, *groups); });
}

}  // namespace cli
