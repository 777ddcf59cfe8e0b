// A paint device that writes an SVG document while it is painted on, so a
// picture of a million shapes never has to be held whole in memory.
#pragma once

#include <QPaintDevice>
#include <QSize>
#include <QString>

#include <memory>

class QIODevice;

namespace trendolin {

class SvgStreamEngine;

// Paint on it with a QPainter; the document is complete once the painter has
// ended. Text stays text (family, size, weight and style of its font), pens
// and brushes are solid colours, dashes and line ends as the pen says, and
// each change of pen, brush, transform or clip opens a group of its own, only
// when something did change. The view box is `size` in pixels; the document
// is `size` at `resolution` dots per inch.
class SvgStreamDevice final : public QPaintDevice {
 public:
  SvgStreamDevice(QIODevice& out, QSize size, int resolution, const QString& title);
  ~SvgStreamDevice() override;
  SvgStreamDevice(const SvgStreamDevice&) = delete;
  SvgStreamDevice& operator=(const SvgStreamDevice&) = delete;

  QPaintEngine* paintEngine() const override;
  // False once a write to the output device has failed.
  bool Written() const;

 protected:
  int metric(PaintDeviceMetric metric) const override;

 private:
  std::unique_ptr<SvgStreamEngine> engine_;
  QSize size_;
  int resolution_;
};

}  // namespace trendolin
