#include "gui/lock_keys.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#ifdef TRENDOLIN_HAVE_X11
#include <X11/XKBlib.h>
#endif

namespace trendolin::gui {

std::optional<LockKeys> ReadLockKeys() {
#ifdef TRENDOLIN_HAVE_X11
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  if (x11 == nullptr || x11->display() == nullptr) return std::nullopt;
  unsigned int state = 0;
  if (XkbGetIndicatorState(x11->display(), XkbUseCoreKbd, &state) != Success) return std::nullopt;
  // The core keyboard's first two indicators are Caps Lock and Num Lock.
  return LockKeys{(state & 1u) != 0, (state & 2u) != 0};
#else
  return std::nullopt;
#endif
}

}  // namespace trendolin::gui
