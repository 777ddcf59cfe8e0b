// Turns the program's font descriptions into Qt fonts: face names mapped to
// the fonts a Linux desktop has, sizes in points turned into whole pixels.
#pragma once

#include <QFont>
#include <QString>

#include <string_view>

#include "graph/surface.h"

namespace trendolin {

// The resolution every screen-like picture is drawn and measured at.
inline constexpr int kScreenDpi = 96;

// The family drawn for `face`: the metric-compatible free fonts for the
// classic faces graphs name, the face itself when it is installed, else the
// desktop's default sans-serif family.
QString FamilyForFace(std::string_view face);

// The pixel height of the em square of a font of `tenthsOfPoint` on a device
// of `dpi` dots per inch, rounded to the nearest pixel (at least 1).
int FontPixelSize(int tenthsOfPoint, int dpi);

// The font `description` describes on a device of `dpi` dots per inch. The angle and
// colour are not part of a QFont: the surface applies them when drawing.
QFont FontFromSpec(const FontSpec& description, int dpi);

}  // namespace trendolin
