// The data grid's in-place editor: a right-aligned line for one number. It
// drops every character a number is not typed with, and hands the keys that
// move between cells, its loss of focus and its right button to the grid.
#pragma once

#include <QLineEdit>

namespace trendolin::gui {

class DataGrid;

class DataGridEditBox : public QLineEdit {
 public:
  explicit DataGridEditBox(DataGrid* grid);

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  // The typed text holds a character a number is not written with.
  bool IsFiltered(const QString& text) const;

  DataGrid* grid_;
};

}  // namespace trendolin::gui
