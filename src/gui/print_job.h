// One print job from start to end: the windows it disables, the progress
// dialog whose button aborts it, and the page loop that honours the abort
// between pages. The pages' content is the caller's.
#pragma once

#include <QPointer>
#include <QString>
#include <functional>
#include <vector>

class QDialog;
class QLabel;
class QPainter;
class QPrinter;
class QWidget;

namespace trendolin::gui {

// The one job that can run at a time in the whole program: its abort flag,
// set by any button of the progress dialog (or by a failing page), and the
// progress dialog itself while the job runs.
struct PrintJobState {
  bool abort = false;
  QPointer<QDialog> progress;
};
PrintJobState& CurrentPrintJob();
// A job is under way: its pages are being drawn, and the printer is busy.
bool PrintJobRunning();

// The progress dialog's job description and page line, by object name.
inline constexpr const char* kProgressDescriptionName = "description";
inline constexpr const char* kProgressPageName = "page";

struct PrintJobSetup {
  QString documentName;  // what the spooler lists: "Trendolin Data", "Trendolin Graph"
  QString description;   // the progress dialog's text
  // Disabled while the job runs, re-enabled on every way out; the first is
  // activated again at the end.
  std::vector<QWidget*> windowsToDisable;
};

// Draws page `page` (from 1) with `painter`, which is active on the
// printer. Returns true when another page follows.
using DrawPrintedPage = std::function<bool(QPainter& painter, int page)>;

// Runs the job on `printer` (already chosen and set up). Returns true when
// every page was printed; false when the document could not be started, a
// page could not be started, or the job was aborted (each failure but the
// abort told to the person). The abort flag is clear afterwards. An
// aborted job that was writing a PDF file removes it: half a document is
// none.
bool RunPrintJob(QPrinter& printer, const PrintJobSetup& setup, const DrawPrintedPage& drawPage);

}  // namespace trendolin::gui
