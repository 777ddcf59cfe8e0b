// The Qt Ui as core flows use it: message boxes answered by a person,
// the busy cursor, the host window's status bar, caption and calculation
// mode, the clipboard, and the dialogs run modally from start to answer.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <map>
#include <tuple>
#include <vector>

#include "app/app_settings.h"
#include "app/mru_list.h"
#include "data/curve_fit.h"
#include "session/data_file_flows.h"
#include "gui/dialogs/data_file_dialog.h"
#include "gui/dialogs/degree_dialog.h"
#include "gui/dialogs/error_report_dialog.h"
#include "gui/dialogs/guess_dialog.h"
#include "gui/dialogs/import_dialog.h"
#include "gui/qt_ui.h"
#include "gui/modal_helpers.h"
#include "session/session.h"
#include "support/temp_dir.h"

namespace {

using platform::Answer;
using platform::Buttons;
using testsupport::WhenModal;
using trendolin::gui::QtUi;

// Every message box that comes up while it lives, as icon and text; each is
// answered with its default button.
class BoxRecorder {
 public:
  BoxRecorder() {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box || !box->isVisible()) return;
      boxes.emplace_back(box->icon(), box->text());
      box->defaultButton()->click();
    });
    timer_.start(5);
  }
  std::vector<std::pair<QMessageBox::Icon, QString>> boxes;

 private:
  QTimer timer_;
};

class FakeHost : public trendolin::gui::UiHostWindow {
 public:
  QWidget* DialogParent() override { return &window; }
  void SetStatusPart(int part, const QString& text) override { status[part] = text; }
  void SetWindowCaption(const QString& text) override { caption = text; }
  void ApplyCalculationMode(int mode, bool backgroundProcess, bool redrawPreview) override {
    modes.emplace_back(mode, backgroundProcess, redrawPreview);
  }
  void ApplyBusyState(bool busy) override { busyStates.push_back(busy); }

  QWidget window;
  std::map<int, QString> status;
  QString caption;
  std::vector<std::tuple<int, bool, bool>> modes;
  std::vector<bool> busyStates;
};

platform::MessageBoxRequest Request(Buttons buttons, platform::Icon icon = platform::Icon::None) {
  platform::MessageBoxRequest request;
  request.caption = "Caption";
  request.text = "Some <b>text</b>";
  request.icon = icon;
  request.buttons = buttons;
  return request;
}

// ---- message boxes ----

TEST(QtUiMessageBox, AnswersWithTheButtonThePersonPressed) {
  QtUi ui(nullptr);
  struct Case {
    Buttons buttons;
    QMessageBox::StandardButton press;
    Answer expected;
  };
  const Case cases[] = {
      {Buttons::YesNoCancel, QMessageBox::No, Answer::No},
      {Buttons::AbortRetryIgnore, QMessageBox::Ignore, Answer::Ignore},
      {Buttons::RetryCancel, QMessageBox::Retry, Answer::Retry},
      {Buttons::OkCancel, QMessageBox::Cancel, Answer::Cancel},
  };
  for (const Case& c : cases) {
    WhenModal<QMessageBox>([&c](QMessageBox* box) { box->button(c.press)->click(); });
    EXPECT_EQ(ui.MessageBox(Request(c.buttons)), c.expected) << static_cast<int>(c.buttons);
  }
}

TEST(QtUiMessageBox, ShowsCaptionPlainTextAndTheMappedIcon) {
  QtUi ui(nullptr);
  QString title, text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  int buttonCount = 0;
  WhenModal<QMessageBox>([&](QMessageBox* box) {
    title = box->windowTitle();
    text = box->text();
    icon = box->icon();
    buttonCount = static_cast<int>(box->buttons().size());
    box->button(QMessageBox::Ok)->click();
  });
  EXPECT_EQ(ui.MessageBox(Request(Buttons::Ok, platform::Icon::Exclamation)), Answer::Ok);
  EXPECT_EQ(title, "Caption");
  EXPECT_EQ(text, "Some <b>text</b>");
  EXPECT_EQ(icon, QMessageBox::Warning);
  EXPECT_EQ(buttonCount, 1);
}

