// File > Print and a graph window's Print: choosing where the job goes (the
// print dialog, or a PDF file when the system has no printer), the job, and
// the pages: the data set as a table, or one page with the graph.
#pragma once

#include <QString>

class QPainter;
class QPrinter;
class QWidget;

namespace trendolin {
class CurveFit;
struct GraphAttr;
}  // namespace trendolin

namespace trendolin::gui {

class GraphWindow;

inline constexpr const char* kDataDocumentName = "Trendolin Data";
inline constexpr const char* kGraphDocumentName = "Trendolin Graph";

// File > Print: the whole data set as a table, in as many pages as it takes.
// `mainWindow` owns the dialogs and is disabled while the job runs. Returns
// true when printed; false when cancelled, aborted or failed (the failures
// told to the person).
bool PrintDataCommand(QWidget* mainWindow, trendolin::CurveFit& doc);

// A graph window's Print: one page with its graph, in colour or monochrome
// as chosen on the dialog's option page. The graph window and the main
// window are disabled while the job runs.
bool PrintGraphCommand(GraphWindow& window, trendolin::CurveFit& doc);

// The jobs themselves, on a printer already chosen (what the commands run
// after their dialog; tests print to PDF files through them).
bool PrintDataJob(QPrinter& printer, trendolin::CurveFit& doc, QWidget* mainWindow);
bool PrintGraphJob(QPrinter& printer, trendolin::CurveFit& doc, trendolin::GraphAttr& record, const QString& title,
                   bool monochrome, QWidget* graphWindow, QWidget* mainWindow);

// Draws the graph of `record` on a printer page of `painter` inside the
// printable rectangle: the printed layout at the printer's scale,
// monochrome if asked. A graph the renderer cannot draw leaves a note on
// the page instead, and the job goes on.
void DrawGraphPage(QPainter& painter, trendolin::CurveFit& doc, trendolin::GraphAttr& record, bool monochrome);

}  // namespace trendolin::gui
