#include "app/crash_notice.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "app/fault_handlers.h"
#include "data/curve_fit.h"
#include "platform/resource_strings.h"
#include "platform/ui.h"

namespace trendolin {
namespace {

constexpr int kBadPointerCaption = 92;
constexpr int kBadPointerText = 93;
constexpr int kAbortText = 94;
constexpr int kUnexpectedCaption = 95;
constexpr int kUnexpectedText = 96;

}  // namespace

std::optional<int> CrashNoticeCode(int argc, const char* const* argv) {
  if (argc < 2 || std::strcmp(argv[1], "--crash-notice") != 0) return std::nullopt;
  if (argc < 3) return kCrashBadPointer;
  char* end = nullptr;
  const long code = std::strtol(argv[2], &end, 10);
  if (end == argv[2] || *end != '\0' || code < 1 || code > 255) return kCrashBadPointer;
  return static_cast<int>(code);
}

void TellCrash(int code) {
  using platform::Icon;
  switch (code) {
    case kCrashBadPointer:
      platform::ResourceMessageBox(kBadPointerCaption, kBadPointerText, Icon::Error, platform::Buttons::Ok,
                                   platform::Answer::Ok);
      break;
    case kCrashAbort:
      platform::TellUser(kAppCaption, std::string(platform::ResourceString(kAbortText)), Icon::Error);
      break;
    case kCrashUnexpectedException:
      platform::ResourceMessageBox(kUnexpectedCaption, kUnexpectedText, Icon::Exclamation, platform::Buttons::Ok,
                                   platform::Answer::Ok);
      // The exception itself stayed with the program that ended.
      platform::TellUser("", "No exception information is available.", Icon::Exclamation);
      break;
    default:
      break;
  }
}

}  // namespace trendolin
