// The data grid on a real data set, driven with the mouse and the keyboard.
#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QImage>
#include <QLineEdit>
#include <QScrollBar>
#include <QStyle>
#include <QTest>
#include <tuple>

#include "data/curve_fit.h"
#include "session/grid_edits.h"
#include "gui/data_grid.h"
#include "platform/headless_ui.h"

namespace trendolin::gui {
namespace {

using platform::Answer;
using platform::UiEvent;

// The main window's part: the data set changes as the grid asks.
class Owner : public DataGridOwner {
 public:
  Owner(CurveFit& doc, DataGrid& grid) : doc_(doc), grid_(grid) {}
  void GridCellCommitted(int column, int row, double value) override {
    trendolin::GridCellCommitted(doc_, column, row, value);
  }
  int GridAddPoint(int column, double value) override { return trendolin::GridAddPoint(doc_, column, value); }
  void GridAddColumn(int) override { trendolin::GridAddColumn(doc_, grid_.ColumnHooks()); }
  void GridContextMenu(const QPoint&) override { ++menus; }
  void GridClearSelection() override { ++clears; }
  int menus = 0;
  int clears = 0;

 private:
  CurveFit& doc_;
  DataGrid& grid_;
};

class DataGridTest : public ::testing::Test {
 protected:
  void SetUp() override { Load(5); }

  // Points (1, 10), (2, 20), ... in a grid of 520 x 300 pixels.
  void Load(int points) {
    doc.AllocateData(points, 2, 0);
    for (int r = 0; r < points; ++r) {
      doc.At(r, 0) = static_cast<float>(r + 1);
      doc.At(r, 1) = static_cast<float>(10 * (r + 1));
    }
    doc.SetUndoLevels(20);
    grid.Reset(0);
    grid.ApplyFontCellSize();
    doc.AttachGrid(&grid);
    grid.SetHeading(0, "X");
    grid.SetHeading(1, "Y");
    grid.SetOwner(&owner);
    grid.resize(520, 300);
    grid.show();
    grid.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&grid));
  }

  void Click(int column, int row) { QTest::mouseClick(&grid, Qt::LeftButton, {}, grid.CellRect(column, row).center()); }
  void Type(const QString& text) { QTest::keyClicks(grid.EditBox(), text); }
  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) { QTest::keyClick(grid.EditBox(), key, modifiers); }
  std::size_t Beeps() const { return ui.EventsOf(UiEvent::Kind::Beep).size(); }

  platform::HeadlessUi ui;
  platform::ScopedUi installed{ui};
  CurveFit doc;
  DataGrid grid;
  Owner owner{doc, grid};
};

TEST_F(DataGridTest, TypingANumberAndEnterStoresItAndOpensTheNextCell) {
  Click(1, 0);
  ASSERT_TRUE(grid.IsEditing());
  EXPECT_EQ(grid.EditBox()->text(), "10");
  Type("1e5");  // the whole text was selected: it is replaced
  Key(Qt::Key_Return);
  EXPECT_EQ(doc.At(0, 1), 100000.0f);
  EXPECT_EQ(grid.CellText(1, 0), "100000");
  EXPECT_EQ(grid.EditColumn(), 0);
  EXPECT_EQ(grid.EditRow(), 1);
  EXPECT_EQ(grid.EditBox()->text(), "2");

  // Letters other than e and E never reach the text.
  grid.EditBox()->clear();
  Type("4a,5 x");
  EXPECT_EQ(grid.EditBox()->text(), "45");
  Key(Qt::Key_Tab);
  EXPECT_EQ(doc.At(1, 0), 45.0f);
  EXPECT_EQ(grid.EditColumn(), 1);
  Key(Qt::Key_Tab, Qt::ShiftModifier);
  EXPECT_EQ(grid.EditColumn(), 0);
  Key(Qt::Key_Up);
  EXPECT_EQ(grid.EditRow(), 0);
}

