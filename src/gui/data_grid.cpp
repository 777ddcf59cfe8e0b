// The data grid's state, mouse, keys, editing and scrolling. Painting is in
// data_grid_paint.cpp.
#include "gui/data_grid.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>
#include <algorithm>

#include "session/grid_edits.h"
#include "session/grid_input.h"
#include "gui/data_grid_edit_box.h"
#include "platform/debug_log.h"
#include "platform/ui.h"
#include "render_qt/ui_metrics.h"

namespace trendolin::gui {

using trendolin::ClickAction;
using trendolin::GridCell;
using trendolin::GridHit;
using trendolin::GridHitResult;
using trendolin::GridLayout;
using trendolin::PressAction;

namespace {

// Until the owner sets a size, and when it sets zero.
constexpr int kDefaultRowHeight = 20;
constexpr int kDefaultColumnWidth = 150;
constexpr int kEditInset = 3;

}  // namespace

DataGrid::DataGrid(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  vbar_ = new QScrollBar(Qt::Vertical, this);
  hbar_ = new QScrollBar(Qt::Horizontal, this);
  for (QScrollBar* bar : {vbar_, hbar_}) {
    // The bars never keep the focus: the keys belong to the grid.
    bar->setFocusPolicy(Qt::NoFocus);
    connect(bar, &QScrollBar::actionTriggered, this, [this, bar](int action) { OnScrollAction(bar, action); });
  }
  edit_ = new DataGridEditBox(this);
  UpdateRowHeaderWidth();
}

DataGrid::~DataGrid() = default;

QLineEdit* DataGrid::EditBox() { return edit_; }

// ---- shape ----

void DataGrid::SetAllocatedColumns(int columns) {
  columns = std::max(columns, 0);
  const int before = static_cast<int>(headings_.size());
  columnsAllocated_ = columns;
  columns_.resize(static_cast<std::size_t>(columns), nullptr);
  headings_.resize(static_cast<std::size_t>(columns));
  // A column that comes with a new allocation is headed as the data set
  // heads it ("X", "Y", "STD"); the owner may rename it afterwards.
  for (int c = before; c < columns; ++c) headings_[static_cast<std::size_t>(c)] = QString::fromLatin1(trendolin::GridHeading(c));
  columnsUsed_ = std::min(columnsUsed_, columns);
  Relayout();
}

void DataGrid::SetUsedColumns(int columns) {
  if (columns < 0 || columns > columnsAllocated_) return;
  columnsUsed_ = columns;
  update();
}

void DataGrid::SetAllocatedRows(int rows) {
  rowsAllocated_ = std::max(rows, 0);
  rowsUsed_ = std::min(rowsUsed_, rowsAllocated_);
  UpdateRowHeaderWidth();
  Relayout();
}

void DataGrid::SetPointCount(int points) {
  if (points < 0 || points > rowsAllocated_) return;
  rowsUsed_ = points;
  update();
}

void DataGrid::SetColumnPointer(int column, trendolin::datatype* values) {
  if (column < 0 || column >= columnsAllocated_) return;
  columns_[static_cast<std::size_t>(column)] = values;
  update();
}

trendolin::datatype* DataGrid::ColumnPointer(int column) const {
  if (column < 0 || column >= columnsAllocated_) return nullptr;
  return columns_[static_cast<std::size_t>(column)];
}

void DataGrid::Reset(int valueType) {
  valueType_ = valueType;
  CloseEdit();
  ClearSelection();
  dragging_ = false;
  top_ = 0;
  left_ = 0;
  Relayout();
}

void DataGrid::SetCellSize(int rowHeight, int columnWidth) {
  rowHeight_ = rowHeight;
  columnWidth_ = columnWidth;
  UpdateRowHeaderWidth();
  Relayout();
}

void DataGrid::ApplyFontCellSize() {
  const trendolin::UiMetrics ui = trendolin::MeasureUiMetrics();
  const QFontMetrics own(font());
  const int textHeight = std::max(ui.textHeight, own.height());
  const int charWidth = std::max(ui.charWidth, own.averageCharWidth());
  SetCellSize(trendolin::RowHeightForText(textHeight), trendolin::ColumnWidthForText(charWidth));
}

void DataGrid::SetHeading(int column, const QString& text) {
  if (column < 0 || column >= columnsAllocated_ || text.isEmpty()) {
    trendolin::DebugLog("DATAWND: Warning -- text changed for nonexistant column.\n");
    return;
  }
  headings_[static_cast<std::size_t>(column)] = text;
  update();
}

QString DataGrid::Heading(int column) const {
  if (column < 0 || column >= static_cast<int>(headings_.size())) return {};
  return headings_[static_cast<std::size_t>(column)];
}

QString DataGrid::CellText(int column, int row) const {
  if (column < 0 || row < 0 || column >= columnsUsed_ || row >= rowsUsed_) return {};
  const trendolin::datatype* values = columns_[static_cast<std::size_t>(column)];
  if (!values) return {};
  return QString::fromStdString(trendolin::CellValueText(values[row]));
}

// ---- layout ----

GridLayout DataGrid::Layout() const {
  GridLayout l;
  l.clientWidth = width();
  l.clientHeight = height();
  l.rowHeaderWidth = rowHeaderWidth_;
  l.rowHeight = std::max(rowHeight_, 1);
  l.columnWidth = std::max(columnWidth_, 1);
  l.headerHeight = l.rowHeight;
  l.scrollBarWidth = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
  l.scrollBarHeight = l.scrollBarWidth;
  return l;
}

QRect DataGrid::CellRect(int column, int row) const {
  const GridLayout l = Layout();
  return {l.rowHeaderWidth + (column - left_) * l.columnWidth, l.headerHeight + (row - top_) * l.rowHeight,
          l.columnWidth, l.rowHeight};
}

void DataGrid::UpdateRowHeaderWidth() {
  const QFontMetrics metrics(font());
  const QString sample = QString::fromStdString(trendolin::RowHeaderSample(rowsAllocated_));
  rowHeaderWidth_ = trendolin::RowHeaderWidth(metrics.horizontalAdvance(sample),
                                              metrics.horizontalAdvance(trendolin::kRowHeaderMinimumSample));
}

void DataGrid::Relayout() {
  const GridLayout l = Layout();
  visibleRows_ = trendolin::VisibleRows(l);
  visibleColumns_ = trendolin::VisibleColumns(l);
  lastTop_ = trendolin::LastTopRow(l, rowsAllocated_);
  lastLeft_ = trendolin::LastLeftColumn(l, columnsAllocated_);
  top_ = std::clamp(top_, 0, lastTop_);
  left_ = std::clamp(left_, 0, lastLeft_);
  vbar_->setGeometry(l.CellAreaRight(), 0, l.scrollBarWidth, l.CellAreaBottom());
  hbar_->setGeometry(0, l.CellAreaBottom(), l.CellAreaRight(), l.scrollBarHeight);
  UpdateScrollBars();
  PlaceEditBox();
  update();
}

void DataGrid::UpdateScrollBars() {
  const auto set = [](QScrollBar* bar, int limit, int origin, int visible, int allocated) {
    bar->setRange(0, limit);
    bar->setValue(origin);
    bar->setSingleStep(1);
    bar->setPageStep(std::max(trendolin::ScrollPage(visible, limit, allocated), 1));
    bar->setEnabled(limit > 0);
  };
  set(vbar_, lastTop_, top_, visibleRows_, rowsAllocated_);
  set(hbar_, lastLeft_, left_, visibleColumns_, columnsAllocated_);
}

void DataGrid::PlaceEditBox() {
  if (!editing_) return;
  const GridLayout l = Layout();
  const QRect cell = CellRect(editCell_.column, editCell_.row);
  const QRect area(l.rowHeaderWidth, l.headerHeight, l.CellAreaRight() - l.rowHeaderWidth,
                   l.CellAreaBottom() - l.headerHeight);
  // The cell's right and bottom pixels are grid lines.
  const QRect box = cell.adjusted(kEditInset, kEditInset, -kEditInset - 1, -kEditInset - 1);
  edit_->setGeometry(box);
  edit_->setVisible(area.intersects(box));
}

void DataGrid::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (rowHeight_ == 0) rowHeight_ = kDefaultRowHeight;
  if (columnWidth_ == 0) columnWidth_ = kDefaultColumnWidth;
  // An open edit follows its cell rather than ending: a bad number would
  // otherwise beep at every step of a window drag.
  Relayout();
}

