// The Analyze dialog on fits made by the real drivers: each page typed into
// and calculated as a person would, the defaults from the graph's x axis, the
// refusals and faults, and the dialog held still while an integral runs.
#include "gui/dialogs/analyze_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <cmath>
#include <string>
#include <vector>

#include "fit/drivers_test_support.h"
#include "gui/modal_helpers.h"
#include "platform/debug_log.h"
#include "session/analysis_pages.h"

namespace trendolin::gui {
namespace {

using platform::UiEvent;

// Keeps the record of every graph it opens, so that a test can zoom it.
class ZoomableHost : public HeadlessGraphHost {
 public:
  GraphWindowId CreateGraphWindow(const std::string& title, GraphAttr& record) override {
    last = &record;
    return HeadlessGraphHost::CreateGraphWindow(title, record);
  }
  GraphAttr* last = nullptr;
};

class AnalyzeDialogTest : public testing_support::DriverTest {
 protected:
  void SetUp() override {
    DriverTest::SetUp();
    CurrentSession().graphQueue.SetHost(&zoomable_);
    SetConsoleSink([this](std::string_view text) { log_ += text; });
    DebugFlags = 2;
    LoadPoints({0, 1, 2, 3, 4}, {1, 3, 5, 7, 9});  // y = 1 + 2x exactly
    ASSERT_EQ(OpenFitWindow(doc_, kLinearModel), kWindowOpened);
  }
  void TearDown() override {
    DebugFlags = 0;
    SetConsoleSink({});
    DriverTest::TearDown();
  }

  // The dialog on `model`, shown and active so that the focus can be checked.
  std::unique_ptr<AnalyzeDialog> Open(int model = kLinearModel) {
    auto dialog = std::make_unique<AnalyzeDialog>(doc_, model, "Linear Fit", -1.0f, 4.0f);
    dialog->show();
    dialog->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    return dialog;
  }

  // Types `text` over a field's text, as a person who selected it all would.
  static void Type(AnalyzeDialog& dialog, int control, const QString& text) {
    QLineEdit* field = dialog.Field(control);
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, text);
  }
  // Enter in a field presses the default button: Calculate.
  static void Enter(AnalyzeDialog& dialog, int control) { QTest::keyClick(dialog.Field(control), Qt::Key_Return); }
  static QString Text(const AnalyzeDialog& dialog, int control) { return dialog.Field(control)->text(); }
  static double Value(const AnalyzeDialog& dialog, int control) { return Text(dialog, control).toDouble(); }

