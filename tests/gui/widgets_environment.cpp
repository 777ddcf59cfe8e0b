// Every widget test runs inside one QApplication on the offscreen platform,
// whatever display the machine has, with a private settings folder.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <memory>

#include "support/temp_dir.h"

namespace {

class WidgetsEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    settings_ = std::make_unique<testsupport::TempDir>();
    ::setenv("TRENDOLIN_CONFIG_DIR", settings_->Path().c_str(), 1);
    app_ = std::make_unique<QApplication>(argc_, argv_);
  }
  void TearDown() override {
    app_.reset();
    settings_.reset();
  }

 private:
  int argc_ = 1;
  char name_[16] = "trendolin-test";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<testsupport::TempDir> settings_;
  std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] testing::Environment* const kWidgetsEnvironment =
    testing::AddGlobalTestEnvironment(new WidgetsEnvironment);

}  // namespace
