// The notice a crashed run leaves, the command line that asks for it, and
// the developers' debug boxes.
#include "app/crash_notice.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/debug_box.h"
#include "platform/headless_ui.h"
#include "platform/resource_strings.h"

namespace trendolin {
namespace {

using platform::HeadlessUi;
using platform::Icon;
using platform::ScopedUi;
using platform::UiEvent;

std::optional<int> Code(std::vector<const char*> args) {
  args.insert(args.begin(), "trendolin");
  return CrashNoticeCode(static_cast<int>(args.size()), args.data());
}

TEST(CrashNoticeTest, OnlyALeadingSwitchAsksForTheNotice) {
  EXPECT_EQ(Code({"--crash-notice", "3"}), 3);
  EXPECT_EQ(Code({"--crash-notice", "4"}), 4);
  EXPECT_EQ(Code({}), std::nullopt);
  EXPECT_EQ(Code({"data.dat"}), std::nullopt);
  EXPECT_EQ(Code({"-d", "--crash-notice", "3"}), std::nullopt) << "a data file may be called anything";
  // Asked for, but the code is unusable: still a notice, of the plain error.
  EXPECT_EQ(Code({"--crash-notice"}), 1);
  EXPECT_EQ(Code({"--crash-notice", "3x"}), 1);
  EXPECT_EQ(Code({"--crash-notice", "0"}), 1);
}

TEST(CrashNoticeTest, EachCodeTellsItsOwnStory) {
  HeadlessUi ui;
  ScopedUi installed(ui);
  TellCrash(1);
  TellCrash(3);
  TellCrash(4);
  TellCrash(7);
  const auto boxes = ui.EventsOf(UiEvent::Kind::MessageBox);
  ASSERT_EQ(boxes.size(), 4u) << "one box each for 1 and 3, two for 4, none for an unknown code";
  EXPECT_EQ(boxes[0].caption, platform::ResourceString(92));
  EXPECT_EQ(boxes[0].text, platform::ResourceString(93));
  EXPECT_EQ(boxes[0].icon, Icon::Error);
  EXPECT_EQ(boxes[1].caption, "Trendolin 1.4");
  EXPECT_EQ(boxes[1].text, platform::ResourceString(94));
  EXPECT_EQ(boxes[1].icon, Icon::Error);
  EXPECT_EQ(boxes[2].caption, platform::ResourceString(95));
  EXPECT_EQ(boxes[2].text, platform::ResourceString(96));
  EXPECT_EQ(boxes[2].icon, Icon::Exclamation);
  EXPECT_EQ(boxes[3].caption, "");
  EXPECT_EQ(boxes[3].text, "No exception information is available.");
  EXPECT_EQ(boxes[3].icon, Icon::Exclamation);
}

TEST(DebugBoxTest, ShowsTheValuesInAWarningBox) {
  HeadlessUi ui;
  ScopedUi installed(ui);
  DebugBox4(1.5, -2.0, 0.0, 1e300);
  DebugBoxText("nRows", 42);
  const auto boxes = ui.EventsOf(UiEvent::Kind::MessageBox);
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].caption, "Debug Message");
  EXPECT_EQ(boxes[0].icon, Icon::Exclamation);
  EXPECT_TRUE(boxes[0].text.starts_with("1.500000  -2.000000  0.000000  1")) << boxes[0].text;
  EXPECT_TRUE(boxes[0].text.ends_with(".000000")) << "a huge value is printed whole";
  EXPECT_EQ(boxes[1].text, "nRows,42");
}

}  // namespace
}  // namespace trendolin
