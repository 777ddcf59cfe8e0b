// The debug console: a window of its own that mirrors the diagnostic log as
// it is written, the last 35 lines of 80 characters, like a teletype.
#pragma once

#include <QWidget>
#include <functional>
#include <string_view>

#include "platform/console_ring.h"

class QThread;

namespace trendolin::gui {

class ConsoleWindow : public QWidget {
  Q_OBJECT

 public:
  // `logName` is the log file's name, shown in the caption; a console
  // without a log is captioned "STDIO".
  explicit ConsoleWindow(const QString& logName);

  // Types the text into the window. GUI thread only.
  void Append(std::string_view text);

  // The function to attach with SetConsoleSink: text written on the GUI
  // thread is typed at once, text from any other thread is queued to the GUI
  // thread, since widgets may only be touched there.
  std::function<void(std::string_view)> Sink();

  const ConsoleRing& Ring() const { return ring_; }

  // The band on the right edge: one sixth of the client height wide.
  int BandWidth() const { return height() / 6; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void PaintText(QPainter& painter);
  void PaintBand(QPainter& painter);

  ConsoleRing ring_;
  QFont font_;
  int lineHeight_ = 1;
  int columnWidth_ = 1;
};

// The one console of the process, like the log it mirrors. Opens the log
// (OpenDiagnostics) and, when bit 0 of DebugFlags is set, creates the
// console and attaches it before the log's banner is written. Returns what
// OpenDiagnostics returns.
bool OpenDiagnosticsAndConsole(std::string_view versionText);

// The open console, or nullptr.
ConsoleWindow* DebugConsole();

// Detaches the console from the log and destroys it. Before the application
// object goes.
void CloseDebugConsole();

}  // namespace trendolin::gui
