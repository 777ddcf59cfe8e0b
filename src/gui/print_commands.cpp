// Print commands: the destination, the jobs and their pages.
#include "gui/print_commands.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>
#include <cstdio>
#include <optional>

#include "app/app_settings.h"
#include "data/curve_fit.h"
#include "fit/model_desc.h"
#include "graph/plot_renderer.h"
#include "graph/print_pages.h"
#include "gui/dialogs/print_options.h"
#include "gui/dialogs/save_picture_dialog.h"
#include "gui/graph_picture.h"
#include "gui/graph_window.h"
#include "gui/print_job.h"
#include "gui/printer_state.h"
#include "platform/debug_log.h"
#include "platform/resource_strings.h"
#include "platform/ui.h"
#include "precision/errors.h"
#include "render_qt/qt_surface.h"
#include "session/session.h"

namespace trendolin::gui {
namespace {

constexpr int kNoPrinterCaption = 35;  // the dialog gave no usable printer
constexpr int kNoPrinterText = 36;
constexpr int kDataJobText = 106;  // "Printing %s on %s connected to %s"
constexpr int kGraphFailedText = 59;
constexpr int kNoteIndentChars = 15;
constexpr int kNoteBottomLines = 3;
constexpr int kScreenDotsPerInch = 96;

// Where the job goes, as chosen in the dialog.
struct Destination {
  bool monochrome = false;
};

QString DeviceName(const QPrinter& printer) {
  if (printer.outputFormat() == QPrinter::PdfFormat) return QStringLiteral("PDF");
  return printer.printerName();
}

// The port of the classic spooler: the file for PDF output, else where
// CUPS says the printer is (or that CUPS serves it).
QString PortName(const QPrinter& printer) {
  if (!printer.outputFileName().isEmpty()) return printer.outputFileName();
  const QString location = QPrinterInfo::printerInfo(printer.printerName()).location();
  return location.isEmpty() ? QStringLiteral("CUPS") : location;
}

std::string FormatJobText(std::string_view format, const std::string& a, const std::string& b,
                          const std::string& c) {
  const std::string pattern(format);
  const int length = std::snprintf(nullptr, 0, pattern.c_str(), a.c_str(), b.c_str(), c.c_str());
  std::string text(static_cast<std::size_t>(std::max(length, 0)) + 1, '\0');
  std::snprintf(text.data(), text.size(), pattern.c_str(), a.c_str(), b.c_str(), c.c_str());
  text.resize(static_cast<std::size_t>(std::max(length, 0)));
  return text;
}

// The print dialog over the shared printer, or, with no printer in the
// system, the choice of a PDF file. `graphColour` asks for the graph's
// option page with colour preselected or not. nullopt: no job.
std::optional<Destination> ChooseDestination(QPrinter& printer, QWidget* owner, const QString& stem,
                                             const std::optional<bool>& graphColour) {
  printer.setCopyCount(1);
  Destination destination;
  if (!HavePrinters()) {
    const QString proposed = QDir(PictureFolder()).filePath(PictureFileStem(stem) + QStringLiteral(".pdf"));
    PrintToPdfDialog dialog(proposed, graphColour, owner);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const std::string path = dialog.ChosenPath();
    RememberPictureFolder(path);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(path));
    if (dialog.Options()) destination.monochrome = dialog.Options()->Monochrome();
    return destination;
  }

  QPrintDialog dialog(&printer, owner);
  dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
  dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
  dialog.setOption(QAbstractPrintDialog::PrintCollateCopies, true);
  GraphPrintOptions* options = nullptr;
  if (graphColour) {
    options = new GraphPrintOptions(*graphColour, true);
    dialog.setOptionTabs({options});
  }
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  if (!printer.isValid()) {
    platform::ResourceMessageBox(kNoPrinterCaption, kNoPrinterText, platform::Icon::Exclamation,
                                 platform::Buttons::Ok);
    return std::nullopt;
  }
  if (options) destination.monochrome = options->Monochrome();
  return destination;
}

int ScreenDotsPerInch() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const int dpi = screen ? static_cast<int>(screen->logicalDotsPerInchX() + 0.5) : 0;
  return dpi > 0 ? dpi : kScreenDotsPerInch;
}

