#include "gui/dialogs/spin_buttons.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "gui/dialogs/dialog_kit.h"

namespace trendolin::gui {
namespace {

QToolButton* MakeArrow(Qt::ArrowType arrow, const QString& name, QWidget* parent) {
  auto* button = new QToolButton(parent);
  button->setObjectName(name);
  button->setArrowType(arrow);
  button->setAutoRepeat(true);
  button->setFocusPolicy(Qt::NoFocus);
  button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Ignored);
  return button;
}

}  // namespace

SpinButtons::SpinButtons(QLineEdit* field, int lower, int upper, int position,
                         std::function<std::string(int)> spinText, QWidget* parent)
    : QWidget(parent),
      field_(field),
      lower_(std::min(lower, upper)),
      upper_(std::max(lower, upper)),
      position_(0),
      spinText_(std::move(spinText)) {
  position_ = Clamp(position);
  up_ = MakeArrow(Qt::UpArrow, QStringLiteral("spinUp"), this);
  down_ = MakeArrow(Qt::DownArrow, QStringLiteral("spinDown"), this);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(up_);
  layout->addWidget(down_);
  const int width = field_ ? field_->sizeHint().height() : 20;
  up_->setFixedWidth(width);
  down_->setFixedWidth(width);
  setFixedHeight(field_ ? field_->sizeHint().height() : 24);
  connect(up_, &QToolButton::clicked, this, [this] { Step(1); });
  connect(down_, &QToolButton::clicked, this, [this] { Step(-1); });
  if (field_) field_->installEventFilter(this);
}

int SpinButtons::Clamp(int value) const { return std::clamp(value, lower_, upper_); }

void SpinButtons::Step(int delta) {
  int from = position_;
  if (!spinText_ && field_) {
    bool ok = false;
    const int typed = field_->text().trimmed().toInt(&ok);
    if (ok) from = Clamp(typed);
  }
  position_ = Clamp(from + delta);
  if (field_) {
    field_->setText(spinText_ ? FromUtf8(spinText_(position_)) : QString::number(position_));
    field_->selectAll();
  }
  emit stepped(position_);
}

bool SpinButtons::eventFilter(QObject* watched, QEvent* event) {
  if (watched == field_ && event->type() == QEvent::KeyPress && isEnabled()) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
      Step(key == Qt::Key_Up ? 1 : -1);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace trendolin::gui
