// Graph Properties driven on the real dialog of a real graph window: the
// values it refuses and where it puts the person back, Cancel after Apply,
// Apply to All Graphs, Make Default read back by a new graph, and the
// residual plot's own check box.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QColorDialog>
#include <QFontDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

#include <memory>
#include <string>

#include "fit/drivers_test_support.h"
#include "gui/dialogs/graph_props_dialog.h"
#include "gui/graph_window.h"
#include "gui/qt_graph_host.h"
#include "modal_helpers.h"
#include "platform/profile_file.h"
#include "platform/resource_strings.h"
#include "session/session.h"
#include "support/temp_dir.h"

namespace trendolin::gui {
namespace {

using platform::UiEvent;
using testsupport::WhenModal;

class GraphPropsTest : public testing_support::DriverTest {
 protected:
  void SetUp() override {
    DriverTest::SetUp();
    CurrentSession().iniFile = settings_.File("REVUZI.INI");
    CurrentSession().graphQueue.SetHost(&qtHost_);
    Load([](double x) { return 1 + 2 * x; }, 1, 10, 10, 0.05);
  }
  void TearDown() override {
    CloseDialog();
    CurrentSession().graphQueue.CloseAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    DriverTest::TearDown();
    CurrentSession().iniFile.clear();
  }

  GraphWindow* Open(int model) {
    if (OpenFitWindow(doc_, model) != kWindowOpened) return nullptr;
    return qtHost_.Window(CurrentSession().graphQueue.Find(model));
  }

