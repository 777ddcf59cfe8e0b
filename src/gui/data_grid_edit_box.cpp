// The in-place editor of the data grid.
#include "gui/data_grid_edit_box.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <optional>

#include "session/grid_input.h"
#include "gui/data_grid.h"
#include "render_qt/qt_font.h"

namespace trendolin::gui {
namespace {

constexpr int kMaxCellText = 25;

std::optional<EditKey> KeyOf(const QKeyEvent& event) {
  const bool shift = event.modifiers() & Qt::ShiftModifier;
  switch (event.key()) {
    case Qt::Key_Tab:
      return shift ? EditKey::Previous : EditKey::Next;
    case Qt::Key_Backtab:
      return EditKey::Previous;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return shift ? EditKey::Previous : EditKey::Next;
    case Qt::Key_Left:
      return EditKey::Left;
    case Qt::Key_Right:
      return EditKey::Right;
    case Qt::Key_Up:
      return EditKey::Up;
    case Qt::Key_Down:
      return EditKey::Down;
    case Qt::Key_PageUp:
      return EditKey::PageUp;
    case Qt::Key_PageDown:
      return EditKey::PageDown;
    case Qt::Key_Home:
      return EditKey::Home;
    case Qt::Key_End:
      return EditKey::End;
    default:
      return std::nullopt;
  }
}

// Control and Alt combinations stay the editor's own (undo, copy, paste).
bool IsPlainKey(const QKeyEvent& event) {
  return !(event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
}

}  // namespace

DataGridEditBox::DataGridEditBox(DataGrid* grid) : QLineEdit(grid), grid_(grid) {
  setFrame(false);
  setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  setMaxLength(kMaxCellText);
  setTextMargins(0, 0, 0, 0);
  // The dialog font the whole interface measures with: 9-point bold.
  setFont(FontFromSpec(FontSpec{"MS Sans Serif", 90, 700, 0, kBlack, 0, 0, 0}, kScreenDpi));
  hide();
}

bool DataGridEditBox::event(QEvent* event) {
  // Esc belongs to the open cell rather than to the window's shortcut
  // (which only serves a running calculation, when the grid is disabled).
  if (event->type() == QEvent::ShortcutOverride) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
      event->accept();
      return true;
    }
  }
  // Tab would otherwise move the focus out of the grid before keyPressEvent.
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) && IsPlainKey(*key)) {
      keyPressEvent(key);
      return true;
    }
  }
  return QLineEdit::event(event);
}

void DataGridEditBox::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    event->accept();
    grid_->CancelEdit();
    return;
  }
  if (IsPlainKey(*event)) {
    if (const std::optional<EditKey> key = KeyOf(*event)) {
      event->accept();
      grid_->EditKeyPressed(*key);
      return;
    }
    if (IsFiltered(event->text())) {
      event->accept();
      return;
    }
  }
  QLineEdit::keyPressEvent(event);
}

bool DataGridEditBox::IsFiltered(const QString& text) const {
  const char point = LocaleDecimalPoint();
  for (const QChar c : text) {
    // Control characters (backspace, Ctrl combinations) are the editor's.
    if (c.unicode() < 0x20 || c.unicode() == 0x7f) continue;
    if (c.unicode() > 0x7f || !IsCellInputChar(static_cast<char>(c.unicode()), point)) return true;
  }
  return false;
}

void DataGridEditBox::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  // A menu opening over the editor, or another window taking over, leaves
  // the edit as it is: the person comes back to it.
  if (event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason) return;
  grid_->EditFocusLost(QApplication::focusWidget());
}

void DataGridEditBox::contextMenuEvent(QContextMenuEvent* event) {
  event->accept();
  grid_->ShowContextMenu(event->globalPos());
}

}  // namespace trendolin::gui
