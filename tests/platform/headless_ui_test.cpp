// The windowless Ui: scripted answers, unattended answers, and the record.
#include "platform/headless_ui.h"

#include <gtest/gtest.h>

#include <sstream>

#include "platform/resource_strings.h"

namespace platform {
namespace {

TEST(HeadlessUiTest, ScriptedAnswersAreUsedInOrderThenFallBack) {
  HeadlessUi ui;
  ScopedUi installed(ui);
  ui.QueueAnswer(Answer::Cancel);
  MessageBoxRequest ask{"Caption", "Text", Icon::Exclamation, Buttons::OkCancel, false, std::nullopt};
  EXPECT_EQ(CurrentUi().MessageBox(ask), Answer::Cancel);
  EXPECT_EQ(CurrentUi().MessageBox(ask), Answer::Ok) << "an empty script gives the default button";
  ask.unattendedAnswer = Answer::Cancel;
  EXPECT_EQ(CurrentUi().MessageBox(ask), Answer::Cancel) << "or the caller's unattended answer";

  auto boxes = ui.EventsOf(UiEvent::Kind::MessageBox);
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_TRUE(boxes[0].scripted);
  EXPECT_FALSE(boxes[1].scripted);
  EXPECT_EQ(boxes[0].caption, "Caption");
  EXPECT_EQ(boxes[0].icon, Icon::Exclamation);
}

TEST(HeadlessUiTest, UnattendedIgnoresTheScriptAndEchoes) {
  std::ostringstream echo;
  HeadlessUi ui(HeadlessUi::Mode::Unattended, &echo);
  ui.QueueAnswer(Answer::No);
  MessageBoxRequest ask{"Save", "Save changes?", Icon::Question, Buttons::YesNoCancel, false, Answer::No};
  EXPECT_EQ(ui.MessageBox(ask), Answer::No);
  ui.ShowErrorReport("Overflow in the fit", "fpe.html");
  EXPECT_EQ(echo.str(), "Save: Save changes?\nError: Overflow in the fit\n");
  EXPECT_EQ(ui.PendingAnswers(), 1u);
}

TEST(HeadlessUiTest, InstallationNestsAndRestores) {
  HeadlessUi outer;
  HeadlessUi inner;
  {
    ScopedUi a(outer);
    {
      ScopedUi b(inner);
      CurrentUi().Beep();
    }
    CurrentUi().Beep();
    CurrentUi().Beep();
  }
  EXPECT_EQ(inner.EventsOf(UiEvent::Kind::Beep).size(), 1u);
  EXPECT_EQ(outer.EventsOf(UiEvent::Kind::Beep).size(), 2u);
  // With nothing installed the quiet default answers.
  EXPECT_EQ(ResourceMessageBox(85, 84, Icon::Exclamation, Buttons::OkCancel), Answer::Ok);
}

TEST(HeadlessUiTest, PumpHookLetsATestActDuringWork) {
  HeadlessUi ui;
  int pressed = 0;
  ui.SetPumpHook([&] { ++pressed; });
  ui.PumpEvents();
  ui.PumpEvents();
  EXPECT_EQ(pressed, 2);
  EXPECT_EQ(ui.PumpCount(), 2);
}

TEST(HeadlessUiTest, UnscriptedGuessDialogNeverRetriesForEver) {
  HeadlessUi ui;
  float guesses[2] = {1, 2};
  EXPECT_TRUE(ui.InitialGuessDialog(504, 2, guesses));
  EXPECT_FALSE(ui.InitialGuessDialog(504, 2, guesses)) << "the same fit asking again is cancelled";
  EXPECT_TRUE(ui.InitialGuessDialog(504, 2, guesses)) << "a later fit is answered again";
  EXPECT_TRUE(ui.InitialGuessDialog(522, 3, guesses));
}

TEST(HeadlessUiTest, AnswersBelongToTheirButtons) {
  EXPECT_EQ(DefaultAnswer(Buttons::YesNo), Answer::Yes);
  EXPECT_TRUE(IsAnswerOf(Buttons::YesNoCancel, Answer::Cancel));
  EXPECT_FALSE(IsAnswerOf(Buttons::OkCancel, Answer::Yes));
  EXPECT_FALSE(IsAnswerOf(Buttons::Ok, Answer::Cancel));
}

}  // namespace
}  // namespace platform
