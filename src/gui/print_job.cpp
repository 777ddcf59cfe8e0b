// The print job: progress dialog, disabled windows, pages and the abort.
#include "gui/print_job.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "platform/ui.h"

namespace trendolin::gui {
namespace {

// Message pairs (caption, text) of a job that could not go on.
constexpr int kPageFailedCaption = 37;
constexpr int kPageFailedText = 38;
constexpr int kDocumentFailedCaption = 39;
constexpr int kDocumentFailedText = 40;

// The process-wide job record: one job prints at a time, and the progress
// dialog's button must reach it from the event loop the page loop pumps.
PrintJobState gPrintJob;

// The modeless progress dialog: the job's description, the page being
// printed and a Cancel button; any button of it aborts the job.
QDialog* MakeProgressDialog(const QString& description) {
  auto* dialog = new QDialog(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint);
  dialog->setObjectName(QStringLiteral("printProgress"));
  dialog->setWindowTitle(QStringLiteral("Printing"));
  dialog->setAttribute(Qt::WA_DeleteOnClose, false);
  auto* text = new QLabel(description, dialog);
  text->setObjectName(QString::fromLatin1(kProgressDescriptionName));
  text->setWordWrap(true);
  auto* page = new QLabel(dialog);
  page->setObjectName(QString::fromLatin1(kProgressPageName));
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), dialog);
  cancel->setObjectName(QStringLiteral("cancel"));
  QObject::connect(cancel, &QPushButton::clicked, dialog, [] { gPrintJob.abort = true; });
  // Closing the dialog by its frame or Esc is a press of its button too.
  QObject::connect(dialog, &QDialog::rejected, dialog, [] { gPrintJob.abort = true; });
  auto* layout = new QVBoxLayout(dialog);
  layout->addWidget(text);
  layout->addWidget(page);
  layout->addWidget(cancel, 0, Qt::AlignHCenter);
  dialog->adjustSize();
  // Centred across the screen, a third of the way down it.
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    dialog->move(area.left() + (area.width() - dialog->width()) / 2, area.top() + area.height() / 3);
  }
  return dialog;
}

// Everything the job changed in the windows, undone when it goes, whichever
// way the job ends.
class JobWindows {
 public:
  JobWindows(const std::vector<QWidget*>& windows, const QString& description) {
    for (QWidget* window : windows) {
      if (window == nullptr) continue;
      windows_.emplace_back(window);
      window->setEnabled(false);
    }
    gPrintJob.progress = MakeProgressDialog(description);
    gPrintJob.progress->show();
    if (auto* cancel = gPrintJob.progress->findChild<QPushButton*>(QStringLiteral("cancel"))) cancel->setFocus();
  }
  ~JobWindows() {
    for (const QPointer<QWidget>& window : windows_) {
      if (window) window->setEnabled(true);
    }
    delete gPrintJob.progress.data();
    gPrintJob.progress = nullptr;
    if (!windows_.empty() && windows_.front()) windows_.front()->activateWindow();
  }
  JobWindows(const JobWindows&) = delete;
  JobWindows& operator=(const JobWindows&) = delete;

 private:
  std::vector<QPointer<QWidget>> windows_;
};

void ShowPageNumber(int page) {
  if (!gPrintJob.progress) return;
  if (auto* label = gPrintJob.progress->findChild<QLabel*>(QString::fromLatin1(kProgressPageName))) {
    label->setText(QStringLiteral("Page %1").arg(page));
  }
}

// What the spooler's abort procedure did between pages: let the person reach
// the progress dialog, and say whether the job goes on.
bool JobGoesOn() {
  QApplication::processEvents();
  return !gPrintJob.abort;
}

// A PDF file of an aborted job is no document: it goes. (A job on a CUPS
// printer cannot be withdrawn through Qt; it stops after the page under way.)
void DropUnfinishedFile(const QPrinter& printer) {
  if (printer.outputFormat() != QPrinter::PdfFormat || printer.outputFileName().isEmpty()) return;
  QFile::remove(printer.outputFileName());
}

}  // namespace

PrintJobState& CurrentPrintJob() { return gPrintJob; }

bool PrintJobRunning() { return !gPrintJob.progress.isNull(); }

bool RunPrintJob(QPrinter& printer, const PrintJobSetup& setup, const DrawPrintedPage& drawPage) {
  gPrintJob.abort = false;
  JobWindows windows(setup.windowsToDisable, setup.description);
  printer.setDocName(setup.documentName);

  QPainter painter;
  if (!painter.begin(&printer)) {
    platform::ResourceMessageBox(kDocumentFailedCaption, kDocumentFailedText, platform::Icon::Exclamation,
                                 platform::Buttons::Ok);
    return false;
  }
  bool more = true;
  for (int page = 1; more; ++page) {
    if (page > 1 && !printer.newPage()) {
      platform::ResourceMessageBox(kPageFailedCaption, kPageFailedText, platform::Icon::Exclamation,
                                   platform::Buttons::Ok);
      gPrintJob.abort = true;
    }
    if (!gPrintJob.abort) {
      ShowPageNumber(page);
      painter.save();
      more = drawPage(painter, page);
      painter.restore();
    }
    if (!JobGoesOn()) {
      printer.abort();
      painter.end();
      gPrintJob.abort = false;
      DropUnfinishedFile(printer);
      return false;
    }
  }
  painter.end();
  return true;
}

}  // namespace trendolin::gui
