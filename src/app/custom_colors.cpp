// Loading and saving the colour chooser's custom colours.
#include "app/custom_colors.h"

#include <optional>

#include "platform/profile_file.h"

namespace trendolin {
namespace {

std::string KeyName(std::size_t index) { return "Color" + std::to_string(index); }

// Only the three colour bytes mean anything to the chooser; whatever else a
// hand-edited value carries (a sign, a high byte) is dropped.
constexpr ColorValue kColorBits = 0x00FFFFFF;

}  // namespace

void LoadCustomColors(std::span<ColorValue> colors, const std::string& path) {
  const platform::ProfileFile profile = platform::ProfileFile::Load(path);
  for (std::size_t i = 0; i < colors.size(); ++i) {
    colors[i] = static_cast<ColorValue>(profile.GetInt(kCustomColorsSection, KeyName(i), 0)) & kColorBits;
  }
}

bool SaveCustomColors(std::span<const ColorValue> colors, const std::string& path, std::string* error) {
  std::optional<platform::ProfileFile> profile = platform::ProfileFile::LoadForUpdate(path, error);
  if (!profile) return false;
  for (std::size_t i = 0; i < colors.size(); ++i) {
    profile->Set(kCustomColorsSection, KeyName(i), std::to_string(colors[i] & kColorBits));
  }
  return profile->Save(path, error);
}

}  // namespace trendolin