void DataGrid::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  switch (event->type()) {
    case QEvent::EnabledChange:
      if (!isEnabled()) {
        // A calculation starts: what was typed is kept if it can be.
        if (editing_ && !Commit()) CloseEdit();
        ClearSelection();
        dragging_ = false;
      }
      UpdateScrollBars();
      update();
      break;
    case QEvent::FontChange:
      UpdateRowHeaderWidth();
      Relayout();
      break;
    case QEvent::PaletteChange:
      update();
      break;
    default:
      break;
  }
}

// ---- editing ----

void DataGrid::OpenEdit(GridCell cell, const QString& text) {
  editing_ = true;
  editCell_ = cell;
  edit_->setText(text);  // also empties its undo buffer
  PlaceEditBox();
  edit_->setFocus(Qt::OtherFocusReason);
  edit_->selectAll();
  update();
}

void DataGrid::CloseEdit() {
  if (!editing_) return;
  editing_ = false;
  // The grid takes the focus before the box hides, so the box does not
  // pass it somewhere else.
  if (edit_->hasFocus()) setFocus(Qt::OtherFocusReason);
  edit_->hide();
  edit_->setText(QString());
  update();
}

bool DataGrid::Commit() {
  if (!editing_) return true;
  const QString text = edit_->text();
  const std::string utf8 = text.toStdString();
  const trendolin::CellNumber number = trendolin::ParseCellNumber(utf8, trendolin::LocaleDecimalPoint());
  if (!number.ok) {
    platform::CurrentUi().Beep();
    const int bad = static_cast<int>(QString::fromStdString(utf8.substr(0, number.badOffset)).size());
    if (edit_->isVisible()) edit_->setFocus(Qt::OtherFocusReason);
    edit_->setSelection(bad, static_cast<int>(text.size()) - bad);
    return false;
  }
  const GridCell cell = editCell_;
  const bool newRow = IsEditingNewRow();
  // An empty cell in the row past the data was only looked at.
  if (newRow && text.trimmed().isEmpty()) {
    CloseEdit();
    return true;
  }
  // Closed before the owner hears of it: its refresh may ask the grid to end
  // the edit again.
  CloseEdit();
  if (!owner_) return true;
  if (!newRow) {
    owner_->GridCellCommitted(cell.column, cell.row, number.value);
    return true;
  }
  if (owner_->GridAddPoint(cell.column, number.value) != 0) {
    // Nothing was stored: what was typed stays in the open cell.
    platform::CurrentUi().Beep();
    OpenEdit(cell, text);
    return false;
  }
  return true;
}

