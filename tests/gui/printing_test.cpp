// Printing and Save Picture: the page layout on a recording surface, jobs
// printed to PDF files and read back (page count, text, pixels), the abort
// between pages, monochrome graphs, and the Save Picture dialog driven as a
// person would.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QSvgRenderer>
#include <QTest>
#include <QTimer>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "fit/drivers_test_support.h"
#include "graph/print_pages.h"
#include "graph/printer_facts.h"
#include "gui/dialogs/print_options.h"
#include "gui/dialogs/save_picture_dialog.h"
#include "app/main_menu.h"
#include "gui/graph_window.h"
#include "gui/main_window.h"
#include "gui/print_commands.h"
#include "gui/print_job.h"
#include "gui/printer_state.h"
#include "gui/qt_graph_host.h"
#include "modal_helpers.h"
#include "platform/debug_log.h"
#include "platform/resource_strings.h"
#include "session/session.h"
#include "support/recording_surface.h"
#include "support/temp_dir.h"

namespace trendolin::gui {
namespace {

using platform::UiEvent;
using testsupport::RecordingSurface;
using testsupport::WhenModal;

// ---- the layout, without a printer ----

TEST(PrintableRectTest, MarginsLessTheOffsetsAndClampedToThePrintableArea) {
  // A letter sheet at 300 dpi with a quarter inch the printer cannot mark.
  const PageGeometry letter{300, 300, 2550, 3300, 75, 75, 2400, 3150};
  struct Case {
    PrintMargins margins;
    Rect expected;
    const char* why;
  } cases[] = {
      {{1.0, 1.0, 1.0, 1.0}, {225, 225, 2175, 2925}, "an inch all round, measured from the sheet's edge"},
      {{0.0, 0.0, 0.0, 0.0}, {0, 0, 2400, 3150}, "no margins: the printable area, not beyond"},
      {{0.5, 1.5, 2.0, 0.25}, {525, 75, 2400, 2775}, "each margin on its own edge (top, bottom, left, right)"},
      {{20.0, 20.0, 20.0, 20.0}, {2400, 3150, 2400, 3150}, "margins larger than the page leave nothing, inverted never"},
  };
  for (const Case& c : cases) EXPECT_EQ(PrintableRect(letter, c.margins), c.expected) << c.why;
}

TEST(DataPageTest, AnEmptyDataSetPrintsOnePageWithTheHeaderAndTitlesOnly) {
  CurveFit doc;
  doc.AllocateData(0, 2, 0);
  RecordingSurface surface;
  EXPECT_EQ(DrawDataPage(surface, doc, "EMPTY.DAT", Rect{0, 0, 2000, 2600}, 0, 1), -1);
  EXPECT_EQ(surface.Texts(), (std::vector<std::string>{"Data Points", "EMPTY.DAT", "Trendolin 1.4", "Page 1",
                                                       "Point", "X Data", "Y Data"}));
  EXPECT_EQ(DataPageCount(0, MakeDataPageLayout(Rect{0, 0, 2000, 2600}, 36, 20, 6)), 1);
}

TEST(DataPageTest, PagesFollowOnWhereThePreviousEndedUntilEveryPointIsPrinted) {
  CurveFit doc;
  const int points = 130;
  doc.AllocateData(points, 2, 0);
  for (int i = 0; i < points; ++i) {
    doc.At(i, 0) = static_cast<float>(i) * 0.5f;
    doc.At(i, 1) = static_cast<float>(i) * -2.0f - 1.0f;
  }
  const Rect area{100, 100, 1700, 2200};
  // The recording surface measures an 18-point line as 36 pixels, a 10-point
  // line as 20 and its characters as 6.
  const DataPageLayout layout = MakeDataPageLayout(area, 36, 20, 6);
  EXPECT_EQ(layout.ruleY, 100 + 5 * 36);
  // Rows start on the rule and go on while a row's top is 2.5 lines above the bottom.
  const int perPage = layout.RowsPerPage();
  EXPECT_LE(layout.RowTop(perPage - 1) + 50, area.bottom);
  EXPECT_GT(layout.RowTop(perPage) + 50, area.bottom);

  std::vector<std::string> numbers;
  int next = 0;
  int pages = 0;
  while (next >= 0) {
    RecordingSurface surface;
    next = DrawDataPage(surface, doc, "A.DAT", area, next, ++pages);
    const std::vector<testsupport::SurfaceCall> texts = surface.CallsOf("TextOut");
    EXPECT_EQ(texts[3].text, "Page " + std::to_string(pages));
    for (std::size_t t = 7; t < texts.size(); t += 3) {
      numbers.push_back(texts[t].text);
      EXPECT_EQ(texts[t].h, HAlign::Right);
      EXPECT_EQ(texts[t].points[0].x, layout.pointRight - 2 * 6) << "two characters in from the column's edge";
    }
    if (pages == 1) {
      EXPECT_EQ(texts[8].text, "0.0000000000");
      EXPECT_EQ(texts[9].text, "-1.0000000000");
    }
    ASSERT_LT(pages, 20) << "pagination does not end";
  }
  EXPECT_EQ(pages, DataPageCount(points, layout));
  ASSERT_EQ(numbers.size(), static_cast<std::size_t>(points));
  EXPECT_EQ(numbers.front(), "1");
  EXPECT_EQ(numbers.back(), "130");
}

TEST(DataPageTest, APageTooShortForARowStillPrintsOneSoTheJobEnds) {
  const DataPageLayout layout = MakeDataPageLayout(Rect{0, 0, 500, 120}, 36, 20, 6);
  EXPECT_EQ(layout.RowsPerPage(), 1);
  EXPECT_EQ(DataPageCount(3, layout), 3);
}

TEST(PrinterFactsTest, TheTextsOfThePrintingPage) {
  EXPECT_EQ(DescribePrinter(std::nullopt).name, "No printer installed.");
  PrinterFacts facts;
  facts.name = "Office";
  facts.scalePercent = 100;
  facts.orientation = kOrientationLandscape;
  facts.printQuality = 600;
  facts.page = PrinterPage{11.0, 8.5, 0.25, 0.2};
  const PrinterTexts texts = DescribePrinter(facts);
  EXPECT_EQ(texts.name, "Office");
  EXPECT_EQ(texts.scale, "1.00");
  EXPECT_EQ(texts.orientation, "Landscape");
  EXPECT_EQ(texts.paperSize, "11.0\" x 8.5\"");
  EXPECT_EQ(texts.resolution, "600 dpi");
  facts.printQuality = kQualityMedium;
  facts.orientation = 7;
  EXPECT_EQ(DescribePrinter(facts).resolution, "Medium");
  EXPECT_EQ(DescribePrinter(facts).orientation, "Unknown");
  EXPECT_EQ(PageForMargins(std::nullopt).width, 8.5);
  EXPECT_EQ(PageForMargins(std::nullopt).height, 11.0);
}

// ---- jobs printed to PDF files ----

// Runs a poppler tool; its standard output, or empty when it could not run.
QString RunTool(const QString& tool, const QStringList& arguments) {
  QProcess process;
  process.start(tool, arguments);
  if (!process.waitForFinished(30000) || process.exitCode() != 0) return QString();
  return QString::fromUtf8(process.readAllStandardOutput());
}

int PdfPageCount(const std::string& path) {
  const QString info = RunTool(QStringLiteral("pdfinfo"), {QString::fromStdString(path)});
  for (const QString& line : info.split(QLatin1Char('\n'))) {
    if (line.startsWith(QStringLiteral("Pages:"))) return line.mid(6).trimmed().toInt();
  }
  return -1;
}

QString PdfText(const std::string& path) {
  return RunTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), QString::fromStdString(path), QStringLiteral("-")});
}

