// The grid and the data set never disagree: random sequences of what a person
// does in the main window (typing, Esc, the row past the data, selections,
// Cut, Copy, Paste, Clear, Delete, new and deleted columns, Undo and Redo)
// are compared cell by cell with the data set after every step.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <random>
#include <sstream>
#include <string>

#include "app/app_settings.h"
#include "app/main_menu.h"
#include "data/curve_fit.h"
#include "session/data_file_flows.h"
#include "session/grid_input.h"
#include "gui/data_grid.h"
#include "gui/main_window.h"
#include "platform/headless_ui.h"
#include "session/session.h"
#include "usermodel/user_model.h"

namespace trendolin::gui {
namespace {

using platform::Answer;

class GridFlowTest : public testing::Test {
 protected:
  void SetUp() override {
    InitUserModel();
    main_ = std::make_unique<MainWindow>(doc_);
    NewDataFile(doc_, false);
    doc_.SetUndoLevels(20);
    main_->resize(900, 640);
    main_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(main_.get()));
  }
  void TearDown() override {
    doc_.ClearModified();
    main_.reset();
  }

  DataGrid& Grid() { return main_->Grid(); }

  // Every cell the grid shows is the data set's, and nothing more.
  ::testing::AssertionResult GridShowsTheData() {
    DataGrid& grid = Grid();
    if (grid.UsedRows() != doc_.nPoints || grid.UsedColumns() != doc_.nColumns) {
      return ::testing::AssertionFailure() << "grid " << grid.UsedColumns() << " x " << grid.UsedRows()
                                           << ", data " << doc_.nColumns << " x " << doc_.nPoints;
    }
    for (int c = 0; c < doc_.nColumns; ++c) {
      for (int r = 0; r < doc_.nPoints; ++r) {
        const QString expected = QString::fromStdString(CellValueText(doc_.At(r, c)));
        if (grid.CellText(c, r) != expected) {
          return ::testing::AssertionFailure() << "cell (" << c << ", " << r << ") shows "
                                               << grid.CellText(c, r).toStdString() << ", data "
                                               << expected.toStdString();
        }
      }
      if (!grid.CellText(c, doc_.nPoints).isEmpty()) {
        return ::testing::AssertionFailure() << "the row past the data shows a value in column " << c;
      }
    }
    return ::testing::AssertionSuccess();
  }

  void ClickCell(int column, int row) {
    QTest::mouseClick(&Grid(), Qt::LeftButton, {}, Grid().CellRect(column, row).center());
  }
  void ClickRowHeader(int row) {
    const QRect cell = Grid().CellRect(0, row);
    QTest::mouseClick(&Grid(), Qt::LeftButton, {}, QPoint(cell.left() - 4, cell.center().y()));
  }
  void ClickColumnHeader(int column) {
    const QRect cell = Grid().CellRect(column, 0);
    QTest::mouseClick(&Grid(), Qt::LeftButton, {}, QPoint(cell.center().x(), cell.top() - 4));
  }

