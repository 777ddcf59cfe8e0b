// Painting the data grid: heading bands, values, grid lines, the selection
// and the frame of the cell being edited.
#include <QPainter>
#include <QPaintEvent>
#include <qdrawutil.h>

#include <algorithm>

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

// The cells of one direction that meet the exposed span [from, to): their
// first index and position. Only these are painted: a grid stretched over a
// window millions of pixels wide would otherwise walk millions of cells, and
// positions summed cell by cell in an int would overflow.
struct CellSpan {
  int first = 0;       // index of the first cell, from the first shown
  long long start = 0; // its position
  long long end = 0;   // the position to stop at
};

CellSpan SpanOf(int origin, int cellSize, int limit, int from, int to) {
  CellSpan span;
  const long long stop = std::min<long long>(limit, to);
  const long long skip = from > origin ? (static_cast<long long>(from) - origin) / cellSize : 0;
  span.first = static_cast<int>(std::min<long long>(skip, 1 << 30));
  span.start = origin + static_cast<long long>(span.first) * cellSize;
  span.end = stop;
  return span;
}

}  // namespace

void DataGrid::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const trendolin::GridLayout l = Layout();
  const QRect exposed = event->rect();
  PaintHeaders(painter, l, exposed);
  PaintCells(painter, l, exposed);
  PaintMarks(painter, l);
  painter.setPen(TextColour(*this, QPalette::ButtonText));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(0, 0, l.CellAreaRight() - 1, l.CellAreaBottom() - 1);
  painter.fillRect(QRect(l.CellAreaRight(), l.CellAreaBottom(), l.scrollBarWidth, l.scrollBarHeight),
                   Fill(*this, QPalette::Button));
}

void DataGrid::PaintHeaders(QPainter& p, const trendolin::GridLayout& l, const QRect& exposed) {
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
  const CellSpan columns = SpanOf(l.rowHeaderWidth, l.columnWidth, right, exposed.left(), exposed.right() + 1);
  for (long long i = columns.first, x = columns.start; x < columns.end; ++i, x += l.columnWidth) {
    const QRect cell(static_cast<int>(x), 0, l.columnWidth, l.headerHeight);
    qDrawShadePanel(&p, cell, palette(), false, 1);
    p.setPen(text);
    p.drawText(cell, Qt::AlignCenter | Qt::TextSingleLine, Heading(static_cast<int>(left_ + i)));
  }
  p.setClipRect(0, l.headerHeight, l.rowHeaderWidth, bottom - l.headerHeight);
  const CellSpan rows = SpanOf(l.headerHeight, l.rowHeight, bottom, exposed.top(), exposed.bottom() + 1);
  for (long long i = rows.first, y = rows.start; y < rows.end; ++i, y += l.rowHeight) {
    const QRect cell(0, static_cast<int>(y), l.rowHeaderWidth, l.rowHeight);
    qDrawShadePanel(&p, cell, palette(), false, 1);
    p.setPen(text);
    p.drawText(cell, Qt::AlignCenter | Qt::TextSingleLine, QString::number(top_ + i + 1));
  }
  p.restore();
}

void DataGrid::PaintCells(QPainter& p, const trendolin::GridLayout& l, const QRect& exposed) {
  const int right = l.CellAreaRight();
  const int bottom = l.CellAreaBottom();
  const QRect area(l.rowHeaderWidth, l.headerHeight, right - l.rowHeaderWidth, bottom - l.headerHeight);
  p.save();
  p.setClipRect(area);
  p.fillRect(area, Fill(*this, QPalette::Base));

  p.setPen(TextColour(*this, QPalette::Text));
  const CellSpan columns = SpanOf(l.rowHeaderWidth, l.columnWidth, right, exposed.left(), exposed.right() + 1);
  const CellSpan rows = SpanOf(l.headerHeight, l.rowHeight, bottom, exposed.top(), exposed.bottom() + 1);
  for (long long i = rows.first, y = rows.start; y < rows.end; ++i, y += l.rowHeight) {
    for (long long j = columns.first, x = columns.start; x < columns.end; ++j, x += l.columnWidth) {
      const QString value = CellText(static_cast<int>(left_ + j), static_cast<int>(top_ + i));
      if (value.isEmpty()) continue;
      // The cell's last pixel column is the grid line.
      const QRect box(static_cast<int>(x) + kTextInset, static_cast<int>(y), l.columnWidth - 2 * kTextInset - 1,
                      l.rowHeight - 1);
      p.drawText(box, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, value);
    }
  }

  p.setPen(Fill(*this, QPalette::Dark));
  for (long long x = columns.start + l.columnWidth - 1; x < columns.end; x += l.columnWidth) {
    p.drawLine(static_cast<int>(x), l.headerHeight, static_cast<int>(x), bottom - 1);
  }
  for (long long y = rows.start + l.rowHeight - 1; y < rows.end; y += l.rowHeight) {
    p.drawLine(l.rowHeaderWidth, static_cast<int>(y), right - 1, static_cast<int>(y));
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