// Page `page` of a PDF file as an image at `dpi` (also kept as a PNG beside it).
QImage PdfPage(const std::string& path, int page, int dpi = 50) {
  const QString stem = QString::fromStdString(path) + QStringLiteral("-page");
  const QString n = QString::number(page);
  RunTool(QStringLiteral("pdftoppm"), {QStringLiteral("-png"), QStringLiteral("-r"), QString::number(dpi),
                                       QStringLiteral("-f"), n, QStringLiteral("-l"), n, QStringLiteral("-singlefile"),
                                       QString::fromStdString(path), stem});
  const QImage image(stem + QStringLiteral(".png"));
  // For a person to look at: TRENDOLIN_TEST_SHOTS names a folder.
  if (const char* shots = std::getenv("TRENDOLIN_TEST_SHOTS")) {
    image.save(QString::fromUtf8(shots) + QLatin1Char('/') + QFileInfo(stem).fileName() + n + QStringLiteral(".png"));
  }
  return image;
}

// A picture of a dialog for a person to look at, where TRENDOLIN_TEST_SHOTS points.
void SaveShot(QWidget* widget, const char* name) {
  if (const char* shots = std::getenv("TRENDOLIN_TEST_SHOTS")) {
    widget->grab().save(QString::fromUtf8(shots) + QLatin1Char('/') + QString::fromLatin1(name));
  }
}

