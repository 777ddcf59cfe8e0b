// File > Export and a graph window's Generate Table, driven on the real
// dialogs the way a person would: the panel's controls, the file name typed,
// OK and Cancel; then the file read back.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "fit/drivers_test_support.h"
#include "fit/model_desc.h"
#include "gui/dialogs/export_dialog.h"
#include "session/model_code_file.h"
#include "gui/dialogs/table_dialog.h"
#include "gui/graph_window.h"
#include "gui/qt_graph_host.h"
#include "modal_helpers.h"
#include "platform/resource_strings.h"
#include "session/session.h"
#include "support/temp_dir.h"

namespace trendolin::gui {
namespace {

using platform::UiEvent;
using testsupport::WhenModal;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The linear fit as the model menu names it.
QString LinearName() { return QString::fromStdString(ModelLongName(500)); }

void TypeFileName(QFileDialog* dialog, const QString& name) {
  auto* field = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
  ASSERT_NE(field, nullptr);
  field->setText(name);
}

void ChooseFromMenu(QPushButton* button, const QString& label) {
  for (QAction* action : button->menu()->actions()) {
    if (action->text() == label) return action->trigger();
  }
  ADD_FAILURE() << "no menu entry " << label.toStdString();
}

class ExportDialogsTest : public testing_support::DriverTest {
 protected:
  void SetUp() override {
    DriverTest::SetUp();
    // y = 1 + 2x on 1..10, a little noisy.
    Load([](double x) { return 1 + 2 * x; }, 1, 10, 10, 0.05);
  }
  void TearDown() override {
    CurrentSession().graphQueue.CloseAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    DriverTest::TearDown();
  }

  void FitLinear() { ASSERT_EQ(OpenFitWindow(doc_, 500), kWindowOpened); }

  // The message boxes shown, as "caption|text".
  std::vector<std::string> Boxes() const {
    std::vector<std::string> boxes;
    for (const UiEvent& e : ui_.EventsOf(UiEvent::Kind::MessageBox)) boxes.push_back(e.caption + "|" + e.text);
    return boxes;
  }
  static std::string Box(int caption, int text) {
    return std::string(platform::ResourceString(caption)) + "|" + std::string(platform::ResourceString(text));
  }
  // What the working folder holds (a fit may leave its history there).
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.Path())) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  testsupport::TempDir dir_;
  testsupport::ScopedCurrentDir cwd_{dir_.Path()};
};

// ---- export ----

