#include "session/session.h"

#include <cstdio>
#include <cstdlib>

#include "platform/ui.h"

namespace trendolin {
namespace {

thread_local Session* boundSession = nullptr;

}  // namespace

Session::Session(platform::Ui* sessionUi) : ui(sessionUi), settings(DefaultAppSettings()) {}

Session& CurrentSession() {
  if (boundSession == nullptr) {
    std::fputs("trendolin: internal error: session state used on a thread that works for no session\n", stderr);
    std::abort();
  }
  return *boundSession;
}

SessionScope::SessionScope(Session& session)
    : previous_(boundSession), engine_(&session.engine), previousUi_(platform::InstallUi(session.ui)) {
  boundSession = &session;
}

SessionScope::~SessionScope() {
  boundSession = previous_;
  platform::InstallUi(previousUi_);
}

DocumentHooks& Hooks() { return CurrentSession().hooks; }

}  // namespace trendolin
