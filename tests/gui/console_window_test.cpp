// The debug console window: what it shows and how, text from other threads,
// closing, its opening with the log and by Shift+F8, and the crash notice run.
#include "gui/console_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QImage>
#include <QProcess>
#include <QTest>
#include <QtTest/qtestspontaneevent.h>
#include <filesystem>
#include <thread>

#include "data/curve_fit.h"
#include "gui/main_window.h"
#include "platform/debug_log.h"
#include "support/temp_dir.h"

namespace trendolin::gui {
namespace {

using testsupport::ScopedCurrentDir;
using testsupport::TempDir;

constexpr int kBottom = ConsoleRing::kLines - 1;

// Diagnostics as every test finds them: off, no log, no console.
class ConsoleWindowTest : public testing::Test {
 protected:
  void TearDown() override {
    CloseDebugConsole();
    CloseDiagnostics();
    DebugFlags = 0;
  }

  // The text of the whole ring, lines joined by "\n".
  static std::string RingText(const ConsoleWindow& console) {
    std::string text;
    for (int row = 0; row < ConsoleRing::kLines; ++row) text += console.Ring().Row(row) + "\n";
    return text;
  }
};

TEST_F(ConsoleWindowTest, CaptionAndTextFromAnyThread) {
  ConsoleWindow console(QStringLiteral("DAVU0003.REC"));
  EXPECT_EQ(console.windowTitle(), QStringLiteral("Trendolin Debug Console - [DAVU0003.REC]"));
  EXPECT_EQ(ConsoleWindow(QString()).windowTitle(), QStringLiteral("STDIO"));
  EXPECT_TRUE(console.isWindow());
  EXPECT_EQ(console.parentWidget(), nullptr);

  const auto sink = console.Sink();
  sink("on the GUI thread\n");
  EXPECT_EQ(console.Ring().Row(kBottom - 1), "on the GUI thread") << "typed at once";
  std::thread worker([&sink] { sink("from a worker\n"); });
  worker.join();
  EXPECT_EQ(console.Ring().Row(kBottom - 1), "on the GUI thread") << "a worker never touches the window";
  QCoreApplication::processEvents();
  EXPECT_EQ(console.Ring().Row(kBottom - 1), "from a worker") << "queued to the GUI thread";
}

TEST_F(ConsoleWindowTest, ClosingMinimisesAndTheSizeStaysWithinTheRing) {
  ConsoleWindow console(QStringLiteral("DAVU0000.REC"));
  console.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&console));
  // The close button: a close event from the window system.
  QCloseEvent byPerson;
  QSpontaneKeyEvent::setSpontaneous(&byPerson);
  QApplication::instance()->notify(&console, &byPerson);
  EXPECT_FALSE(byPerson.isAccepted());
  EXPECT_TRUE(console.isMinimized());
  EXPECT_TRUE(console.isVisible());
  // When the program quits it closes every window; a console that refused
  // would call the quit off.
  EXPECT_TRUE(console.close());
  EXPECT_FALSE(console.isVisible());
  EXPECT_FALSE(console.testAttribute(Qt::WA_QuitOnClose)) << "the console must not keep the program running";

