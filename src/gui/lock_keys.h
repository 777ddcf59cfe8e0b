// The states of Caps Lock and Num Lock, which the status bar shows. Qt has
// no portable query for them; on X11 the keyboard extension answers.
#pragma once

#include <optional>

namespace trendolin::gui {

struct LockKeys {
  bool capsLock = false;
  bool numLock = false;
};

// The current states; nullopt where the windowing system does not tell
// (Wayland, the offscreen platform).
std::optional<LockKeys> ReadLockKeys();

}  // namespace trendolin::gui
