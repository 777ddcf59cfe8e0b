#include "gui/dialogs/guess_dialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>

#include "session/manipulation.h"
#include "fit/engine_state.h"
#include "fit/engine_state.h"
#include "fit/fit_types.h"
#include "fit/model_desc.h"
#include "gui/dialogs/dialog_kit.h"
#include "gui/not_available.h"
#include "platform/resource_strings.h"
#include "platform/ui.h"

namespace trendolin::gui {
namespace {

constexpr int kEditMaxChars = 40;
constexpr int kPolynomialNameString = 1502;
constexpr int kCaptionString = 14;
constexpr const char* kGuessHelpTopic = "modelinginitguesses.html";
constexpr const char* kTestGraphTitle = "Initial Guess Test";

QString ShowPlotText() { return QStringLiteral("Show Plot >>"); }
QString HidePlotText() { return QStringLiteral("Hide Plot <<"); }

bool IsEnter(const QKeyEvent* key) { return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter; }

// Typing goes to the edit box: a key that writes text and is no shortcut.
bool IsTyping(const QKeyEvent* key) {
  const Qt::KeyboardModifiers chord = key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
  return chord == Qt::NoModifier && !key->text().isEmpty() && key->text().at(0).isPrint();
}

}  // namespace

QString GuessDialogModelName(int modelId) {
  if (modelId == kPolynomialModel) {
    if (CurrentEngine().polynomialDegree == 3) return QStringLiteral("3rd degree Polynomial Fit");
    const std::string format(platform::ResourceString(kPolynomialNameString));
    return FromUtf8(platform::FormatResource(format, {std::to_string(CurrentEngine().polynomialDegree)}));
  }
  return FromUtf8(ModelShortName(modelId));
}

GuessDialog::GuessDialog(int modelId, int m, const datatype* guesses, GuessTestGraphFactory testGraph,
                         QWidget* parent)
    : QDialog(parent), modelId_(modelId), testGraphFactory_(std::move(testGraph)) {
  setWindowTitle(FromUtf8(std::string(platform::ResourceString(kCaptionString))));
  m = std::clamp(m, 0, kGuessVectorSize);
  guesses_.assign(guesses, guesses + m);
  std::copy(guesses_.begin(), guesses_.end(), CurrentEngine().testCoefficients.begin());

  auto* name = new QLabel(GuessDialogModelName(modelId), this);
  name->setObjectName(QStringLiteral("modelName"));
  QFont bold = name->font();
  bold.setBold(true);
  name->setFont(bold);

  list_ = new QTableWidget(m, 2, this);
  list_->setObjectName(QStringLiteral("parameters"));
  list_->setHorizontalHeaderLabels({QStringLiteral("Parameter"), QStringLiteral("Value")});
  list_->verticalHeader()->hide();
  list_->horizontalHeader()->setStretchLastSection(true);
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setTabKeyNavigation(false);
  for (int i = 0; i < m; ++i) {
    list_->setItem(i, 0, new QTableWidgetItem(QString(QChar(static_cast<char16_t>(u'a' + i)))));
    list_->setItem(i, 1, new QTableWidgetItem(FormatNumber("%.7g", guesses_[i])));
  }
  list_->resizeColumnToContents(0);
  list_->setMinimumWidth(list_->fontMetrics().horizontalAdvance(QStringLiteral("Parameter  -0.0000000e+00  ")) + 24);

  auto* editLabel = new QLabel(QStringLiteral("&Value of the selected parameter:"), this);
  edit_ = new QLineEdit(this);
  edit_->setObjectName(QStringLiteral("value"));
  edit_->setMaxLength(kEditMaxChars);
  editLabel->setBuddy(edit_);

  plotButton_ = new QPushButton(ShowPlotText(), this);
  plotButton_->setObjectName(QStringLiteral("plotToggle"));
  plotButton_->setAutoDefault(false);

  QDialogButtonBox* buttons = MakeDialogButtons(this, kGuessHelpTopic);

  auto* side = new QVBoxLayout;
  side->addWidget(editLabel);
  side->addWidget(edit_);
  side->addSpacing(8);
  side->addWidget(plotButton_, 0, Qt::AlignLeft);
  side->addStretch(1);
  auto* middle = new QHBoxLayout;
  middle->addWidget(list_, 1);
  middle->addLayout(side);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(name);
  layout->addLayout(middle, 1);
  layout->addWidget(buttons);

  QWidget* ok = buttons->button(QDialogButtonBox::Ok);
  setTabOrder(ok, list_);
  setTabOrder(list_, edit_);
  setTabOrder(edit_, plotButton_);
  setTabOrder(plotButton_, buttons->button(QDialogButtonBox::Cancel));
  setTabOrder(buttons->button(QDialogButtonBox::Cancel), buttons->button(QDialogButtonBox::Help));

  connect(list_, &QTableWidget::currentCellChanged, this, [this](int row, int, int previousRow, int) {
    if (row < 0) return;
    if (!choosing_ && previousRow >= 0 && row != previousRow) Commit();
    ShowParameter(row);
  });
  connect(plotButton_, &QPushButton::clicked, this, &GuessDialog::ToggleTestGraph);
  list_->installEventFilter(this);
  edit_->installEventFilter(this);

  if (m > 0) {
    choosing_ = true;
    list_->setCurrentCell(0, 1);
    choosing_ = false;
    ShowParameter(0);
  }
  // Typing at once replaces the first value.
  edit_->setFocus(Qt::OtherFocusReason);
}

GuessDialog::~GuessDialog() {
  // The graph is a child: it must not report its hiding to a dialog that is
  // half gone.
  if (testGraph_) {
    testGraph_->removeEventFilter(this);
    delete testGraph_;
  }
}

int GuessDialog::SelectedParameter() const { return shownParameter_; }

void GuessDialog::SelectParameter(int index) {
  if (index < 0 || index >= list_->rowCount()) return;
  list_->setCurrentCell(index, 1);
}

QString GuessDialog::ValueText(int index) const {
  const QTableWidgetItem* item = list_->item(index, 1);
  return item ? item->text() : QString();
}

bool GuessDialog::TestGraphShown() const { return testGraph_ && testGraph_->isVisible(); }

void GuessDialog::ShowParameter(int index) {
  shownParameter_ = index;
  edit_->setText(FormatNumber("%.7f", CurrentEngine().testCoefficients[index]));
  edit_->selectAll();
}

// Like atof: a text that is no number gives 0.
void GuessDialog::Commit() {
  if (list_->rowCount() == 0) return;
  const datatype value = static_cast<datatype>(std::atof(ToUtf8(edit_->text()).c_str()));
  CurrentEngine().testCoefficients[shownParameter_] = value;
  list_->item(shownParameter_, 1)->setText(FormatNumber("%.7g", value));
  if (testGraph_) testGraph_->update();
}

void GuessDialog::accept() {
  const int m = list_->rowCount();
  if (m > 0) list_->item(shownParameter_, 1)->setText(edit_->text());
  std::vector<datatype> values(m);
  for (int i = 0; i < m; ++i) {
    const QString text = ValueText(i);
    const std::string utf8 = ToUtf8(text);
    std::size_t bad = 0;
    const std::optional<double> number = ReadNumberField(utf8, &bad);
    if (!number) {
      choosing_ = true;
      list_->setCurrentCell(i, 1);
      choosing_ = false;
      shownParameter_ = i;
      edit_->setText(text);
      SelectFrom(edit_, static_cast<int>(FromUtf8(utf8.substr(0, bad)).size()));
      platform::CurrentUi().Beep();
      return;
    }
    values[i] = static_cast<datatype>(*number);
  }
  guesses_ = std::move(values);
  QDialog::accept();
}

bool GuessDialog::FilterListKey(QKeyEvent* key) {
  if (IsEnter(key)) {
    Commit();
    return true;
  }
  if (IsTyping(key)) {
    edit_->setFocus(Qt::OtherFocusReason);
    QKeyEvent copy(key->type(), key->key(), key->modifiers(), key->text());
    QApplication::sendEvent(edit_, &copy);
    return true;
  }
  return false;
}

bool GuessDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == testGraph_) {
    if (event->type() == QEvent::Hide || event->type() == QEvent::Show) SyncPlotButton();
    return false;
  }
  if (watched == edit_ && event->type() == QEvent::KeyPress && IsEnter(static_cast<QKeyEvent*>(event))) {
    Commit();
    edit_->selectAll();
    return true;
  }
  if (watched == list_) {
    switch (event->type()) {
      case QEvent::KeyPress: return FilterListKey(static_cast<QKeyEvent*>(event));
      case QEvent::FocusIn: {
        // Coming back from another window is no new visit of the list.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
          SelectParameter(0);
          // Typing in the list replaces the selected value. The edit box
          // dropped its selection when it lost the focus, and a visit that
          // leaves the selection where it was (the first parameter, as the
          // dialog opens) does not show the value again: the keys would be
          // added to the old value.
          edit_->selectAll();
        }
        break;
      }
      case QEvent::FocusOut: {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) Commit();
        break;
      }
      default: break;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void GuessDialog::ToggleTestGraph() {
  if (TestGraphShown()) {
    testGraph_->hide();
    return;
  }
  if (!testGraph_) {
    QWidget* graph = testGraphFactory_ ? testGraphFactory_(-modelId_) : nullptr;
    if (!graph) {
      ShowNotAvailable(this, QStringLiteral("The test graph"));
      return;
    }
    // A window of the dialog's own, so that it takes input while the dialog
    // is modal and goes when the dialog goes.
    graph->setParent(this, Qt::Window);
    graph->setWindowTitle(QString::fromUtf8(kTestGraphTitle));
    graph->installEventFilter(this);
    testGraph_ = graph;
  }
  testGraph_->show();
  testGraph_->raise();
}

void GuessDialog::SyncPlotButton() { plotButton_->setText(TestGraphShown() ? HidePlotText() : ShowPlotText()); }

}  // namespace trendolin::gui
