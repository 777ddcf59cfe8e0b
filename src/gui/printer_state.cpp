// The shared printer, its description and Print setup.
#include "gui/printer_state.h"

#include <QCoreApplication>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <memory>

#include "app/app_settings.h"
#include "session/session.h"

namespace trendolin::gui {
namespace {

// The process-wide print-dialog state: created on first use, it remembers
// the chosen printer and page between jobs, as long as the program runs.
std::unique_ptr<QPrinter> gSharedPrinter;

// A printer that has gone from the system since it was chosen is replaced
// by the system's default, as the print dialog does when its remembered
// printer cannot be found.
void ForgetVanishedPrinter(QPrinter& printer) {
  if (printer.outputFormat() != QPrinter::NativeFormat) return;
  if (!QPrinterInfo::printerInfo(printer.printerName()).isNull()) return;
  const QPrinterInfo fallback = QPrinterInfo::defaultPrinter();
  if (!fallback.isNull()) {
    printer.setPrinterName(fallback.printerName());
  } else {
    printer.setOutputFormat(QPrinter::PdfFormat);
  }
}

}  // namespace

QPrinter& SharedPrinter() {
  if (!gSharedPrinter) {
    gSharedPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    // The printer's engine needs the application: it goes with it.
    qAddPostRoutine([] { gSharedPrinter.reset(); });
    if (!HavePrinters()) {
      // A PDF page has no unprintable border: the margin settings alone
      // place the content, as on a printer that can print to the edge.
      gSharedPrinter->setOutputFormat(QPrinter::PdfFormat);
      gSharedPrinter->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    }
  }
  ForgetVanishedPrinter(*gSharedPrinter);
  return *gSharedPrinter;
}

bool HavePrinters() { return !QPrinterInfo::availablePrinterNames().isEmpty(); }

PageGeometry PageGeometryOf(const QPrinter& printer) {
  const QRect paper = printer.paperRect(QPrinter::DevicePixel).toAlignedRect();
  const QRect page = printer.pageRect(QPrinter::DevicePixel).toAlignedRect();
  PageGeometry geometry;
  geometry.dotsPerInchX = printer.logicalDpiX();
  geometry.dotsPerInchY = printer.logicalDpiY();
  geometry.physicalWidth = paper.width();
  geometry.physicalHeight = paper.height();
  geometry.offsetX = page.left() - paper.left();
  geometry.offsetY = page.top() - paper.top();
  geometry.printableWidth = page.width();
  geometry.printableHeight = page.height();
  return geometry;
}

PrintMargins MarginSettings() {
  const AppSettings& settings = CurrentSession().settings;
  return PrintMargins{settings.marginTop, settings.marginBottom, settings.marginLeft, settings.marginRight};
}

std::optional<PrinterFacts> DefaultPrinterProbe() {
  if (!HavePrinters()) return std::nullopt;
  QPrinter& printer = SharedPrinter();
  if (printer.outputFormat() != QPrinter::NativeFormat) {
    // PDF chosen for a job earlier; the system's default is what a job
    // through the print dialog starts with.
    const QPrinterInfo fallback = QPrinterInfo::defaultPrinter();
    if (fallback.isNull()) return std::nullopt;
    printer.setPrinterName(fallback.printerName());
  }
  PrinterFacts facts;
  facts.name = printer.printerName().toStdString();
  facts.scalePercent = 100;  // CUPS scales in its own options, not in the page
  facts.orientation =
      printer.pageLayout().orientation() == QPageLayout::Landscape ? kOrientationLandscape : kOrientationPortrait;
  facts.printQuality = printer.resolution();
  const QRectF paper = printer.paperRect(QPrinter::Inch);
  const QRectF page = printer.pageRect(QPrinter::Inch);
  facts.page = PrinterPage{paper.width(), paper.height(), page.left() - paper.left(), page.top() - paper.top()};
  return facts;
}

bool RunPrintSetup(QWidget* owner) {
  QPageSetupDialog dialog(&SharedPrinter(), owner);
  dialog.setWindowTitle(QStringLiteral("Print Setup"));
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace trendolin::gui
