// Error reports: the message, the silent cases, suppression during searches,
// and the out-of-memory path.
#include "app/error_handle.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/out_of_memory.h"
#include "app/run_flags.h"
#include "fit/engine_state.h"
#include "platform/headless_ui.h"
#include "platform/resource_strings.h"

namespace trendolin {
namespace {

using platform::Answer;
using platform::HeadlessUi;
using platform::ScopedUi;
using platform::UiEvent;

ErrorRecord Record(int id, int fitId, const char* routine) {
  ErrorRecord r;
  r.id = id;
  r.FitId = fitId;
  r.routine = routine;
  return r;
}

TEST(ErrorHandleTest, ReportNamesTheModelAndTheRoutine) {
  HeadlessUi ui;
  ScopedUi installed(ui);
  ErrorRecord r = Record(kErrDomain, 505, "sqrt");
  ErrorHandle(r);
  auto reports = ui.EventsOf(UiEvent::Kind::ErrorReport);
  ASSERT_EQ(reports.size(), 1u);
  const std::string expected =
      platform::FormatResource(platform::ResourceString(20), {std::string(platform::ResourceString(1505)), "sqrt"});
  EXPECT_EQ(reports[0].text, expected);
  EXPECT_NE(reports[0].text.find("sqrt"), std::string::npos);
  EXPECT_EQ(reports[0].caption, "fpe.html") << "the Help button's topic";
}

TEST(ErrorHandleTest, OnlyModelsWithInitialGuessesAreAdvisedToTryOthers) {
  const auto advised = [](int fitId, int id) {
    return ErrorMessage(Record(id, fitId, "f")).find("initial guesses") != std::string::npos;
  };
  for (const int id : {kErrDivideByZero, kErrDomain}) {
    EXPECT_TRUE(advised(510, id));
    EXPECT_TRUE(advised(539, id)) << "the user model";
    for (const int fitId : {500, 502, 534, 536, 538}) EXPECT_FALSE(advised(fitId, id)) << fitId << " " << id;
  }
  // The rest of the advice stays, ending as a sentence.
  const std::string spline = ErrorMessage(Record(kErrDivideByZero, 536, "f"));
  EXPECT_TRUE(spline.ends_with("(such as x = 0).")) << spline;
  const std::string line = ErrorMessage(Record(kErrOverflow, 500, "exp"));
  EXPECT_TRUE(line.ends_with("\n\nCheck the data.")) << line;
}

TEST(ErrorHandleTest, SilentCases) {
  HeadlessUi ui;
  ScopedUi installed(ui);

  ErrorRecord cancelled = Record(kErrGuessCancelled, 510, "");
  ErrorHandle(cancelled);
  EXPECT_EQ(cancelled.id, kErrGuessCancelled);

  CurrentEngine().unattended = 1;
  ErrorRecord during = Record(kErrDivideByZero, 512, "unknown");
  ErrorHandle(during);
  CurrentEngine().unattended = 0;
  EXPECT_EQ(during.id, kErrSuppressed) << "an unattended run leaves the id at 10";

  EXPECT_TRUE(ui.EventsOf(UiEvent::Kind::ErrorReport).empty());
}

TEST(ErrorHandleTest, UnknownIdentifierIsStillReported) {
  HeadlessUi ui;
  ScopedUi installed(ui);
  ErrorRecord odd = Record(42, -1, "");
  ErrorHandle(odd);
  EXPECT_EQ(ui.EventsOf(UiEvent::Kind::ErrorReport).size(), 1u);
}

TEST(ErrorHandleTest, EveryErrorIdentifierHasAMessage) {
  for (int id = kFirstErrorId; id <= kLastErrorId; ++id) {
    EXPECT_FALSE(platform::ResourceString(id + kErrorMessageBase).empty()) << "error " << id;
  }
}

class OutOfMemoryTest : public ::testing::Test {
 protected:
  void SetUp() override { previous_ = std::set_new_handler(OutOfMemoryHandler); }
  void TearDown() override {
    std::set_new_handler(previous_);
    SetOutOfMemoryHooks({});
  }

  // Numeric work that asks for far more memory than any machine has.
  static void HugeAllocation() {
    GuardAllocation([] {
      // An explicit call: the compiler may not drop it as it may an unused new-expression.
      volatile std::size_t huge = std::size_t{1} << 60;
      void* block = ::operator new(huge);
      ::operator delete(block);
    });
  }

  std::new_handler previous_ = nullptr;
};

TEST_F(OutOfMemoryTest, FailedAllocationBecomesError11AfterTheQuestion) {
  HeadlessUi ui;
  ScopedUi installed(ui);
  int released = 0;
  SetOutOfMemoryHooks({[] { return std::size_t{4096}; }, [&] { return ++released == 1; }, nullptr});
  ui.QueueAnswer(Answer::Ok);  // free the results and try again: still too big
  ui.QueueAnswer(Answer::Ok);  // nothing more to free: the work ends
  ClearErrorInfo();
  EXPECT_THROW(HugeAllocation(), errnotify);
  EXPECT_EQ(ErrorInfo.id, kErrOutOfMemory);
  EXPECT_EQ(ErrorInfo.routine, "4096") << "the bytes held by the data set";
  EXPECT_EQ(released, 2);
  auto asked = ui.EventsOf(UiEvent::Kind::MessageBox);
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[0].caption, platform::ResourceString(97));
  EXPECT_EQ(asked[0].text, platform::ResourceString(98));
}

TEST_F(OutOfMemoryTest, CancelEndsTheWorkWithoutFreeingResults) {
  HeadlessUi ui;
  ScopedUi installed(ui);
  bool released = false;
  SetOutOfMemoryHooks({nullptr, [&] { return released = true; }, nullptr});
  ui.QueueAnswer(Answer::Cancel);
  EXPECT_THROW(HugeAllocation(), errnotify);
  EXPECT_EQ(ErrorInfo.id, kErrOutOfMemory);
  EXPECT_FALSE(released);
}

}  // namespace
}  // namespace trendolin