void DataGrid::CancelEdit() {
  CloseEdit();
}

bool DataGrid::EndEdit() {
  if (!Commit()) return false;
  ClearSelection();
  return true;
}

void DataGrid::EditFocusLost(QWidget* next) {
  if (!editing_ || next == this) return;
  Commit();
}

void DataGrid::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  if (event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason) return;
  QWidget* next = QApplication::focusWidget();
  if (next && isAncestorOf(next)) return;
  if (editing_ && !Commit()) return;
  ClearSelection();
}

// ---- selection and clicks ----

void DataGrid::ClearSelection() {
  if (!selecting_) return;
  selecting_ = false;
  update();
}

void DataGrid::SetSelection(GridCell first, GridCell last) {
  selecting_ = true;
  anchor_ = first;
  corner_ = last;
  update();
}

trendolin::GridSelection DataGrid::Selection() const {
  if (!selecting_) return {};
  return {true, std::min(anchor_.row, corner_.row), std::min(anchor_.column, corner_.column),
          std::max(anchor_.row, corner_.row), std::max(anchor_.column, corner_.column)};
}

void DataGrid::Press(const GridHitResult& hit) {
  const PressAction action = trendolin::PressRule(hit, columnsUsed_, rowsUsed_);
  if (action == PressAction::Ignore) return;
  if (!Commit()) return;
  ClearSelection();
  switch (action) {
    case PressAction::SelectColumn:
      SetSelection({hit.column, 0}, {hit.column, rowsUsed_ - 1});
      break;
    case PressAction::SelectRow:
      SetSelection({0, hit.row}, {columnsUsed_ - 1, hit.row});
      break;
    case PressAction::SelectAll:
      SetSelection({0, 0}, {columnsUsed_ - 1, rowsUsed_ - 1});
      break;
    case PressAction::StartCellSelection:
      dragging_ = true;
      SetSelection({hit.column, hit.row}, {hit.column, hit.row});
      break;
    case PressAction::Ignore:
      break;
  }
}

