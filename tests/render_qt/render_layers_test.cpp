// A picture drawn in two layers (everything but the fitted curve, then the
// curve alone) must be the very picture drawn at once: the preview animates
// a fit by redrawing only the curve over the first layer.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <cmath>

#include "graph/graph_attr.h"
#include "graph/plot_renderer.h"
#include "graph/preview.h"
#include "platform/profile_file.h"
#include "render_qt/qt_surface.h"
#include "render_qt/ui_metrics.h"
#include "support/fit_fixture.h"

namespace trendolin {
namespace {

class RenderLayersTest : public testsupport::FitFixture {
 protected:
  void SetUp() override {
    FitFixture::SetUp();
    ASSERT_EQ(doc_.AllocateData(40, 3, 1), 0);
    for (int i = 0; i < 40; ++i) {
      const float x = 0.3f * static_cast<float>(i);
      doc_.At(i, 0) = x;
      doc_.At(i, 1) = 2.0f / (1.0f + 9.0f * std::exp(-0.9f * x)) + 0.03f * std::sin(7.0f * static_cast<float>(i));
      doc_.At(i, 2) = 0.02f + 0.002f * static_cast<float>(i);
    }
    ASSERT_EQ(Fit(522), 0);
  }

  static QImage Blank() {
    QImage image(420, 300, QImage::Format_RGB32);
    image.fill(0xffd4d0c8);
    return image;
  }
  // Draws onto `image` through the screen renderer with the given mode bits.
  void Draw(QImage& image, int layers) {
    QPainter painter(&image);
    QtSurface surface(painter, false);
    GraphAttr attr;
    ReadGraphDefaults(platform::ProfileFile(), attr, doc_);
    attr.modelId = 522;
    Render(surface, attr, MakePlotMetrics(attr, 1, 1), Rect{0, 0, image.width(), image.height()},
           DescriptorOf(doc_, 522), kRenderScreen | layers, MeasureUiMetrics());
  }
  void Preview(QImage& image, int layers) {
    QPainter painter(&image);
    QtSurface surface(painter, false);
    PaintPreview(surface, Rect{0, 0, image.width(), image.height()}, platform::ProfileFile(), doc_, 522, true,
                 MeasureUiMetrics(), layers);
  }
};

TEST_F(RenderLayersTest, TwoLayersGiveTheSamePictureAsOne) {
  QImage whole = Blank();
  Draw(whole, 0);
  QImage layered = Blank();
  Draw(layered, kRenderWithoutCurve);
  const QImage withoutCurve = layered.copy();
  Draw(layered, kRenderCurveOnly);
  EXPECT_NE(withoutCurve, whole);  // the curve is really a layer of its own
  EXPECT_EQ(layered, whole);
}

TEST_F(RenderLayersTest, PreviewFramesMatchTheFullPreview) {
  QImage whole = Blank();
  Preview(whole, 0);
  QImage frame = Blank();
  Preview(frame, kRenderWithoutCurve);
  Preview(frame, kRenderCurveOnly);
  EXPECT_EQ(frame, whole);
  // With the preview off there is no curve to add: the note stays as it was.
  QImage note = Blank();
  {
    QPainter painter(&note);
    QtSurface surface(painter, false);
    PaintPreview(surface, Rect{0, 0, note.width(), note.height()}, platform::ProfileFile(), doc_, 522, false,
                 MeasureUiMetrics(), 0);
  }
  QImage noteAgain = note.copy();
  {
    QPainter painter(&noteAgain);
    QtSurface surface(painter, false);
    PaintPreview(surface, Rect{0, 0, note.width(), note.height()}, platform::ProfileFile(), doc_, 522, false,
                 MeasureUiMetrics(), kRenderCurveOnly);
  }
  EXPECT_EQ(noteAgain, note);
}

}  // namespace
}  // namespace trendolin
