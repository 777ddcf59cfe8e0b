// The Qt application object that drawing text needs, for programs that
// otherwise have no Qt at all (the command-line tool, tests).
#pragma once

#include <memory>

class QGuiApplication;

namespace trendolin {

// While it lives there is a QGuiApplication: the one already running, or its
// own. Without a chosen platform (QT_QPA_PLATFORM unset) it uses the
// offscreen one, so it works without a display.
class GuiSession {
 public:
  GuiSession();
  ~GuiSession();
  GuiSession(const GuiSession&) = delete;
  GuiSession& operator=(const GuiSession&) = delete;

 private:
  // QGuiApplication keeps references to its argument count and vector.
  int argc_ = 1;
  char name_[16] = "trendolin";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QGuiApplication> app_;
};

}  // namespace trendolin
