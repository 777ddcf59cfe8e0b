// What the engine tells the person while it works: progress in the status
// bar, a busy pointer, the window caption, a short warning, and a chance for
// the rest of the program to run during long work. The engine knows nothing
// of the interface; the session that owns the engine state forwards these to
// its Ui. Each does nothing while it is empty.
#pragma once

#include <functional>
#include <string>

namespace trendolin {

struct Notices {
  std::function<void()> pumpEvents;
  std::function<void(bool)> setBusy;
  std::function<void(int field, const std::string& text)> statusText;
  std::function<void(const std::string& caption)> setCaption;
  // A message with an OK button; `warning` shows the exclamation sign.
  std::function<void(const std::string& caption, const std::string& text, bool warning)> tell;
};

// The notices of the session this thread works for.
void PumpEvents();
void SetBusy(bool busy);
void ShowStatusText(int field, const std::string& text);
void ShowCaption(const std::string& caption);
void Tell(const std::string& caption, const std::string& text, bool warning = true);

}  // namespace trendolin