TEST_F(DataGridTest, ABadNumberKeepsTheEditOpenUntilCorrected) {
  Click(0, 2);
  Type("7e");
  Key(Qt::Key_Return);
  EXPECT_EQ(Beeps(), 1u);
  EXPECT_TRUE(grid.IsEditing());
  EXPECT_EQ(grid.EditRow(), 2);
  EXPECT_EQ(grid.EditBox()->selectedText(), "e");
  EXPECT_EQ(doc.At(2, 0), 3.0f);

  // Clicking elsewhere and scrolling are refused as well.
  Click(1, 4);
  EXPECT_EQ(grid.EditRow(), 2);
  EXPECT_FALSE(grid.EndEdit());
  EXPECT_EQ(Beeps(), 3u);

  Type("7");  // replaces the selected "e"
  EXPECT_TRUE(grid.Commit());
  EXPECT_FALSE(grid.IsEditing());
  EXPECT_EQ(doc.At(2, 0), 77.0f);
}

TEST_F(DataGridTest, TheRowPastTheDataBecomesAPointOnlyWhenANumberIsCommittedIntoIt) {
  // Clicking the row past the data opens an empty cell there and adds nothing.
  Click(0, 5);
  ASSERT_TRUE(grid.IsEditing());
  EXPECT_TRUE(grid.IsEditingNewRow());
  EXPECT_EQ(grid.EditRow(), 5);
  EXPECT_EQ(grid.EditBox()->text(), "");
  EXPECT_EQ(doc.nPoints, 5);
  EXPECT_EQ(grid.UsedRows(), 5);

  // The first number makes the row a point, the rest fill it in; Enter on its
  // last cell opens the next new row, still no point.
  Type("6");
  Key(Qt::Key_Tab);
  EXPECT_EQ(doc.nPoints, 6);
  EXPECT_EQ(grid.UsedRows(), 6);
  EXPECT_EQ(grid.EditBox()->text(), "0");
  Type("60");
  Key(Qt::Key_Return);
  EXPECT_EQ(doc.nPoints, 6);
  EXPECT_EQ(doc.At(5, 0), 6.0f);
  EXPECT_EQ(doc.At(5, 1), 60.0f);
  EXPECT_EQ(grid.EditColumn(), 0);
  EXPECT_EQ(grid.EditRow(), 6);
  EXPECT_TRUE(grid.IsEditingNewRow());

  // Moving through the empty new row, Esc, or leaving it stores nothing; no
  // key leads further down than the row past the data.
  Key(Qt::Key_Tab);
  EXPECT_EQ(grid.EditColumn(), 1);
  Key(Qt::Key_Return);
  EXPECT_EQ(grid.EditRow(), 6);
  EXPECT_EQ(grid.EditColumn(), 1);
  Key(Qt::Key_Escape);
  EXPECT_FALSE(grid.IsEditing());
  EXPECT_EQ(doc.nPoints, 6);
  Click(1, 6);
  Key(Qt::Key_Up);
  EXPECT_EQ(grid.EditRow(), 5);
  EXPECT_EQ(doc.nPoints, 6);
  EXPECT_EQ(grid.UsedRows(), 6);

  // Esc on a cell of the data keeps its value.
  Type("99");
  Key(Qt::Key_Escape);
  EXPECT_FALSE(grid.IsEditing());
  EXPECT_EQ(doc.At(5, 1), 60.0f);

  // The new point is one edit: one undo takes the whole row away.
  doc.Undo();  // the typed 60
  doc.Undo();  // the row typed into being
  EXPECT_EQ(doc.nPoints, 5);
  EXPECT_EQ(grid.UsedRows(), 5);
  EXPECT_EQ(grid.CellText(0, 5), "");

  // Two rows past the data, or past both the rows and columns: nothing.
  Click(0, 7);
  Click(2, 5);
  EXPECT_EQ(doc.nPoints, 5);
  EXPECT_FALSE(grid.IsEditing());
}

TEST_F(DataGridTest, DeleteWithASelectionAsksTheOwnerToClearIt) {
  Click(0, 1);
  Key(Qt::Key_Delete);  // in an open cell it deletes text, as in any editor
  EXPECT_EQ(owner.clears, 0);
  Key(Qt::Key_Escape);
  QTest::keyClick(&grid, Qt::Key_Delete);  // no selection: nothing to clear
  EXPECT_EQ(owner.clears, 0);
  grid.SelectAll();
  QTest::keyClick(&grid, Qt::Key_Delete);
  EXPECT_EQ(owner.clears, 1);
}

