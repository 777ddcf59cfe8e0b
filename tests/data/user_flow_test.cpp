// A whole working session on a data file, driven through the scripted Ui the
// way a person would drive the windows: open, edit, undo, redo, paste, clip,
// save, reopen.
#include <gtest/gtest.h>

#include "app/app_settings.h"
#include "session/clipboard.h"
#include "data/curve_fit.h"
#include "session/data_file_flows.h"
#include "data/data_test_support.h"
#include "session/manipulation.h"
#include "platform/headless_ui.h"
#include "session/session.h"
#include "support/temp_dir.h"

namespace trendolin {
namespace {

using platform::Answer;
using platform::HeadlessUi;
using platform::UiEvent;
using testsupport::ColumnValues;

TEST(UserFlowTest, EditPasteClipSaveAndReopen) {
  testsupport::TempDir dir;
  const std::string path = dir.File("run3.dat");
  testsupport::WriteFile(path,
                         "Calibration run 3\n"
                         "x  y (mV)\n"
                         "1, 10\n"
                         "2\t20\n"
                         " 3 ,30\n"
                         "notes: the fourth point was repeated\n"
                         "4;40\n");
  HeadlessUi ui;
  platform::ScopedUi installed(ui);
  CurrentSession().settings.SetFlag(kFlagShowFileImportDlg, false);
  CurveFit doc;
  doc.SetUndoLevels(CurrentSession().settings.undoLevels);

  ASSERT_EQ(OpenDataFile(doc, path, false, false, false), 1);
  EXPECT_EQ(doc.nPoints, 4);
  EXPECT_EQ(doc.szFileName, "run3.dat");
  EXPECT_EQ(ui.Caption(), "Trendolin 1.4 - [run3.dat]");

  // Type 25 over the second y, take it back, then change our mind again.
  ASSERT_EQ(doc.ReplacePoint(1, 1, 25.0f, kRecordUndo), 0);
  EXPECT_EQ(ui.Caption(), "Trendolin 1.4 - [run3.dat*]");
  doc.Undo();
  EXPECT_EQ(doc.At(1, 1), 20.0f);
  doc.Redo();
  EXPECT_EQ(doc.At(1, 1), 25.0f);

  // Paste two rows copied from elsewhere, with no cell selected: they go on top.
  ui.SetClipboard("5\t50\r\n6\t60");
  GridContext grid;
  ASSERT_EQ(PasteCommand(doc, grid), kEditDone);
  EXPECT_EQ(ColumnValues(doc, 0), (std::vector<float>{5, 6, 1, 2, 3, 4}));
  EXPECT_EQ(UndoMenuEntry(doc, false).text, "&Undo Insert\tCtrl+Z");

  // Clip away everything above x = 4.5: the pasted rows go, and the clip
  // is the next thing Undo would take back.
  ManipulationFields fields = InitialManipulationFields(doc);
  fields.clipping.xMax = "4.5";
  ApplyResult clipped = ApplyClipping(doc, fields.clipping);
  ASSERT_TRUE(clipped.applied);
  EXPECT_EQ(clipped.pointsRemoved, 2);
  EXPECT_EQ(UndoMenuEntry(doc, false).text, "&Undo Clip\tCtrl+Z");

  ASSERT_EQ(SaveDataFile(doc), 0);
  EXPECT_EQ(doc.bModified, 0);
  EXPECT_EQ(ui.Caption(), "Trendolin 1.4 - [run3.dat]");
  // The heading comes back before the numbers; the note between the rows,
  // whose place sorting and clipping could not keep, does not.
  EXPECT_EQ(testsupport::ReadFile(path), "Calibration run 3\nx  y (mV)\n1\t10\n2\t25\n3\t30\n4\t40\n");

  CurveFit reopened;
  ASSERT_EQ(OpenDataFile(reopened, path, false, false, false), 1);
  EXPECT_EQ(ColumnValues(reopened, 0), ColumnValues(doc, 0));
  EXPECT_EQ(ColumnValues(reopened, 1), ColumnValues(doc, 1));
  EXPECT_TRUE(ui.EventsOf(UiEvent::Kind::MessageBox).empty()) << "nothing went wrong on the way";
}

}  // namespace
}  // namespace trendolin
