// The printer the program prints on: one for the whole process, so the
// printer and page chosen in one job or in Print setup are there for the
// next; what it tells about itself; and File > Print setup.
#pragma once

#include <optional>

#include "graph/print_pages.h"
#include "graph/printer_facts.h"

class QPrinter;
class QWidget;

namespace trendolin::gui {

// The shared printer: the system's default printer at first, or, when the
// system has none, PDF output to a file.
QPrinter& SharedPrinter();

// Whether the system offers any printer (CUPS). Without one, printing
// writes a PDF file the person chooses.
bool HavePrinters();

// The page of `printer` in its device pixels.
trendolin::PageGeometry PageGeometryOf(const QPrinter& printer);

// The printing margins of the settings.
trendolin::PrintMargins MarginSettings();

// The default-printer probe: the printer the next job would use, described,
// without showing anything; nullopt when the system has no printer.
std::optional<trendolin::PrinterFacts> DefaultPrinterProbe();

// File > Print setup: the page setup of the shared printer, owned by
// `owner`. Returns true when the person confirmed a new setup.
bool RunPrintSetup(QWidget* owner);

}  // namespace trendolin::gui
