#include "gui/crash_notice_run.h"

#include <signal.h>

#include <QApplication>
#include <cstdlib>

#include "app/crash_notice.h"
#include "gui/qt_ui.h"
#include "platform/ui.h"

namespace trendolin::gui {
namespace {

bool Set(const char* name) {
  const char* value = std::getenv(name);
  return value && *value;
}

// A run started from a terminal or a service without a desktop has no one to
// show a box to; Qt would only fail to connect.
bool DisplayAvailable() { return Set("QT_QPA_PLATFORM") || Set("DISPLAY") || Set("WAYLAND_DISPLAY"); }

}  // namespace

int RunCrashNotice(int argc, char** argv, int code) {
  // The crashed run's handler still had its signal blocked when it started
  // this one, and the mask outlives the exec.
  sigset_t none;
  sigemptyset(&none);
  pthread_sigmask(SIG_SETMASK, &none, nullptr);
  if (!DisplayAvailable()) return code;
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Trendolin"));
  QtUi ui(nullptr);
  platform::ScopedUi installed(ui);
  TellCrash(code);
  return code;
}

}  // namespace trendolin::gui
