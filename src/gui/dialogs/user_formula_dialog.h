// The user model dialog: the formula of the user model, and the library of
// named formulas in the settings file, from which the person picks, to
// which they save and from which they delete.
#pragma once

#include <QDialog>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui.h"
#include "session/user_model_store.h"

class QLineEdit;
class QListWidget;
class QPushButton;

namespace trendolin::gui {

class UserFormulaDialog : public QDialog {
  Q_OBJECT

 public:
  // Save and Delete write the library in the settings file at `settingsPath`.
  UserFormulaDialog(const platform::UserModelDialogRequest& request, std::string settingsPath,
                    QWidget* parent = nullptr);

  QLineEdit* FormulaField() const { return formula_; }
  QListWidget* Library() const { return list_; }
  // The library as the list shows it.
  const std::vector<StoredUserModel>& Stored() const { return library_; }

  // OK: closes only when the request's `accept` takes the formula.
  void accept() override;
  // Save: checks the formula, asks for a name (through `AskForName`) and
  // appends the model to the library. Delete: asks, then removes the
  // selected model from the library.
  void Save();
  void Delete();

 protected:
  // The name dialog; nothing when cancelled.
  virtual std::optional<std::string> AskForName();

 private:
  void ShowStoreError(const std::string& error);
  void SyncDeleteButton();

  platform::UserModelDialogRequest request_;
  std::string settingsPath_;
  std::vector<StoredUserModel> library_;
  QLineEdit* formula_;
  QListWidget* list_;
  QPushButton* delete_;
};

}  // namespace trendolin::gui