TEST_F(ExportDialogsTest, TheOptionsChosenOnThePanelAreTheOnesWritten) {
  FitLinear();
  WhenModal<ExportDialog>([](ExportDialog* d) {
    EXPECT_EQ(d->ModelText()->text(), LinearName()) << "the fit just made is chosen";
    EXPECT_TRUE(d->CoefficientsBox()->isChecked() && d->StatisticsBox()->isChecked());
    EXPECT_EQ(d->Separator()->Separator(), '\t');
    d->StatisticsBox()->setChecked(false);
    ChooseFromMenu(d->Separator(), QStringLiteral("Comma"));
    TypeFileName(d, QStringLiteral("linear"));
    d->accept();
  });
  RunExportCommand(nullptr, doc_);

  const std::string text = testsupport::ReadFile(dir_.File("linear.txt"));
  // Statistics off, coefficients on, commas: as the panel was left.
  EXPECT_EQ(text, FormatExportText(doc_, ExportOptions{500, 1, 0, ','}));
  const std::vector<std::string> lines = Lines(text);
  ASSERT_GT(lines.size(), 10u);
  EXPECT_EQ(lines.front(), "\"Trendolin 1.4:  Linear Fit\"");
  EXPECT_EQ(lines[lines.size() - 11], "\"X Data\",\"Y Data\",\"Curve fit Data\"");
  for (std::size_t i = lines.size() - 10; i < lines.size(); ++i) {
    EXPECT_EQ(std::count(lines[i].begin(), lines[i].end(), ','), 2) << lines[i];
  }
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(ExportDialogsTest, WithoutFitsOkWarnsAndReopensAndCancelLeavesEverythingAsItWas) {
  std::vector<float> ys;
  for (int i = 0; i < doc_.nPoints; ++i) ys.push_back(doc_.At(i, 1));
  const int modified = doc_.bModified;
  int shown = 0;
  WhenModal<ExportDialog>([&](ExportDialog* d) {
    ++shown;
    EXPECT_FALSE(d->ModelButton()->isEnabled());
    EXPECT_EQ(d->ModelText()->text(), QString::fromLatin1(kNoFitsPerformed));
    TypeFileName(d, QStringLiteral("nothing"));
    d->accept();
    WhenModal<ExportDialog>([&](ExportDialog* again) {
      ++shown;
      EXPECT_TRUE(again->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text().contains("nothing"))
          << "the command starts again on the name typed";
      again->StatisticsBox()->setChecked(false);
      again->reject();
    });
  });
  RunExportCommand(nullptr, doc_);
  EXPECT_EQ(shown, 2);
  EXPECT_EQ(Boxes(), std::vector<std::string>{Box(33, 34)});
  EXPECT_TRUE(Files().empty());
  for (int i = 0; i < doc_.nPoints; ++i) EXPECT_EQ(doc_.At(i, 1), ys[i]);
  EXPECT_EQ(doc_.bModified, modified);
}

TEST_F(ExportDialogsTest, AModelChosenFromTheMenuAfterTheWarningIsExported) {
  FitLinear();
  doc_.nLastModel = 0;  // no most recent fit: the panel starts with no model
  WhenModal<ExportDialog>([&](ExportDialog* d) {
    EXPECT_TRUE(d->ModelText()->text().isEmpty());
    TypeFileName(d, QStringLiteral("chosen.dat"));
    d->accept();
    WhenModal<ExportDialog>([](ExportDialog* again) {
      ChooseFromMenu(again->ModelButton(), LinearName());
      EXPECT_EQ(again->ModelText()->text(), LinearName());
      again->accept();
    });
  });
  RunExportCommand(nullptr, doc_);
  EXPECT_EQ(Boxes(), std::vector<std::string>{Box(33, 34)});
  EXPECT_EQ(testsupport::ReadFile(dir_.File("chosen.dat")), FormatExportText(doc_, ExportOptions{500, 1, 1, '\t'}));
}

// ---- the fitted model as code ----

QLineEdit* FileNameField(QFileDialog* d) { return d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")); }

void ChooseKind(ExportDialog* d, const QString& label) {
  const int index = d->KindBox()->findText(label);
  ASSERT_GE(index, 0) << label.toStdString();
  d->KindBox()->setCurrentIndex(index);
}

TEST_F(ExportDialogsTest, ChoosingCodeRestsTheFileOptionsAndFollowsTheKindInTheFileName) {
  FitLinear();
  WhenModal<ExportDialog>([](ExportDialog* d) {
    EXPECT_EQ(d->Language(), std::nullopt) << "the export file, as before";
    EXPECT_FALSE(d->NameField()->isEnabled());
    TypeFileName(d, QStringLiteral("linear.txt"));

    ChooseKind(d, QStringLiteral("Python function"));
    EXPECT_EQ(d->Language(), CodeLanguage::Python);
    EXPECT_FALSE(d->CoefficientsBox()->isEnabled() || d->StatisticsBox()->isEnabled() ||
                 d->Separator()->isEnabled());
    EXPECT_TRUE(d->NameField()->isEnabled());
    EXPECT_EQ(d->NameField()->text(), QStringLiteral("linear")) << "the model's name";
    EXPECT_EQ(FileNameField(d)->text(), QStringLiteral("linear.py"));
    EXPECT_EQ(d->defaultSuffix(), QStringLiteral("py"));

    ChooseKind(d, QStringLiteral("LaTeX equation"));
    EXPECT_FALSE(d->NameField()->isEnabled()) << "an equation has no name";
    EXPECT_EQ(FileNameField(d)->text(), QStringLiteral("linear.tex"));
    TypeFileName(d, QStringLiteral("mine.txt"));  // typed by the person: kept
    ChooseKind(d, QStringLiteral("C function"));
    EXPECT_EQ(FileNameField(d)->text(), QStringLiteral("mine.txt"));

    ChooseKind(d, QStringLiteral("Data and fit (text file)"));
    EXPECT_TRUE(d->CoefficientsBox()->isEnabled() && d->Separator()->isEnabled());
    d->reject();
  });
  RunExportCommand(nullptr, doc_);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(ExportDialogsTest, TheCodeWrittenIsTheModelsWithTheNameTypedAfterABadOne) {
  FitLinear();
  WhenModal<ExportDialog>([](ExportDialog* d) {
    ChooseKind(d, QStringLiteral("C function"));
    TypeFileName(d, QStringLiteral("line"));
    d->NameField()->setText(QStringLiteral("for"));
    d->NameField()->setModified(true);
    d->accept();
    EXPECT_TRUE(d->isVisible()) << "a keyword is refused in the dialog";
    EXPECT_EQ(d->NameField()->selectedText(), QStringLiteral("for"));
    d->NameField()->setText(QStringLiteral("line_fit"));
    d->accept();
  });
  RunExportCommand(nullptr, doc_);
  EXPECT_EQ(Boxes(), std::vector<std::string>{std::string(kExportDialogTitle) + "|" +
                                              "'for' is a keyword of C; please choose another name "
                                              "for the function."});
  const std::string code = testsupport::ReadFile(dir_.File("line.c"));
  EXPECT_EQ(code, FormatModelCode(doc_, 500, CodeLanguage::C, "line_fit").text);
  EXPECT_NE(code.find("double line_fit(double x)"), std::string::npos) << code;
}

TEST_F(ExportDialogsTest, AModelTheLanguageCannotWriteIsRefusedBeforeAnyFileIsTouched) {
  ASSERT_EQ(OpenFitWindow(doc_, 535), kWindowOpened);  // the linear spline
  testsupport::WriteFile(dir_.File("keep.tex"), "mine\n");
  const std::string refusal = ModelCodeRefusal(doc_, 535, CodeLanguage::Latex);
  ASSERT_FALSE(refusal.empty());
  WhenModal<ExportDialog>([](ExportDialog* d) {
    ChooseKind(d, QStringLiteral("LaTeX equation"));
    TypeFileName(d, QStringLiteral("keep.tex"));
    d->accept();  // refused before the question whether to replace keep.tex
    EXPECT_TRUE(d->isVisible());
    d->reject();
  });
  RunExportCommand(nullptr, doc_);
  EXPECT_EQ(Boxes(), std::vector<std::string>{std::string(kExportDialogTitle) + "|" + refusal});
  EXPECT_EQ(testsupport::ReadFile(dir_.File("keep.tex")), "mine\n");
}

TEST_F(ExportDialogsTest, WithoutAModelTheWarningReopensTheDialogOnTheKindAndNameChosen) {
  int shown = 0;
  WhenModal<ExportDialog>([&](ExportDialog* d) {
    ++shown;
    ChooseKind(d, QStringLiteral("Python function"));
    d->NameField()->setText(QStringLiteral("trend"));
    d->NameField()->setModified(true);
    TypeFileName(d, QStringLiteral("trend"));
    d->accept();
    WhenModal<ExportDialog>([&](ExportDialog* again) {
      ++shown;
      EXPECT_EQ(again->Language(), CodeLanguage::Python);
      EXPECT_EQ(again->NameField()->text(), QStringLiteral("trend"));
      EXPECT_TRUE(FileNameField(again)->text().contains("trend"));
      again->reject();
    });
  });
  RunExportCommand(nullptr, doc_);
  EXPECT_EQ(shown, 2);
  EXPECT_EQ(Boxes(), std::vector<std::string>{Box(33, 34)});
  EXPECT_TRUE(Files().empty());
}

// ---- tables ----

TEST_F(ExportDialogsTest, EachRefusedTableKeepsTheDialogOpenAndWritesNothing) {
  TableDialog d(InitialTableOptions(0, 1, 0.25f));
  d.show();
  auto tryOk = [&](const char* start, const char* end, const char* step) {
    d.Field(kTableStartField)->setText(QString::fromLatin1(start));
    d.Field(kTableEndField)->setText(QString::fromLatin1(end));
    d.Field(kTableStepField)->setText(QString::fromLatin1(step));
    TypeFileName(&d, QStringLiteral("refused"));
    d.accept();
    EXPECT_TRUE(d.isVisible()) << start << " " << end << " " << step;
  };
  tryOk("0", "1.5x", "0.25");
  EXPECT_EQ(d.Field(kTableEndField)->selectedText(), QStringLiteral("x")) << "the bad part is selected";
  EXPECT_EQ(ui_.EventsOf(UiEvent::Kind::Beep).size(), 1u);
  tryOk("0", "1", "0");
  tryOk("1", "0", "0.25");
  tryOk("1", "1", "0.25");
  tryOk("1e6", "2e6", "0.001");
  EXPECT_EQ(Boxes(), (std::vector<std::string>{Box(53, 54), Box(53, 55), Box(53, 55), Box(53, 132)}));
  d.reject();
  EXPECT_FALSE(d.isVisible());
  EXPECT_TRUE(Files().empty());
}

class GraphTableTest : public ExportDialogsTest {
 protected:
  void SetUp() override {
    ExportDialogsTest::SetUp();
    CurrentSession().graphQueue.SetHost(&qtHost_);
  }
  GraphWindow* OpenLinear() {
    if (OpenFitWindow(doc_, 500) != kWindowOpened) return nullptr;
    GraphWindow* w = qtHost_.Window(CurrentSession().graphQueue.Find(500));
    return w && QTest::qWaitForWindowExposed(w) ? w : nullptr;
  }
  QtGraphHost qtHost_{doc_};
};

TEST_F(GraphTableTest, TOnAFitsGraphOpensTheDialogCancelWritesNothingOkTheTableAskedFor) {
  GraphWindow* w = OpenLinear();
  ASSERT_NE(w, nullptr);
  const std::vector<std::string> before = Files();
  WhenModal<TableDialog>([](TableDialog* d) {
    TypeFileName(d, QStringLiteral("cancelled"));
    d->reject();
  });
  QTest::keyClick(w, Qt::Key_T);
  EXPECT_EQ(Files(), before);

  const GraphAttr& axis = *w->Record();
  WhenModal<TableDialog>([&](TableDialog* d) {
    EXPECT_EQ(d->Field(kTableStartField)->text(), QString::fromStdString(TableFieldText(axis.xMin)));
    EXPECT_EQ(d->Field(kTableEndField)->text(), QString::fromStdString(TableFieldText(axis.xMax)));
    EXPECT_EQ(d->Field(kTableStepField)->text(), QString::fromStdString(TableFieldText(axis.xStep)));
    d->Field(kTableStartField)->setText(QStringLiteral("0"));
    d->Field(kTableEndField)->setText(QStringLiteral("1"));
    d->Field(kTableStepField)->setText(QStringLiteral("0.25"));
    TypeFileName(d, QStringLiteral("quarters"));
    d->accept();
  });
  QTest::keyClick(w, Qt::Key_T);
  const std::vector<std::string> lines = Lines(testsupport::ReadFile(dir_.File("quarters.tab")));
  ASSERT_EQ(lines.size(), 5u);
  const char* const xs[] = {"0", "0.25", "0.5", "0.75", "1"};
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::size_t tab = lines[i].find('\t');
    ASSERT_NE(tab, std::string::npos) << lines[i];
    EXPECT_EQ(lines[i].substr(0, tab), xs[i]);
    EXPECT_NEAR(std::stod(lines[i].substr(tab + 1)), 1 + 2 * std::stod(xs[i]), 0.2) << lines[i];
  }
  EXPECT_TRUE(Boxes().empty());
}

}  // namespace
}  // namespace trendolin::gui
