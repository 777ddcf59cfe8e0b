#include "session/session.h"

#include <cstdio>
#include <cstdlib>

#include "platform/ui.h"

namespace trendolin {
namespace {

thread_local Session* boundSession = nullptr;

}  // namespace

Session::Session(platform::Ui* sessionUi) : ui(sessionUi), settings(DefaultAppSettings()) {
  // The engine's notices go to the Ui of the thread the session works on.
  Notices& notices = engine.notices;
  notices.pumpEvents = [] { platform::CurrentUi().PumpEvents(); };
  notices.setBusy = [](bool busy) { platform::CurrentUi().SetBusy(busy); };
  notices.statusText = [](int field, const std::string& text) { platform::CurrentUi().SetStatusText(field, text); };
  notices.setCaption = [](const std::string& caption) { platform::CurrentUi().SetCaption(caption); };
  notices.tell = [](const std::string& caption, const std::string& text, bool warning) {
    platform::TellUser(caption, text, warning ? platform::Icon::Exclamation : platform::Icon::None);
  };
}

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


}  // namespace trendolin
