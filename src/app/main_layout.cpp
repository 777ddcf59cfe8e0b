#include "app/main_layout.h"

#include <algorithm>

#include "platform/profile_file.h"

namespace trendolin {

MainLayout ComputeMainLayout(const MainLayoutInput& in) {
  const int d = in.textHeight;
  const int workHeight = in.height - 2 * in.statusHeight - kMainTop;
  const int g = std::min(in.width / 2 - d - in.scrollWidth, 40 * in.charWidth);
  const int x = in.width - d - g;
  const int q = workHeight / 2 - d / 2;
  const int k = 3 * d / 2;

  MainLayout out;
  out.resultsList = {x + 1, k + kMainTop + 1, x + 1 + (g - 2), k + kMainTop + 1 + (q - k - 2)};
  const int rankRight = x + std::max(5 * in.dialogBaseX + 1, in.rankTextWidth);
  out.rankHeader = {x, kMainTop, rankRight, k + kMainTop};
  out.regressionHeader = {rankRight + 1, kMainTop, x + g - 1, k + kMainTop};
  out.listBorder = {x, k + kMainTop, x + g, q + kMainTop};
  out.preview = {x, d + q + kMainTop, x + g, d + q + kMainTop + q};
  out.grid = {20, kMainTop, 20 + (x - 2 * in.scrollWidth - 20), kMainTop + workHeight};
  return out;
}

MinimumSize MainMinimumSize(int charWidth, int textHeight, int captionHeight, int frameHeight, int statusHeight) {
  const int header = 3 * textHeight / 2;
  return {60 * charWidth, captionHeight + 2 * (frameHeight + 2 * header) + kMainTop + statusHeight};
}

std::array<int, 3> StatusPartEdges(int widestChar, int borderHeight) {
  const int first = 21 * widestChar + 9 * borderHeight;
  const int step = 3 * widestChar + 9 * borderHeight;
  return {first, first + step, first + 2 * step};
}

WindowPlacement MainWindowPlacement(const platform::ProfileFile& profile, bool saveWindowPos, int desktopWidth,
                                    int desktopHeight, int defaultWidth, int defaultHeight) {
  const int centredLeft = (desktopWidth - defaultWidth) / 2;
  const int centredTop = (desktopHeight - defaultHeight) / 2;
  if (!saveWindowPos) return {centredLeft, centredTop, defaultWidth, defaultHeight};

  WindowPlacement p;
  p.left = profile.GetInt(kWindowSection, "Left", desktopWidth / 2 - defaultWidth / 2);
  p.top = profile.GetInt(kWindowSection, "Top", desktopHeight / 2 - defaultHeight / 2);
  p.width = profile.GetInt(kWindowSection, "Right", defaultWidth);
  p.height = profile.GetInt(kWindowSection, "Bottom", defaultHeight);
  // A window stored on a screen that is no longer there comes back to the
  // middle, keeping its size.
  if (p.left > desktopWidth) p.left = centredLeft;
  if (p.top > desktopHeight) p.top = centredTop;
  return FitPlacementToDesktop(p, desktopWidth, desktopHeight, defaultWidth, defaultHeight);
}

WindowPlacement FitPlacementToDesktop(WindowPlacement p, int desktopWidth, int desktopHeight, int defaultWidth,
                                      int defaultHeight) {
  // A size of nothing would open a window nobody can see or grab.
  if (p.width <= 0) p.width = defaultWidth;
  if (p.height <= 0) p.height = defaultHeight;
  if (desktopWidth <= 0 || desktopHeight <= 0) return p;  // nothing measured to fit to
  p.width = std::min(p.width, desktopWidth);
  p.height = std::min(p.height, desktopHeight);
  // In 64 bits: a stored left of 2147483647 plus a width overflows an int.
  const auto fit = [](int start, int size, int room) {
    const long long end = static_cast<long long>(start) + size;
    if (end > room) start = room - size;
    return std::max(start, 0);
  };
  p.left = fit(p.left, p.width, desktopWidth);
  p.top = fit(p.top, p.height, desktopHeight);
  return p;
}

bool SaveMainWindowPlacement(const WindowPlacement& placement, const std::string& path, std::string* error) {
  std::optional<platform::ProfileFile> profile = platform::ProfileFile::LoadForUpdate(path, error);
  if (!profile) return false;
  profile->Set(kWindowSection, "Left", std::to_string(placement.left));
  profile->Set(kWindowSection, "Top", std::to_string(placement.top));
  profile->Set(kWindowSection, "Right", std::to_string(placement.width));
  profile->Set(kWindowSection, "Bottom", std::to_string(placement.height));
  return profile->Save(path, error);
}

}  // namespace trendolin
