#include "app/debug_box.h"

#include <cstdio>
#include <vector>

#include "platform/ui.h"

namespace trendolin {
namespace {

constexpr const char* kCaption = "Debug Message";

}  // namespace

void DebugBox4(double a, double b, double c, double d) {
  // A huge value prints hundreds of digits in "%f": size the text to fit.
  const int needed = std::snprintf(nullptr, 0, "%f  %f  %f  %f", a, b, c, d);
  std::vector<char> text(static_cast<std::size_t>(needed > 0 ? needed : 0) + 1);
  std::snprintf(text.data(), text.size(), "%f  %f  %f  %f", a, b, c, d);
  platform::TellUser(kCaption, text.data(), platform::Icon::Exclamation);
}

void DebugBoxText(const std::string& text, int value) {
  platform::TellUser(kCaption, text + "," + std::to_string(value), platform::Icon::Exclamation);
}

}  // namespace trendolin
