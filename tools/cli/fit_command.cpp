// The `models` and `fit` commands: the catalogue, and one model fitted to a
// data file with the program's own fit routines.
#include <cmath>
#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/app_settings.h"
#include "app/error_handle.h"
#include "app/out_of_memory.h"
#include "cli/common.h"
#include "cli/model_names.h"
#include "session/drivers.h"
#include "fit/engine_state.h"
#include "fit/fit_statistics.h"
#include "fit/model_desc.h"
#include "graph/fit_report.h"
#include "precision/errors.h"
#include "session/session.h"

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
  CurveFit& doc = trendolin::CurrentSession().data;
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
  bool json = false;
  ModelFitFlags fit;
  std::optional<std::string> report;  // --report PAGES
  bool crlf = false;                  // --crlf: the reports' own CR LF line ends
};

constexpr const char* kDefaultReportPages = "coefficients,comments";

// --report PAGES: the pages named in a comma-separated list, in its order.
std::optional<std::vector<trendolin::ReportPage>> ReportPages(const std::string& list) {
  std::vector<trendolin::ReportPage> pages;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = list.find(',', start);
    const std::string name = list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    const std::optional<trendolin::ReportPage> page = trendolin::ReportPageNamed(name);
    if (!page) return std::nullopt;
    pages.push_back(*page);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return pages;
}

// The model information window's reports, as the clipboard would hold them;
// CR LF becomes LF unless --crlf asks for the exact bytes.
void PrintReports(CurveFit& doc, int id, const std::vector<trendolin::ReportPage>& pages, bool crlf) {
  for (trendolin::ReportPage page : pages) {
    std::string text = trendolin::FitReport(doc, id, page);
    if (!crlf) {
      std::string lf;
      lf.reserve(text.size());
      for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        lf += text[i];
      }
      text = std::move(lf);
    }
    std::fwrite(text.data(), 1, text.size(), stdout);
  }
}

// A statistic as a JSON number that reads back as the same double (its
// shortest decimal form), or null when it cannot be had.
nlohmann::json JsonDouble(double value) {
  if (!std::isfinite(value)) return nullptr;
  return value;
}

// The statistics of the fit beyond S and r: per parameter (formula order)
// its value, standard error, t value and 95% interval, then the goodness
// figures. The values are the stored coefficients, written as the
// coefficients are.
nlohmann::json StatisticsJson(const trendolin::FitStatistics& stats) {
  nlohmann::json parameters = nlohmann::json::array();
  for (const trendolin::ParameterStatistics& p : stats.parameters) {
    parameters.push_back({{"name", p.name},
                          {"value", JsonFloat(static_cast<trendolin::datatype>(p.value))},
                          {"standard_error", JsonDouble(p.standardError)},
                          {"t", JsonDouble(p.t)},
                          {"ci95", nlohmann::json::array({JsonDouble(p.ciLow), JsonDouble(p.ciHigh)})}});
  }
  return {{"r_squared", JsonDouble(stats.rSquared)},
          {"adjusted_r_squared", JsonDouble(stats.adjustedRSquared)},
          {"sse", JsonDouble(stats.sse)},
          {"dof", stats.dof},
          {"aicc", JsonDouble(stats.aicc)},
          {"bic", JsonDouble(stats.bic)},
          {"weighted", stats.weighted},
          {"parameters", parameters}};
}

nlohmann::json FitJson(CurveFit& doc, int id, bool fitted, double seconds) {
  const ModelDesc desc = trendolin::DescriptorOf(doc, id);
  nlohmann::json out = {{"model", id},
                        {"name", desc.name},
                        {"kind", KindName(desc.kind)},
                        {"weighting", trendolin::CurrentSession().settings.weighting},
                        {"fitted", fitted},
                        {"seconds", seconds}};
  nlohmann::json coefficients = nlohmann::json::array();
  nlohmann::json parameters = nlohmann::json::object();
  nlohmann::json covariance = nlohmann::json::array();
  if (fitted && desc.coefficients) {
    for (int i = 0; i < trendolin::StoredCoefficientCount(desc); ++i) {
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
  if (fitted && desc.kind != trendolin::FIT_INTERPOLATION) {
    out["covariance_usable"] = trendolin::CovarianceUsable(desc.covariance, desc.m);
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
  if (fitted) {
    if (const std::optional<trendolin::FitStatistics> stats = trendolin::ComputeFitStatistics(doc, id)) {
      out["statistics"] = StatisticsJson(*stats);
    }
  }
  if (!fitted) {
    out["error"] = trendolin::ErrorInfo.id;
    if (trendolin::ErrorInfo.id != 0) {
      out["message"] = trendolin::ErrorMessage(trendolin::ErrorInfo);
    } else if (!trendolin::CurrentSession().availability.ModelEnabled(id)) {
      out["message"] = "The data do not allow this model (too few points, or x values it cannot take).";
    } else {
      out["message"] = "The fit ended without a result.";
    }
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
  for (int i = 0; i < trendolin::StoredCoefficientCount(desc); ++i) {
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
  std::optional<std::vector<trendolin::ReportPage>> pages;
  if (options.report) {
    // A bare --report asks for the pages the window opens on and the comments.
    pages = ReportPages(options.report->empty() ? kDefaultReportPages : *options.report);
    if (!pages) {
      std::cerr << "--report takes coefficients, history, covariance, residuals, comments or statistics, separated by "
                   "commas\n";
      return kExitUsage;
    }
    if (options.json) {
      std::cerr << "--report and --json cannot be combined\n";
      return kExitUsage;
    }
  }
  CurveFit& doc = trendolin::CurrentSession().data;
  int id = 0;
  double seconds = 0;
  const int status = FitModelForCommand(global, options.file, options.fit, doc, &id, &seconds);
  if (status == kExitUsage) return status;
  const bool fitted = status == kExitOk;
  if (options.json) {
    std::cout << FitJson(doc, id, fitted, seconds).dump(2) << '\n';
  } else if (pages && fitted) {
    PrintReports(doc, id, *pages, options.crlf);
  } else {
    PrintFitText(doc, id, fitted);
  }
  return status;
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
  AddModelFitOptions(*fit, options->fit);
  fit->add_flag("--json", options->json, "Print one JSON object");
  fit->add_option("--report", options->report,
                  "Print the model information reports PAGES (coefficients, history, covariance, residuals, "
                  "comments, statistics; comma-separated)")
      ->expected(0, 1);
  fit->add_flag("--crlf", options->crlf, "Keep the reports' CR LF line ends");
  fit->callback([&global, &status, options] { status = RunFit(global, *options); });
}

}  // namespace cli
