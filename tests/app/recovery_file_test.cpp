// Unsaved data kept when the session ends the program, and offered back at
// the next start.
#include "app/recovery_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "data/curve_fit.h"
#include "session/data_file_flows.h"
#include "platform/headless_ui.h"
#include "platform/profile_file.h"
#include "session/session.h"
#include "support/temp_dir.h"

namespace trendolin {
namespace {

using platform::Answer;
using platform::HeadlessUi;
using platform::UiEvent;

const char* const kMine = "Run 7\n1\t2\n2\t4\n3\t6\n";

class RecoveryFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ini_ = dir_.File("REVUZI.INI");
    testsupport::WriteFile(ini_, "[Single-Precision]\nMaxIterations=77\n");
    testsupport::WriteFile(dir_.File("mine.dat"), kMine);
  }

  // The user's file, opened and then changed without saving.
  void EditWithoutSaving(CurveFit& doc) {
    ASSERT_EQ(OpenDataFile(doc, dir_.File("mine.dat"), false, false, true), 1);
    doc.At(1, 1) = 40.0f;
    doc.MarkModified();
  }

  std::string Recovery() const { return RecoveryFilePath(ini_); }

  testsupport::TempDir dir_;
  // A run without a settings file keeps its data among the temporary files:
  // the test's own folder, never the machine's.
  testsupport::ScopedEnv temp_{"TMPDIR", dir_.File("")};
  std::string ini_;
  HeadlessUi ui_;
  platform::ScopedUi installed_{ui_};
};

TEST_F(RecoveryFileTest, NothingIsKeptWithoutUnsavedChanges) {
  CurveFit doc;
  ASSERT_EQ(OpenDataFile(doc, dir_.File("mine.dat"), false, false, true), 1);
  EXPECT_TRUE(KeepUnsavedData(doc, ini_));
  EXPECT_FALSE(std::filesystem::exists(Recovery()));
  CurveFit next;
  EXPECT_EQ(OfferRecovery(next, ini_), RecoveryOutcome::None);
  EXPECT_TRUE(ui_.EventsOf(UiEvent::Kind::MessageBox).empty());
}

TEST_F(RecoveryFileTest, RestoreBringsTheDataBackUnsavedUnderTheirOwnName) {
  CurveFit doc;
  EditWithoutSaving(doc);
  ASSERT_TRUE(KeepUnsavedData(doc, ini_));
  ASSERT_TRUE(std::filesystem::exists(Recovery()));
  EXPECT_EQ(platform::ReadProfileInt(ini_, "Single-Precision", "MaxIterations", 0), 77);  // settings kept

  CurrentSession().currentDataFile = {};
  CurveFit next;
  ui_.QueueAnswer(Answer::Yes);
  EXPECT_EQ(OfferRecovery(next, ini_), RecoveryOutcome::Restored);
  ASSERT_EQ(next.nPoints, 3);
  EXPECT_FLOAT_EQ(next.At(1, 1), 40.0f);
  EXPECT_EQ(next.bModified, 1);
  EXPECT_EQ(next.szFileName, "mine.dat");
  EXPECT_EQ(CurrentSession().currentDataFile.fullPath, dir_.File("mine.dat"));  // Save writes where it would have
  EXPECT_EQ(next.headingLines, "Run 7\n");                     // and keeps the file's heading
  EXPECT_FALSE(std::filesystem::exists(Recovery()));
  EXPECT_EQ(testsupport::ReadFile(dir_.File("mine.dat")), kMine);
  // Asked once; the next start asks nothing.
  EXPECT_EQ(ui_.EventsOf(UiEvent::Kind::MessageBox).size(), 1u);
  CurveFit third;
  EXPECT_EQ(OfferRecovery(third, ini_), RecoveryOutcome::None);
}

TEST_F(RecoveryFileTest, DiscardDeletesAndNoAnswerKeepsForNextTime) {
  CurveFit doc;
  EditWithoutSaving(doc);
  ASSERT_TRUE(KeepUnsavedData(doc, ini_));

  CurveFit next;
  // Nobody answered (the question closed, an unattended start): kept.
  EXPECT_EQ(OfferRecovery(next, ini_), RecoveryOutcome::Kept);
  EXPECT_TRUE(std::filesystem::exists(Recovery()));
  EXPECT_EQ(next.nPoints, 0);

  ui_.QueueAnswer(Answer::No);
  EXPECT_EQ(OfferRecovery(next, ini_), RecoveryOutcome::Discarded);
  EXPECT_FALSE(std::filesystem::exists(Recovery()));
  EXPECT_EQ(next.nPoints, 0);
  EXPECT_EQ(next.bModified, 0);
}

TEST_F(RecoveryFileTest, AnUntitledDataSetComesBackUntitled) {
  CurveFit doc;
  EditWithoutSaving(doc);
  CurrentSession().currentDataFile.fullPath.clear();
  doc.szFileName = kUntitledFileName;
  ASSERT_TRUE(KeepUnsavedData(doc, ini_));
  CurveFit next;
  ui_.QueueAnswer(Answer::Yes);
  EXPECT_EQ(OfferRecovery(next, ini_), RecoveryOutcome::Restored);
  EXPECT_EQ(next.szFileName, kUntitledFileName);
  EXPECT_TRUE(CurrentSession().currentDataFile.fullPath.empty());  // Save asks for a name
}

// A run whose person declined the settings file keeps its unsaved data
// among the temporary files, and the next start offers them back, with a
// settings file or without.
TEST_F(RecoveryFileTest, ARunWithoutASettingsFileKeepsItsDataAsWell) {
  for (const bool nextHasSettings : {false, true}) {
    CurveFit doc;
    EditWithoutSaving(doc);
    ASSERT_TRUE(KeepUnsavedData(doc, ""));
    const std::string kept = RecoveryFilePath("");
    ASSERT_TRUE(std::filesystem::exists(kept)) << kept;
    EXPECT_EQ(kept.rfind(dir_.File(""), 0), 0u) << kept;
    EXPECT_FALSE(std::filesystem::exists(Recovery()));

    CurveFit next;
    ui_.QueueAnswer(Answer::Yes);
    EXPECT_EQ(OfferRecovery(next, nextHasSettings ? ini_ : std::string()), RecoveryOutcome::Restored);
    ASSERT_EQ(next.nPoints, 3);
    EXPECT_FLOAT_EQ(next.At(1, 1), 40.0f);
    EXPECT_EQ(next.bModified, 1);
    EXPECT_EQ(next.szFileName, kUntitledFileName);  // where it came from was not written down
    EXPECT_FALSE(std::filesystem::exists(kept));
  }
}

}  // namespace
}  // namespace trendolin
