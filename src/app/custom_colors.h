// The sixteen custom colours of the colour chooser, kept in the settings file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace trendolin {

inline constexpr const char* kCustomColorsSection = "Custom Colors";
inline constexpr std::size_t kCustomColorCount = 16;

// A colour as the chooser takes it: red in the low byte, then green, then blue.
using ColorValue = std::uint32_t;

// Fills `colors` from keys "Color0", "Color1", ... of the settings file at
// `path`; an absent key or a missing file gives 0 (black).
void LoadCustomColors(std::span<ColorValue> colors, const std::string& path);

// Writes `colors` back as decimal numbers and saves the file in one step,
// keeping everything else in it. On failure returns false and, if `error` is
// given, a reason for a person.
bool SaveCustomColors(std::span<const ColorValue> colors, const std::string& path,
                      std::string* error = nullptr);

}  // namespace trendolin