int DarkPixels(const QImage& image) {
  int dark = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) dark += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
  }
  return dark;
}

// Pixels whose channels differ clearly: colour, not grey.
int ColouredPixels(const QImage& image) {
  int coloured = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      const int spread = std::max({c.red(), c.green(), c.blue()}) - std::min({c.red(), c.green(), c.blue()});
      coloured += spread > 60 ? 1 : 0;
    }
  }
  return coloured;
}

class PrintingTest : public testing_support::DriverTest {
 protected:
  void SetUp() override {
    DriverTest::SetUp();
    if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty()) {
      GTEST_SKIP() << "pdftoppm (poppler-utils) is needed to read printed pages back; scripts/setup installs it";
    }
    CurrentSession().iniFile = folder_.File("REVUZI.INI");
    CurrentSession().graphQueue.SetHost(&qtHost_);
    Load([](double x) { return 1 + 2 * x; }, 1, 120, 120, 0.05);
    doc_.szFileName = "LINE.DAT";
  }
  void TearDown() override {
    CurrentSession().graphQueue.CloseAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    DriverTest::TearDown();
    CurrentSession().iniFile.clear();
  }

  // A printer writing `name` in the test's folder, letter paper, no border.
  std::unique_ptr<QPrinter> PdfPrinter(const std::string& name) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setPageSize(QPageSize(QPageSize::Letter));
    printer->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    printer->setOutputFileName(QString::fromStdString(folder_.File(name)));
    return printer;
  }

  GraphWindow* OpenLinearFit() {
    if (OpenFitWindow(doc_, 500) != kWindowOpened) return nullptr;
    return qtHost_.Window(CurrentSession().graphQueue.Find(500));
  }

  std::vector<std::string> Boxes() const {
    std::vector<std::string> boxes;
    for (const UiEvent& e : ui_.EventsOf(UiEvent::Kind::MessageBox)) boxes.push_back(e.caption + "|" + e.text);
    return boxes;
  }

  testsupport::TempDir folder_;
  testsupport::ScopedCurrentDir cwd_{folder_.Path()};
  QtGraphHost qtHost_{doc_};
};

TEST_F(PrintingTest, TheDataSetPrintsAsATableOverAsManyPagesAsItNeeds) {
  const std::string path = folder_.File("data.pdf");
  auto printer = PdfPrinter("data.pdf");
  QWidget main;
  ASSERT_TRUE(PrintDataJob(*printer, doc_, &main));
  EXPECT_TRUE(main.isEnabled()) << "the window disabled during the job is enabled again";
  EXPECT_FALSE(CurrentPrintJob().progress) << "the progress dialog has gone";

  // 120 rows at one inch margins on letter paper take three pages.
  const int pages = PdfPageCount(path);
  EXPECT_EQ(pages, 3);
  const QString text = PdfText(path);
  for (const char* expected : {"Data Points", "LINE.DAT", "Trendolin 1.4", "Page 1", "Page 3", "X Data", "Y Data"}) {
    EXPECT_TRUE(text.contains(QString::fromLatin1(expected))) << expected;
  }
  EXPECT_TRUE(text.contains(QStringLiteral("120.0000000000"))) << "the last x, with ten decimals";
  const QImage first = PdfPage(path, 1);
  ASSERT_FALSE(first.isNull());
  EXPECT_GT(DarkPixels(first), 2000) << "the page is not blank";
  // Nothing is printed inside the one-inch margins (50 pixels at 50 dpi).
  const QImage margin = first.copy(0, 0, first.width(), 45);
  EXPECT_EQ(DarkPixels(margin), 0);
}

