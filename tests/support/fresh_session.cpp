// Every test runs in a session of its own, made before the test's fixture
// and thrown away after it: no test sees what another left behind.
#include <gtest/gtest.h>

#include <memory>

#include "session/session.h"

namespace {

class FreshSessionPerTest : public ::testing::EmptyTestEventListener {
 public:
  void OnTestStart(const ::testing::TestInfo& /*test*/) override {
    session_ = std::make_unique<trendolin::Session>();
    bound_ = std::make_unique<trendolin::SessionScope>(*session_);
  }
  void OnTestEnd(const ::testing::TestInfo& /*test*/) override {
    bound_.reset();
    session_.reset();
  }

 private:
  std::unique_ptr<trendolin::Session> session_;
  std::unique_ptr<trendolin::SessionScope> bound_;
};

const bool installed = [] {
  ::testing::UnitTest::GetInstance()->listeners().Append(new FreshSessionPerTest);
  return true;
}();

}  // namespace