// In place of a graph that cannot be drawn: the reason, word-wrapped and
// centred in the lower three fifths of the page's rectangle.
void DrawGraphFailureNote(Surface& surface, const Rect& area) {
  surface.Save();
  surface.SelectFont(InterfaceFontSpec());
  surface.SetTransparentText(true);
  surface.SetTextColour(kBlack);
  const FontMetrics font = surface.Metrics();
  const Rect box{area.left + kNoteIndentChars * font.averageCharWidth, area.top + area.Height() * 2 / 5,
                 area.right, area.bottom - kNoteBottomLines * font.height};
  surface.DrawWrappedText(box, platform::ResourceString(kGraphFailedText));
  surface.Restore();
}

// The windows a job disables cannot start another, but every other graph
// window can: one job at a time has the printer.
bool RefuseWhileAJobRuns() {
  if (!PrintJobRunning()) return false;
  platform::CurrentUi().Beep();
  return true;
}

Rect PrintableArea(QPrinter& printer) { return PrintableRect(PageGeometryOf(printer), MarginSettings()); }

}  // namespace

void DrawGraphPage(QPainter& painter, CurveFit& doc, GraphAttr& record, bool monochrome) {
  auto* printer = dynamic_cast<QPrinter*>(painter.device());
  const Rect area = printer ? PrintableArea(*printer) : Rect{0, 0, painter.device()->width(), painter.device()->height()};
  const int screen = ScreenDotsPerInch();
  const float sx = PrintScale(painter.device()->logicalDpiX(), screen);
  const float sy = PrintScale(painter.device()->logicalDpiY(), screen);
  const int mode = kRenderPrinted | (monochrome ? kRenderMonochrome : 0);
  QtSurface surface(painter, false);
  try {
    ClearErrorInfo();
    const ModelDesc desc = DescriptorOf(doc, record.modelId);
    Render(surface, record, MakePlotMetrics(record, sx, sy), area, desc, mode, ScreenUiMetrics());
  } catch (const errnotify&) {
    LogExceptionMarker("DrawPlotOnPrinte_1");
    DrawGraphFailureNote(surface, area);
  }
}

bool PrintDataJob(QPrinter& printer, CurveFit& doc, QWidget* mainWindow) {
  const Rect area = PrintableArea(printer);
  const std::string description =
      FormatJobText(platform::ResourceString(kDataJobText), doc.szFileName, DeviceName(printer).toStdString(),
                    PortName(printer).toStdString());
  PrintJobSetup setup{QString::fromLatin1(kDataDocumentName), QString::fromStdString(description), {mainWindow}};
  int next = 0;
  const std::string fileName = doc.szFileName;
  return RunPrintJob(printer, setup, [&](QPainter& painter, int page) {
    QtSurface surface(painter, false);
    next = DrawDataPage(surface, doc, fileName, area, next, page);
    return next >= 0;
  });
}

bool PrintGraphJob(QPrinter& printer, CurveFit& doc, GraphAttr& record, const QString& title, bool monochrome,
                   QWidget* graphWindow, QWidget* mainWindow) {
  const std::string device = DeviceName(printer).toStdString();
  const std::string port = PortName(printer).toStdString();
  DebugLogF("Printing %s graph on %s connected to %s\n", title.toUtf8().constData(), device.c_str(), port.c_str());
  const std::string description =
      FormatJobText("Printing %s graph on %s connected to %s", title.toStdString(), device, port);
  PrintJobSetup setup{QString::fromLatin1(kGraphDocumentName), QString::fromStdString(description),
                      {mainWindow, graphWindow}};
  return RunPrintJob(printer, setup, [&](QPainter& painter, int) {
    DrawGraphPage(painter, doc, record, monochrome);
    return false;
  });
}

bool PrintDataCommand(QWidget* mainWindow, CurveFit& doc) {
  if (RefuseWhileAJobRuns()) return false;
  QPrinter& printer = SharedPrinter();
  const QString stem = QFileInfo(QString::fromStdString(doc.szFileName)).completeBaseName();
  if (!ChooseDestination(printer, mainWindow, stem, std::nullopt)) return false;
  return PrintDataJob(printer, doc, mainWindow);
}

bool PrintGraphCommand(GraphWindow& window, CurveFit& doc) {
  if (RefuseWhileAJobRuns() || window.Record() == nullptr) return false;
  QPrinter& printer = SharedPrinter();
  const bool colour = CurrentSession().settings.IsOn(kFlagColorPrint);
  const std::optional<Destination> destination = ChooseDestination(printer, &window, window.windowTitle(), colour);
  if (!destination || window.Record() == nullptr) return false;
  return PrintGraphJob(printer, doc, *window.Record(), window.windowTitle(), destination->monochrome, &window,
                       window.MainWindow());
}

}  // namespace trendolin::gui
