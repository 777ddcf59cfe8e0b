#include "data/notices.h"

#include "fit/engine_state.h"

namespace trendolin {

void PumpEvents() {
  if (const auto& pump = CurrentEngine().notices.pumpEvents) pump();
}

void SetBusy(bool busy) {
  if (const auto& set = CurrentEngine().notices.setBusy) set(busy);
}

void ShowStatusText(int field, const std::string& text) {
  if (const auto& show = CurrentEngine().notices.statusText) show(field, text);
}

void ShowCaption(const std::string& caption) {
  if (const auto& show = CurrentEngine().notices.setCaption) show(caption);
}

void Tell(const std::string& caption, const std::string& text, bool warning) {
  if (const auto& tell = CurrentEngine().notices.tell) tell(caption, text, warning);
}

}  // namespace trendolin
