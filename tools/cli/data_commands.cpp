// The `info` and `data` commands: the data information summary, and the
// manipulation commands applied to a data file.
#include <cstdio>
#include <iostream>
#include <map>
#include <memory>

#include "cli/common.h"
#include "data/data_file.h"
#include "session/file_failure.h"
#include "session/manipulation.h"
#include "session/session.h"
#include "session/transform.h"
#include "platform/resource_strings.h"

namespace cli {
namespace {

using trendolin::CurveFit;

struct InfoOptions {
  std::string file;
  bool json = false;
  ImportFlags import;
};

nlohmann::json ColumnJson(const CurveFit& doc, int c) {
  return {{"min", JsonFloat(doc.fMin[c])},
          {"max", JsonFloat(doc.fMax[c])},
          {"mean", JsonFloat(doc.fMean[c])},
          {"std_dev", JsonFloat(doc.fStdDev[c])},
          {"range", JsonFloat(doc.fMax[c] - doc.fMin[c])}};
}

int RunInfo(const GlobalOptions& global, const InfoOptions& options) {
  LoadRunSettings(global);
  CurveFit& doc = trendolin::CurrentSession().data;
  if (int status = LoadDataFile(doc, options.file, options.import); status != kExitOk) return status;
  Stopwatch watch;
  const trendolin::DataInformation info = trendolin::DataInformationTexts(doc);
  const double seconds = watch.Seconds();
  if (options.json) {
    nlohmann::json out = {{"file", doc.szFileName},
                          {"points", doc.nPoints},
                          {"columns", doc.nColumns},
                          {"uncertainty", doc.bUncertainty != 0},
                          {"bytes", doc.DataBytes()},
                          {"x", ColumnJson(doc, 0)},
                          {"y", ColumnJson(doc, 1)},
                          {"seconds", seconds}};
    std::cout << out.dump(2) << '\n';
    return kExitOk;
  }
  std::printf("%s\n", info.version.c_str());
  std::printf("File: %s\n", doc.szFileName.c_str());
  std::printf("%s\n", info.bytes.c_str());
  std::printf("Points: %s\n", info.points.c_str());
  std::printf("Columns: %d%s\n", doc.nColumns, doc.bUncertainty ? " (x, y, uncertainty)" : " (x, y)");
  std::printf("%-3s %16s %16s %16s %16s %16s\n", "", "Minimum", "Maximum", "Mean", "Std. deviation", "Range");
  std::printf("%-3s %16s %16s %16s %16s %16s\n", "X", info.xMin.c_str(), info.xMax.c_str(), info.xMean.c_str(),
              info.xStdDev.c_str(), info.xRange.c_str());
  std::printf("%-3s %16s %16s %16s %16s %16s\n", "Y", info.yMin.c_str(), info.yMax.c_str(), info.yMean.c_str(),
              info.yStdDev.c_str(), info.yRange.c_str());
  return kExitOk;
}

struct DataOptions {
  std::string file;
  std::string output;
  int swapCount = 0;
  ImportFlags import;
};

// The options of `data` that are steps, applied in the order given.
struct DataSteps {
  CLI::Option* sort = nullptr;
  CLI::Option* swap = nullptr;
  CLI::Option* scale = nullptr;
  CLI::Option* translate = nullptr;
  CLI::Option* clip = nullptr;
  CLI::Option* transform = nullptr;
};

bool Refused(const char* step, const std::string& why) {
  std::cerr << step << " refused: " << why << '\n';
  return false;
}

bool ReportBadField(const char* step, const trendolin::ApplyResult& result) {
  if (result.applied) return true;
  if (result.badField != 0) return Refused(step, "a value is not a number");
  if (result.notFinite) return Refused(step, "a result would not be a finite number");
  return Refused(step, "the values do not fit the data");
}

bool ApplySort(CurveFit& doc, const std::string& value) {
  if (value != "x" && value != "y") return Refused("--sort", "give x or y");
  trendolin::SortingFields fields;
  fields.key = value == "x" ? 0 : 1;
  return ReportBadField("--sort", trendolin::ApplySorting(doc, fields));
}

bool ApplyScale(CurveFit& doc, const std::string& value) {
  auto parts = SplitList(value, 2);
  if (!parts) return Refused("--scale", "give FX,FY");
  trendolin::ScalingFields fields{true, (*parts)[0], true, (*parts)[1]};
  return ReportBadField("--scale", trendolin::ApplyScaling(doc, fields));
}

bool ApplyTranslate(CurveFit& doc, const std::string& value) {
  auto parts = SplitList(value, 2);
  if (!parts) return Refused("--translate", "give DX,DY");
  trendolin::TranslationFields fields{true, (*parts)[0], true, (*parts)[1]};
  return ReportBadField("--translate", trendolin::ApplyTranslation(doc, fields));
}

bool ApplyClip(CurveFit& doc, const std::string& value) {
  auto parts = SplitList(value, 4);
  if (!parts) return Refused("--clip", "give XMIN,XMAX,YMIN,YMAX");
  trendolin::ClippingFields fields{(*parts)[0], (*parts)[1], (*parts)[2], (*parts)[3]};
  return ReportBadField("--clip", trendolin::ApplyClipping(doc, fields));
}

// "x|y:FUNC[:A]"; FUNC is one of the names the transform dialog lists.
bool ApplyTransform(CurveFit& doc, const std::string& value) {
  const std::size_t colon = value.find(':');
  if (colon == std::string::npos) return Refused("--transform", "give x:FUNC or y:FUNC, with :A for x^a");
  const std::string column = value.substr(0, colon);
  std::string function = value.substr(colon + 1);
  std::string exponent = "1";
  // The exponent follows the last colon, and only "x^a" takes one.
  const std::size_t last = function.rfind(':');
  if (last != std::string::npos) {
    exponent = function.substr(last + 1);
    function = function.substr(0, last);
  }
  trendolin::TransformFields fields;
  fields.column = column == "x" ? 0 : (column == "y" ? 1 : -1);
  fields.function = trendolin::TransformFunctionByName(function);
  fields.exponent = exponent;
  if (fields.function < 0) {
    std::string names;
    for (const char* name : trendolin::kTransformFunctionNames) names += std::string(names.empty() ? "" : ", ") + name;
    return Refused("--transform", "unknown function \"" + function + "\"; one of " + names);
  }
  const trendolin::TransformCheck check = trendolin::CheckTransformFields(fields);
  if (!check.choice) return Refused("--transform", "the column or the exponent is not valid");
  if (!trendolin::OnTransform(doc, *check.choice)) return Refused("--transform", "see the message above");
  return true;
}

int RunData(const GlobalOptions& global, const DataOptions& options, CLI::App& command, const DataSteps& steps) {
  LoadRunSettings(global);
  CurveFit& doc = trendolin::CurrentSession().data;
  if (int status = LoadDataFile(doc, options.file, options.import); status != kExitOk) return status;

  // Each occurrence of a step option takes the next of its values.
  std::map<const CLI::Option*, std::size_t> used;
  for (const CLI::Option* option : command.parse_order()) {
    const std::size_t index = used[option]++;
    const std::vector<std::string>& values = option->results();
    const std::string value = index < values.size() ? values[index] : std::string();
    bool ok = true;
    if (option == steps.sort) {
      ok = ApplySort(doc, value);
    } else if (option == steps.swap) {
      trendolin::ApplySwap(doc);
    } else if (option == steps.scale) {
      ok = ApplyScale(doc, value);
    } else if (option == steps.translate) {
      ok = ApplyTranslate(doc, value);
    } else if (option == steps.clip) {
      ok = ApplyClip(doc, value);
    } else if (option == steps.transform) {
      ok = ApplyTransform(doc, value);
    }
    if (!ok) {
      std::cerr << "Nothing was written.\n";
      return kExitFailed;
    }
  }

  const std::vector<trendolin::datatype*> columns = doc.ColumnPointers();
  std::string error;
  if (trendolin::WriteDataFile(options.output, columns.data(), 0, 0, doc.nPoints, doc.nColumns, false, &error) !=
      0) {
    // The data file caption and text of the windows' Save, with the file and the system's reason.
    std::cerr << platform::ResourceString(41) << ": "
              << platform::FormatResource(platform::ResourceString(135),
                                          {trendolin::WriteFailureReason(options.output, error)})
              << '\n';
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace

void AddDataCommands(CLI::App& app, const GlobalOptions& global, int& status) {
  auto info = std::make_shared<InfoOptions>();
  CLI::App* infoCommand = app.add_subcommand("info", "Show the data information summary of a data file");
  infoCommand->add_option("FILE", info->file, "Data file")->required();
  infoCommand->add_flag("--json", info->json, "Print one JSON object");
  AddImportOptions(*infoCommand, info->import);
  infoCommand->callback([&global, &status, info] { status = RunInfo(global, *info); });

  auto data = std::make_shared<DataOptions>();
  auto steps = std::make_shared<DataSteps>();
  CLI::App* dataCommand = app.add_subcommand(
      "data", "Apply manipulations in the order given and write the data file (nothing is written if a step is refused)");
  dataCommand->add_option("FILE", data->file, "Data file")->required();
  dataCommand->add_option("-o,--output", data->output, "Data file to write")->required();
  steps->sort = dataCommand->add_option("--sort", "Sort by x or y")->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  steps->swap = dataCommand->add_flag("--swap", data->swapCount, "Exchange the x and y columns");
  steps->scale = dataCommand->add_option("--scale", "Multiply x by FX and y (and uncertainties) by FY: FX,FY")
                     ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  steps->translate = dataCommand->add_option("--translate", "Add DX to x and DY to y: DX,DY")
                         ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  steps->clip = dataCommand->add_option("--clip", "Remove the points outside XMIN,XMAX,YMIN,YMAX")
                    ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  steps->transform =
      dataCommand->add_option("--transform", "Replace a column by a function of itself: x|y:FUNC[:A], FUNC as \"ln(x)\"")
          ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  AddImportOptions(*dataCommand, data->import);
  dataCommand->callback([&global, &status, data, steps, dataCommand] {
    status = RunData(global, *data, *dataCommand, *steps);
  });
}

}  // namespace cli
