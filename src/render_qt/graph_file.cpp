// Graph pictures rendered in memory, then written in one piece.
#include "render_qt/graph_file.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <algorithm>
#include <cctype>
#include <cmath>

#include "platform/profile_file.h"
#include "render_qt/qt_font.h"
#include "render_qt/qt_surface.h"

namespace trendolin {
namespace {

// Larger pictures are refused rather than risking an allocation that fails
// half-way: 20000 x 20000 pixels is 1.6 GB as an image.
constexpr int kMaxPictureSide = 20000;

std::string LowerExtension(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  const std::size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  std::string ext = path.substr(dot + 1);
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
  return ext;
}

// Paints `draw` on `painter` through a surface and ends the painting.
// Returns false when the device could not be painted on.
bool Paint(QPainter& painter, bool recorded, int width, int height, const DrawGraphFn& draw) {
  if (!painter.isActive()) return false;
  {
    QtSurface surface(painter, recorded);
    draw(surface, Rect{0, 0, width, height});
  }
  return painter.end();
}

bool RenderPng(int width, int height, const DrawGraphFn& draw, QByteArray& bytes) {
  QImage image(width, height, QImage::Format_RGB32);
  if (image.isNull()) return false;
  const int dotsPerMetre = static_cast<int>(kScreenDpi / 0.0254 + 0.5);
  image.setDotsPerMeterX(dotsPerMetre);
  image.setDotsPerMeterY(dotsPerMetre);
  image.fill(Qt::white);
  QPainter painter(&image);
  if (!Paint(painter, false, width, height, draw)) return false;
  QBuffer buffer(&bytes);
  return buffer.open(QIODevice::WriteOnly) && image.save(&buffer, "PNG");
}

bool RenderSvg(int width, int height, const DrawGraphFn& draw, QByteArray& bytes) {
  QBuffer buffer(&bytes);
  if (!buffer.open(QIODevice::WriteOnly)) return false;
  QSvgGenerator generator;
  generator.setOutputDevice(&buffer);
  generator.setResolution(kScreenDpi);
  generator.setSize(QSize(width, height));
  generator.setViewBox(QRect(0, 0, width, height));
  generator.setTitle(QStringLiteral("Trendolin graph"));
  QPainter painter(&generator);
  return Paint(painter, true, width, height, draw);
}

bool RenderPdf(int width, int height, const DrawGraphFn& draw, QByteArray& bytes) {
  QBuffer buffer(&bytes);
  if (!buffer.open(QIODevice::WriteOnly)) return false;
  QPdfWriter writer(&buffer);
  writer.setCreator(QStringLiteral("Trendolin"));
  writer.setTitle(QStringLiteral("Trendolin graph"));
  writer.setResolution(kScreenDpi);
  // One page the size of the picture at screen resolution, without margins.
  // Page sizes are whole points: round up, and stretch the picture by the
  // fraction of a point that adds so that it still fills the page.
  const QSize points(static_cast<int>(std::ceil(width * 72.0 / kScreenDpi)),
                     static_cast<int>(std::ceil(height * 72.0 / kScreenDpi)));
  const QPageSize page(points, QString(), QPageSize::ExactMatch);
  writer.setPageLayout(QPageLayout(page, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
  QPainter painter(&writer);
  painter.scale(points.width() * kScreenDpi / (72.0 * width), points.height() * kScreenDpi / (72.0 * height));
  return Paint(painter, true, width, height, draw);
}

}  // namespace

std::optional<GraphFileFormat> GraphFileFormatOf(const std::string& path) {
  const std::string ext = LowerExtension(path);
  if (ext == "png") return GraphFileFormat::Png;
  if (ext == "svg") return GraphFileFormat::Svg;
  if (ext == "pdf") return GraphFileFormat::Pdf;
  return std::nullopt;
}

bool WriteGraphFile(const std::string& path, int width, int height, const DrawGraphFn& draw, std::string* error) {
  auto fail = [error](const std::string& why) {
    if (error) *error = why;
    return false;
  };
  const std::optional<GraphFileFormat> format = GraphFileFormatOf(path);
  if (!format) return fail("cannot write " + path + ": the file name must end in .png, .svg or .pdf");
  if (width < 1 || height < 1 || width > kMaxPictureSide || height > kMaxPictureSide) {
    return fail("cannot write " + path + ": a picture is 1 to " + std::to_string(kMaxPictureSide) +
                " pixels wide and high, not " + std::to_string(width) + "x" + std::to_string(height));
  }

  QByteArray bytes;
  bool rendered = false;
  switch (*format) {
    case GraphFileFormat::Png: rendered = RenderPng(width, height, draw, bytes); break;
    case GraphFileFormat::Svg: rendered = RenderSvg(width, height, draw, bytes); break;
    case GraphFileFormat::Pdf: rendered = RenderPdf(width, height, draw, bytes); break;
  }
  if (!rendered || bytes.isEmpty()) return fail("cannot write " + path + ": the picture could not be drawn");
  return platform::WriteFileAtomically(path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
                                       error);
}

}  // namespace trendolin
