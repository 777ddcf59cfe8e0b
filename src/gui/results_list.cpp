#include "gui/results_list.h"

#include <QPainter>
#include <QStyledItemDelegate>
#include <algorithm>

namespace trendolin::gui {
namespace {

// The mark of a fit that did not converge, in the colour its graph's header
// says so.
QString NotConvergedMark() { return QStringLiteral("not converged"); }
const QColor kMarkColour(192, 0, 0);

// Draws "rank<TAB>name" with the name at the list's tab stop.
class TabbedLineDelegate : public QStyledItemDelegate {
 public:
  explicit TabbedLineDelegate(ResultsList* list) : QStyledItemDelegate(list), list_(list) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QStyleOptionViewItem plain = option;
    initStyleOption(&plain, index);
    const QString text = plain.text;
    plain.text.clear();
    QStyle* style = plain.widget ? plain.widget->style() : nullptr;
    if (style) style->drawControl(QStyle::CE_ItemViewItem, &plain, painter, plain.widget);

    const qsizetype tab = text.indexOf(QLatin1Char('\t'));
    const QString first = tab < 0 ? text : text.left(tab);
    const QString rest = tab < 0 ? QString() : text.mid(tab + 1);
    painter->save();
    const bool selected = (option.state & QStyle::State_Selected) != 0;
    const QColor textColour = option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
    painter->setPen(textColour);
    QRect r = option.rect.adjusted(2, 0, -2, 0);
    painter->drawText(r, Qt::AlignLeft | Qt::AlignVCenter, first);
    r.setLeft(option.rect.left() + list_->TabStop());
    // The mark stays whole at the line's end; the name gives way to it.
    if (!index.data(ResultsList::kNotConvergedRole).toString().isEmpty()) {
      const QString mark = NotConvergedMark();
      const int width = option.fontMetrics.horizontalAdvance(mark);
      painter->setPen(selected ? textColour : kMarkColour);
      painter->drawText(r, Qt::AlignRight | Qt::AlignVCenter, mark);
      painter->setPen(textColour);
      r.setRight(std::max(r.left(), r.right() - width - option.fontMetrics.averageCharWidth()));
    }
    painter->drawText(r, Qt::AlignLeft | Qt::AlignVCenter,
                      option.fontMetrics.elidedText(rest, Qt::ElideRight, r.width()));
    painter->restore();
  }

 private:
  ResultsList* list_;
};

}  // namespace

ResultsList::ResultsList(QWidget* parent) : QListWidget(parent) {
  setItemDelegate(new TabbedLineDelegate(this));
  setSelectionMode(QAbstractItemView::SingleSelection);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setFrameShape(QFrame::NoFrame);
}

void ResultsList::SetLines(const std::vector<std::string>& lines, const std::vector<int>& modelIds,
                           const std::vector<std::string>& notConverged) {
  clear();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    auto* item = new QListWidgetItem(QString::fromStdString(lines[i]), this);
    item->setData(Qt::UserRole, i < modelIds.size() ? modelIds[i] : -1);
    if (i < notConverged.size() && !notConverged[i].empty()) {
      const QString reason = QString::fromStdString(notConverged[i]);
      item->setData(kNotConvergedRole, reason);
      item->setToolTip(QStringLiteral("The fit did not converge: %1.").arg(reason));
    }
  }
}

std::optional<int> ResultsList::SelectedModel() const {
  const QListWidgetItem* item = currentItem();
  if (item == nullptr || !item->isSelected()) return std::nullopt;
  return item->data(Qt::UserRole).toInt();
}

void ResultsList::SetTabStop(int pixels) {
  tabStop_ = pixels;
  viewport()->update();
}

}  // namespace trendolin::gui
