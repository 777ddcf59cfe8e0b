// The model information window opened from real graph windows: its pages,
// the copy of each page, the residual plot and its window, and the ways in
// (the I key, the header button, "NoGraphs").
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTest>

#include <cmath>
#include <functional>
#include <string>

#include "fit/drivers_test_support.h"
#include "gui/graph_window.h"
#include "gui/help_viewer.h"
#include "gui/info_residuals.h"
#include "gui/info_window.h"
#include "gui/model_picture.h"
#include "gui/qt_graph_host.h"
#include "gui/tab_stop_list.h"
#include "modal_helpers.h"
#include "platform/resource_strings.h"
#include "session/session.h"
#include "support/temp_dir.h"

namespace trendolin::gui {
namespace {

std::vector<std::string> Lines(const InfoWindow& w, const char* name) {
  std::vector<std::string> lines;
  for (const QString& line : w.findChild<TabStopList*>(QString::fromUtf8(name))->Lines()) lines.push_back(line.toStdString());
  return lines;
}

QString Text(const InfoWindow& w, const char* name) { return w.findChild<QLabel*>(QString::fromUtf8(name))->text(); }

class InfoWindowTest : public testing_support::DriverTest {
 protected:
  void SetUp() override {
    DriverTest::SetUp();
    CurrentSession().iniFile = settings_.File("REVUZI.INI");
    CurrentSession().graphQueue.SetHost(&qtHost_);
  }
  void TearDown() override {
    CurrentSession().graphQueue.CloseAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    DriverTest::TearDown();
    CurrentSession().iniFile.clear();
  }

  GraphWindow* Open(int model) {
    if (OpenFitWindow(doc_, model) != kWindowOpened) return nullptr;
    return qtHost_.Window(CurrentSession().graphQueue.Find(model));
  }

  // Runs `open`, then `look` at the information window it brings up, and
  // closes the window.
  void WithInfoWindow(const std::function<void()>& open, const std::function<void(InfoWindow&)>& look) {
    bool seen = false;
    testsupport::WhenModal<InfoWindow>([&](InfoWindow* w) {
      seen = true;
      look(*w);
      w->Command(kInfoClose);
    });
    open();
    EXPECT_TRUE(seen) << "no information window";
    EXPECT_EQ(CurrentSession().infoWindowsOpen, 0) << "the window is counted out";
  }

  // The fit's report of every page, copied from the window, is the report text.
  void ExpectEveryPageCopies(InfoWindow& w, int model) {
    for (int i = 0; i < w.PageCount(); ++i) {
      const auto page = static_cast<ReportPage>(i);
      w.SetCurrentPage(page);
      ui_.SetClipboard(std::nullopt);
      w.Command(kInfoCopy);
      ASSERT_TRUE(ui_.Clipboard().has_value()) << "page " << i;
      EXPECT_EQ(*ui_.Clipboard(), FitReport(doc_, model, page)) << "page " << i;
    }
  }