TEST(QtUiMessageBox, EnterTakesTheFirstButtonAndEscapeTheWayOut) {
  QtUi ui(nullptr);
  struct Case {
    Buttons buttons;
    Qt::Key key;
    Answer expected;
  };
  const Case cases[] = {
      {Buttons::YesNo, Qt::Key_Return, Answer::Yes},   {Buttons::YesNo, Qt::Key_Escape, Answer::No},
      {Buttons::YesNoCancel, Qt::Key_Escape, Answer::Cancel}, {Buttons::Ok, Qt::Key_Escape, Answer::Ok},
      {Buttons::RetryCancel, Qt::Key_Return, Answer::Retry},
  };
  for (const Case& c : cases) {
    WhenModal<QMessageBox>([&c](QMessageBox* box) { QTest::keyClick(box, c.key); });
    EXPECT_EQ(ui.MessageBox(Request(c.buttons)), c.expected)
        << static_cast<int>(c.buttons) << " key " << c.key;
  }
}

TEST(QtUiMessageBox, OpensOverTheDialogInFrontElseOverTheHostWindow) {
  FakeHost host;
  QtUi ui(&host);
  QWidget* parentOverHost = nullptr;
  WhenModal<QMessageBox>([&](QMessageBox* box) {
    parentOverHost = box->parentWidget();
    box->button(QMessageBox::Ok)->click();
  });
  ui.MessageBox(Request(Buttons::Ok));
  EXPECT_EQ(parentOverHost, &host.window);

  QDialog front;
  QWidget* parentOverDialog = nullptr;
  WhenModal<QDialog>([&](QDialog* dialog) {
    WhenModal<QMessageBox>([&](QMessageBox* box) {
      parentOverDialog = box->parentWidget();
      box->button(QMessageBox::Ok)->click();
    });
    ui.MessageBox(Request(Buttons::Ok));
    dialog->reject();
  });
  front.exec();
  EXPECT_EQ(parentOverDialog, &front);
}

// ---- busy state, host window, clipboard ----

TEST(QtUiBusy, OnlyTheOutermostCallChangesTheCursor) {
  QtUi ui(nullptr);
  trendolin::CurrentSession().settings.SetFlag(trendolin::kFlagBackgroundProcess, true);
  ui.SetBusy(true);
  ui.SetBusy(true);
  ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::BusyCursor);
  ui.SetBusy(false);
  EXPECT_NE(QGuiApplication::overrideCursor(), nullptr);
  ui.SetBusy(false);
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
  ui.SetBusy(false);  // one too many: no cursor of someone else's is taken away
  EXPECT_EQ(ui.BusyDepth(), 0);

  trendolin::CurrentSession().settings.SetFlag(trendolin::kFlagBackgroundProcess, false);
  ui.SetBusy(true);
  ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
  ui.SetBusy(false);
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(QtUiBusy, TheHostWindowLocksOnceForNestedBusyWork) {
  FakeHost host;
  QtUi ui(&host);
  ui.SetBusy(true);  // reading a file ...
  ui.SetBusy(true);  // ... and sorting it inside
  ui.SetBusy(false);
  EXPECT_EQ(host.busyStates, (std::vector<bool>{true}));
  ui.SetBusy(false);
  EXPECT_EQ(host.busyStates, (std::vector<bool>{true, false}));
}

TEST(QtUiBusy, ProgressWaitsForThePumpAndTheLastTextIsShownAtTheEnd) {
  FakeHost host;
  QtUi ui(&host);
  ui.SetBusy(true);
  ui.SetStatusText(1, "25");
  EXPECT_FALSE(host.status.count(1)) << "not painted line by line";
  ui.PumpEvents();  // the first pump of the work shows where it is
  EXPECT_EQ(host.status[1], "25");
  ui.SetStatusText(1, "50");
  ui.PumpEvents();  // too soon after the last one: nothing repainted
  EXPECT_EQ(host.status[1], "25");
  ui.SetStatusText(1, "75");
  ui.SetStatusText(2, "READING");
  ui.SetBusy(false);
  EXPECT_EQ(host.status[1], "75");
  EXPECT_EQ(host.status[2], "READING");
  ui.SetStatusText(1, "idle");  // not busy: at once
  EXPECT_EQ(host.status[1], "idle");
}

TEST(QtUiHost, StatusCaptionAndCalculationModeReachTheHostWindow) {
  FakeHost host;
  QtUi ui(&host);
  ui.SetStatusText(2, "17");
  ui.SetStatusText(3, "X2 = 0.5");
  ui.SetCaption("Trendolin 1.4 - [A.DAT]");
  EXPECT_EQ(host.status[2], "17");
  EXPECT_EQ(host.status[3], "X2 = 0.5");
  EXPECT_EQ(host.caption, "Trendolin 1.4 - [A.DAT]");

  ui.SetCalculationMode(2, true, false);
  EXPECT_EQ(QThread::currentThread()->priority(), QThread::HighestPriority);
  ui.SetCalculationMode(0, false, true);
  EXPECT_EQ(QThread::currentThread()->priority(), QThread::NormalPriority);
  ASSERT_EQ(host.modes.size(), 2u);
  EXPECT_EQ(host.modes[0], std::make_tuple(2, true, false));
  EXPECT_EQ(host.modes[1], std::make_tuple(0, false, true));

  // Without a host window the calls have nowhere to go and do nothing.
  QtUi headless(nullptr);
  headless.SetStatusText(0, "x");
  headless.SetCaption("x");
  headless.SetCalculationMode(1, false, false);
  headless.SetCalculationMode(0, false, false);
}

