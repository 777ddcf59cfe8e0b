// The `models` and `fit` commands: the catalogue, and one model fitted to a
// data file with the program's own fit routines.
#include <cstdio>
#include <iostream>
#include <memory>

#include "app/app_settings.h"
#include "app/error_handle.h"
#include "app/errors.h"
#include "app/out_of_memory.h"
#include "cli/common.h"
#include "cli/model_names.h"
#include "fit/fit_state.h"
#include "fit/model_desc.h"
#include "platform/headless_ui.h"

namespace cli {
namespace {

using trendolin::CurveFit;
using trendolin::ModelDesc;

const char* KindName(int kind) {
  switch (kind) {
    case trendolin::FIT_LINEAR: return "linear";
    case trendolin::FIT_NONLINEAR: return "nonlinear";
    case trendolin::FIT_INTERPOLATION: return "interpolation";
    default: return "none";
  }
}

int RunModels(bool json) {
  CurveFit doc;
  nlohmann::json list = nlohmann::json::array();
  for (const trendolin::CatalogueEntry& e : trendolin::Catalogue()) {
    const ModelDesc desc = trendolin::DescriptorOf(doc, e.id);
    if (json) {
      list.push_back({{"id", e.id},
                      {"key", ModelKey(e.id)},
                      {"name", desc.name},
                      {"prompt", e.prompt},
                      {"kind", KindName(e.kind)},
                      {"class", e.classMask},
                      {"parameters", e.id == 534 ? -1 : desc.m}});
    } else {
      std::printf("%d  %-32s %-4s %-13s %5d  %s\n", e.id, ModelKey(e.id).c_str(),
                  e.id == 534 ? "n" : std::to_string(desc.m).c_str(), KindName(e.kind), e.classMask, e.prompt);
    }
  }
  if (json) std::cout << nlohmann::json{{"models", list}}.dump(2) << '\n';
  return kExitOk;
}

struct FitOptions {
  std::string file;
  std::string model;
  std::string weighting;
  std::string guess;
  std::optional<double> tolerance;
  std::optional<int> maxIterations;
  std::optional<int> divergeIterations;
  bool slowDerivatives = false;
  bool json = false;
  ImportFlags import;
};

std::optional<int> WeightingScheme(const std::string& name) {
  if (name == "none") return trendolin::kWeightingNone;
  if (name == "uncertainty") return trendolin::kWeightingUncertainty;
  if (name == "x") return trendolin::kWeightingX;
  if (name == "x2") return trendolin::kWeightingX2;
  if (name == "y") return trendolin::kWeightingY;
  if (name == "y2") return trendolin::kWeightingY2;
  return std::nullopt;
}

// The fit options override the settings for this run only.
bool ApplyFitOptions(const FitOptions& options) {
  trendolin::AppSettings& s = trendolin::Settings;
  if (!options.weighting.empty()) {
    auto scheme = WeightingScheme(options.weighting);
    if (!scheme) {
      std::cerr << "--weighting takes none, uncertainty, x, x2, y or y2\n";
      return false;
    }
    s.weighting = *scheme;
  }
  if (options.tolerance) s.nonlinearTolerance = *options.tolerance;
  if (options.maxIterations) s.maxIterations = *options.maxIterations;
  if (options.divergeIterations) s.divergeIterations = *options.divergeIterations;
  if (options.slowDerivatives) s.SetFlag(trendolin::kFlagQuickDerivatives, false);
  return true;
}

// Parses --guess "a,b,..." into floats.
std::optional<std::vector<float>> ParseGuesses(const std::string& text) {
  std::vector<float> values;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = text.find(',', start);
    const std::string piece = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    char* end = nullptr;
    const float v = std::strtof(piece.c_str(), &end);
    if (piece.empty() || *end != '\0') return std::nullopt;
    values.push_back(v);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return values;
}

// The initial-guess dialog of this run: answered once (with --guess values,
// or as shown) and cancelled when the same fit asks again after an error, so
// a failing fit ends with its message instead of retrying for ever.
void InstallGuessAnswers(const std::optional<std::vector<float>>& guesses) {
  auto* ui = dynamic_cast<platform::HeadlessUi*>(&platform::CurrentUi());
  if (!ui) return;
  auto asked = std::make_shared<int>(0);
  ui->SetGuessDialogHandler([guesses, asked](int, int m, float* values) {
    if ((*asked)++ > 0) return false;
    if (guesses) {
      for (int i = 0; i < m && i < static_cast<int>(guesses->size()); ++i) values[i] = (*guesses)[i];
    }
    return true;
  });
}

nlohmann::json FitJson(CurveFit& doc, int id, bool fitted, double seconds) {
  const ModelDesc desc = trendolin::DescriptorOf(doc, id);
  nlohmann::json out = {{"model", id},
                        {"name", desc.name},
                        {"kind", KindName(desc.kind)},
                        {"weighting", trendolin::Settings.weighting},
                        {"fitted", fitted},
                        {"seconds", seconds}};
  nlohmann::json coefficients = nlohmann::json::array();
  nlohmann::json parameters = nlohmann::json::object();
  nlohmann::json covariance = nlohmann::json::array();
  if (fitted && desc.coefficients) {
    for (int i = 0; i < desc.m; ++i) {
      coefficients.push_back(JsonFloat(desc.coefficients[i]));
      parameters[std::string(1, static_cast<char>('a' + i))] = JsonFloat(desc.coefficients[i]);
    }
    if (desc.covariance && desc.kind != trendolin::FIT_INTERPOLATION) {
      for (int i = 0; i < desc.m; ++i) {
        nlohmann::json row = nlohmann::json::array();
        for (int j = 0; j < desc.m; ++j) row.push_back(JsonFloat(desc.covariance[i * desc.m + j]));
        covariance.push_back(row);
      }
    }
  }
  out["coefficients"] = coefficients;
  out["parameters"] = parameters;
  out["covariance"] = covariance;
  if (fitted && desc.statistics) {
    out["standard_error"] = JsonFloat(desc.statistics[0]);
    out["correlation"] = JsonFloat(desc.statistics[1]);
    out["std_dev_y"] = JsonFloat(desc.statistics[2]);
  } else {
    out["standard_error"] = nullptr;
    out["correlation"] = nullptr;
    out["std_dev_y"] = nullptr;
  }
  out["comment"] = doc.GetFitComment(id);
  out["iterations"] = desc.kind == trendolin::FIT_NONLINEAR ? desc.iterationCount : 0;
  if (!fitted) {
    out["error"] = trendolin::ErrorInfo.id;
    out["message"] = trendolin::ErrorInfo.id != 0 ? trendolin::ErrorMessage(trendolin::ErrorInfo) : "The fit ended without a result.";
  }
  return out;
}

void PrintFitText(CurveFit& doc, int id, bool fitted) {
  const ModelDesc desc = trendolin::DescriptorOf(doc, id);
  const trendolin::CatalogueEntry* entry = trendolin::CatalogueEntryOf(id);
  std::printf("%s  (%s)\n", desc.name.c_str(), entry ? entry->prompt : "");
  if (!fitted) {
    std::printf("Not fitted.\n");
    return;
  }
  for (int i = 0; i < desc.m && desc.coefficients; ++i) {
    std::printf("%c = %.8E\n", 'a' + i, static_cast<double>(desc.coefficients[i]));
  }
  if (desc.statistics) {
    std::printf("Standard error: %.8f\n", static_cast<double>(desc.statistics[0]));
    std::printf("Correlation coefficient: %.8f\n", static_cast<double>(desc.statistics[1]));
  }
  const std::string comment = doc.GetFitComment(id);
  if (!comment.empty()) std::printf("%s\n", comment.c_str());
}

int RunFit(const GlobalOptions& global, const FitOptions& options) {
  std::string why;
  const std::optional<int> id = ResolveModel(options.model, &why);
  if (!id) {
    std::cerr << "-m: " << why << '\n';
    return kExitUsage;
  }
  LoadRunSettings(global);
  if (!ApplyFitOptions(options)) return kExitUsage;
  std::optional<std::vector<float>> guesses;
  if (!options.guess.empty()) {
    guesses = ParseGuesses(options.guess);
    if (!guesses) {
      std::cerr << "--guess takes numbers separated by commas, one per coefficient\n";
      return kExitUsage;
    }
    // Guesses of one's own replace the automatic ones: the dialog is shown.
    trendolin::Settings.initGuess = 1;
  }
  CurveFit doc;
  if (int status = LoadDataFile(doc, options.file, options.import); status != kExitOk) return status;
  doc.CalcDataStats();

  ModelDesc desc = trendolin::DescriptorOf(doc, *id);
  if (!desc.fitRoutine) {
    std::cerr << desc.name << ": this model cannot be fitted from the command line yet.\n";
    return kExitFailed;
  }
  InstallGuessAnswers(guesses);
  trendolin::ClearErrorInfo();
  Stopwatch watch;
  try {
    trendolin::GuardAllocation([&] { return desc.fitRoutine(doc, *id); });
  } catch (const trendolin::errnotify&) {
    trendolin::ErrorInfo.FitId = *id;
    trendolin::ErrorHandle();
  }
  const double seconds = watch.Seconds();
  const bool fitted = doc.IsFitted(*id, trendolin::Settings.weighting);
  if (options.json) {
    std::cout << FitJson(doc, *id, fitted, seconds).dump(2) << '\n';
  } else {
    PrintFitText(doc, *id, fitted);
  }
  return fitted ? kExitOk : kExitFailed;
}

}  // namespace

void AddFitCommands(CLI::App& app, const GlobalOptions& global, int& status) {
  auto modelsJson = std::make_shared<bool>(false);
  CLI::App* models = app.add_subcommand("models", "List the model catalogue");
  models->add_flag("--json", *modelsJson, "Print one JSON object");
  models->callback([&status, modelsJson] { status = RunModels(*modelsJson); });

  auto options = std::make_shared<FitOptions>();
  CLI::App* fit = app.add_subcommand("fit", "Fit one model to a data file");
  fit->add_option("FILE", options->file, "Data file")->required();
  fit->add_option("-m,--model", options->model, "Model id (500..539) or name, as `models` lists them")->required();
  fit->add_option("--weighting", options->weighting, "none, uncertainty, x, x2, y or y2");
  fit->add_option("--guess", options->guess, "Initial guesses a,b,... instead of the automatic ones");
  fit->add_option("--tolerance", options->tolerance, "Convergence tolerance of the nonlinear fit");
  fit->add_option("--max-iterations", options->maxIterations, "Iteration limit of the nonlinear fit");
  fit->add_option("--diverge-iterations", options->divergeIterations, "Failed steps in a row before giving up");
  fit->add_flag("--slow-derivatives", options->slowDerivatives, "Refined derivatives instead of quick ones");
  fit->add_flag("--json", options->json, "Print one JSON object");
  AddImportOptions(*fit, options->import);
  fit->callback([&global, &status, options] { status = RunFit(global, *options); });
}

}  // namespace cli
