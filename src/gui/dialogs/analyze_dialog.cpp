#include "gui/dialogs/analyze_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "data/curve_fit.h"
#include "fit/model_desc.h"
#include "graph/graph_attr.h"
#include "gui/dialogs/dialog_kit.h"
#include "gui/help_viewer.h"
#include "session/analysis_pages.h"
#include "session/graph_queue.h"
#include "session/session.h"

namespace trendolin::gui {
namespace {

// One row of a page: a label and the field it names.
struct FieldRow {
  int control;
  const char* label;
  bool input;  // false: the page's result field
};

struct PageLayout {
  FieldRow rows[3];
  int rowCount;
  int warning;  // the warning line's control, or 0 when the page has none
};

constexpr PageLayout kPageLayouts[kAnalyzePageCount] = {
    {{{kYAtXField, "&X:", true}, {kYAtXResult, "Y:", false}}, 2, 0},
    {{{kXAtYTargetField, "&Y:", true}, {kXAtYStartField, "&Starting X:", true}, {kXAtYResult, "X:", false}}, 3, 0},
    {{{kDerivativeField, "&X:", true}, {kDerivativeResult, "dY/dX:", false}}, 2, 0},
    {{{kIntegralLowerField, "&Lower limit:", true},
      {kIntegralUpperField, "&Upper limit:", true},
      {kIntegralResult, "Integral:", false}},
     3,
     kIntegralWarning},
    {{{kArcLowerField, "&Lower limit:", true},
      {kArcUpperField, "&Upper limit:", true},
      {kArcResult, "Arc length:", false}},
     3,
     kArcWarning},
};

// Where each input field's text lives in the session's record of the fields.
constexpr std::pair<int, std::string AnalyzeFields::*> kInputTexts[] = {
    {kYAtXField, &AnalyzeFields::yAtX},
    {kXAtYTargetField, &AnalyzeFields::xAtYTarget},
    {kXAtYStartField, &AnalyzeFields::xAtYStart},
    {kDerivativeField, &AnalyzeFields::derivativeAt},
    {kIntegralLowerField, &AnalyzeFields::integralLower},
    {kIntegralUpperField, &AnalyzeFields::integralUpper},
    {kArcLowerField, &AnalyzeFields::arcLower},
    {kArcUpperField, &AnalyzeFields::arcUpper},
};

int ResultControl(int page) {
  const PageLayout& layout = kPageLayouts[page];
  return layout.rows[layout.rowCount - 1].control;
}

// Every tab at least as wide as ten "a" of the tab bar's font, so that the
// five titles sit in tabs of one width.
class AnalyzeTabBar : public QTabBar {
 public:
  using QTabBar::QTabBar;

