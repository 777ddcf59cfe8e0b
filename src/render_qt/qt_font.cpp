// Font descriptions to Qt fonts.
#include "render_qt/qt_font.h"

#include <QFontDatabase>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

namespace trendolin {
namespace {

// Faces stored in settings files written on other systems, and the installed
// families that share their metrics (so text keeps the width it was laid out
// for). "MS Sans Serif" is the classic dialog face; its closest relative here
// is the Arial-compatible family.
struct FaceAlias {
  const char* face;
  const char* family;
};
constexpr FaceAlias kFaceAliases[] = {
    {"MS Sans Serif", "Liberation Sans"},
    {"Arial", "Liberation Sans"},
    {"Helvetica", "Liberation Sans"},
    {"Times New Roman", "Liberation Serif"},
    {"Courier New", "Liberation Mono"},
};

// Matches the classic layer's 10-point default for a font without a size.
constexpr int kDefaultTenthsOfPoint = 100;

bool SameFace(std::string_view a, const char* b) {
  const std::string_view other(b);
  return a.size() == other.size() &&
         std::equal(a.begin(), a.end(), other.begin(), [](char x, char y) { return std::tolower(x) == std::tolower(y); });
}

}  // namespace

QString FamilyForFace(std::string_view face) {
  for (const FaceAlias& alias : kFaceAliases) {
    if (SameFace(face, alias.face)) return QString::fromLatin1(alias.family);
  }
  const QString family = QString::fromUtf8(face.data(), static_cast<qsizetype>(face.size()));
  if (!family.isEmpty() && QFontDatabase::hasFamily(family)) return family;
  return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
}

int FontPixelSize(int tenthsOfPoint, int dpi) {
  const int tenths = tenthsOfPoint == 0 ? kDefaultTenthsOfPoint : std::abs(tenthsOfPoint);
  const long pixels = std::lround(static_cast<double>(tenths) * dpi / 720.0);
  return static_cast<int>(std::max(1L, pixels));
}

QFont FontFromSpec(const FontSpec& description, int dpi) {
  QFont font(FamilyForFace(description.face));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(FontPixelSize(description.size, dpi));
  // Weights share the 100 (thin) to 900 (black) scale; 0 means "any", drawn normal.
  const int weight = description.weight <= 0 ? 400 : std::clamp(description.weight, 1, 1000);
  font.setWeight(static_cast<QFont::Weight>(weight));
  font.setItalic(description.italic != 0);
  font.setUnderline(description.underline != 0);
  font.setStrikeOut(description.strikeOut != 0);
  return font;
}

}  // namespace trendolin