void DataGrid::SelectAll() {
  GridHitResult corner;
  corner.kind = GridHit::Corner;
  Press(corner);
}

void DataGrid::Click(GridCell cell) {
  if (!Commit()) return;
  ClearSelection();
  switch (trendolin::ClickRule(cell, columnsUsed_, rowsUsed_)) {
    case ClickAction::OpenEdit:
      OpenEdit(cell, CellText(cell.column, cell.row));
      break;
    case ClickAction::OpenNewRow:
      // A place to type, not yet a point: the row becomes one only when a
      // number is committed into it.
      OpenEdit(cell, QString());
      break;
    case ClickAction::AddColumn:
      if (owner_) owner_->GridAddColumn(cell.column);
      break;
    case ClickAction::Ignore:
      break;
  }
}

void DataGrid::MoveToCell(GridCell cell) {
  cell.column = std::max(cell.column, 0);
  cell.row = std::max(cell.row, 0);
  if (!Commit()) return;
  const trendolin::GridOrigin origin = trendolin::OriginShowing(cell, {left_, top_}, visibleColumns_,
                                                                visibleRows_, lastLeft_, lastTop_);
  if (origin.left != left_ || origin.top != top_) {
    left_ = origin.left;
    top_ = origin.top;
    UpdateScrollBars();
    update();
  }
  Click(cell);
}

void DataGrid::EditKeyPressed(trendolin::EditKey key) {
  if (!editing_) return;
  const auto target = trendolin::EditKeyTarget(key, editCell_, columnsUsed_, rowsUsed_, visibleRows_);
  if (!target) return;
  // From an empty new row there is no row further down to go to.
  if (IsEditingNewRow() && edit_->text().trimmed().isEmpty() && target->row > editCell_.row) return;
  MoveToCell(*target);
}

void DataGrid::mousePressEvent(QMouseEvent* event) {
  if (!isEnabled() || event->button() != Qt::LeftButton) {
    QWidget::mousePressEvent(event);
    return;
  }
  const QPoint p = event->position().toPoint();
  Press(trendolin::HitTest(Layout(), p.x(), p.y(), left_, top_));
  // A press that opened nothing leaves the keys with the grid.
  if (!editing_ && !hasFocus()) setFocus(Qt::MouseFocusReason);
}

void DataGrid::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_) return;
  const GridLayout l = Layout();
  const QPoint p = event->position().toPoint();
  const GridHitResult hit = trendolin::HitTest(l, p.x(), p.y(), left_, top_);
  const trendolin::ScrollStep step = trendolin::DragScrollStep(hit.kind);
  ScrollBy(step.rows, step.columns);
  const GridHitResult now = trendolin::HitTest(l, p.x(), p.y(), left_, top_);
  corner_ = trendolin::DragCorner(anchor_, {now.column, now.row}, columnsUsed_, rowsUsed_);
  update();
}

void DataGrid::mouseReleaseEvent(QMouseEvent* event) {
  if (!dragging_ || event->button() != Qt::LeftButton) return;
  dragging_ = false;
  if (corner_ == anchor_) {
    Click(anchor_);
    return;
  }
  const trendolin::GridSelection s = Selection();
  SetSelection({s.firstColumn, s.firstRow}, {s.lastColumn, s.lastRow});
}

void DataGrid::contextMenuEvent(QContextMenuEvent* event) {
  event->accept();
  ShowContextMenu(event->globalPos());
}

void DataGrid::ShowContextMenu(const QPoint& globalPos) {
  if (owner_ && isEnabled()) owner_->GridContextMenu(globalPos);
}

// ---- scrolling ----

