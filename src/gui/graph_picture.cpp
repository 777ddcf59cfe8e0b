// Graph pictures for the screen and the clipboard.
#include "gui/graph_picture.h"

#include <QBuffer>
#include <QByteArray>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QPainter>
#include <QSvgGenerator>

#include "app/error_handle.h"
#include "fit/model_desc.h"
#include "graph/plot_renderer.h"
#include "graph/system_colours.h"
#include "gui/graph_window.h"
#include "platform/resource_strings.h"
#include "precision/errors.h"
#include "render_qt/qt_surface.h"

namespace trendolin::gui {
namespace {

constexpr int kCopyFailedText = 60;  // in place of a graph a picture cannot hold

void DrawFailureNote(Surface& surface, const Rect& area, int textId) {
  const UiMetrics& ui = ScreenUiMetrics();
  surface.Save();
  surface.SelectPen(Pen{PenStyle::Solid, 0, kSystemButtonFace});
  surface.SelectBrush(Brush{false, kSystemButtonFace});
  surface.Rectangle(area);
  surface.SelectFont(InterfaceFontSpec());
  surface.SetTransparentText(true);
  surface.SetTextColour(kSystemButtonText);
  const Rect box{area.left + 15 * ui.charWidth, area.top + area.Height() * 2 / 5, area.right - 3 * ui.charWidth,
                 area.bottom};
  surface.DrawWrappedText(box, platform::ResourceString(textId));
  surface.Restore();
}

}  // namespace

const FontSpec& InterfaceFontSpec() {
  static const FontSpec font{"MS Sans Serif", 90, 700, 0, kSystemButtonText};
  return font;
}

void RenderGraphOrNote(Surface& surface, CurveFit& doc, GraphAttr& record, const Rect& area, int outputMode,
                       const char* marker, int failureText) {
  try {
    ClearErrorInfo();
    const ModelDesc desc = DescriptorOf(doc, record.modelId);
    Render(surface, record, MakePlotMetrics(record, 1.0f, 1.0f), area, desc, outputMode, ScreenUiMetrics());
  } catch (const errnotify&) {
    LogExceptionMarker(marker);
    DrawFailureNote(surface, area, failureText);
  }
}

QImage ScreenImage(QSize size, qreal ratio, int dpi, const QColor& fill) {
  QImage image(size * ratio, QImage::Format_RGB32);
  if (image.isNull()) return image;
  image.setDevicePixelRatio(ratio);
  const int dotsPerMetre = static_cast<int>(dpi / 0.0254 + 0.5);
  image.setDotsPerMeterX(dotsPerMetre);
  image.setDotsPerMeterY(dotsPerMetre);
  image.fill(fill);
  return image;
}

void CopyGraphToClipboard(CurveFit& doc, GraphAttr& record, QSize size, int dpi, const QString& title) {
  const Rect box{0, 0, size.width(), size.height()};
  // No output bits: the screen layout, without storing the plot rectangle
  // (the window's zoom works on the rectangle of what it shows).
  constexpr int kPictureMode = 0;
  auto draw = [&](QPainter& painter, bool recorded) {
    QtSurface surface(painter, recorded);
    RenderGraphOrNote(surface, doc, record, box, kPictureMode, "DrawPlotonMetafile_1", kCopyFailedText);
  };

  QImage image = ScreenImage(size, 1.0, dpi, Qt::white);
  if (image.isNull()) return;
  {
    QPainter painter(&image);
    draw(painter, false);
  }

  QByteArray svg;
  {
    QBuffer buffer(&svg);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setResolution(dpi);
    generator.setSize(size);
    generator.setViewBox(QRect(QPoint(0, 0), size));
    generator.setTitle(title);
    QPainter painter(&generator);
    draw(painter, true);
  }

  auto* mime = new QMimeData;
  mime->setImageData(image);
  if (!svg.isEmpty()) mime->setData(QStringLiteral("image/svg+xml"), svg);
  QGuiApplication::clipboard()->setMimeData(mime);
}

}  // namespace trendolin::gui
