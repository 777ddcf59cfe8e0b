// A QGuiApplication on demand, offscreen unless a platform is chosen.
#include "render_qt/gui_session.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>

namespace trendolin {
namespace {

// Qt's start-up notes (no runtime folder for a user without a desktop
// session, platform details) are not the user's business; errors still show.
void DropStartupNotes(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(message));
}

}  // namespace

GuiSession::GuiSession() {
  if (QGuiApplication::instance() != nullptr) return;
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (platform == nullptr || *platform == '\0') ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  const QtMessageHandler previous = qInstallMessageHandler(DropStartupNotes);
  app_ = std::make_unique<QGuiApplication>(argc_, argv_);
  qInstallMessageHandler(previous);
}

GuiSession::~GuiSession() = default;

}  // namespace trendolin
