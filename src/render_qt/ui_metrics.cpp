// Measuring the user-interface font.
#include "render_qt/ui_metrics.h"

#include <QFontMetrics>
#include <QImage>

#include "render_qt/qt_font.h"

namespace trendolin {

UiMetrics MeasureUiMetrics() {
  QImage screen(1, 1, QImage::Format_RGB32);
  const int dotsPerMetre = static_cast<int>(kScreenDpi / 0.0254 + 0.5);
  screen.setDotsPerMeterX(dotsPerMetre);
  screen.setDotsPerMeterY(dotsPerMetre);
  const FontSpec uiFont{"MS Sans Serif", 90, 700, 0, kBlack, 0, 0, 0};
  const QFontMetrics metrics(FontFromSpec(uiFont, kScreenDpi), &screen);
  return UiMetrics{metrics.ascent() + metrics.descent(), metrics.averageCharWidth()};
}

}  // namespace trendolin
