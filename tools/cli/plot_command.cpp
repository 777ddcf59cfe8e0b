// The `plot` command: one model fitted to a data file (or the data alone),
// drawn by the graph renderer into a PNG, SVG or PDF file the way a new
// graph window shows it.
#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "app/error_handle.h"
#include "cli/common.h"
#include "fit/fit_statistics.h"
#include "fit/fit_types.h"
#include "fit/model_desc.h"
#include "graph/graph_attr.h"
#include "graph/plot_renderer.h"
#include "platform/profile_file.h"
#include "precision/errors.h"
#include "render_qt/graph_file.h"
#include "render_qt/gui_session.h"
#include "render_qt/ui_metrics.h"
#include "session/session.h"

namespace cli {
namespace {

struct PlotOptions {
  std::string file;
  std::string out;
  std::string size;  // "WxH"; empty: the default graph window size
  bool residuals = false;
  bool logX = false;
  bool logY = false;
  bool monochrome = false;
  std::string bands;  // "confidence", "prediction", "both"; empty: none
  ModelFitFlags fit;
};

// A new graph window is 45 by 31 lines of the interface font.
constexpr int kGraphWidthInLines = 45;
constexpr int kGraphHeightInLines = 31;
constexpr int kMaxSide = 20000;

// Parses "WxH" into whole pixels, 1 to kMaxSide each.
std::optional<trendolin::Rect> ParseSize(const std::string& text) {
  const std::size_t cross = text.find_first_of("xX");
  if (cross == std::string::npos) return std::nullopt;
  int sides[2] = {0, 0};
  const std::string parts[2] = {text.substr(0, cross), text.substr(cross + 1)};
  for (int i = 0; i < 2; ++i) {
    if (parts[i].empty() || parts[i].size() > 5 || parts[i].find_first_not_of("0123456789") != std::string::npos) {
      return std::nullopt;
    }
    sides[i] = std::stoi(parts[i]);
    if (sides[i] < 1 || sides[i] > kMaxSide) return std::nullopt;
  }
  return trendolin::Rect{0, 0, sides[0], sides[1]};
}

std::string Number(trendolin::datatype value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
  return text;
}

// Why rendering raised: the axis that cannot be logarithmic, or the error
// record's message (a failing model evaluation).
std::string RenderFailure(const trendolin::GraphAttr& attr, int id) {
  if (attr.Switch(trendolin::kSwLogX) && (attr.xMin <= 0 || attr.xMax <= 0)) {
    return "a logarithmic x axis needs an x range above 0, and this one runs from " + Number(attr.xMin) + " to " +
           Number(attr.xMax) + ".";
  }
  if (attr.Switch(trendolin::kSwLogY) && (attr.yMin <= 0 || attr.yMax <= 0)) {
    return "a logarithmic y axis needs a y range above 0, and this one runs from " + Number(attr.yMin) + " to " +
           Number(attr.yMax) + ".";
  }
  trendolin::ErrorRecord record = trendolin::ErrorInfo;
  record.FitId = id;
  return trendolin::ErrorMessage(record);
}

int RunPlot(const GlobalOptions& global, PlotOptions options) {
  if (!trendolin::GraphFileFormatOf(options.out)) {
    std::cerr << "-o: " << options.out << ": the file name must end in .png, .svg or .pdf\n";
    return kExitUsage;
  }
  std::optional<trendolin::Rect> size;
  if (!options.size.empty()) {
    size = ParseSize(options.size);
    if (!size) {
      std::cerr << "--size takes WIDTHxHEIGHT in pixels, each 1 to " << kMaxSide << ", such as 800x600\n";
      return kExitUsage;
    }
  }
  // Without a model the graph is the data plot, as the Plot command draws it.
  if (options.fit.model.empty()) options.fit.model = std::to_string(trendolin::kPlotModel);

  trendolin::CurveFit& doc = trendolin::CurrentSession().data;
  int id = 0;
  if (int status = FitModelForCommand(global, options.file, options.fit, doc, &id); status != kExitOk) return status;
  const trendolin::ModelDesc desc = trendolin::DescriptorOf(doc, id);
  if (options.residuals && (id == trendolin::kPlotModel || !desc.evaluate)) {
    std::cerr << "--residuals needs a fitted model (-m)\n";
    return kExitUsage;
  }

  const bool regression = desc.kind == trendolin::FIT_LINEAR || desc.kind == trendolin::FIT_NONLINEAR;
  if (!options.bands.empty() && (options.residuals || !regression)) {
    std::cerr << "--bands needs a regression model (-m), not an interpolation, the data plot or --residuals\n";
    return kExitUsage;
  }
  if (!options.bands.empty() && !trendolin::FitBands::Of(doc, id)) {
    std::cerr << "plot: " << desc.name
              << " has no bands: the fit leaves no degrees of freedom or no usable covariance. Nothing was written.\n";
    return kExitFailed;
  }

  trendolin::GraphAttr attr;
  attr.modelId = id;
  attr.plotKind = options.residuals ? trendolin::PlotKind::Residual : trendolin::PlotKind::Fit;
  const platform::ProfileFile profile = platform::ProfileFile::Load(SettingsFilePath(global));
  trendolin::ReadGraphDefaults(profile, attr, doc);
  if (options.logX) attr.SetSwitch(trendolin::kSwLogX, true);
  if (options.logY) attr.SetSwitch(trendolin::kSwLogY, true);
  if (!options.bands.empty()) {
    attr.SetSwitch(trendolin::kSwConfidenceBand, options.bands != "prediction");
    attr.SetSwitch(trendolin::kSwPredictionBand, options.bands != "confidence");
  }

  // Fonts need the Qt application; the rest of the tool runs without it.
  trendolin::GuiSession gui;
  const trendolin::UiMetrics ui = trendolin::MeasureUiMetrics();
  const trendolin::Rect area =
      size ? *size : trendolin::Rect{0, 0, kGraphWidthInLines * ui.textHeight, kGraphHeightInLines * ui.textHeight};
  const trendolin::PlotMetrics metrics = trendolin::MakePlotMetrics(attr, 1.0f, 1.0f);
  const int mode = trendolin::kRenderScreen | (options.monochrome ? trendolin::kRenderMonochrome : 0);

  std::string error;
  try {
    trendolin::ClearErrorInfo();
    const bool written = trendolin::WriteGraphFile(
        options.out, area.Width(), area.Height(),
        [&](trendolin::Surface& surface, const trendolin::Rect& picture) {
          trendolin::Render(surface, attr, metrics, picture, desc, mode, ui);
        },
        &error);
    if (!written) {
      std::cerr << "plot: " << error << '\n';
      return kExitFailed;
    }
  } catch (const trendolin::errnotify&) {
    std::cerr << "plot: " << RenderFailure(attr, id) << " Nothing was written.\n";
    return kExitFailed;
  }
  std::printf("%s\n", options.out.c_str());
  return kExitOk;
}

}  // namespace

void AddPlotCommand(CLI::App& app, const GlobalOptions& global, int& status) {
  auto options = std::make_shared<PlotOptions>();
  CLI::App* plot = app.add_subcommand("plot", "Fit one model (or none) and draw its graph into a PNG, SVG or PDF file");
  plot->add_option("FILE", options->file, "Data file")->required();
  AddModelFitOptions(*plot, options->fit);
  plot->get_option("--model")->required(false)->description("Model id (500..539) or name; without it, the data alone");
  plot->add_option("-o,--output", options->out, "Picture file: .png, .svg or .pdf")->required();
  plot->add_option("--size", options->size, "Picture size WIDTHxHEIGHT in pixels (default: a new graph window's)");
  plot->add_flag("--residuals", options->residuals, "Plot the residuals of the fit instead of data and curve");
  plot->add_flag("--log-x", options->logX, "Logarithmic x axis");
  plot->add_flag("--log-y", options->logY, "Logarithmic y axis");
  plot->add_flag("--monochrome", options->monochrome, "Black on white");
  plot->add_option("--bands", options->bands, "95% bands around a regression's curve: confidence, prediction or both")
      ->check(CLI::IsMember({"confidence", "prediction", "both"}));
  plot->callback([&global, &status, options] { status = RunPlot(global, *options); });
}

}  // namespace cli