TEST_F(DataGridTest, TheColumnPastTheDataAsksToAddTheUncertainties) {
  Click(3, 0);  // further right: not even asked
  EXPECT_TRUE(ui.EventsOf(UiEvent::Kind::MessageBox).empty());

  ui.QueueAnswer(Answer::Yes);
  Click(2, 1);
  ASSERT_EQ(ui.EventsOf(UiEvent::Kind::MessageBox).size(), 1u);
  EXPECT_EQ(doc.nColumns, 3);
  EXPECT_EQ(grid.UsedColumns(), 3);
  EXPECT_EQ(grid.Heading(2), "STD");
  EXPECT_EQ(grid.CellText(2, 1), "0");
  EXPECT_FALSE(grid.IsEditing());

  Click(3, 0);  // the data set is complete now
  EXPECT_EQ(ui.EventsOf(UiEvent::Kind::MessageBox).size(), 1u);
}

TEST_F(DataGridTest, SelectionsByDragHeadingsAndCorner) {
  const QPoint from = grid.CellRect(1, 3).center();
  QTest::mousePress(&grid, Qt::LeftButton, {}, from);
  QTest::mouseMove(&grid, grid.CellRect(0, 1).center());
  QTest::mouseRelease(&grid, Qt::LeftButton, {}, grid.CellRect(0, 1).center());
  GridSelection s = grid.Selection();
  EXPECT_TRUE(s.exists);
  EXPECT_EQ(s.firstColumn, 0);
  EXPECT_EQ(s.firstRow, 1);
  EXPECT_EQ(s.lastColumn, 1);
  EXPECT_EQ(s.lastRow, 3);
  EXPECT_FALSE(grid.IsEditing());

  const QRect cell = grid.CellRect(1, 2);
  QTest::mouseClick(&grid, Qt::LeftButton, {}, QPoint(cell.center().x(), cell.height() / 2));
  s = grid.Selection();
  EXPECT_EQ(std::tie(s.firstColumn, s.firstRow, s.lastColumn, s.lastRow), std::make_tuple(1, 0, 1, 4));

  QTest::mouseClick(&grid, Qt::LeftButton, {}, QPoint(3, cell.center().y()));
  s = grid.Selection();
  EXPECT_EQ(std::tie(s.firstColumn, s.firstRow, s.lastColumn, s.lastRow), std::make_tuple(0, 2, 1, 2));

  QTest::mouseClick(&grid, Qt::LeftButton, {}, QPoint(3, 3));
  s = grid.Selection();
  EXPECT_EQ(std::tie(s.firstColumn, s.firstRow, s.lastColumn, s.lastRow), std::make_tuple(0, 0, 1, 4));

  // The clipboard commands see the same selection; a click on a cell ends it.
  EXPECT_EQ(grid.Context().selection.lastRow, 4);
  Click(0, 0);
  EXPECT_FALSE(grid.Selection().exists);
  EXPECT_TRUE(grid.IsEditing());
}

TEST_F(DataGridTest, ScrollingPagesRowsAndReachesTheSpareRows) {
  Load(100);
  const int visible = grid.VisibleRows();
  ASSERT_GT(visible, 3);
  grid.setFocus();
  QTest::keyClick(&grid, Qt::Key_PageDown);
  EXPECT_EQ(grid.TopRow(), visible - 1);
  grid.VerticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
  EXPECT_EQ(grid.TopRow(), 2 * (visible - 1));
  EXPECT_EQ(grid.VerticalScrollBar()->value(), grid.TopRow());
  EXPECT_EQ(grid.LeftColumn(), 0);

  QTest::keyClick(&grid, Qt::Key_End);
  EXPECT_EQ(grid.TopRow(), grid.LastTopRow());
  EXPECT_GT(grid.TopRow() + visible, doc.nPoints);  // the spare rows show, empty
  EXPECT_EQ(grid.CellText(0, doc.nPoints), "");
  QTest::keyClick(&grid, Qt::Key_Home);
  EXPECT_EQ(grid.TopRow(), 0);

  // Dragging below the cells scrolls a row per move; the selection follows.
  const QPoint below(50, grid.height() - 3);
  QTest::mousePress(&grid, Qt::LeftButton, {}, grid.CellRect(0, 2).center());
  QTest::mouseMove(&grid, below);
  QTest::mouseMove(&grid, below + QPoint(1, 0));
  QTest::mouseRelease(&grid, Qt::LeftButton, {}, below + QPoint(1, 0));
  EXPECT_EQ(grid.TopRow(), 2);
  EXPECT_EQ(grid.Selection().firstRow, 2);
  EXPECT_GE(grid.Selection().lastRow, grid.TopRow() + visible - 1);
  QTest::keyClick(&grid, Qt::Key_Home);
  EXPECT_FALSE(grid.Selection().exists);  // every scroll ends the selection

  // An edit key leading out of view centres its cell.
  Click(0, 0);
  Key(Qt::Key_PageDown);
  EXPECT_EQ(grid.EditRow(), visible);
  EXPECT_EQ(grid.TopRow(), visible - visible / 2);
  EXPECT_TRUE(grid.EditBox()->isVisible());

  // A bad number refuses the scroll.
  grid.EditBox()->setText("-");
  const int top = grid.TopRow();
  grid.VerticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
  EXPECT_EQ(grid.TopRow(), top);
  EXPECT_EQ(grid.VerticalScrollBar()->value(), top);
  EXPECT_TRUE(grid.IsEditing());
}

