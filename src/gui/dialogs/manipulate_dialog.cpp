#include "gui/dialogs/manipulate_dialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "gui/dialogs/dialog_kit.h"
#include "gui/help_viewer.h"

namespace trendolin::gui {
namespace {

QLineEdit* NumberField(const std::string& text, const char* name) {
  auto* edit = new QLineEdit(FromUtf8(text));
  edit->setObjectName(QString::fromLatin1(name));
  edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("-0000000.000000")));
  return edit;
}

QCheckBox* AxisBox(const QString& label, bool checked, const char* name) {
  auto* box = new QCheckBox(label);
  box->setObjectName(QString::fromLatin1(name));
  box->setChecked(checked);
  return box;
}

// A page of two rows, each a check box that switches its field on and off.
QWidget* AxisPage(QCheckBox* xBox, QLineEdit* xField, QCheckBox* yBox, QLineEdit* yField, const QString& note) {
  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);
  grid->addWidget(xBox, 0, 0);
  grid->addWidget(xField, 0, 1);
  grid->addWidget(yBox, 1, 0);
  grid->addWidget(yField, 1, 1);
  auto* text = new QLabel(note);
  text->setWordWrap(true);
  grid->addWidget(text, 2, 0, 1, 2);
  grid->setRowStretch(3, 1);
  for (auto [box, field] : {std::pair{xBox, xField}, std::pair{yBox, yField}}) {
    field->setEnabled(box->isChecked());
    QObject::connect(box, &QCheckBox::toggled, field, &QWidget::setEnabled);
  }
  return page;
}

}  // namespace

ManipulateDialog::ManipulateDialog(CurveFit& doc, DataGridSink* grid, QWidget* parent)
    : QDialog(parent), doc_(doc), grid_(grid), caption_(QStringLiteral("Manipulate Data")) {
  setModal(true);
  setWindowTitle(caption_);
  const ManipulationFields initial = InitialManipulationFields(doc_);

  scaleX_ = AxisBox(QStringLiteral("Scale &X by"), initial.scaling.scaleX, "scaleX");
  xFactor_ = NumberField(initial.scaling.xFactor, "xFactor");
  scaleY_ = AxisBox(QStringLiteral("Scale &Y by"), initial.scaling.scaleY, "scaleY");
  yFactor_ = NumberField(initial.scaling.yFactor, "yFactor");
  translateX_ = AxisBox(QStringLiteral("Add to &X"), initial.translation.translateX, "translateX");
  xOffset_ = NumberField(initial.translation.xOffset, "xOffset");
  translateY_ = AxisBox(QStringLiteral("Add to &Y"), initial.translation.translateY, "translateY");
  yOffset_ = NumberField(initial.translation.yOffset, "yOffset");
  clipXMin_ = NumberField(initial.clipping.xMin, "clipXMin");
  clipXMax_ = NumberField(initial.clipping.xMax, "clipXMax");
  clipYMin_ = NumberField(initial.clipping.yMin, "clipYMin");
  clipYMax_ = NumberField(initial.clipping.yMax, "clipYMax");

  tabs_ = new QTabWidget;
  tabs_->setObjectName(QStringLiteral("pages"));
  tabs_->setUsesScrollButtons(false);  // all four pages in view
  tabs_->addTab(BuildScalingPage(), QStringLiteral("Scaling"));
  tabs_->addTab(BuildTranslationPage(), QStringLiteral("Translation"));
  tabs_->addTab(BuildClippingPage(), QStringLiteral("Clipping"));
  tabs_->addTab(BuildSortingPage(), QStringLiteral("Sorting"));

  buttons_ = MakeDialogButtons(this, {});
  // Help opens the topic of the page in front.
  disconnect(buttons_, &QDialogButtonBox::helpRequested, nullptr, nullptr);
  connect(buttons_, &QDialogButtonBox::helpRequested, this,
          [this] { ShowHelp(ManipulationHelpTopic(tabs_->currentIndex())); });
  buttons_->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&Apply"));
  buttons_->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("&Close"));

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs_);
  layout->addWidget(buttons_);
  xFactor_->setFocus();
}

QWidget* ManipulateDialog::BuildScalingPage() {
  return AxisPage(scaleX_, xFactor_, scaleY_, yFactor_,
                  QStringLiteral("Every value of a ticked column is multiplied by its factor. "
                                 "Uncertainties are scaled with y."));
}

QWidget* ManipulateDialog::BuildTranslationPage() {
  return AxisPage(translateX_, xOffset_, translateY_, yOffset_,
                  QStringLiteral("Every value of a ticked column has its offset added. "
                                 "Uncertainties stay as they are."));
}

QWidget* ManipulateDialog::BuildClippingPage() {
  auto* page = new QWidget;
  auto* form = new QFormLayout(page);
  form->addRow(QStringLiteral("X m&inimum:"), clipXMin_);
  form->addRow(QStringLiteral("X m&aximum:"), clipXMax_);
  form->addRow(QStringLiteral("Y mi&nimum:"), clipYMin_);
  form->addRow(QStringLiteral("Y ma&ximum:"), clipYMax_);
  auto* note = new QLabel(QStringLiteral("Points outside this window are removed."));
  note->setWordWrap(true);
  form->addRow(note);
  return page;
}