TEST_F(PrintingTest, CancelInTheProgressDialogAbortsTheJobAfterThePageUnderWay) {
  // Pages come and go through the job runner; the person presses Cancel
  // while the second page is drawn.
  auto printer = PdfPrinter("aborted.pdf");
  QWidget main;
  std::vector<int> drawn;
  const bool printed = RunPrintJob(*printer, PrintJobSetup{QStringLiteral("Trendolin Data"), QStringLiteral("test job"), {&main}},
                                   [&](QPainter& painter, int page) {
                                     drawn.push_back(page);
                                     EXPECT_FALSE(main.isEnabled());
                                     if (page == 1) {
                                       // Another window's Print waits for this job: a beep, no dialog.
                                       QTimer::singleShot(2000, [] {
                                         if (QWidget* box = QApplication::activeModalWidget()) box->close();
                                       });
                                       EXPECT_FALSE(PrintDataCommand(nullptr, doc_));
                                       EXPECT_EQ(ui_.EventsOf(UiEvent::Kind::Beep).size(), 1u);
                                     }
                                     painter.drawText(100, 100, QStringLiteral("page"));
                                     if (page == 2) {
                                       auto* cancel = CurrentPrintJob().progress->findChild<QPushButton*>(
                                           QStringLiteral("cancel"));
                                       cancel->click();
                                     }
                                     return true;  // it would go on for ever
                                   });
  EXPECT_FALSE(printed);
  EXPECT_EQ(drawn, (std::vector<int>{1, 2}));
  EXPECT_FALSE(CurrentPrintJob().abort) << "the flag is cleared for the next job";
  EXPECT_TRUE(main.isEnabled());
  EXPECT_TRUE(Boxes().empty()) << "an abort is no error";

  // The data job: Cancel pressed while the first page prints; the
  // unfinished file is not left behind as if it were the document.
  auto data = PdfPrinter("data.pdf");
  QTimer::singleShot(0, [] {
    if (CurrentPrintJob().progress) CurrentPrintJob().progress->findChild<QPushButton*>(QStringLiteral("cancel"))->click();
  });
  EXPECT_FALSE(PrintDataJob(*data, doc_, &main));
  EXPECT_FALSE(std::filesystem::exists(folder_.File("data.pdf")));

  // A document that cannot be started is told, and the job ends there.
  auto nowhere = PdfPrinter("no-such-folder/data.pdf");
  EXPECT_FALSE(PrintDataJob(*nowhere, doc_, &main));
  EXPECT_TRUE(main.isEnabled());
  EXPECT_EQ(Boxes(), (std::vector<std::string>{"Print|" + std::string(platform::ResourceString(40))}));
}

TEST_F(PrintingTest, AGraphPrintsOnOnePageInColourOrInMonochrome) {
  GraphWindow* window = OpenLinearFit();
  ASSERT_NE(window, nullptr);
  QWidget main;
  auto colour = PdfPrinter("colour.pdf");
  ASSERT_TRUE(PrintGraphJob(*colour, doc_, *window->Record(), window->windowTitle(), false, window, &main));
  auto mono = PdfPrinter("mono.pdf");
  ASSERT_TRUE(PrintGraphJob(*mono, doc_, *window->Record(), window->windowTitle(), true, window, &main));
  EXPECT_TRUE(window->isEnabled());

  EXPECT_EQ(PdfPageCount(folder_.File("colour.pdf")), 1);
  EXPECT_TRUE(PdfText(folder_.File("colour.pdf")).contains(QStringLiteral("Trendolin 1.4"))) << "the printed header";
  const QImage colourPage = PdfPage(folder_.File("colour.pdf"), 1);
  const QImage monoPage = PdfPage(folder_.File("mono.pdf"), 1);
  ASSERT_FALSE(colourPage.isNull());
  ASSERT_FALSE(monoPage.isNull());
  EXPECT_GT(DarkPixels(monoPage), 500) << "the graph is on the page";
  EXPECT_GT(ColouredPixels(colourPage), 20) << "the colours of the graph";
  EXPECT_EQ(ColouredPixels(monoPage), 0) << "monochrome: black on white";
}