TEST(QtUiClipboard, RoundTripsTextAndSaysWhenThereIsNone) {
  QtUi ui(nullptr);
  ASSERT_TRUE(ui.SetClipboardText("1\t2\n3\t4\n"));
  EXPECT_EQ(ui.ClipboardText(), std::optional<std::string>("1\t2\n3\t4\n"));
  QGuiApplication::clipboard()->clear();
  EXPECT_EQ(ui.ClipboardText(), std::nullopt);
}

// ---- dialogs run modally ----

TEST(QtUiDialogs, ErrorReportShowsTheMessageUntilClosed) {
  QtUi ui(nullptr);
  QString shown;
  WhenModal<trendolin::gui::ErrorReportDialog>([&](trendolin::gui::ErrorReportDialog* dialog) {
    shown = dialog->findChild<QLabel*>("message")->text();
    dialog->findChild<QPushButton*>("ok")->click();
  });
  ui.ShowErrorReport("Division by zero in Exponential Fit.", "fpe.html");
  EXPECT_EQ(shown, "Division by zero in Exponential Fit.");
}

TEST(QtUiDialogs, DegreeDialogClosesOnlyOnAnAcceptedValue) {
  QtUi ui(nullptr);
  std::vector<std::string> tried;
  platform::ValueDialogRequest request;
  request.fieldText = "4";
  request.spinLower = 3;
  request.spinUpper = 9;
  request.spinPosition = 4;
  request.accept = [&tried](const std::string& text) {
    tried.push_back(text);
    return text == "5";
  };
  WhenModal<trendolin::gui::DegreeDialog>([](trendolin::gui::DegreeDialog* dialog) {
    QLineEdit* field = dialog->findChild<QLineEdit*>("value");
    field->setText("9");
    dialog->findChild<QPushButton*>("ok")->click();
    // Refused: still up, the text selected for the next try.
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(field->selectedText(), "9");
    field->setText("5");
    dialog->findChild<QPushButton*>("ok")->click();
  });
  EXPECT_TRUE(ui.PolynomialDegreeDialog(request));
  EXPECT_EQ(tried, (std::vector<std::string>{"9", "5"}));

  WhenModal<trendolin::gui::DegreeDialog>([](trendolin::gui::DegreeDialog* dialog) { dialog->reject(); });
  EXPECT_FALSE(ui.PolynomialDegreeDialog(request));
}

TEST(QtUiDialogs, ImportAndGuessDialogsHandBackWhatWasEdited) {
  QtUi ui(nullptr);
  trendolin::ImportOptions options;
  options.path = "/tmp/one-column.dat";
  options.columnsInFile = 1;
  options.pointsInFile = 3;
  options.columnsToRead = 1;
  WhenModal<trendolin::gui::ImportDialog>([](trendolin::gui::ImportDialog* dialog) {
    dialog->findChild<QCheckBox*>("generateX")->setChecked(true);
    dialog->findChild<QLineEdit*>("xIncrement")->setText("0.5");
    dialog->findChild<QPushButton*>("ok")->click();
  });
  ASSERT_TRUE(ui.ImportOptionsDialog(options));
  EXPECT_TRUE(options.generateX);
  EXPECT_FLOAT_EQ(options.xIncrement, 0.5f);
  EXPECT_EQ(options.dataSetColumns, 2);

  float guesses[2] = {1.0f, 2.0f};
  WhenModal<trendolin::gui::GuessDialog>([](trendolin::gui::GuessDialog* dialog) {
    dialog->findChild<QLineEdit*>("value")->setText("3.5");
    dialog->findChild<QPushButton*>("ok")->click();
  });
  ASSERT_TRUE(ui.InitialGuessDialog(504, 2, guesses));
  EXPECT_FLOAT_EQ(guesses[0], 3.5f);
  EXPECT_FLOAT_EQ(guesses[1], 2.0f);

  WhenModal<trendolin::gui::GuessDialog>([](trendolin::gui::GuessDialog* dialog) {
    dialog->findChild<QLineEdit*>("value")->setText("7");
    dialog->reject();
  });
  EXPECT_FALSE(ui.InitialGuessDialog(504, 2, guesses));
  EXPECT_FLOAT_EQ(guesses[0], 3.5f);
}

