// The save dialogs of the files made from a fit (the export, tables): Qt's
// own file dialog with the caller's filters, default extension, Help button
// and overwrite question, and a panel of the command's options under the
// file list. OK checks the file name as the data-file dialogs do, then the
// panel.
#pragma once

#include <QFileDialog>
#include <QPushButton>
#include <initializer_list>
#include <string>

class QActionGroup;

namespace trendolin::gui {

struct PanelFileDialogSetup {
  QString title;
  QStringList filters;    // the first is selected at start
  QString defaultSuffix;  // without the dot
  std::string helpTopic;
  QString initialPath;    // the file-name field starts with it (may be empty)
};

class PanelFileDialog : public QFileDialog {
  Q_OBJECT

 public:
  PanelFileDialog(const PanelFileDialogSetup& setup, QWidget* parent = nullptr);

  // The file chosen, default extension included; empty before OK.
  std::string ChosenPath() const;
  // The panel under the file list (objectName "panel").
  QWidget* Panel() const { return panel_; }

  // OK, the dialog's own button or Return: a folder is entered; a name with
  // no title is refused with the program's warning; then the panel's check,
  // the overwrite question, and the dialog closes.
  void accept() override;

 protected:
  // The panel's part of OK. False keeps the dialog open; the panel has then
  // already told the person why (a beep, a box, a selected field).
  virtual bool AcceptPanel() { return true; }
  // Tab goes from the file type to these controls of the panel, in this
  // order, and on to the dialog's buttons.
  void SetPanelTabOrder(std::initializer_list<QWidget*> controls);

 private:
  QWidget* panel_ = nullptr;
};

// The separator button of both panels: it opens the separator menu under
// itself ("Tab", "Space", "Comma", the chosen one ticked) and names the
// choice on its face.
class SeparatorButton : public QPushButton {
  Q_OBJECT

 public:
  SeparatorButton(char separator, QWidget* parent);

  char Separator() const { return separator_; }
  // Chooses as the menu entry with this label does ("Tab", "Space", "Comma").
  void Choose(const QString& label);

 private:
  void Show(const QString& label);

  char separator_;
  QActionGroup* group_;
};

}  // namespace trendolin::gui