  // Ctrl+G on the window, as the person opens the dialog.
  GraphPropsDialog* Properties(GraphWindow* w) {
    QTest::keyClick(w, Qt::Key_G, Qt::ControlModifier);
    dialog_ = w->findChild<GraphPropsDialog*>();
    return dialog_;
  }
  void CloseDialog() {
    if (dialog_) dialog_->reject();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  template <class T = QLineEdit>
  T* Control(const char* name) const {
    T* control = dialog_->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(control, nullptr) << name;
    return control;
  }
  void Type(const char* field, const char* text) { Control(field)->setText(QString::fromUtf8(text)); }
  void Press(const char* button) { Control<QPushButton>(button)->click(); }
  void ShowPage(int page) { dialog_->Pages()->setCurrentIndex(page); }

  std::size_t Beeps() const { return ui_.EventsOf(UiEvent::Kind::Beep).size(); }

  testsupport::TempDir settings_;
  testsupport::ScopedCurrentDir cwd_{settings_.Path()};
  QtGraphHost qtHost_{doc_};
  QPointer<GraphPropsDialog> dialog_;
};

// Each refused value: the page it is on, the field typed, and the field the
// person is put back on.
struct Refusal {
  int page;
  const char* field;
  const char* text;
  const char* focus;
  const char* why;
};
const Refusal kRefusals[] = {
    {kXAxisPage, "xMaximum", "0.05", "xMinimum", "a maximum below the minimum is laid on the minimum"},
    {kXAxisPage, "xStep", "0", "xStep", "the step must be positive"},
    {kYAxisPage, "yStep", "-1", "yStep", "a negative step"},
    {kXAxisPage, "xMinorTicks", "0", "xMinorTicks", "minor ticks must be non-zero"},
    {kYAxisPage, "yMinimum", "1,5x", "yMinimum", "the number reader refuses what is no number"},
    {kXAxisPage, "xPrecision", "-", "xPrecision", "an integer field holding no integer"},
    {kPointsPage, "pointSize", "0", "pointSize", "point size 0"},
    {kPointsPage, "granularity", "0", "granularity", "granularity 0"},
    {kPointsPage, "lineWidth", "51", "lineWidth", "beyond the arrows' range a byte would wrap"},
    {kOverallPage, "boxWidth", "300", "boxWidth", "box width past 100"},
};

TEST_F(GraphPropsTest, EachRefusedValueKeepsThePersonOnItsFieldWithABeepAndLeavesTheRecord) {
  GraphWindow* w = Open(500);
  ASSERT_NE(w, nullptr);
  const GraphAttr before = *w->Record();
  for (const Refusal& r : kRefusals) {
    SCOPED_TRACE(r.why);
    ASSERT_NE(Properties(w), nullptr);
    ShowPage(r.page);
    Type(r.field, r.text);
    const std::size_t beeps = Beeps();
    EXPECT_FALSE(dialog_->Apply());
    EXPECT_FALSE(dialog_->Applied());
    EXPECT_EQ(Beeps(), beeps + 1);
    QLineEdit* focus = Control(r.focus);
    EXPECT_EQ(dialog_->focusWidget(), focus);
    EXPECT_EQ(focus->selectedText(), focus->text()) << "the whole field is selected";
    EXPECT_TRUE(DrawsAlike(*w->Record(), before));

    // OK refuses the same way and the dialog stays.
    dialog_->accept();
    EXPECT_TRUE(dialog_->isVisible());
    CloseDialog();
  }
}

TEST_F(GraphPropsTest, EqualLimitsAndAZeroLineWidthAreTaken) {
  GraphWindow* w = Open(500);
  ASSERT_NE(Properties(w), nullptr);
  Type("xMinimum", "3");
  Type("xMaximum", "3");
  Type("xLabel", "Time (s)");
  ASSERT_TRUE(dialog_->Apply());
  ShowPage(kPointsPage);
  Type("lineWidth", "0");
  Type("pointSize", "50");
  dialog_->accept();
  const GraphAttr& record = *w->Record();
  EXPECT_EQ(record.xMin, 3.0f);
  EXPECT_EQ(record.xMax, 3.0f);
  EXPECT_EQ(record.xLabel, "Time (s)") << "the axis title is editable";
  EXPECT_EQ(record.lineWidth, 0);
  EXPECT_EQ(record.pointSize, 50);
}

// The bands are offered for a regression and reach its record; a spline has
// none to shade.
TEST_F(GraphPropsTest, TheBandSwitchesAreOfferedForARegressionOnly) {
  GraphWindow* w = Open(500);
  ASSERT_NE(Properties(w), nullptr);
  ShowPage(kPointsPage);
  QCheckBox* confidence = Control<QCheckBox>("confidenceBand");
  QCheckBox* prediction = Control<QCheckBox>("predictionBand");
  ASSERT_TRUE(confidence && prediction);
  EXPECT_TRUE(confidence->isEnabled() && prediction->isEnabled());
  EXPECT_FALSE(confidence->isChecked() || prediction->isChecked()) << "off for a new graph";
  prediction->setChecked(true);
  dialog_->accept();
  EXPECT_TRUE(w->Record()->Switch(kSwPredictionBand));
  EXPECT_FALSE(w->Record()->Switch(kSwConfidenceBand));

  GraphWindow* spline = Open(537);
  ASSERT_NE(Properties(spline), nullptr);
  ShowPage(kPointsPage);
  EXPECT_FALSE(Control<QCheckBox>("confidenceBand")->isEnabled());
  EXPECT_FALSE(Control<QCheckBox>("predictionBand")->isEnabled());
}

TEST_F(GraphPropsTest, LeavingAPageWithARefusedValueStaysOnIt) {
  GraphWindow* w = Open(500);
  ASSERT_NE(Properties(w), nullptr);
  Type("xStep", "0");
  ShowPage(kOverallPage);
  EXPECT_EQ(dialog_->Pages()->currentIndex(), kXAxisPage);
  EXPECT_EQ(dialog_->focusWidget(), Control("xStep"));
  EXPECT_EQ(Beeps(), 1u);
  EXPECT_TRUE(Control<QPushButton>("automaticAxes")->isVisibleTo(dialog_));

  Type("xStep", "2");
  ShowPage(kOverallPage);
  EXPECT_EQ(dialog_->Pages()->currentIndex(), kOverallPage);
  EXPECT_FALSE(Control<QPushButton>("automaticAxes")->isVisibleTo(dialog_)) << "only on the axis pages";
  EXPECT_EQ(w->Record()->xStep, 2.0f) << "the page left is in the record";
}

TEST_F(GraphPropsTest, ARangeThatIsNotPositiveTurnsTheLogAxisOff) {
  GraphWindow* w = Open(500);
  GraphAttr& record = *w->Record();
  record.SetSwitch(kSwLogY, true);
  record.yMin = 0;  // y from 0 cannot be logarithmic
  record.SetSwitch(kSwLogX, true);  // x runs 0.1 .. 10.9: it can
  ASSERT_NE(Properties(w), nullptr);
  EXPECT_FALSE(record.Switch(kSwLogY));
  EXPECT_FALSE(Control<QRadioButton>("yLogOn")->isEnabled());
  EXPECT_TRUE(Control<QRadioButton>("yLogOff")->isChecked());
  EXPECT_TRUE(Control<QRadioButton>("xLogOn")->isChecked());

  Type("xMinimum", "0");
  ASSERT_TRUE(dialog_->Apply()) << "a zero minimum is a range, only not a logarithmic one";
  EXPECT_FALSE(record.Switch(kSwLogX));
  EXPECT_FALSE(Control<QRadioButton>("xLogOn")->isEnabled());
}

TEST_F(GraphPropsTest, CancelAfterApplyRestoresTheGraphAsItWasWhenTheDialogOpened) {
  GraphWindow* w = Open(500);
  const GraphAttr opening = *w->Record();
  QSignalSpy redraws(w, &GraphWindow::refreshed);
  ASSERT_NE(Properties(w), nullptr);

  Control<QLineEdit>("xLabel")->setText("Dose");
  Control<QCheckBox>("xShowLabel")->setChecked(false);
  ASSERT_TRUE(dialog_->Apply());
  EXPECT_EQ(redraws.count(), 1);
  EXPECT_EQ(w->Record()->xLabel, "Dose");

  ShowPage(kOverallPage);
  QTest::keyClicks(Control("title"), "Calibration");  // editing the title hides the header
  EXPECT_FALSE(Control<QCheckBox>("drawHeader")->isChecked());
  ASSERT_TRUE(dialog_->Apply());
  EXPECT_FALSE(w->Record()->Switch(kSwDrawHeader));
  EXPECT_FALSE(w->HeaderButton()->isVisible());

  Press("cancel");
  EXPECT_TRUE(dialog_.isNull() || !dialog_->isVisible());
  const GraphAttr& record = *w->Record();
  EXPECT_TRUE(DrawsAlike(record, opening));
  EXPECT_EQ(record.xLabel, "X Axis (units)");
  EXPECT_TRUE(record.Switch(kSwShowXLabel)) << "the label switch comes back too";
  EXPECT_TRUE(record.Switch(kSwDrawHeader));
  EXPECT_EQ(redraws.count(), 3);
}

TEST_F(GraphPropsTest, MenusAndColoursGoStraightIntoTheRecordAndFontsFollowALockedForeground) {
  GraphWindow* w = Open(500);
  ASSERT_NE(Properties(w), nullptr);
  GraphAttr& record = *w->Record();

  QStringList types;
  for (QAction* a : dialog_->PointTypeMenu()->actions()) types << a->text();
  EXPECT_EQ(types, (QStringList{"Circle", "Square", "Diamond", "Triangle", "Inv Triangle", "Hourglass", "Cross",
                                "Plus", "Asterisk"}));
  EXPECT_TRUE(dialog_->PointTypeMenu()->actions()[0]->isChecked());
  dialog_->PointTypeMenu()->actions()[2]->trigger();
  EXPECT_EQ(record.pointType, kPtDiamond);
  EXPECT_TRUE(dialog_->PointTypeMenu()->actions()[2]->isChecked());
  EXPECT_FALSE(dialog_->PointTypeMenu()->actions()[0]->isChecked());
  dialog_->LineStyleMenu()->actions()[4]->trigger();
  EXPECT_EQ(record.lineStyle, kLineDotDotDashed);

  ShowPage(kOverallPage);
  ASSERT_TRUE(record.Switch(kSwLockFrameColor));
  WhenModal<QColorDialog>([](QColorDialog* d) {
    d->setCurrentColor(QColor(10, 120, 30));
    d->accept();
  });
  Press("foreground");
  EXPECT_EQ(record.foreground, MakeColour(10, 120, 30));
  for (const FontSpec* f : {&record.xFont, &record.yFont, &record.xTickFont, &record.yTickFont, &record.titleFont}) {
    EXPECT_EQ(f->colour, record.foreground);
  }

  Control<QCheckBox>("lockFrameColor")->click();
  EXPECT_FALSE(record.Switch(kSwLockFrameColor)) << "the lock changes at once";
  WhenModal<QColorDialog>([](QColorDialog* d) {
    d->setCurrentColor(QColor(200, 0, 0));
    d->accept();
  });
  Press("foreground");
  EXPECT_EQ(record.titleFont.colour, MakeColour(10, 120, 30)) << "unlocked: the fonts keep theirs";
}

TEST_F(GraphPropsTest, TheFontChooserShowsTheGraphsOwnTextAndKeepsTheAngle) {
  GraphWindow* w = Open(500);
  ASSERT_NE(Properties(w), nullptr);
  GraphAttr& record = *w->Record();
  const FontSpec tickFont = record.xTickFont;
  WhenModal<QFontDialog>([](QFontDialog* d) {
    auto* sample = d->findChild<QLineEdit*>(QStringLiteral("qt_fontDialog_sampleEdit"));
    ASSERT_NE(sample, nullptr);
    EXPECT_EQ(sample->text(), QStringLiteral("1.23456789"));
    d->reject();
  });
  Press("xTickFont");
  EXPECT_EQ(record.xTickFont, tickFont) << "a cancelled chooser changes nothing";

  ShowPage(kYAxisPage);
  Type("yLabel", "Counts per second");
  WhenModal<QFontDialog>([](QFontDialog* d) {
    EXPECT_EQ(d->findChild<QLineEdit*>(QStringLiteral("qt_fontDialog_sampleEdit"))->text(),
              QStringLiteral("Counts per second"))
        << "the label as typed";
    QFont font = d->currentFont();
    font.setStyleName(QString());  // the style list follows the weight and slant, not an old style name
    font.setItalic(true);
    font.setWeight(QFont::Normal);
    d->setCurrentFont(font);
    d->accept();
  });
  Press("yLabelFont");
  EXPECT_EQ(record.yFont.italic, 1);
  EXPECT_EQ(record.yFont.weight, 400);
  EXPECT_EQ(record.yFont.angle, 90) << "the y title stays turned";
}

TEST_F(GraphPropsTest, AutomaticAxesShowTheRangeOfTheDataAgain) {
  GraphWindow* w = Open(500);
  GraphAttr& record = *w->Record();
  const GraphAttr automatic = record;
  record.xMin = 4;
  record.xMax = 5;
  record.yStep = 0.5f;
  ASSERT_NE(Properties(w), nullptr);
  EXPECT_EQ(Control("xMinimum")->text(), QStringLiteral("4"));
  Press("automaticAxes");
  EXPECT_EQ(record.xMin, automatic.xMin);
  EXPECT_EQ(record.yStep, automatic.yStep);
  EXPECT_EQ(Control("xMinimum")->text(), QStringLiteral("0.1"));
  EXPECT_EQ(Control("xMaximum")->text(), QStringLiteral("10.9"));
  dialog_->accept();
  EXPECT_EQ(record.xMax, automatic.xMax) << "the fields shown are the range kept";
}

TEST_F(GraphPropsTest, ApplyToAllGraphsRedrawsEveryOpenGraphWithTheseAttributes) {
  GraphWindow* fit = Open(500);
  GraphWindow* plot = Open(503);
  ASSERT_TRUE(fit && plot);
  QSignalSpy fitRedraws(fit, &GraphWindow::refreshed);
  QSignalSpy plotRedraws(plot, &GraphWindow::refreshed);
  ASSERT_NE(Properties(fit), nullptr);
  ShowPage(kPointsPage);
  Type("pointSize", "9");
  dialog_->PointTypeMenu()->actions()[1]->trigger();
  Press("applyToAll");
  EXPECT_TRUE(dialog_->Applied());
  EXPECT_EQ(plot->Record()->pointSize, 9);
  EXPECT_EQ(plot->Record()->pointType, kPtSquare);
  EXPECT_EQ(plot->Record()->modelId, 503) << "each graph keeps its own fit";
  EXPECT_GE(fitRedraws.count(), 1);
  EXPECT_GE(plotRedraws.count(), 1);

  Press("cancel");
  EXPECT_EQ(fit->Record()->pointSize, 9) << "what went to every graph is no longer taken back";

  // The queue's texts for every graph: a title shows instead of the header.
  const std::string title = "Run 7";
  const std::string xLabel = "Time (s)";
  CurrentSession().graphQueue.ApplyTexts(&title, &xLabel, nullptr);
  for (GraphWindow* w : {fit, plot}) {
    EXPECT_EQ(w->Record()->title, title);
    EXPECT_EQ(w->Record()->xLabel, xLabel);
    EXPECT_EQ(w->Record()->yLabel, "Y Axis (units)");
    EXPECT_FALSE(w->Record()->Switch(kSwDrawHeader));
  }
}

TEST_F(GraphPropsTest, MakeDefaultIsWhatTheNextGraphStartsWith) {
  GraphWindow* w = Open(500);
  ASSERT_NE(Properties(w), nullptr);
  ShowPage(kYAxisPage);
  Type("yLabel", "Counts");
  ShowPage(kPointsPage);
  Type("granularity", "7");
  dialog_->PointTypeMenu()->actions()[8]->trigger();
  Press("makeDefault");
  Press("cancel");

  // As after a restart: a new record read from the settings file.
  GraphAttr fresh;
  ReadGraphDefaults(platform::ProfileFile::Load(CurrentSession().iniFile), fresh, doc_);
  EXPECT_EQ(fresh.yLabel, "Counts");
  EXPECT_EQ(fresh.granularity, 7);
  EXPECT_EQ(fresh.pointType, kPtAsterisk);

  GraphWindow* next = Open(503);
  ASSERT_NE(next, nullptr);
  EXPECT_EQ(next->Record()->yLabel, "Counts");

  // A run without a settings file cannot keep defaults, and says so.
  CurrentSession().iniFile.clear();
  ASSERT_NE(Properties(next), nullptr);
  Press("makeDefault");
  const auto boxes = ui_.EventsOf(UiEvent::Kind::MessageBox);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].text.find("no settings file"), std::string::npos) << boxes[0].text;
}

TEST_F(GraphPropsTest, OnAResidualPlotTheCheckBoxShowsResidualsAsPointsAndIsTheOnlyDefaultKept) {
  GraphWindow* fit = Open(500);
  ASSERT_NE(fit, nullptr);
  GraphAttr record;
  CopyGraphAttr(record, *fit->Record());
  record.plotKind = PlotKind::Residual;
  record.modelId = 500;
  record.yMin = -0.5f;
  record.yMax = 0.5f;
  GraphWindow residuals(doc_, record, QStringLiteral("Residuals"), nullptr);
  ASSERT_NE(Properties(&residuals), nullptr);
  EXPECT_EQ(dialog_->windowTitle(), QStringLiteral("Graph Properties - [Residuals]"));

  ShowPage(kPointsPage);
  auto* points = Control<QCheckBox>("showPoints");
  EXPECT_EQ(points->text(), QStringLiteral("Show Residuals as Points"));
  EXPECT_FALSE(points->isChecked());
  points->setChecked(true);
  Type("pointSize", "12");
  const GraphAttr fitBefore = *fit->Record();
  Press("applyToAll");
  EXPECT_EQ(fit->Record()->pointSize, 12);
  EXPECT_EQ(fit->Record()->plotKind, PlotKind::Fit) << "the fit's graph stays a fit's graph";
  EXPECT_EQ(fit->Record()->yMin, fitBefore.yMin) << "with its own range, not the residuals'";
  Press("makeDefault");
  EXPECT_TRUE(record.Switch(kSwResidPoints));
  EXPECT_TRUE(record.Switch(kSwShowDataPoints)) << "the fit's data-point switch is another one";

  const platform::ProfileFile stored = platform::ProfileFile::Load(CurrentSession().iniFile);
  EXPECT_EQ(stored.Keys(kPlotAttributesSection), std::vector<std::string>{"ResidPoints"});
  EXPECT_EQ(stored.Get(kPlotAttributesSection, "ResidPoints"), "-1");
  CloseDialog();
}

TEST_F(GraphPropsTest, OneDialogAtATimeAndTheCustomColoursAreKept) {
  GraphWindow* fit = Open(500);
  GraphWindow* plot = Open(503);
  ASSERT_NE(Properties(fit), nullptr);
  EXPECT_FALSE(Control<QCheckBox>("showErrorBars")->isEnabled()) << "no uncertainty column";
  EXPECT_FALSE(Control("errorBarScale")->isEnabled());

  plot->Command(kGraphProperties);
  EXPECT_EQ(plot->findChild<GraphPropsDialog*>(), nullptr);
  const auto boxes = ui_.EventsOf(UiEvent::Kind::MessageBox);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, platform::ResourceString(kGraphPropsBusyCaption));
  EXPECT_EQ(boxes[0].text, platform::ResourceString(kGraphPropsBusyText));

  QColorDialog::setCustomColor(3, QColor(1, 2, 3));
  Press("ok");
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  const platform::ProfileFile stored = platform::ProfileFile::Load(CurrentSession().iniFile);
  EXPECT_EQ(stored.GetInt("Custom Colors", "Color3", 0), static_cast<int>(MakeColour(1, 2, 3)));

  EXPECT_NE(Properties(plot), nullptr) << "once closed, another may open";
}

}  // namespace
}  // namespace trendolin::gui