TEST_F(PrintingTest, AGraphThatCannotBeDrawnPrintsWhyAndIsNotSavedAsAPicture) {
  GraphWindow* window = OpenLinearFit();
  ASSERT_NE(window, nullptr);
  std::string log;
  SetConsoleSink([&log](std::string_view text) { log += text; });
  DebugFlags = 2;
  // A logarithmic x axis reaching 0 cannot be drawn.
  window->Record()->xMin = 0;
  window->Record()->SetSwitch(kSwLogX, true);

  auto printer = PdfPrinter("failed.pdf");
  QWidget main;
  EXPECT_TRUE(PrintGraphJob(*printer, doc_, *window->Record(), window->windowTitle(), false, window, &main))
      << "the job goes on with the reason on its page";
  const QString reason = QString::fromUtf8(std::string(platform::ResourceString(59)).substr(0, 30));
  EXPECT_TRUE(PdfText(folder_.File("failed.pdf")).simplified().contains(reason));
  EXPECT_FALSE(PdfPage(folder_.File("failed.pdf"), 1).isNull());
  EXPECT_NE(log.find("EX: DrawPlotOnPrinte_1\n"), std::string::npos) << log;
  EXPECT_NE(log.find("Printing Linear Fit graph on PDF connected to "), std::string::npos) << log;

  const std::string path = folder_.File("failed.png");
  WhenModal<SavePictureDialog>([&](SavePictureDialog* dialog) {
    dialog->selectFile(QString::fromStdString(path));
    dialog->accept();
  });
  EXPECT_FALSE(RunSavePictureCommand(window, doc_, *window->Record(), window->size(), window->windowTitle()));
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_EQ(Boxes(), (std::vector<std::string>{"Save Picture|" + std::string(platform::ResourceString(58))}));
  DebugFlags = 0;
  SetConsoleSink({});
}

TEST_F(PrintingTest, WithoutAPrinterPrintWritesThePdfFileThePersonChooses) {
  if (HavePrinters()) GTEST_SKIP() << "this machine has printers: Print shows the print dialog";
  // Cancel prints nothing and tells nothing.
  WhenModal<PrintToPdfDialog>([](PrintToPdfDialog* dialog) { dialog->reject(); });
  QWidget main;
  EXPECT_FALSE(PrintDataCommand(&main, doc_));
  EXPECT_TRUE(Boxes().empty());

  // The graph's dialog carries the option page, colour as the setting says.
  CurrentSession().settings.SetFlag(kFlagColorPrint, false);
  GraphWindow* window = OpenLinearFit();
  ASSERT_NE(window, nullptr);
  const std::string path = folder_.File("chosen.pdf");
  bool monochromeOffered = false;
  WhenModal<PrintToPdfDialog>([&](PrintToPdfDialog* dialog) {
    ASSERT_NE(dialog->Options(), nullptr);
    SaveShot(dialog, "print_to_pdf_dialog.png");
    monochromeOffered = dialog->Options()->MonochromeButton()->isChecked();
    dialog->selectFile(QString::fromStdString(path));
    dialog->accept();
  });
  EXPECT_TRUE(PrintGraphCommand(*window, doc_));
  EXPECT_TRUE(monochromeOffered);
  EXPECT_EQ(PdfPageCount(path), 1);
  EXPECT_EQ(PictureFolder(), QString::fromStdString(folder_.Path())) << "the folder is remembered";
}

