#include "gui/console_window.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>
#include <QPointer>
#include <QThread>
#include <algorithm>
#include <string>

#include "platform/debug_log.h"

namespace trendolin::gui {
namespace {

QPointer<ConsoleWindow> console;

}  // namespace

ConsoleWindow::ConsoleWindow(const QString& logName)
    : QWidget(nullptr), font_(QFontDatabase::systemFont(QFontDatabase::FixedFont)) {
  setObjectName(QStringLiteral("debugConsole"));
  setWindowTitle(logName.isEmpty() ? QStringLiteral("STDIO")
                                   : QStringLiteral("Trendolin Debug Console - [%1]").arg(logName));
  // The console never keeps the program alive once the main window is closed.
  setAttribute(Qt::WA_QuitOnClose, false);
  setAttribute(Qt::WA_OpaquePaintEvent);

  const QFontMetrics metrics(font_);
  lineHeight_ = std::max(1, metrics.lineSpacing());
  columnWidth_ = std::max(1, metrics.horizontalAdvance(QLatin1Char('M')));
  // At most the whole ring and its band, at least half the columns (with
  // the band as wide as it can get, so that 40 columns always show).
  const int tallest = ConsoleRing::kLines * lineHeight_;
  const int widestBand = tallest / 6;
  setMaximumSize(ConsoleRing::kColumns * columnWidth_ + widestBand, tallest);
  setMinimumWidth(ConsoleRing::kColumns / 2 * columnWidth_ + widestBand);
  resize(maximumSize());
}

void ConsoleWindow::Append(std::string_view text) {
  ring_.Append(text);
  // The text is painted from the ring, the bottom line at the bottom edge:
  // a repaint of the text area shows both the scrolling and the new text.
  update(0, 0, width() - BandWidth(), height());
}

std::function<void(std::string_view)> ConsoleWindow::Sink() {
  QThread* gui = thread();
  return [this, gui](std::string_view text) {
    if (QThread::currentThread() == gui) {
      Append(text);
      return;
    }
    // The window lives until the sink is detached, and a queued call to a
    // window destroyed meanwhile is dropped with it.
    QMetaObject::invokeMethod(
        this, [this, copy = std::string(text)] { Append(copy); }, Qt::QueuedConnection);
  };
}

void ConsoleWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintText(painter);
  PaintBand(painter);
}

void ConsoleWindow::PaintText(QPainter& painter) {
  const QRect area(0, 0, width() - BandWidth(), height());
  painter.fillRect(area, palette().color(QPalette::Button));
  painter.save();
  painter.setClipRect(area);
  painter.setFont(font_);
  painter.setPen(palette().color(QPalette::ButtonText));
  const int ascent = QFontMetrics(font_).ascent();
  // Rows counted up from the bottom edge, so a short window shows the latest.
  for (int row = ConsoleRing::kLines - 1; row >= 0; --row) {
    const int top = height() - (ConsoleRing::kLines - row) * lineHeight_;
    if (top + lineHeight_ <= 0) break;
    const std::u32string cells = ring_.RowCells(row);
    if (cells.empty()) continue;
    const QString text = QString::fromUcs4(cells.data(), static_cast<qsizetype>(cells.size()));
    painter.drawText(QPoint(0, top + ascent), text);
  }
  painter.restore();
}

void ConsoleWindow::PaintBand(QPainter& painter) {
  const int band = BandWidth();
  if (band <= 0) return;
  painter.fillRect(QRect(width() - band, 0, band, height()), palette().color(QPalette::Dark));
  QFont bold = font();
  bold.setBold(true);
  bold.setPixelSize(band);
  painter.save();
  painter.setFont(bold);
  painter.setPen(palette().color(QPalette::Light));
  // Written upwards from the bottom of the band: turned a quarter left, x
  // runs up the band and y across it.
  painter.translate(width() - band, height());
  painter.rotate(-90.0);
  painter.drawText(QRect(0, 0, height(), band), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral(" Trendolin"));
  painter.restore();
}

void ConsoleWindow::closeEvent(QCloseEvent* event) {
  // The console stays for the whole run: the person's close, which comes
  // from the window system, only puts it away. The program's own close of
  // every window when it quits must go through, or the quit is called off.
  if (!event->spontaneous()) {
    event->accept();
    return;
  }
  event->ignore();
  showMinimized();
}

bool OpenDiagnosticsAndConsole(std::string_view versionText) {
  return OpenDiagnostics(versionText, [] {
    if ((DebugFlags & 1) == 0 || console) return;
    console = new ConsoleWindow(QString::fromStdString(DiagnosticsFileName()));
    console->show();
    SetConsoleSink(console->Sink());
  });
}

ConsoleWindow* DebugConsole() { return console.data(); }

void CloseDebugConsole() {
  if (!console) return;
  SetConsoleSink({});
  delete console.data();
}

}  // namespace trendolin::gui
