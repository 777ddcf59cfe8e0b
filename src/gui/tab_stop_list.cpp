// Drawing the lines of a tab-stop list piece by piece at their stops.
#include "gui/tab_stop_list.h"

#include <QPainter>
#include <QStyledItemDelegate>
#include <algorithm>
#include <utility>

namespace trendolin::gui {
namespace {

class TabStopDelegate : public QStyledItemDelegate {
 public:
  explicit TabStopDelegate(TabStopList* list) : QStyledItemDelegate(list), list_(list) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QStyleOptionViewItem plain = option;
    initStyleOption(&plain, index);
    const QString text = plain.text;
    plain.text.clear();
    if (QStyle* style = plain.widget ? plain.widget->style() : nullptr) {
      style->drawControl(QStyle::CE_ItemViewItem, &plain, painter, plain.widget);
    }
    painter->save();
    const bool selected = (option.state & QStyle::State_Selected) != 0;
    painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setFont(option.font);
    // Measured with the font drawn in, so that the pieces meet their stops.
    const QFontMetrics metrics = painter->fontMetrics();
    const int left = option.rect.left() + 2;
    int x = 0;
    const QStringList pieces = text.split(QLatin1Char('\t'));
    for (qsizetype i = 0; i < pieces.size(); ++i) {
      if (i > 0) x = list_->NextStop(x);
      const QRect box(left + x, option.rect.top(), metrics.horizontalAdvance(pieces[i]) + 1, option.rect.height());
      painter->drawText(box, Qt::AlignLeft | Qt::AlignVCenter, pieces[i]);
      x += metrics.horizontalAdvance(pieces[i]);
    }
    painter->restore();
  }

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    const int width = list_->ScrollExtent() > 0 ? list_->ScrollExtent()
                                                 : list_->LineWidth(index.data().toString()) + 4;
    size.setWidth(width);
    return size;
  }

 private:
  TabStopList* list_;
};

}  // namespace

int DialogUnitsX(const QWidget& widget, int units) {
  // Dialog units follow the dialog's font, whatever font the list draws in.
  return units * std::max(1, widget.window()->fontMetrics().averageCharWidth()) / 4;
}

TabStopList::TabStopList(std::vector<int> stops, int interval, QWidget* parent)
    : QListWidget(parent), stops_(std::move(stops)), interval_(std::max(1, interval)) {
  setItemDelegate(new TabStopDelegate(this));
  setSelectionMode(QAbstractItemView::SingleSelection);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setUniformItemSizes(true);
}

void TabStopList::SetLines(const std::vector<std::string>& lines) {
  clear();
  for (const std::string& line : lines) addItem(QString::fromStdString(line));
}

QStringList TabStopList::Lines() const {
  QStringList lines;
  for (int i = 0; i < count(); ++i) lines << item(i)->text();
  return lines;
}

int TabStopList::NextStop(int x) const {
  for (int stop : stops_) {
    const int pixels = DialogUnitsX(*this, stop);
    if (pixels > x) return pixels;
  }
  const int last = stops_.empty() ? 0 : DialogUnitsX(*this, stops_.back());
  const int step = std::max(1, DialogUnitsX(*this, interval_));
  return last + ((x - last) / step + 1) * step;
}

int TabStopList::LineWidth(const QString& line) const {
  int x = 0;
  const QStringList pieces = line.split(QLatin1Char('\t'));
  for (qsizetype i = 0; i < pieces.size(); ++i) {
    if (i > 0) x = NextStop(x);
    x += fontMetrics().horizontalAdvance(pieces[i]);
  }
  return x;
}

}  // namespace trendolin::gui