TEST_F(PrintingTest, FilePrintAndTheGraphWindowsPrintAndSavePictureKeysReachTheirDialogs) {
  if (HavePrinters()) GTEST_SKIP() << "this machine has printers: Print shows the print dialog";
  MainWindow main(doc_);
  const std::string path = folder_.File("file-print.pdf");
  WhenModal<PrintToPdfDialog>([&](PrintToPdfDialog* dialog) {
    EXPECT_EQ(dialog->Options(), nullptr) << "a data job has no colour to choose";
    dialog->selectFile(QString::fromStdString(path));
    dialog->accept();
  });
  main.Command(cmd::kPrint);
  EXPECT_EQ(PdfPageCount(path), 3);

  // Print setup sets up the page of the printer the next job uses; with no
  // printer there is none to describe.
  bool setupShown = false;
  WhenModal<QPageSetupDialog>([&](QPageSetupDialog* dialog) {
    setupShown = true;
    EXPECT_EQ(dialog->printer(), &SharedPrinter());
    dialog->accept();
  });
  main.Command(cmd::kPrintSetup);
  EXPECT_TRUE(setupShown);
  EXPECT_FALSE(DefaultPrinterProbe().has_value());

  GraphWindow* window = OpenLinearFit();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
  int opened = 0;
  WhenModal<SavePictureDialog>([&](SavePictureDialog* dialog) {
    ++opened;
    dialog->reject();
  });
  QTest::keyClick(window, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
  WhenModal<PrintToPdfDialog>([&](PrintToPdfDialog* dialog) {
    ++opened;
    EXPECT_NE(dialog->Options(), nullptr);
    dialog->reject();
  });
  QTest::keyClick(window, Qt::Key_P, Qt::ControlModifier);
  EXPECT_EQ(opened, 2);
  EXPECT_TRUE(Boxes().empty()) << "cancelled: nothing to tell";
}

// ---- Save Picture ----

TEST_F(PrintingTest, SavePictureWritesEachFormatAtTheChosenSize) {
  GraphWindow* window = OpenLinearFit();
  ASSERT_NE(window, nullptr);
  for (const char* name : {"graph.png", "graph.svg", "graph.pdf"}) {
    const std::string path = folder_.File(name);
    WhenModal<SavePictureDialog>([&](SavePictureDialog* dialog) {
      EXPECT_EQ(dialog->WidthField()->text(), QString::number(window->width())) << "the window's size to start";
      SaveShot(dialog, "save_picture_dialog.png");
      dialog->WidthField()->setText(QStringLiteral("640"));
      dialog->HeightField()->setText(QStringLiteral("480"));
      dialog->selectFile(QString::fromStdString(path));
      dialog->accept();
    });
    ASSERT_TRUE(RunSavePictureCommand(window, doc_, *window->Record(), window->size(), window->windowTitle())) << name;
  }
  EXPECT_EQ(QImage(QString::fromStdString(folder_.File("graph.png"))).size(), QSize(640, 480));
  EXPECT_EQ(QSvgRenderer(QString::fromStdString(folder_.File("graph.svg"))).viewBox(), QRect(0, 0, 640, 480));
  const QImage pdf = PdfPage(folder_.File("graph.pdf"), 1);  // 640 x 480 at 96 dpi is 333 x 250 at 50
  EXPECT_NEAR(pdf.width(), 333, 2);
  EXPECT_NEAR(pdf.height(), 250, 2);
  EXPECT_GT(DarkPixels(QImage(QString::fromStdString(folder_.File("graph.png")))), 500);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(PrintingTest, SavePictureRefusesABadSizeOrAnotherFormatAndWritesNothing) {
  GraphWindow* window = OpenLinearFit();
  ASSERT_NE(window, nullptr);
  const std::string path = folder_.File("refused.png");
  std::vector<bool> stayedOpen;
  WhenModal<SavePictureDialog>([&](SavePictureDialog* dialog) {
    dialog->selectFile(QString::fromStdString(path));
    for (const char* width : {"0", "12x", "10001"}) {
      dialog->WidthField()->setText(QString::fromLatin1(width));
      dialog->accept();
      stayedOpen.push_back(dialog->isVisible());
    }
    dialog->WidthField()->setText(QStringLiteral("300"));
    dialog->selectFile(QString::fromStdString(folder_.File("refused.jpg")));
    dialog->accept();
    stayedOpen.push_back(dialog->isVisible());
    dialog->reject();
  });
  EXPECT_FALSE(RunSavePictureCommand(window, doc_, *window->Record(), window->size(), window->windowTitle()));
  EXPECT_EQ(stayedOpen, (std::vector<bool>{true, true, true, true}));
  ASSERT_EQ(Boxes().size(), 4u);
  EXPECT_NE(Boxes()[0].find("width of the picture must be a whole number of pixels from 16 to 10000"),
            std::string::npos);
  EXPECT_NE(Boxes()[3].find(".png, .svg or .pdf"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(path)) << "nothing written";
  EXPECT_FALSE(std::filesystem::exists(folder_.File("refused.jpg")));
}

}  // namespace
}  // namespace trendolin::gui