  ZoomableHost zoomable_;
  std::string log_;
};

TEST_F(AnalyzeDialogTest, OpensModalOnTheGraphsXAxisAsDrawnNow) {
  // The graph was zoomed to 2..8 before the dialog was asked for.
  zoomable_.last->xMin = 2.0f;
  zoomable_.last->xMax = 8.0f;
  QWidget graph;
  graph.setWindowTitle(QStringLiteral("Linear Fit of a rather long data file name"));
  bool seen = false;
  testsupport::WhenModal<AnalyzeDialog>([&](AnalyzeDialog* dialog) {
    seen = true;
    EXPECT_EQ(dialog->parentWidget(), &graph);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Analyze - [Linear Fit of a rather long d]"));
    EXPECT_EQ(dialog->Pages()->count(), kAnalyzePageCount);
    EXPECT_EQ(Text(*dialog, kYAtXField), "");
    EXPECT_EQ(Text(*dialog, kXAtYTargetField), "");
    EXPECT_EQ(Text(*dialog, kXAtYStartField), "5.000000");
    EXPECT_EQ(Text(*dialog, kDerivativeField), "5.000000");
    EXPECT_EQ(Text(*dialog, kIntegralLowerField), "2.000000");
    EXPECT_EQ(Text(*dialog, kIntegralUpperField), "8.000000");
    EXPECT_EQ(Text(*dialog, kArcLowerField), "2.000000");
    EXPECT_EQ(Text(*dialog, kArcUpperField), "8.000000");
    EXPECT_EQ(dialog->Field(kArcUpperField)->maxLength(), 30);
    EXPECT_TRUE(dialog->Field(kArcResult)->isReadOnly());
    dialog->findChild<QPushButton*>("close")->click();
  });
  ShowAnalyzeDialog(&graph, doc_, kLinearModel);
  EXPECT_TRUE(seen);
}

TEST_F(AnalyzeDialogTest, EveryPageCalculatesOnTheLine) {
  auto dialog = Open();
  Type(*dialog, kYAtXField, "3");
  Enter(*dialog, kYAtXField);
  EXPECT_EQ(Text(*dialog, kYAtXResult), "7");
  EXPECT_TRUE(dialog->Field(kYAtXField)->hasFocus());
  EXPECT_EQ(dialog->Field(kYAtXField)->selectedText(), "3") << "ready for the next x";

  dialog->Pages()->setCurrentIndex(kXAtYPage);
  Type(*dialog, kXAtYTargetField, "7");
  dialog->CalculateButton()->click();
  EXPECT_NEAR(Value(*dialog, kXAtYResult), 3.0, 1e-5);
  EXPECT_TRUE(dialog->Field(kXAtYTargetField)->hasFocus());

  dialog->Pages()->setCurrentIndex(kDerivativePage);
  dialog->CalculateButton()->click();  // at the axis' mid-point
  EXPECT_NEAR(Value(*dialog, kDerivativeResult), 2.0, 1e-3);
  EXPECT_TRUE(dialog->Field(kDerivativeField)->hasFocus());

  dialog->Pages()->setCurrentIndex(kIntegralPage);
  Type(*dialog, kIntegralLowerField, "0");
  Type(*dialog, kIntegralUpperField, "1");
  dialog->CalculateButton()->click();
  EXPECT_EQ(Text(*dialog, kIntegralResult), "2");
  EXPECT_EQ(dialog->Warning(kIntegralWarning)->text(), "");
  EXPECT_TRUE(dialog->Field(kIntegralLowerField)->hasFocus());

  // Limits the wrong way round give a negative length.
  dialog->Pages()->setCurrentIndex(kArcLengthPage);
  Type(*dialog, kArcLowerField, "1");
  Type(*dialog, kArcUpperField, "0");
  dialog->CalculateButton()->click();
  EXPECT_NEAR(Value(*dialog, kArcResult), -std::sqrt(5.0), 1e-3);
  EXPECT_EQ(dialog->Warning(kArcWarning)->text(), "");
  EXPECT_TRUE(dialog->Field(kArcUpperField)->hasFocus());
  EXPECT_EQ(dialog->Field(kArcUpperField)->selectedText(), "0");
  EXPECT_TRUE(ui_.EventsOf(UiEvent::Kind::MessageBox).empty());
}

TEST_F(AnalyzeDialogTest, IntegralRunsWithTheDialogDisabledAndCannotBeClosed) {
  auto dialog = Open();
  dialog->Pages()->setCurrentIndex(kIntegralPage);
  std::vector<QString> shownWhileRunning;
  bool enabledWhileRunning = false;
  ui_.SetPumpHook([&] {
    shownWhileRunning.push_back(Text(*dialog, kIntegralResult));
    enabledWhileRunning = enabledWhileRunning || dialog->isEnabled();
    dialog->close();  // the close box, pressed while the integral runs
  });
  dialog->CalculateButton()->click();
  ASSERT_FALSE(shownWhileRunning.empty());
  EXPECT_EQ(shownWhileRunning.front(), "Wait...");
  EXPECT_FALSE(enabledWhileRunning);
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_TRUE(dialog->isEnabled());
  EXPECT_FALSE(dialog->Calculating());
  // 1 + 2x from -1 to 4: 5 + 15.
  EXPECT_NEAR(Value(*dialog, kIntegralResult), 20.0, 1e-4);
}

TEST_F(AnalyzeDialogTest, RefusalsAndFaultsLeaveTheDialogUsable) {
  auto dialog = Open();
  dialog->Pages()->setCurrentIndex(kIntegralPage);
  Type(*dialog, kIntegralLowerField, "5");
  Type(*dialog, kIntegralUpperField, "1");
  dialog->CalculateButton()->click();
  const std::vector<UiEvent> boxes = ui_.EventsOf(UiEvent::Kind::MessageBox);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption + " / " + boxes[0].text,
            "Integral / The lower limit must not be greater than the upper limit.");
  EXPECT_EQ(Text(*dialog, kIntegralResult), "") << "nothing calculated";

  dialog->Pages()->setCurrentIndex(kYAtXPage);
  Type(*dialog, kYAtXField, "3x");
  Enter(*dialog, kYAtXField);
  EXPECT_EQ(ui_.EventsOf(UiEvent::Kind::Beep).size(), 1u);
  EXPECT_EQ(Text(*dialog, kYAtXResult), "");
  EXPECT_TRUE(dialog->Field(kYAtXField)->hasFocus());
  EXPECT_EQ(dialog->Field(kYAtXField)->selectedText(), "x") << "the rest that could not be read";

  Type(*dialog, kYAtXField, "3e38");  // 1 + 2x overflows a float
  Enter(*dialog, kYAtXField);
  EXPECT_EQ(Text(*dialog, kYAtXResult), "ERR");
  EXPECT_NE(log_.find("EX: AnalyzeDP_1\n"), std::string::npos);
  Type(*dialog, kYAtXField, "1");
  Enter(*dialog, kYAtXField);
  EXPECT_EQ(Text(*dialog, kYAtXResult), "3");
}

TEST_F(AnalyzeDialogTest, NonConvergenceWarnsBesideTheResultUntilTheNextConverges) {
  // a + b cos(c x + d) with c = 1000: far too fast for 2048 Simpson intervals on 0..10.
  doc_.ResetFitResult(529);
  doc_.Slot(529).coefficients = {0.0f, 1.0f, 1000.0f, 0.0f};
  doc_.MarkFitted(529, 460);
  auto dialog = Open(529);
  dialog->Pages()->setCurrentIndex(kArcLengthPage);
  Type(*dialog, kArcLowerField, "0");
  Type(*dialog, kArcUpperField, "10");
  dialog->CalculateButton()->click();
  EXPECT_EQ(dialog->Warning(kArcWarning)->text(), "WARNING: The operation did not converge(tol=.01%).");
  EXPECT_NE(Text(*dialog, kArcResult), "ERR") << "the last estimate is shown";
  Type(*dialog, kArcUpperField, "0.0001");
  dialog->CalculateButton()->click();
  EXPECT_EQ(dialog->Warning(kArcWarning)->text(), "");
}

}  // namespace
}  // namespace trendolin::gui
