// One frame of the preview during a fit of 10^5 points: drawn whole, and as
// the animation draws it (the curve over the kept rest of the picture).
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <cmath>

#include "app/app_settings.h"
#include "data/curve_fit.h"
#include "fit/model_desc.h"
#include "graph/preview.h"
#include "platform/profile_file.h"
#include "render_qt/gui_session.h"
#include "render_qt/qt_surface.h"
#include "render_qt/ui_metrics.h"
#include "session/session.h"
#include "session/fit_routine_table.h"

namespace {

using namespace trendolin;

struct Scene {
  Scene() {
    doc.AllocateData(100000, 2, 0);
    for (int i = 0; i < 100000; ++i) {
      const float x = 0.1f + static_cast<float>(i) * 1e-4f;
      doc.At(i, 0) = x;
      doc.At(i, 1) = 5.0f / (1.0f + 9.0f * std::exp(-0.9f * x)) + 0.05f * std::sin(17.0f * static_cast<float>(i));
    }
    CurrentSession().settings = DefaultAppSettings();
    FitRoutineOf(522)(doc, 522);
  }
  void Paint(QImage& image, int layers) {
    QPainter painter(&image);
    QtSurface surface(painter, false);
    PaintPreview(surface, Rect{0, 0, image.width(), image.height()}, profile, doc, 522, true, ui, layers);
  }
  GuiSession session;
  CurveFit doc;
  platform::ProfileFile profile;
  UiMetrics ui = MeasureUiMetrics();
};

Scene& TheScene() {
  static Scene scene;
  return scene;
}

QImage Blank() {
  QImage image(280, 240, QImage::Format_RGB32);
  image.fill(0xffd4d0c8);
  return image;
}

void BM_PreviewWholeFrame(benchmark::State& state) {
  Scene& scene = TheScene();
  for (auto _ : state) {
    QImage image = Blank();
    scene.Paint(image, 0);
    benchmark::DoNotOptimize(image.bits());
  }
}
BENCHMARK(BM_PreviewWholeFrame)->Unit(benchmark::kMillisecond);

void BM_PreviewAnimationFrame(benchmark::State& state) {
  Scene& scene = TheScene();
  QImage base = Blank();
  scene.Paint(base, kRenderWithoutCurve);
  for (auto _ : state) {
    QImage frame = base.copy();
    scene.Paint(frame, kRenderCurveOnly);
    benchmark::DoNotOptimize(frame.bits());
  }
}
BENCHMARK(BM_PreviewAnimationFrame)->Unit(benchmark::kMillisecond);

}  // namespace