  testsupport::TempDir settings_;
  testsupport::ScopedCurrentDir cwd_{settings_.Path()};
  QtGraphHost qtHost_{doc_};
};

TEST_F(InfoWindowTest, ANonlinearFitShowsItsFivePagesAndCopiesEach) {
  Load([](double x) { return 2 * std::exp(0.3 * x); }, 0, 5, 12, 0.02);
  GraphWindow* graph = Open(504);
  ASSERT_NE(graph, nullptr);
  WithInfoWindow([&] { QTest::keyClick(graph, Qt::Key_I); }, [&](InfoWindow& w) {
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Model Information - [%1]").arg(graph->windowTitle()));
    EXPECT_EQ(w.parentWidget(), graph) << "owned by its graph window";
    QStringList titles;
    for (int i = 0; i < w.PageCount(); ++i) titles << w.Pages()->tabText(i);
    EXPECT_EQ(titles, (QStringList{"Coefficients", "History", "Covariance Matrix", "Residuals", "Comments", "Statistics"}));
    EXPECT_EQ(w.findChild<QPlainTextEdit*>("statistics")->toPlainText().toStdString(),
              QString::fromStdString(FitReport(doc_, 504, ReportPage::Statistics)).remove(QLatin1Char('\r')).toStdString());

    const ModelInfoTexts texts = BuildModelInfoTexts(doc_, 504);
    EXPECT_EQ(Text(w, "formula").toStdString(), texts.formula);
    EXPECT_EQ(Lines(w, "coefficients"), texts.coefficientRows);
    EXPECT_EQ(Lines(w, "coefficients").size(), 2u);
    EXPECT_EQ(w.findChild<ModelPicture*>()->Formula(), QStringLiteral("y=ae^(bx)"));
    EXPECT_EQ(Lines(w, "covariance"), texts.covarianceRows);
    EXPECT_EQ(Lines(w, "chiSquareHistory"), texts.chiSquareRows);
    EXPECT_GT(texts.chiSquareRows.size(), 1u);
    EXPECT_EQ(Text(w, "standardError").toStdString(), texts.standardError);
    EXPECT_EQ(Text(w, "correlation").toStdString(), texts.correlation);
    EXPECT_EQ(w.findChild<QPlainTextEdit*>("comments")->toPlainText().toStdString(), texts.comments);

    // The two choosers start on a and b; choosing refills the list below.
    auto* first = w.findChild<QComboBox*>("firstChooser");
    auto* second = w.findChild<QComboBox*>("secondChooser");
    EXPECT_EQ(first->count(), 2);
    EXPECT_EQ(first->currentText(), QStringLiteral("a"));
    EXPECT_EQ(second->currentText(), QStringLiteral("b"));
    EXPECT_EQ(Lines(w, "firstHistory"), ParameterHistoryRows(doc_, 504, 0));
    EXPECT_EQ(Lines(w, "secondHistory"), ParameterHistoryRows(doc_, 504, 1));
    first->setCurrentIndex(1);
    EXPECT_EQ(Lines(w, "firstHistory"), ParameterHistoryRows(doc_, 504, 1));

    ExpectEveryPageCopies(w, 504);
    // The coefficient list keeps its columns: the values start at one stop.
    auto* list = w.findChild<TabStopList*>("coefficients");
    EXPECT_EQ(list->NextStop(0), DialogUnitsX(*list, 16));
    EXPECT_EQ(list->NextStop(DialogUnitsX(*list, 16)), DialogUnitsX(*list, 24));
  });
}

TEST_F(InfoWindowTest, InterpolationsShowNoErrorAndNoCoefficientsExceptPolynomialInterpolation) {
  Load([](double x) { return std::sin(x); }, 0, 3, 6);
  GraphWindow* spline = Open(537);
  ASSERT_NE(spline, nullptr);
  WithInfoWindow([&] { spline->Command(kGraphInformation); }, [&](InfoWindow& w) {
    const std::vector<std::string> notApplicable{kNotApplicable};
    EXPECT_EQ(Lines(w, "coefficients"), notApplicable);
    EXPECT_EQ(Lines(w, "covariance"), notApplicable);
    EXPECT_EQ(Lines(w, "chiSquareHistory"), notApplicable);
    EXPECT_EQ(Lines(w, "firstHistory"), notApplicable);
    EXPECT_EQ(Lines(w, "secondHistory"), notApplicable);
    EXPECT_EQ(w.findChild<QComboBox*>("firstChooser")->count(), 0);
    EXPECT_EQ(Text(w, "standardError"), QStringLiteral("   0.0000000"));
    EXPECT_EQ(Text(w, "correlation"), QStringLiteral("   1.0000000"));
    ExpectEveryPageCopies(w, 537);
  });

  GraphWindow* lagrange = Open(534);
  ASSERT_NE(lagrange, nullptr);
  WithInfoWindow([&] { lagrange->Command(kGraphInformation); },
                 [&](InfoWindow& w) { EXPECT_EQ(Lines(w, "coefficients").front().substr(0, 4), "a =\t"); });
}

TEST_F(InfoWindowTest, AOneParameterUserModelShowsParameterAInBothListsAndItsFormula) {
  Load([](double x) { return 3 * x; }, 1, 10, 12, 0.01);
  ui_.SetUserModelDialogHandler([](const platform::UserModelDialogRequest& request) { return request.accept("a*x"); });
  ui_.SetGuessDialogHandler([](int, int m, float* g) {
    for (int i = 0; i < m; ++i) g[i] = 1;
    return true;
  });
  CurrentSession().settings.initGuess = 1;
  DispatchFitCommand(doc_, kUserModel);
  GraphWindow* graph = qtHost_.Window(CurrentSession().graphQueue.Find(kUserModel));
  ASSERT_NE(graph, nullptr);
  WithInfoWindow([&] { graph->Command(kGraphInformation); }, [&](InfoWindow& w) {
    EXPECT_EQ(w.findChild<QComboBox*>("firstChooser")->count(), 1);
    EXPECT_EQ(w.findChild<QComboBox*>("secondChooser")->count(), 0);
    EXPECT_EQ(Lines(w, "secondHistory"), ParameterHistoryRows(doc_, kUserModel, 0));
    EXPECT_FALSE(Lines(w, "secondHistory").empty());
    EXPECT_EQ(w.findChild<ModelPicture*>()->Formula(), QStringLiteral("y=a*x"));
    w.SetCurrentPage(ReportPage::Coefficients);
    w.Command(kInfoCopy);
    EXPECT_NE(ui_.Clipboard()->find(": y=a*x\r\n"), std::string::npos) << *ui_.Clipboard();
  });
}

TEST_F(InfoWindowTest, ThePlotButtonShowsAndHidesTheResidualWindowWhichOnlyHidesWhenClosed) {
  Load([](double x) { return 1 + 2 * x; }, 1, 10, 10, 0.05);
  GraphWindow* graph = Open(500);
  ASSERT_NE(graph, nullptr);
  WithInfoWindow([&] { graph->Command(kGraphHeaderButton); }, [&](InfoWindow& w) {
    w.SetCurrentPage(ReportPage::Residuals);
    auto* area = w.findChild<ResidualPlotArea*>();
    area->repaint();
    EXPECT_FALSE(area->Failed());
    auto* toggle = w.findChild<QPushButton*>("plotToggle");
    EXPECT_EQ(toggle->text(), QStringLiteral("Show Plot >>"));

    GraphWindow* residuals = w.ResidualWindow();
    ASSERT_NE(residuals, nullptr);
    EXPECT_FALSE(residuals->isVisible()) << "created hidden";
    EXPECT_EQ(residuals->windowTitle(), QStringLiteral("Residuals - [Linear Fit]"));
    const GraphAttr& record = w.ResidualRecord();
    EXPECT_EQ(record.plotKind, PlotKind::Residual);
    EXPECT_EQ(record.title, "Residuals");
    EXPECT_EQ(record.modelId, 500);
    EXPECT_FALSE(record.Switch(kSwDrawHeader));
    EXPECT_LT(record.yMin, 0.0f) << "axes chosen for the residuals";

    QTest::mouseClick(toggle, Qt::LeftButton);
    EXPECT_TRUE(residuals->isVisible());
    EXPECT_TRUE(w.PlotShown());
    EXPECT_EQ(toggle->text(), QStringLiteral("Hide Plot <<"));
    EXPECT_FALSE(residuals->HeaderButton()->isEnabled()) << "a residual plot has no information of its own";
    QTest::mouseClick(toggle, Qt::LeftButton);
    EXPECT_FALSE(residuals->isVisible());
    EXPECT_EQ(toggle->text(), QStringLiteral("Show Plot >>"));

    // Its own close (Ctrl+X) only hides it; the button follows.
    QTest::mouseClick(toggle, Qt::LeftButton);
    QTest::keyClick(residuals, Qt::Key_X, Qt::ControlModifier);
    EXPECT_FALSE(residuals->isVisible());
    EXPECT_FALSE(w.PlotShown());
    EXPECT_EQ(toggle->text(), QStringLiteral("Show Plot >>"));
    EXPECT_EQ(CurrentSession().graphQueue.Count(), 1) << "never queued";
  });
}

TEST_F(InfoWindowTest, HelpGoesToThePageTopicAndASecondWindowIsRefused) {
  Load([](double x) { return 1 + 2 * x; }, 1, 10, 10, 0.05);
  GraphWindow* graph = Open(500);
  ASSERT_NE(graph, nullptr);
  WithInfoWindow([&] { graph->Command(kGraphInformation); }, [&](InfoWindow& w) {
    w.SetCurrentPage(ReportPage::Covariance);
    testsupport::ScopedEnv pages("TRENDOLIN_HELP_DIR", TRENDOLIN_SOURCE_DIR "/help");
    w.Command(kInfoHelp);
    ASSERT_NE(CurrentHelpViewer(), nullptr);
    const QUrl page = CurrentHelpViewer()->Browser()->source();
    EXPECT_TRUE(page.path().endsWith(QStringLiteral("/graphiinfo.html"))) << page.toString().toStdString();
    EXPECT_EQ(page.fragment(), QStringLiteral("covariancematrix"));

    // One is open: another is refused with 104/105 and counted out again.
    InfoWindow second(doc_, *graph);
    EXPECT_TRUE(second.Refused());
    second.Run();
    const auto boxes = ui_.EventsOf(platform::UiEvent::Kind::MessageBox);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, std::string(platform::ResourceString(104)));
    EXPECT_EQ(boxes[0].text, std::string(platform::ResourceString(105)));
    EXPECT_EQ(boxes[0].icon, platform::Icon::Error);
  });
}

TEST_F(InfoWindowTest, WithNoGraphsTheInformationOpensInsteadAndTheHiddenGraphGoes) {
  Load([](double x) { return 1 + 2 * x; }, 1, 10, 10, 0.05);
  CurrentSession().settings.SetFlag(kFlagNoGraphs, true);
  ASSERT_EQ(OpenFitWindow(doc_, 500), kWindowOpened);
  GraphWindow* graph = qtHost_.Window(CurrentSession().graphQueue.Find(500));
  ASSERT_NE(graph, nullptr);
  EXPECT_FALSE(graph->isVisible());
  WithInfoWindow([] { QTest::qWait(50); }, [&](InfoWindow& w) {
    EXPECT_EQ(w.parentWidget(), graph);
    EXPECT_FALSE(graph->isVisible());
  });
  EXPECT_EQ(CurrentSession().graphQueue.Count(), 0);
  EXPECT_FALSE(CurrentSession().graphQueue.IsChecked(500)) << "no unseen window keeps the check mark";

  // The data plot has no information: its window shows.
  ASSERT_EQ(OpenFitWindow(doc_, 503), kWindowOpened);
  EXPECT_TRUE(qtHost_.Window(CurrentSession().graphQueue.Find(503))->isVisible());
  CurrentSession().settings.SetFlag(kFlagNoGraphs, false);
}

TEST(ModelPictureText, LongFormulasBreakAfterTheirLastOperatorInEachChunk) {
  EXPECT_EQ(BreakAtOperators("y=a+b*x", 10), "y=a+b*x") << "short: whole";
  EXPECT_EQ(BreakAtOperators("y=a+b*x", 0), "y=a+b*x") << "no room to speak of: whole";
  // Chunks of 6: "y=a+bb" ends at its last operator "+", and so on.
  EXPECT_EQ(BreakAtOperators("y=a+bb*cc-dd", 6), "y=a+ bb*cc- dd");
  EXPECT_EQ(BreakAtOperators("y=abcdefgh", 4), "y= abcd efgh") << "no operator: the chunk ends where it must";
  EXPECT_EQ(BreakAtOperators("a<b>c!d", 3), "a< b> c!d");
  EXPECT_EQ(PromptFormula(500), "y=a+bx");
  EXPECT_EQ(PromptFormula(537), "") << "the splines have no formula";
}

}  // namespace
}  // namespace trendolin::gui