void DataGrid::ScrollBy(int rows, int columns) {
  const int top = std::clamp(top_ + rows, 0, lastTop_);
  const int left = std::clamp(left_ + columns, 0, lastLeft_);
  if (top == top_ && left == left_) return;
  top_ = top;
  left_ = left;
  UpdateScrollBars();
  update();
}

bool DataGrid::UserScroll(int top, int left) {
  if (!Commit()) return false;
  ClearSelection();
  ScrollBy(std::clamp(top, 0, lastTop_) - top_, std::clamp(left, 0, lastLeft_) - left_);
  return true;
}

void DataGrid::OnScrollAction(QScrollBar* bar, int action) {
  const bool vertical = bar == vbar_;
  const int origin = vertical ? top_ : left_;
  const int page = std::max((vertical ? visibleRows_ : visibleColumns_) - 1, 1);
  int target = origin;
  switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
      target = origin + 1;
      break;
    case QAbstractSlider::SliderSingleStepSub:
      target = origin - 1;
      break;
    case QAbstractSlider::SliderPageStepAdd:
      target = origin + page;
      break;
    case QAbstractSlider::SliderPageStepSub:
      target = origin - page;
      break;
    case QAbstractSlider::SliderToMinimum:
      UserScroll(0, 0);
      bar->setSliderPosition(vertical ? top_ : left_);
      return;
    case QAbstractSlider::SliderToMaximum:
      UserScroll(lastTop_, lastLeft_);
      bar->setSliderPosition(vertical ? top_ : left_);
      return;
    case QAbstractSlider::SliderMove:
      target = bar->sliderPosition();
      break;
    default:
      return;
  }
  if (vertical) {
    UserScroll(target, left_);
  } else {
    UserScroll(top_, target);
  }
  // The bar goes where the grid went, which is nowhere when the edit refused.
  bar->setSliderPosition(vertical ? top_ : left_);
}

void DataGrid::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_PageUp:
      UserScroll(top_ - std::max(visibleRows_ - 1, 1), left_);
      break;
    case Qt::Key_PageDown:
      UserScroll(top_ + std::max(visibleRows_ - 1, 1), left_);
      break;
    case Qt::Key_Home:
      UserScroll(0, 0);
      break;
    case Qt::Key_End:
      UserScroll(lastTop_, lastLeft_);
      break;
    case Qt::Key_Up:
      UserScroll(top_ - 1, left_);
      break;
    case Qt::Key_Down:
      UserScroll(top_ + 1, left_);
      break;
    case Qt::Key_Left:
      UserScroll(top_, left_ - 1);
      break;
    case Qt::Key_Right:
      UserScroll(top_, left_ + 1);
      break;
    case Qt::Key_Delete:
      if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) {
        QWidget::keyPressEvent(event);  // Ctrl+Del is the menu's own shortcut
        return;
      }
      if (selecting_ && owner_) owner_->GridClearSelection();
      break;
    default:
      QWidget::keyPressEvent(event);
      return;
  }
  event->accept();
}

void DataGrid::wheelEvent(QWheelEvent* event) {
  // The vertical bar turns the wheel into scroll actions, which end the edit
  // and the selection like any other scroll.
  if (isEnabled() && vbar_->isEnabled()) QApplication::sendEvent(vbar_, event);
  event->accept();
}

// ---- for the owner ----

trendolin::GridContext DataGrid::Context() {
  trendolin::GridContext context;
  context.selection = Selection();
  context.edit.open = editing_;
  context.edit.row = EditRow();
  context.edit.column = EditColumn();
  context.edit.copy = [this] { edit_->copy(); };
  context.edit.paste = [this] { edit_->paste(); };
  context.edit.deleteText = [this] {
    if (edit_->hasSelectedText()) edit_->del();
  };
  context.sink = this;
  context.endEdit = [this] { EndEdit(); };
  context.repaint = [this] { update(); };
  return context;
}

trendolin::GridColumnHooks DataGrid::ColumnHooks() {
  trendolin::GridColumnHooks hooks;
  hooks.endEdit = [this] { EndEdit(); };
  hooks.setHeading = [this](int column, const std::string& text) { SetHeading(column, QString::fromStdString(text)); };
  hooks.repaint = [this] { update(); };
  return hooks;
}

}  // namespace trendolin::gui