TEST_F(DataGridTest, UndoOfACellEditShowsTheOldValue) {
  Click(1, 3);
  Type("-2.5");
  Key(Qt::Key_Return);
  EXPECT_EQ(grid.CellText(1, 3), "-2.5");
  ASSERT_TRUE(grid.EndEdit());
  doc.Undo();
  EXPECT_EQ(grid.CellText(1, 3), "40");
  EXPECT_EQ(doc.At(3, 1), 40.0f);
}

TEST_F(DataGridTest, DisablingCommitsTheEditAndEndsTheSelection) {
  Click(0, 1);
  Type("42");
  grid.setEnabled(false);
  EXPECT_FALSE(grid.IsEditing());
  EXPECT_EQ(doc.At(1, 0), 42.0f);
  Click(1, 1);  // a disabled grid takes no clicks
  EXPECT_FALSE(grid.IsEditing());
  grid.setEnabled(true);
  grid.SelectAll();
  EXPECT_TRUE(grid.Selection().exists);
  grid.setEnabled(false);
  EXPECT_FALSE(grid.Selection().exists);
}

TEST_F(DataGridTest, RightButtonAsksTheOwnerForTheMenuAlsoFromTheEditor) {
  QContextMenuEvent overGrid(QContextMenuEvent::Mouse, QPoint(50, 50), grid.mapToGlobal(QPoint(50, 50)));
  QApplication::sendEvent(&grid, &overGrid);
  Click(0, 0);
  QContextMenuEvent overEditor(QContextMenuEvent::Mouse, QPoint(2, 2), QPoint(2, 2));
  QApplication::sendEvent(grid.EditBox(), &overEditor);
  EXPECT_EQ(owner.menus, 2);
}

TEST_F(DataGridTest, LooksLikeASpreadsheet) {
  ui.QueueAnswer(Answer::Yes);
  Click(2, 0);
  doc.At(0, 2) = 0.125f;
  doc.At(3, 1) = -1.23457e+38f;
  Click(1, 2);
  Type("123.456");
  grid.grab().save("/tmp/grid.png");
  EXPECT_FALSE(grid.grab().isNull());
}

}  // namespace
}  // namespace trendolin::gui

namespace trendolin::gui {
namespace {

// A window restored from a damaged settings file can be millions of pixels
// large: painting a part of the grid costs what that part holds, and the
// headings and values still land in their cells.
TEST_F(DataGridTest, AHugeGridPaintsOnlyWhatIsExposed) {
  grid.hide();  // rendered into pictures only: no window buffer of that size
  grid.resize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  QElapsedTimer clock;
  clock.start();
  const QImage part = grid.grab(QRect(0, 0, 400, 200)).toImage();
  EXPECT_LT(clock.elapsed(), 3000);
  ASSERT_FALSE(part.isNull());
  // A far corner too: positions there are beyond what cell-by-cell int sums reach safely.
  clock.restart();
  const QImage corner = grid.grab(QRect(QWIDGETSIZE_MAX - 400, QWIDGETSIZE_MAX - 300, 300, 200)).toImage();
  EXPECT_LT(clock.elapsed(), 3000);
  EXPECT_FALSE(corner.isNull());
  // The first value's cell is painted as in a normal-sized grid.
  grid.resize(520, 300);
  const QRect cell = grid.CellRect(1, 0);
  const QImage normal = grid.grab(cell).toImage();
  grid.resize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  EXPECT_EQ(grid.grab(cell).toImage(), normal);
}

}  // namespace
}  // namespace trendolin::gui