// A data file that cannot be opened, is empty or is no text file gets one
// box: a warning icon, the file and what is wrong with it (never first a
// bare box holding only the path).
TEST(QtUiDataFiles, AFileThatCannotBeReadGetsOneBoxWithThePathAndTheReason) {
  testsupport::TempDir dir;
  testsupport::WriteFile(dir.File("empty.dat"), "");
  testsupport::WriteFile(dir.File("binary.dat"), std::string("1 2\n\0\x01" "ELF\n3 4\n", 14));
  FakeHost host;
  QtUi ui(&host);
  platform::ScopedUi installed(ui);
  const std::pair<std::string, const char*> cases[] = {
      {dir.File("missing.dat"), "No such file or directory"},
      {dir.File("empty.dat"), "the file is empty"},
      {dir.File("binary.dat"), "NUL bytes"},
      {dir.Path(), "Is a directory"},
  };
  for (const auto& [path, reason] : cases) {
    trendolin::CurveFit doc;
    BoxRecorder recorder;
    EXPECT_EQ(trendolin::OpenStartupFile(doc, path), 0);
    ASSERT_EQ(recorder.boxes.size(), 1u) << path;
    EXPECT_EQ(recorder.boxes[0].first, QMessageBox::Warning) << path;
    const QString text = recorder.boxes[0].second;
    EXPECT_TRUE(text.contains(QString::fromStdString(path)) && text.contains(QLatin1String(reason))) << path << ": "
                                                                                                     << text.toStdString();
  }
}

// The growth sample's shape: a heading, then time, optical density and its
// uncertainty. The import dialog opens with the uncertainty box ticked, so
// OK as it opens loads the file.
TEST(QtUiDataFiles, AThreeColumnFileOpensWithTheImportDialogAsItOpens) {
  trendolin::CurrentSession().settings.SetFlag(trendolin::kFlagShowFileImportDlg, true);
  testsupport::TempDir dir;
  const std::string path = dir.File("growth.dat");
  testsupport::WriteFile(path, "E. coli batch culture, 37 C\ntime_h\tOD600\tsigma\n0\t0.044\t0.005\n"
                               "0.5\t0.063\t0.006\n1\t0.081\t0.006\n");
  FakeHost host;
  QtUi ui(&host);
  platform::ScopedUi installed(ui);
  bool ticked = false;
  WhenModal<trendolin::gui::ImportDialog>([&ticked](trendolin::gui::ImportDialog* dialog) {
    auto* box = dialog->findChild<QCheckBox*>("uncertainty");
    ticked = box->isChecked();
    box->setChecked(true);  // so that OK goes through either way
    dialog->findChild<QPushButton*>("ok")->click();
  });
  trendolin::CurveFit doc;
  EXPECT_EQ(trendolin::OpenDataFile(doc, path, false, false, false), 1);
  EXPECT_TRUE(ticked);
  EXPECT_EQ(doc.nPoints, 3);
  EXPECT_EQ(doc.bUncertainty, 1);
}

TEST(QtUiDialogs, OpenDialogAnswersThePathAndTheReadOnlyBox) {
  testsupport::TempDir dir;
  testsupport::WriteFile(dir.File("points.dat"), "1 2\n");
  QtUi ui(nullptr);
  platform::FileDialogRequest request;
  request.title = "Open File";
  request.initialPath = dir.File("points.dat");
  request.defaultExtension = "DAT";
  request.mustExist = true;
  request.offerReadOnly = true;

  QString title;
  WhenModal<trendolin::gui::DataFileDialog>([&title](trendolin::gui::DataFileDialog* dialog) {
    title = dialog->windowTitle();
    dialog->findChild<QCheckBox*>("readOnly")->setChecked(true);
    dialog->accept();
  });
  const std::optional<platform::FileDialogResult> chosen = ui.OpenFileDialog(request);
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(title, "Open File");
  EXPECT_EQ(chosen->path, dir.File("points.dat"));
  EXPECT_TRUE(chosen->readOnly);

  WhenModal<trendolin::gui::DataFileDialog>([](trendolin::gui::DataFileDialog* dialog) { dialog->reject(); });
  EXPECT_FALSE(ui.OpenFileDialog(request).has_value());
}

}  // namespace