  const QFontMetrics metrics(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  const int column = metrics.horizontalAdvance(QLatin1Char('M'));
  EXPECT_EQ(console.maximumHeight(), ConsoleRing::kLines * metrics.lineSpacing());
  EXPECT_LE(console.maximumWidth(), ConsoleRing::kColumns * column + console.maximumHeight() / 6);
  EXPECT_GE(console.minimumWidth(), ConsoleRing::kColumns / 2 * column);
}

TEST_F(ConsoleWindowTest, PaintsTheTextAreaAndTheBand) {
  ConsoleWindow console(QStringLiteral("DAVU0000.REC"));
  console.resize(console.maximumWidth(), 240);
  console.Append("x\n");
  const QImage image = console.grab().toImage();
  const QPalette palette = console.palette();
  const int band = console.BandWidth();
  ASSERT_EQ(band, 40);
  const int bandLeft = image.width() - band;
  int dark = 0;
  int light = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = bandLeft; x < image.width(); ++x) {
      const QRgb pixel = image.pixel(x, y);
      dark += pixel == palette.color(QPalette::Dark).rgb() ? 1 : 0;
      light += pixel == palette.color(QPalette::Light).rgb() ? 1 : 0;
    }
  }
  EXPECT_GT(dark, band * image.height() / 2) << "the band is filled with the shadow colour";
  EXPECT_GT(light, 0) << "the band carries the program's name";
  // The top row holds no text: the text area's face colour right up to the band.
  for (int x = 0; x < bandLeft; ++x) {
    ASSERT_EQ(image.pixel(x, 1), palette.color(QPalette::Button).rgb()) << "x = " << x;
  }
  EXPECT_EQ(image.pixel(bandLeft, 1), palette.color(QPalette::Dark).rgb());
  // The bottom lines carry the text, in the button-text colour.
  bool textPainted = false;
  for (int y = image.height() - 3 * QFontMetrics(QFontDatabase::systemFont(QFontDatabase::FixedFont)).lineSpacing();
       y < image.height() && !textPainted; ++y) {
    for (int x = 0; x < bandLeft / 4 && !textPainted; ++x) {
      textPainted = image.pixel(x, y) == palette.color(QPalette::ButtonText).rgb();
    }
  }
  EXPECT_TRUE(textPainted);
}

TEST_F(ConsoleWindowTest, OpensWithTheLogAndShowsItsBanner) {
  TempDir dir;
  ScopedCurrentDir here(dir.Path());
  DebugFlags = 4;  // a log without the console
  ASSERT_TRUE(OpenDiagnosticsAndConsole(kAppVersion));
  EXPECT_EQ(DebugConsole(), nullptr);
  CloseDiagnostics();

  DebugFlags = 255;
  ASSERT_TRUE(OpenDiagnosticsAndConsole(kAppVersion));
  ConsoleWindow* console = DebugConsole();
  ASSERT_NE(console, nullptr);
  EXPECT_EQ(console->windowTitle(), QStringLiteral("Trendolin Debug Console - [DAVU0001.REC]"));
  EXPECT_TRUE(console->isVisible());
  EXPECT_NE(RingText(*console).find("=========TRENDOLIN DEBUG MODE=========\n"), std::string::npos)
      << "attached before the banner";
  DebugLog("a log line\n");
  EXPECT_EQ(console->Ring().Row(kBottom - 1), "a log line");

  CloseDebugConsole();
  EXPECT_EQ(DebugConsole(), nullptr);
  DebugLog("after the console\n");  // goes to standard error, not to a window that is gone
}

TEST_F(ConsoleWindowTest, ShiftF8SwitchesDiagnosticsOnOnce) {
  TempDir dir;
  ScopedCurrentDir here(dir.Path());
  CurveFit doc;
  MainWindow main(doc);
  main.show();
  main.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
  QTest::keyClick(&main, Qt::Key_F8, Qt::ShiftModifier);
  EXPECT_EQ(DebugFlags, 255);
  ConsoleWindow* console = DebugConsole();
  ASSERT_NE(console, nullptr);
  EXPECT_NE(RingText(*console).find("Sizes of Important Structures"), std::string::npos)
      << "the system-information dump follows";
  main.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
  QTest::keyClick(&main, Qt::Key_F8, Qt::ShiftModifier);
  EXPECT_EQ(DebugConsole(), console);
  EXPECT_FALSE(std::filesystem::exists("DAVU0001.REC")) << "one log for the run";
}

#ifdef TRENDOLIN_WORKSTATION
// With nobody at a screen the notice run only hands the code on.
TEST_F(ConsoleWindowTest, CrashNoticeWithoutADisplayReturnsTheCode) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) environment.remove(QString::fromLatin1(name));
  QProcess notice;
  notice.setProcessEnvironment(environment);
  notice.start(QStringLiteral(TRENDOLIN_WORKSTATION), {QStringLiteral("--crash-notice"), QStringLiteral("3")});
  ASSERT_TRUE(notice.waitForFinished(10000));
  EXPECT_EQ(notice.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(notice.exitCode(), 3);
}
#endif

}  // namespace
}  // namespace trendolin::gui
