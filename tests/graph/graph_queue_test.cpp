// The graph queue: its 41 slots, the check marks of the models with open
// graphs, and removal one by one, by model group and all at once.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "fit/fit_types.h"
#include "session/graph_queue.h"
#include "platform/headless_ui.h"

namespace trendolin {
namespace {

using platform::UiEvent;

class GraphQueueTest : public ::testing::Test {
 protected:
  void SetUp() override { queue_.SetHost(&host_); }

  GraphWindowId Open(int modelId, const std::string& title = "graph") {
    auto record = std::make_unique<GraphAttr>();
    record->modelId = modelId;
    const GraphWindowId window = host_.CreateGraphWindow(title, *record);
    return queue_.Add(window, title, record) ? window : kNoWindow;
  }

  platform::HeadlessUi ui_;
  platform::ScopedUi installed_{ui_};
  HeadlessGraphHost host_;
  Gqueue queue_;
};

TEST_F(GraphQueueTest, TheFortySecondWindowIsRefusedUntilOneCloses) {
  GraphWindowId first = kNoWindow;
  for (int i = 0; i < 41; ++i) {
    const GraphWindowId w = Open(503);
    ASSERT_NE(w, kNoWindow) << "slot " << i;
    if (i == 0) first = w;
  }
  EXPECT_EQ(queue_.Count(), 41);

  auto record = std::make_unique<GraphAttr>();
  record->modelId = 504;
  EXPECT_FALSE(queue_.Add(host_.CreateGraphWindow("late", *record), "late", record));
  ASSERT_NE(record, nullptr) << "a refused record stays with the caller";
  EXPECT_FALSE(queue_.IsChecked(504));
  const auto boxes = ui_.EventsOf(UiEvent::Kind::MessageBox);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "Error");
  EXPECT_EQ(boxes[0].text, "The graph window queue is full.  Please\nclose one or more windows.");
  EXPECT_EQ(boxes[0].icon, platform::Icon::Exclamation);

  EXPECT_TRUE(queue_.Remove(first));
  const GraphWindowId again = Open(504);
  ASSERT_NE(again, kNoWindow);
  EXPECT_EQ(queue_.Windows().front(), again) << "the first free slot is taken";
}

TEST_F(GraphQueueTest, RemoveUnchecksAndDestroysTheWindow) {
  const GraphWindowId linear = Open(500, "Linear Fit");
  const GraphWindowId power = Open(509, "Power Fit");
  EXPECT_TRUE(queue_.IsChecked(500));
  EXPECT_TRUE(queue_.WindowMenuEnabled());
  EXPECT_EQ(queue_.Find(509), power);
  EXPECT_EQ(queue_.FindByTitle("Linear Fit"), linear);
  EXPECT_EQ(queue_.Record(linear)->window, linear) << "the record points back at its window";

  EXPECT_TRUE(queue_.Remove(linear));
  EXPECT_FALSE(queue_.Remove(linear)) << "not queued any more";
  EXPECT_FALSE(queue_.IsChecked(500));
  EXPECT_TRUE(host_.Window(linear)->destroyed);
  EXPECT_EQ(queue_.Record(linear), nullptr);
  EXPECT_EQ(queue_.Find(500), kNoWindow);
  EXPECT_EQ(queue_.Count(), 1);
}

TEST_F(GraphQueueTest, RemoveByClassMaskTakesOnlyTheGroups) {
  Open(500);  // linear, class 2
  Open(503);  // the plot carries the interpolation bit
  Open(504);  // exponential, 8
  Open(509);  // power law, 64
  Open(537);  // interpolation, 1
  EXPECT_EQ(queue_.RemoveByClassMask(CLASS_EXPONENTIAL | CLASS_POWER), 2);
  EXPECT_EQ(queue_.Count(), 3);
  EXPECT_EQ(queue_.RemoveByClassMask(CLASS_INTERPOLATION), 2);
  EXPECT_EQ(queue_.Find(500), queue_.Windows().front());
}

TEST_F(GraphQueueTest, CloseAllAndRefreshAll) {
  const GraphWindowId a = Open(500);
  const GraphWindowId b = Open(501);
  queue_.RefreshAll();
  EXPECT_EQ(host_.Window(a)->refreshed, 1);
  EXPECT_EQ(host_.Window(b)->refreshed, 1);
  queue_.CloseAll();
  EXPECT_EQ(queue_.Count(), 0);
  EXPECT_FALSE(queue_.WindowMenuEnabled());
  EXPECT_FALSE(queue_.IsChecked(501));
  EXPECT_EQ(host_.LiveCount(), 0);
}

}  // namespace
}  // namespace trendolin
