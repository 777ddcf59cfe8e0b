#include "gui/dialogs/groups_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "fit/fit_types.h"
#include "session/linear_fits_dialogs.h"
#include "fit/model_desc.h"
#include "gui/dialogs/dialog_kit.h"
#include "gui/dialogs/spin_buttons.h"

namespace trendolin::gui {
namespace {

constexpr const char* kFitHunterHelpTopic = "fithunter.html";
constexpr const char* kGroupsHelpTopic = "calculategroups.html";

struct GroupLabel {
  int bit;
  const char* text;  // nullptr: the family's name from the catalogue
};

// In the order of the fit menus; the interpolations come last.
constexpr GroupLabel kGroups[] = {
    {CLASS_LINEAR, "&Linear and Quadratic Models"},
    {CLASS_POLYNOMIAL, "nth Order &Polynomial"},
    {CLASS_EXPONENTIAL, nullptr},
    {CLASS_POWER, nullptr},
    {CLASS_YIELD_DENSITY, nullptr},
    {CLASS_GROWTH, nullptr},
    {CLASS_SIGMOIDAL, nullptr},
    {CLASS_MISC, nullptr},
    {CLASS_USER, "&User Model"},
    {CLASS_INTERPOLATION, "&Interpolations"},
};

QString LabelOf(const GroupLabel& group) {
  if (group.text) return QString::fromUtf8(group.text);
  for (const ModelFamily& family : ModelFamilies()) {
    if (family.classMask == group.bit) return QString::fromUtf8(family.menuLabel);
  }
  return QString::number(group.bit);
}

}  // namespace

GroupsDialog::GroupsDialog(const platform::ModelGroupsDialogRequest& request, QWidget* parent)
    : QDialog(parent), request_(request) {
  setWindowTitle(request.fitHunter ? QStringLiteral("FitHunter") : QStringLiteral("Calculate Groups"));

  auto* prompt = new QLabel(request.fitHunter ? QStringLiteral("FitHunter fits every model of the checked groups "
                                                               "and shows the one that fits best.")
                                              : QStringLiteral("Every model of the checked groups is fitted and "
                                                               "gets its own graph window."),
                            this);
  prompt->setWordWrap(true);

  auto* groups = new QGroupBox(QStringLiteral("Model groups"), this);
  auto* grid = new QGridLayout(groups);
  int shown = 0;
  for (const GroupLabel& group : kGroups) {
    if ((request.groupMask & group.bit) == 0) continue;
    auto* box = new QCheckBox(LabelOf(group), groups);
    box->setObjectName(QStringLiteral("group%1").arg(group.bit));
    box->setChecked((request.checkedMask & group.bit) != 0);
    boxes_[group.bit] = box;
    grid->addWidget(box, shown / 2, shown % 2);
    ++shown;
  }
  if (QCheckBox* polynomial = GroupBox(CLASS_POLYNOMIAL); polynomial && !request.polynomialEnabled) {
    polynomial->setChecked(false);
    polynomial->setEnabled(false);
  }

  auto* selectAll = new QPushButton(QStringLiteral("Select &All"), this);
  selectAll->setObjectName(QStringLiteral("selectAll"));
  selectAll->setAutoDefault(false);
  auto* selectNone = new QPushButton(QStringLiteral("Select &None"), this);
  selectNone->setObjectName(QStringLiteral("selectNone"));
  selectNone->setAutoDefault(false);
  connect(selectAll, &QPushButton::clicked, this, &GroupsDialog::SelectAll);
  connect(selectNone, &QPushButton::clicked, this, &GroupsDialog::SelectNone);
  auto* selection = new QHBoxLayout;
  selection->addWidget(selectAll);
  selection->addWidget(selectNone);
  selection->addStretch(1);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(prompt);
  layout->addWidget(groups);
  layout->addLayout(selection);

  if (request.fitHunter) {
    degree_ = new QLineEdit(FromUtf8(request.degreeText), this);
    degree_->setObjectName(QStringLiteral("degree"));
    degree_->setMaxLength(kDegreeFieldMaxChars);
    degree_->setFixedWidth(degree_->fontMetrics().horizontalAdvance(QStringLiteral("000")) + 16);
    bool numeric = false;
    const int position = QString::fromStdString(request.degreeText).trimmed().toInt(&numeric);
    spin_ = new SpinButtons(degree_, request.spinLower, request.spinUpper, numeric ? position : request.spinLower,
                            {}, this);
    auto* label = new QLabel(QStringLiteral("Highest polynomial &degree to try:"), this);
    label->setBuddy(degree_);
    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(degree_);
    row->addWidget(spin_);
    row->addStretch(1);
    layout->addLayout(row);
    if (QCheckBox* polynomial = GroupBox(CLASS_POLYNOMIAL)) {
      connect(polynomial, &QCheckBox::toggled, this, &GroupsDialog::SyncDegreeField);
    }
    SyncDegreeField();
  }
  layout->addWidget(MakeDialogButtons(this, request.fitHunter ? kFitHunterHelpTopic : kGroupsHelpTopic));
}

QCheckBox* GroupsDialog::GroupBox(int bit) const {
  const auto found = boxes_.find(bit);
  return found == boxes_.end() ? nullptr : found->second;
}

int GroupsDialog::CheckedMask() const {
  int mask = 0;
  for (const auto& [bit, box] : boxes_) {
    if (box->isChecked()) mask |= bit;
  }
  return mask;
}

// A disabled box (the polynomial with too few points) stays as it is.
void GroupsDialog::SelectAll() {
  for (const auto& [bit, box] : boxes_) {
    if (box->isEnabled()) box->setChecked(true);
  }
}

void GroupsDialog::SelectNone() {
  for (const auto& [bit, box] : boxes_) {
    if (box->isEnabled()) box->setChecked(false);
  }
}

// The degree is only read while the polynomial group is checked; the field
// says so by being available only then.
void GroupsDialog::SyncDegreeField() {
  const QCheckBox* polynomial = GroupBox(CLASS_POLYNOMIAL);
  const bool used = polynomial && polynomial->isChecked();
  degree_->setEnabled(used);
  spin_->setEnabled(used);
}

void GroupsDialog::accept() {
  const std::string degreeText = degree_ ? ToUtf8(degree_->text()) : std::string();
  const bool taken = request_.accept ? request_.accept(CheckedMask(), degreeText) : true;
  if (taken) {
    QDialog::accept();
    return;
  }
  if (degree_ && degree_->isEnabled()) SelectFrom(degree_, 0);
}

}  // namespace trendolin::gui
