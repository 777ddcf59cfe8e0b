// Pictures of 10^5 and 10^6 points written as PNG, SVG and PDF files, the way
// the command line's plot draws them: the data plot of a noisy sine, filled
// circles at the graph window's default size. Figures only; the comparison
// with gnuplot on the same points is bench/plot_vs_gnuplot.sh.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "bench_support.h"
#include "data/curve_fit.h"
#include "fit/fit_types.h"
#include "fit/model_desc.h"
#include "graph/graph_attr.h"
#include "graph/plot_renderer.h"
#include "platform/profile_file.h"
#include "render_qt/graph_file.h"
#include "render_qt/gui_session.h"
#include "render_qt/ui_metrics.h"

namespace {

using namespace trendolin;

struct Scene {
  explicit Scene(int points) {
    doc.AllocateData(points, 2, 0);
    std::srand(7);
    for (int i = 0; i < points; ++i) {
      const double x = 1000.0 * i / points;
      doc.At(i, 0) = static_cast<float>(x);
      doc.At(i, 1) = static_cast<float>(50 + 30 * std::sin(x / 60) + 40.0 * std::rand() / RAND_MAX - 20);
    }
    doc.CalcDataStats();
    attr.modelId = kPlotModel;
    ReadGraphDefaults(platform::ProfileFile(), attr, doc);
  }
  void Write(const std::string& path) {
    const ModelDesc desc = DescriptorOf(doc, kPlotModel);
    const PlotMetrics metrics = MakePlotMetrics(attr, 1.0f, 1.0f);
    const UiMetrics ui = MeasureUiMetrics();
    std::string error;
    const bool written = WriteGraphFile(
        path, 630, 434, [&](Surface& s, const Rect& area) { Render(s, attr, metrics, area, desc, kRenderScreen, ui); },
        &error);
    if (!written) std::abort();
  }
  CurveFit doc;
  GraphAttr attr;
};

void BM_Picture(benchmark::State& state, const char* extension) {
  static GuiSession gui;
  benchsupport::ScratchFolder folder("trendolin-picture-bench");
  Scene scene(static_cast<int>(state.range(0)));
  const std::string path = std::string("plot.") + extension;
  for (auto _ : state) scene.Write(path);
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
}

BENCHMARK_CAPTURE(BM_Picture, png, "png")->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Picture, svg, "svg")->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Picture, pdf, "pdf")->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace
