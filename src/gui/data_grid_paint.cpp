// Painting the data grid: heading bands, values, grid lines, the selection
// and the frame of the cell being edited.
#include <QPainter>
#include <QPaintEvent>
#include <qdrawutil.h>

#include "gui/data_grid.h"

namespace trendolin::gui {
namespace {

constexpr int kTextInset = 3;  // values keep this far from the cell's edges

// Text greys out while the grid is disabled (during a calculation); the
// backgrounds and lines stay, so the table keeps its shape.
QColor TextColour(const QWidget& widget, QPalette::ColorRole role) {
  return widget.palette().color(widget.isEnabled() ? QPalette::Normal : QPalette::Disabled, role);
}

QColor Fill(const QWidget& widget, QPalette::ColorRole role) {
  return widget.palette().color(QPalette::Normal, role);
}

}  // namespace

void DataGrid::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const trendolin::GridLayout l = Layout();
  PaintHeaders(painter, l);
  PaintCells(painter, l);
  PaintMarks(painter, l);
  painter.setPen(TextColour(*this, QPalette::ButtonText));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(0, 0, l.CellAreaRight() - 1, l.CellAreaBottom() - 1);
  painter.fillRect(QRect(l.CellAreaRight(), l.CellAreaBottom(), l.scrollBarWidth, l.scrollBarHeight),
                   Fill(*this, QPalette::Button));
}

void DataGrid::PaintHeaders(QPainter& p, const trendolin::GridLayout& l) {
  const int right = l.CellAreaRight();
  const int bottom = l.CellAreaBottom();
  const QColor text = TextColour(*this, QPalette::ButtonText);
  p.save();
  p.setClipRect(0, 0, right, bottom);
  p.fillRect(0, 0, right, l.headerHeight, Fill(*this, QPalette::Button));
  p.fillRect(0, l.headerHeight, l.rowHeaderWidth, bottom - l.headerHeight, Fill(*this, QPalette::Button));
  qDrawShadePanel(&p, QRect(0, 0, l.rowHeaderWidth, l.headerHeight), palette(), false, 1);

  // Columns past the allocated ones show a blank heading, so the band runs
  // to the edge like the cells below it.
  for (int i = 0, x = l.rowHeaderWidth; x < right; ++i, x += l.columnWidth) {
    const QRect cell(x, 0, l.columnWidth, l.headerHeight);
    qDrawShadePanel(&p, cell, palette(), false, 1);
    p.setPen(text);
    p.drawText(cell, Qt::AlignCenter | Qt::TextSingleLine, Heading(left_ + i));
  }
  p.setClipRect(0, l.headerHeight, l.rowHeaderWidth, bottom - l.headerHeight);
  for (int i = 0, y = l.headerHeight; y < bottom; ++i, y += l.rowHeight) {
    const QRect cell(0, y, l.rowHeaderWidth, l.rowHeight);
    qDrawShadePanel(&p, cell, palette(), false, 1);
    p.setPen(text);
    p.drawText(cell, Qt::AlignCenter | Qt::TextSingleLine, QString::number(top_ + i + 1));
  }
  p.restore();
}

void DataGrid::PaintCells(QPainter& p, const trendolin::GridLayout& l) {
  const int right = l.CellAreaRight();
  const int bottom = l.CellAreaBottom();
  const QRect area(l.rowHeaderWidth, l.headerHeight, right - l.rowHeaderWidth, bottom - l.headerHeight);
  p.save();
  p.setClipRect(area);
  p.fillRect(area, Fill(*this, QPalette::Base));

  p.setPen(TextColour(*this, QPalette::Text));
  for (int i = 0, y = l.headerHeight; y < bottom; ++i, y += l.rowHeight) {
    for (int j = 0, x = l.rowHeaderWidth; x < right; ++j, x += l.columnWidth) {
      const QString value = CellText(left_ + j, top_ + i);
      if (value.isEmpty()) continue;
      // The cell's last pixel column is the grid line.
      const QRect box(x + kTextInset, y, l.columnWidth - 2 * kTextInset - 1, l.rowHeight - 1);
      p.drawText(box, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, value);
    }
  }

  p.setPen(Fill(*this, QPalette::Dark));
  for (int x = l.rowHeaderWidth + l.columnWidth - 1; x < right; x += l.columnWidth) {
    p.drawLine(x, l.headerHeight, x, bottom - 1);
  }
  for (int y = l.headerHeight + l.rowHeight - 1; y < bottom; y += l.rowHeight) {
    p.drawLine(l.rowHeaderWidth, y, right - 1, y);
  }
  p.restore();
}

void DataGrid::PaintMarks(QPainter& p, const trendolin::GridLayout& l) {
  const QRect area(l.rowHeaderWidth, l.headerHeight, l.CellAreaRight() - l.rowHeaderWidth,
                   l.CellAreaBottom() - l.headerHeight);
  p.save();
  p.setClipRect(area);
  if (selecting_) {
    const trendolin::GridSelection s = Selection();
    const QRect cells = CellRect(s.firstColumn, s.firstRow).united(CellRect(s.lastColumn, s.lastRow));
    // Inverted, so values and grid lines stay readable over any palette.
    p.setCompositionMode(QPainter::CompositionMode_Difference);
    p.fillRect(cells.intersected(area), Qt::white);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
  }
  if (editing_) {
    const QRect cell = CellRect(editCell_.column, editCell_.row);
    p.setPen(TextColour(*this, QPalette::ButtonText));
    p.setBrush(Qt::NoBrush);
    p.drawRect(cell.x(), cell.y(), cell.width() - 2, cell.height() - 2);
    p.drawRect(cell.x() + 1, cell.y() + 1, cell.width() - 4, cell.height() - 4);
  }
  p.restore();
}

}  // namespace trendolin::gui