  // One random step; `log` says what was done, for the failure message.
  void Step(std::mt19937& random, std::ostringstream& log) {
    auto pick = [&random](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    DataGrid& grid = Grid();
    const int rows = doc_.nPoints;
    const int columns = doc_.nColumns;
    // Keeps the rows on screen, so that every click lands on a cell.
    const int visibleRow = std::max(grid.VisibleRows() - 3, 1);
    const QString number = QString::number(pick(2001) - 1000) + (pick(2) ? QStringLiteral(".5") : QString());
    if (grid.TopRow() != 0 && grid.EndEdit()) QTest::keyClick(&grid, Qt::Key_Home);
    // Half the questions (a new or deleted column) are answered Yes.
    if (pick(2)) ui_.QueueAnswer(Answer::Yes);

    switch (pick(14)) {
      case 0:
      case 12:
      case 13:
      case 1: {  // a value typed into a cell of the data or the row past it
        const int row = pick(std::min(rows + 1, visibleRow));
        const int column = pick(columns);
        log << "type " << number.toStdString() << " at (" << column << "," << row << ") ";
        ClickCell(column, row);
        if (!grid.IsEditing()) break;
        QTest::keyClicks(grid.EditBox(), number);
        const std::pair<Qt::Key, const char*> keys[] = {
            {Qt::Key_Return, "Enter"}, {Qt::Key_Tab, "Tab"}, {Qt::Key_Escape, "Esc"}, {Qt::Key_Up, "Up"},
            {Qt::Key_Down, "Down"}};
        const auto& [key, name] = keys[pick(5)];
        log << name << "; ";
        QTest::keyClick(grid.EditBox(), key);
        if (pick(2)) grid.EndEdit();
        break;
      }
      case 2: {  // a walk through the row past the data with nothing typed
        log << "walk the new row; ";
        ClickCell(0, std::min(rows, visibleRow));
        QTest::keyClick(grid.EditBox(), Qt::Key_Tab);
        QTest::keyClick(grid.EditBox(), Qt::Key_Return);
        grid.EndEdit();
        break;
      }
      case 3:
      case 4: {  // a selection of whole rows
        if (rows == 0) break;
        const int row = pick(std::min(rows, visibleRow));
        log << "select row " << row << "; ";
        ClickRowHeader(row);
        break;
      }
      case 5: {
        const int column = pick(columns);
        log << "select column " << column << "; ";
        ClickColumnHeader(column);
        break;
      }
      case 6: {
        static const int kClipboard[] = {cmd::kCut, cmd::kCopy, cmd::kPaste, cmd::kClear};
        const int command = kClipboard[pick(4)];
        log << "command " << command << "; ";
        main_->UpdateMenus();
        if (main_->MenuAction(command)->isEnabled()) main_->Command(command);
        break;
      }
      case 7:
        log << "Delete key; ";
        if (grid.EndEdit()) QTest::keyClick(&grid, Qt::Key_Delete);
        break;
      case 8:
      case 9:
        log << "undo; ";
        main_->Command(cmd::kUndo);
        break;
      case 10:
        log << "redo; ";
        main_->Command(cmd::kRedo);
        break;
      case 11:  // the uncertainty column comes (and goes by Clear on its heading)
        log << "column past the data; ";
        if (rows > 0) ClickCell(columns, 0);
        break;
    }
    // Any question left unasked is dropped, so it cannot answer a later one.
    while (ui_.PendingAnswers() > 0) ui_.MessageBox({});
  }

  platform::HeadlessUi ui_{platform::HeadlessUi::Mode::Scripted};
  platform::ScopedUi installed_{ui_};
  CurveFit doc_;
  std::unique_ptr<MainWindow> main_;
};

TEST_F(GridFlowTest, TheGridShowsExactlyTheDataSetAfterEveryEditUndoAndRedo) {
  for (unsigned seed = 1; seed <= 12; ++seed) {
    // Six points to start from, half of the runs with uncertainties.
    NewDataFile(doc_, false);
    doc_.AllocateData(6, seed % 2 == 0 ? 3 : 2, seed % 2 == 0 ? 1 : 0);
    for (int r = 0; r < 6; ++r) {
      for (int c = 0; c < doc_.nColumns; ++c) doc_.At(r, c) = static_cast<float>(10 * c + r);
    }
    doc_.SetUndoLevels(20);
    ui_.SetClipboard(std::nullopt);
    std::mt19937 random(seed);
    std::ostringstream log;
    for (int step = 0; step < 80; ++step) {
      Step(random, log);
      ASSERT_TRUE(GridShowsTheData()) << "seed " << seed << ", step " << step << ": " << log.str();
    }
  }
}

// The two walks the fault was first met on.
TEST_F(GridFlowTest, RedoOfARemovedRowShowsItGone) {
  ClickCell(0, 0);
  for (const char* value : {"1", "10", "2", "20", "3", "30"}) {
    QTest::keyClicks(Grid().EditBox(), QString::fromLatin1(value));
    QTest::keyClick(Grid().EditBox(), Qt::Key_Tab);
  }
  EXPECT_EQ(doc_.nPoints, 3);  // the Tab after the last y only opened the row past the data
  ClickRowHeader(1);
  main_->Command(cmd::kClear);
  EXPECT_EQ(Grid().UsedRows(), 2);
  main_->Command(cmd::kUndo);
  EXPECT_EQ(Grid().UsedRows(), 3);
  main_->Command(cmd::kRedo);
  EXPECT_EQ(doc_.nPoints, 2);
  EXPECT_TRUE(GridShowsTheData());

  ClickRowHeader(0);
  main_->Command(cmd::kCut);
  main_->Command(cmd::kUndo);
  main_->Command(cmd::kRedo);
  EXPECT_EQ(doc_.nPoints, 1);
  EXPECT_TRUE(GridShowsTheData());
  EXPECT_EQ(Grid().CellText(1, 0), QStringLiteral("30"));
}

}  // namespace
}  // namespace trendolin::gui
