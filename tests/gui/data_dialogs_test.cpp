// The Manipulate and Transform dialogs driven as a person drives them: fields
// typed, pages chosen, OK and Cancel pressed, refusals met.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <cmath>
#include <vector>

#include "data/curve_fit.h"
#include "gui/dialogs/manipulate_dialog.h"
#include "gui/dialogs/transform_dialog.h"
#include "modal_helpers.h"
#include "platform/headless_ui.h"

namespace trendolin::gui {
namespace {

using platform::UiEvent;

std::vector<float> ColumnOf(const CurveFit& doc, int c) {
  std::vector<float> values;
  for (int r = 0; r < doc.nPoints; ++r) values.push_back(doc.At(r, c));
  return values;
}

class DataDialogsTest : public testing::Test {
 protected:
  void SetUp() override {
    doc.AllocateData(4, 3, 1);
    const float rows[4][3] = {{4, 40, 1}, {1, 10, 2}, {3, 0, 3}, {2, 20, 4}};
    for (int r = 0; r < 4; ++r) {
      for (int c = 0; c < 3; ++c) doc.At(r, c) = rows[r][c];
    }
    doc.bStatsStale = 1;
    doc.ClearModified();
  }

  template <class T>
  T* Find(QWidget& dialog, const char* name) {
    T* widget = dialog.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
  void SetText(QWidget& dialog, const char* name, const char* text) {
    QLineEdit* edit = Find<QLineEdit>(dialog, name);
    edit->selectAll();
    QTest::keyClicks(edit, QString::fromLatin1(text));
  }
  static void Press(QWidget& dialog, const char* name) {
    dialog.findChild<QPushButton*>(QString::fromLatin1(name))->click();
  }

  platform::HeadlessUi ui;
  platform::ScopedUi scoped{ui};
  CurveFit doc;
};

TEST_F(DataDialogsTest, ManipulateOpensOnTheDataAndAppliesEachPageWhileStayingOpen) {
  ManipulateDialog dialog(doc, nullptr);
  dialog.show();
  // The clipping window starts at the data's own extremes.
  EXPECT_EQ(Find<QLineEdit>(dialog, "clipXMin")->text(), QStringLiteral("1.000000"));
  EXPECT_EQ(Find<QLineEdit>(dialog, "clipYMax")->text(), QStringLiteral("40.000000"));
  EXPECT_EQ(Find<QLineEdit>(dialog, "xFactor")->text(), QStringLiteral("1.000000"));

  // Scaling y alone: x unticked keeps its values; the uncertainties follow y.
  Find<QCheckBox>(dialog, "scaleX")->setChecked(false);
  EXPECT_FALSE(Find<QLineEdit>(dialog, "xFactor")->isEnabled());
  SetText(dialog, "yFactor", "0.5");
  SetText(dialog, "clipXMin", "2");
  Press(dialog, "ok");
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(ColumnOf(doc, 0), (std::vector<float>{4, 1, 3, 2}));
  EXPECT_EQ(ColumnOf(doc, 1), (std::vector<float>{20, 5, 0, 10}));
  EXPECT_EQ(ColumnOf(doc, 2), (std::vector<float>{0.5f, 1, 1.5f, 2}));
  // The clipping limits nobody typed follow the scaled data; a typed one stays.
  EXPECT_EQ(Find<QLineEdit>(dialog, "clipYMax")->text(), QStringLiteral("20.000000"));
  EXPECT_EQ(Find<QLineEdit>(dialog, "clipXMin")->text(), QStringLiteral("2"));

  auto* pages = Find<QTabWidget>(dialog, "pages");
  pages->setCurrentIndex(kTranslationPage);
  SetText(dialog, "xOffset", "-1");
  Find<QCheckBox>(dialog, "translateY")->setChecked(false);
  Press(dialog, "ok");
  EXPECT_EQ(ColumnOf(doc, 0), (std::vector<float>{3, 0, 2, 1}));
  EXPECT_EQ(ColumnOf(doc, 1), (std::vector<float>{20, 5, 0, 10}));

  pages->setCurrentIndex(kSortingPage);
  Press(dialog, "ok");
  EXPECT_EQ(ColumnOf(doc, 0), (std::vector<float>{0, 1, 2, 3}));
  Press(dialog, "swap");
  EXPECT_EQ(ColumnOf(doc, 0), (std::vector<float>{5, 10, 0, 20}));
  EXPECT_EQ(ColumnOf(doc, 2), (std::vector<float>{1, 2, 1.5f, 0.5f}));  // the uncertainties stay

  // Each change is one step back on the Edit menu, newest first.
  EXPECT_EQ(UndoMenuEntry(doc, false).text, "&Undo Swap\tCtrl+Z");
  EXPECT_EQ(doc.history.undo.Count(), 4);

  Press(dialog, "cancel");
  EXPECT_FALSE(dialog.isVisible());
}

TEST_F(DataDialogsTest, ABadNumberIsSelectedFromItsFirstBadCharacterAndNothingChanges) {
  ManipulateDialog dialog(doc, nullptr);
  dialog.show();
  QApplication::setActiveWindow(&dialog);
  SetText(dialog, "yFactor", "2.5x");
  Press(dialog, "ok");
  QLineEdit* field = Find<QLineEdit>(dialog, "yFactor");
  EXPECT_TRUE(field->hasFocus());
  EXPECT_EQ(field->selectedText(), QStringLiteral("x"));
  EXPECT_EQ(ColumnOf(doc, 1), (std::vector<float>{40, 10, 0, 20}));
  EXPECT_EQ(ui.EventsOf(UiEvent::Kind::Beep).size(), 1u);
  EXPECT_TRUE(doc.history.undo.Empty());
  EXPECT_EQ(doc.bModified, 0);
}

TEST_F(DataDialogsTest, ClippingSaysItIsWorkingAndCannotBeClosedUntilDone) {
  ManipulateDialog dialog(doc, nullptr);
  dialog.show();
  Find<QTabWidget>(dialog, "pages")->setCurrentIndex(kClippingPage);
  SetText(dialog, "clipYMin", "5");
  QStringList captions;
  bool closedWhileWorking = false;
  bool okEnabledWhileWorking = true;
  ui.SetPumpHook([&] {
    captions << dialog.windowTitle();
    okEnabledWhileWorking = okEnabledWhileWorking && dialog.findChild<QPushButton*>("ok")->isEnabled();
    dialog.reject();  // Close, pressed while the points are worked through
    closedWhileWorking = closedWhileWorking || !dialog.isVisible();
  });
  Press(dialog, "ok");
  ui.SetPumpHook(nullptr);
  ASSERT_FALSE(captions.isEmpty());
  EXPECT_EQ(captions.front(), QStringLiteral("Manipulate Data - Working..."));
  EXPECT_FALSE(okEnabledWhileWorking);
  EXPECT_FALSE(closedWhileWorking);
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Manipulate Data"));
  EXPECT_EQ(ColumnOf(doc, 1), (std::vector<float>{40, 10, 20}));  // the 0 went

  // An inverted window is refused with its warning and removes nothing.
  SetText(dialog, "clipXMin", "4");
  SetText(dialog, "clipXMax", "1");
  Press(dialog, "ok");
  EXPECT_EQ(doc.nPoints, 3);
  EXPECT_EQ(ui.EventsOf(UiEvent::Kind::MessageBox).size(), 1u);
}

TEST_F(DataDialogsTest, TransformTakesTheExponentOnlyForAPowerAndRefusesWhatTheDataCannotTake) {
  TransformDialog dialog;
  dialog.show();
  auto* functions = Find<QListWidget>(dialog, "functions");
  ASSERT_EQ(functions->count(), kTransformFunctionCount);
  EXPECT_EQ(functions->currentItem()->text(), QStringLiteral("exp(x)"));
  EXPECT_TRUE(Find<QRadioButton>(dialog, "xColumn")->isChecked());
  QLineEdit* exponent = Find<QLineEdit>(dialog, "exponent");
  EXPECT_FALSE(exponent->isEnabled());

  functions->setCurrentRow(kTransformPower);
  EXPECT_TRUE(exponent->isEnabled());
  EXPECT_EQ(exponent->text(), QStringLiteral("1.000000"));
  QApplication::setActiveWindow(&dialog);
  SetText(dialog, "exponent", "2,5");
  dialog.accept();
  EXPECT_TRUE(dialog.isVisible());  // "2" read, ",5" is the bad part
  EXPECT_EQ(exponent->selectedText(), QStringLiteral(",5"));
  EXPECT_FALSE(dialog.Choice().has_value());

  SetText(dialog, "exponent", "0.5");
  Find<QRadioButton>(dialog, "yColumn")->setChecked(true);
  dialog.accept();
  ASSERT_TRUE(dialog.Choice().has_value());
  EXPECT_EQ(dialog.Choice()->column, 1);
  EXPECT_EQ(dialog.Choice()->function, kTransformPower);
  EXPECT_DOUBLE_EQ(dialog.Choice()->exponent, 0.5);
}

TEST_F(DataDialogsTest, TheTransformCommandChangesAllOrNothingAndCancelNothing) {
  // ln of the 0 in y: the error box, and every value as it was.
  testsupport::WhenModal<TransformDialog>([](TransformDialog* dialog) {
    dialog->findChild<QListWidget*>("functions")->setCurrentRow(kTransformLn);
    dialog->findChild<QRadioButton*>("yColumn")->setChecked(true);
    dialog->findChild<QPushButton*>("ok")->click();
  });
  EXPECT_FALSE(RunTransformCommand(nullptr, doc));
  EXPECT_EQ(ColumnOf(doc, 1), (std::vector<float>{40, 10, 0, 20}));
  const auto boxes = ui.EventsOf(UiEvent::Kind::MessageBox);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, kTransformFailed);

  testsupport::WhenModal<TransformDialog>(
      [](TransformDialog* dialog) { dialog->findChild<QPushButton*>("cancel")->click(); });
  EXPECT_FALSE(RunTransformCommand(nullptr, doc));
  EXPECT_EQ(doc.bModified, 0);

  // sqrt of x, undone from the Edit menu's entry.
  testsupport::WhenModal<TransformDialog>([](TransformDialog* dialog) {
    dialog->findChild<QListWidget*>("functions")->setCurrentRow(kTransformSqrt);
    dialog->findChild<QPushButton*>("ok")->click();
  });
  EXPECT_TRUE(RunTransformCommand(nullptr, doc));
  EXPECT_EQ(ColumnOf(doc, 0), (std::vector<float>{2, 1, std::sqrt(3.0f), std::sqrt(2.0f)}));
  EXPECT_EQ(UndoMenuEntry(doc, false).text, "&Undo Transform\tCtrl+Z");
  doc.Undo();
  EXPECT_EQ(ColumnOf(doc, 0), (std::vector<float>{4, 1, 3, 2}));
}

}  // namespace
}  // namespace trendolin::gui