QWidget* ManipulateDialog::BuildSortingPage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  auto* key = new QGroupBox(QStringLiteral("Sort the points"));
  auto* keyLayout = new QVBoxLayout(key);
  sortByX_ = new QRadioButton(QStringLiteral("By &X"));
  sortByX_->setObjectName(QStringLiteral("sortByX"));
  sortByY_ = new QRadioButton(QStringLiteral("By &Y"));
  sortByY_->setObjectName(QStringLiteral("sortByY"));
  sortByX_->setChecked(true);
  keyLayout->addWidget(sortByX_);
  keyLayout->addWidget(sortByY_);
  layout->addWidget(key);
  auto* swap = new QPushButton(QStringLiteral("&Swap X and Y"));
  swap->setObjectName(QStringLiteral("swap"));
  swap->setAutoDefault(false);
  connect(swap, &QPushButton::clicked, this, &ManipulateDialog::Swap);
  auto* swapRow = new QHBoxLayout;
  swapRow->addWidget(swap);
  swapRow->addStretch(1);
  layout->addLayout(swapRow);
  layout->addStretch(1);
  return page;
}

ManipulationFields ManipulateDialog::Fields() const {
  ManipulationFields fields;
  fields.scaling = {scaleX_->isChecked(), ToUtf8(xFactor_->text()), scaleY_->isChecked(), ToUtf8(yFactor_->text())};
  fields.translation = {translateX_->isChecked(), ToUtf8(xOffset_->text()), translateY_->isChecked(),
                        ToUtf8(yOffset_->text())};
  fields.clipping = {ToUtf8(clipXMin_->text()), ToUtf8(clipXMax_->text()), ToUtf8(clipYMin_->text()),
                     ToUtf8(clipYMax_->text())};
  fields.sorting.key = sortByY_->isChecked() ? 1 : 0;
  return fields;
}

void ManipulateDialog::accept() {
  if (working_) return;
  const ManipulationFields fields = Fields();
  const WorkingNotice working = [this](bool on) { SetWorking(on); };
  ApplyResult result;
  switch (tabs_->currentIndex()) {
    case kScalingPage: result = ApplyScaling(doc_, fields.scaling); break;
    case kTranslationPage: result = ApplyTranslation(doc_, fields.translation); break;
    case kClippingPage: result = ApplyClipping(doc_, fields.clipping, grid_, working); break;
    case kSortingPage: result = ApplySorting(doc_, fields.sorting, working); break;
    default: return;
  }
  // An applied change has already run the application refresh, which
  // brings the grid, the preview, the menus and the graph windows along.
  if (result.badField != 0) SelectBadField(result);
  if (result.applied) FollowDataInClippingFields();
}

// The clipping window opens on the data's extremes. After a scaling or a
// translation, limits the person has not typed would be the old data's and
// could cut off points nobody meant to remove: they follow the data. A limit
// the person typed stays as typed.
void ManipulateDialog::FollowDataInClippingFields() {
  const ClippingFields now = InitialManipulationFields(doc_).clipping;
  for (auto [field, text] : {std::pair{clipXMin_, &now.xMin}, std::pair{clipXMax_, &now.xMax},
                             std::pair{clipYMin_, &now.yMin}, std::pair{clipYMax_, &now.yMax}}) {
    if (!field->isModified()) field->setText(FromUtf8(*text));
  }
}

void ManipulateDialog::reject() {
  if (!working_) QDialog::reject();
}

void ManipulateDialog::closeEvent(QCloseEvent* event) {
  if (working_) {
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

void ManipulateDialog::Swap() {
  if (working_) return;
  ApplySwap(doc_);
  FollowDataInClippingFields();
}

void ManipulateDialog::SetWorking(bool working) {
  working_ = working;
  setWindowTitle(working ? caption_ + QString::fromUtf8(kWorkingCaptionSuffix) : caption_);
  buttons_->button(QDialogButtonBox::Ok)->setEnabled(!working);
  buttons_->button(QDialogButtonBox::Cancel)->setEnabled(!working);
}

void ManipulateDialog::SelectBadField(const ApplyResult& result) {
  QLineEdit* field = nullptr;
  switch (result.badField) {
    case kScaleXFactorField: field = xFactor_; break;
    case kScaleYFactorField: field = yFactor_; break;
    case kTranslateXOffsetField: field = xOffset_; break;
    case kTranslateYOffsetField: field = yOffset_; break;
    case kClipXMinField: field = clipXMin_; break;
    case kClipXMaxField: field = clipXMax_; break;
    case kClipYMinField: field = clipYMin_; break;
    case kClipYMaxField: field = clipYMax_; break;
    default: return;
  }
  SelectFrom(field, static_cast<int>(result.badPosition));
}

}  // namespace trendolin::gui
