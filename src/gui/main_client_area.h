// The main window's work area under the toolbar: it places the grid, the
// results list and the preview by the window's layout rules and paints the
// list's "Rank" and "Regression" headers and the borders between them.
#pragma once

#include <QWidget>

#include "app/main_layout.h"

namespace trendolin::gui {

class MainClientArea : public QWidget {
 public:
  explicit MainClientArea(QWidget* parent) : QWidget(parent) {}

  // `layout` in the window's client coordinates; `offsetY` is where this
  // area's top lies in them (the toolbar's height).
  void SetLayout(const MainLayout& layout, int offsetY);
  const MainLayout& Layout() const { return layout_; }
  int OffsetY() const { return offsetY_; }
  // A client rectangle in this area's coordinates.
  QRect Local(const Rect& r) const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  MainLayout layout_;
  int offsetY_ = 0;
};

}  // namespace trendolin::gui
