#include "gui/status_field.h"

#include <QPainter>
#include <QStyle>

#include <algorithm>

namespace trendolin::gui {
namespace {

// Characters a cut field keeps at least, besides the ellipsis.
constexpr int kFewCharacters = 3;

}  // namespace

StatusField::StatusField(QWidget* parent) : QLabel(parent) {
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setTextFormat(Qt::PlainText);
  setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

int StatusField::WidestCharacter(const QFontMetrics& metrics) {
  int widest = 1;
  for (char16_t c = 0x20; c <= 0xff; ++c) {
    if (c >= 0x7f && c < 0xa0) continue;
    widest = std::max(widest, metrics.horizontalAdvance(QChar(c)));
  }
  return widest;
}

int StatusField::Padding() const {
  // The space a framed label keeps between its frame and its text.
  return std::max(1, fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2);
}

QRect StatusField::TextRect() const { return contentsRect().adjusted(Padding(), 0, -Padding(), 0); }

int StatusField::WidthToShow(const QString& text) const {
  // The contents margins hold the frame; one pixel spare for rounding.
  const QMargins margins = contentsMargins();
  return margins.left() + margins.right() + 2 * Padding() + fontMetrics().horizontalAdvance(text) + 1;
}

QSize StatusField::sizeHint() const {
  const QSize whole = QLabel::sizeHint();
  return {preferredWidth_ > 0 ? preferredWidth_ : whole.width(), whole.height()};
}

QSize StatusField::minimumSizeHint() const {
  const QString few = QString(kFewCharacters, QLatin1Char('x')) + QChar(0x2026);
  return {WidthToShow(few), QLabel::minimumSizeHint().height()};
}

void StatusField::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  drawFrame(&painter);
  const QRect area = TextRect();
  const QString whole = text();
  const QString shown = fontMetrics().elidedText(whole, Qt::ElideRight, area.width());
  const QString tip = shown == whole ? QString() : whole;
  if (toolTip() != tip) setToolTip(tip);
  style()->drawItemText(&painter, area, static_cast<int>(alignment()), palette(), isEnabled(), shown,
                        foregroundRole());
}

}  // namespace trendolin::gui
