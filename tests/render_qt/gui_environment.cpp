// Every test of the Qt surface runs with a QGuiApplication on the offscreen
// platform, whatever display the machine has.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "render_qt/gui_session.h"

namespace {

class GuiEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    session_ = std::make_unique<trendolin::GuiSession>();
  }
  void TearDown() override { session_.reset(); }

 private:
  std::unique_ptr<trendolin::GuiSession> session_;
};

[[maybe_unused]] testing::Environment* const kGuiEnvironment =
    testing::AddGlobalTestEnvironment(new GuiEnvironment);

}  // namespace