 protected:
  QSize tabSizeHint(int index) const override {
    QSize size = QTabBar::tabSizeHint(index);
    size.setWidth(std::max(size.width(), fontMetrics().horizontalAdvance(QString(10, QLatin1Char('a')))));
    return size;
  }
};

class AnalyzeTabs : public QTabWidget {
 public:
  explicit AnalyzeTabs(QWidget* parent) : QTabWidget(parent) {
    setTabBar(new AnalyzeTabBar(this));
    // All five tabs in sight: the dialog grows to hold them.
    setUsesScrollButtons(false);
    setElideMode(Qt::ElideNone);
  }
};

// The x axis of the model's graph as it is drawn now (zoomed or panned), or
// the automatic axis when the model has no graph in the queue.
std::pair<datatype, datatype> XAxisOf(CurveFit& doc, int modelId) {
  const Gqueue& queue = CurrentSession().graphQueue;
  if (const GraphAttr* shown = queue.Record(queue.Find(modelId))) return {shown->xMin, shown->xMax};
  GraphAttr automatic;
  automatic.modelId = modelId;
  AutomaticAxes(automatic, doc);
  return {automatic.xMin, automatic.xMax};
}

}  // namespace

void ShowAnalyzeDialog(QWidget* parent, CurveFit& doc, int modelId) {
  const auto [axisMin, axisMax] = XAxisOf(doc, modelId);
  const std::string title = parent ? ToUtf8(parent->windowTitle()) : DescriptorOf(doc, modelId).name;
  AnalyzeDialog dialog(doc, modelId, title, axisMin, axisMax, parent);
  dialog.exec();
}

AnalyzeDialog::AnalyzeDialog(CurveFit& doc, int modelId, const std::string& windowTitle, datatype xAxisMin,
                             datatype xAxisMax, QWidget* parent)
    : QDialog(parent), doc_(doc), modelId_(modelId) {
  setWindowTitle(FromUtf8(AnalyzeCaption(windowTitle)));

  pages_ = new AnalyzeTabs(this);
  pages_->setObjectName(QStringLiteral("pages"));
  for (int page = 0; page < kAnalyzePageCount; ++page) {
    pages_->addTab(BuildPage(page), FromUtf8(AnalyzePageTitle(page)));
  }

  const AnalyzeFields initial = InitialAnalyzeFields(xAxisMin, xAxisMax);
  for (const auto& [control, text] : kInputTexts) Field(control)->setText(FromUtf8(initial.*text));

  auto* buttons = new QDialogButtonBox(this);
  calculate_ = buttons->addButton(QStringLiteral("&Calculate"), QDialogButtonBox::ActionRole);
  calculate_->setObjectName(QStringLiteral("calculate"));
  calculate_->setDefault(true);
  QPushButton* close = buttons->addButton(QDialogButtonBox::Close);
  close->setObjectName(QStringLiteral("close"));
  close->setAutoDefault(false);
  QPushButton* help = buttons->addButton(QDialogButtonBox::Help);
  help->setObjectName(QStringLiteral("help"));
  help->setAutoDefault(false);
  connect(calculate_, &QPushButton::clicked, this, &AnalyzeDialog::Calculate);
  connect(buttons, &QDialogButtonBox::rejected, this, &AnalyzeDialog::reject);
  connect(buttons, &QDialogButtonBox::helpRequested, this, &AnalyzeDialog::ShowHelp);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(pages_);
  layout->addWidget(buttons);
  setMinimumWidth(400);

  Field(kYAtXField)->setFocus(Qt::OtherFocusReason);
}

QWidget* AnalyzeDialog::BuildPage(int page) {
  const PageLayout& layout = kPageLayouts[page];
  auto* widget = new QWidget(pages_);
  auto* form = new QFormLayout(widget);
  for (int i = 0; i < layout.rowCount; ++i) {
    const FieldRow& row = layout.rows[i];
    QLineEdit* field = AddField(widget, row.control, row.input);
    auto* label = new QLabel(QString::fromUtf8(row.label), widget);
    label->setBuddy(field);
    form->addRow(label, field);
  }
  if (layout.warning != 0) {
    form->addRow(AddWarning(widget, layout.warning));
  }
  return widget;
}

QLineEdit* AnalyzeDialog::AddField(QWidget* page, int control, bool input) {
  auto* field = new QLineEdit(page);
  field->setObjectName(QStringLiteral("field%1").arg(control));
  if (input) {
    field->setMaxLength(static_cast<int>(kAnalyzeFieldLimit));
  } else {
    field->setReadOnly(true);  // the value can still be selected and copied
  }
  fields_[control] = field;
  return field;
}

QLabel* AnalyzeDialog::AddWarning(QWidget* page, int control) {
  auto* warning = new QLabel(page);
  warning->setObjectName(QStringLiteral("warning%1").arg(control));
  warning->setWordWrap(true);
  warnings_[control] = warning;
  return warning;
}

QLineEdit* AnalyzeDialog::Field(int control) const {
  const auto found = fields_.find(control);
  return found == fields_.end() ? nullptr : found->second;
}

QLabel* AnalyzeDialog::Warning(int control) const {
  const auto found = warnings_.find(control);
  return found == warnings_.end() ? nullptr : found->second;
}

void AnalyzeDialog::Calculate() {
  if (calculating_) return;
  const int page = pages_->currentIndex();
  AnalyzeFields fields;
  for (const auto& [control, text] : kInputTexts) fields.*text = ToUtf8(Field(control)->text());
  // The descriptor is taken at each press: it views the fit's stored result.
  const ModelDesc model = DescriptorOf(doc_, modelId_);
  const AnalyzeOutcome outcome =
      CalculateAnalyzePage(model, page, fields, [this, page](bool busy) { SetBusy(page, busy); });
  ShowOutcome(page, outcome);
}

// While an integral runs the rest of the program repaints (the integration
// pumps events) but nothing in this dialog can be pressed.
void AnalyzeDialog::SetBusy(int page, bool busy) {
  calculating_ = busy;
  if (busy) Field(ResultControl(page))->setText(QString::fromUtf8(kAnalyzeWaitText));
  setEnabled(!busy);
}

void AnalyzeDialog::ShowOutcome(int page, const AnalyzeOutcome& outcome) {
  if (outcome.resultText) Field(ResultControl(page))->setText(FromUtf8(*outcome.resultText));
  if (outcome.warningText) {
    if (QLabel* warning = Warning(kPageLayouts[page].warning)) warning->setText(FromUtf8(*outcome.warningText));
  }
  QLineEdit* focus = Field(outcome.focusField);
  if (focus == nullptr) return;
  if (outcome.status == AnalyzeStatus::BadField) {
    // The session counts bytes of the UTF-8 text; the field counts characters.
    const std::string text = ToUtf8(focus->text());
    const std::size_t bytes = std::min(outcome.selectFrom, text.size());
    SelectFrom(focus, static_cast<int>(FromUtf8(text.substr(0, bytes)).size()));
    return;
  }
  focus->setFocus(Qt::OtherFocusReason);
  if (outcome.selectText) focus->selectAll();
}

void AnalyzeDialog::ShowHelp() {
  const int page = pages_->currentIndex();
  gui::ShowHelp(AnalyzeHelpTopic(page));
}

void AnalyzeDialog::reject() {
  if (calculating_) return;
  QDialog::reject();
}

}  // namespace trendolin::gui
