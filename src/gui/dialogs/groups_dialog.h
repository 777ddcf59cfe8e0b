// The FitHunter dialog and the Calculate Groups dialog: a check box per
// model group, select-all and select-none, and for FitHunter the highest
// polynomial degree to try.
#pragma once

#include <QDialog>
#include <map>

#include "platform/ui.h"

class QCheckBox;
class QLineEdit;

namespace trendolin::gui {

class SpinButtons;

class GroupsDialog : public QDialog {
  Q_OBJECT

 public:
  explicit GroupsDialog(const platform::ModelGroupsDialogRequest& request, QWidget* parent = nullptr);

  // The class bits of the checked boxes.
  int CheckedMask() const;
  // The box of class bit `bit`, or nullptr when the dialog has none (also
  // found by the name "group<bit>").
  QCheckBox* GroupBox(int bit) const;
  // FitHunter's degree field; nullptr for Calculate Groups.
  QLineEdit* DegreeField() const { return degree_; }

  void SelectAll();
  void SelectNone();
  void accept() override;

 private:
  void SyncDegreeField();

  platform::ModelGroupsDialogRequest request_;
  std::map<int, QCheckBox*> boxes_;
  QLineEdit* degree_ = nullptr;
  SpinButtons* spin_ = nullptr;
};

}  // namespace trendolin::gui
