// The help window: the pages shipped with the program, with their contents,
// back and forward, and a search over their text. One window serves the
// whole program; F1, F2 and every Help button bring it up on their topic.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <string>
#include <vector>

#include "gui/help_contents.h"

class QLineEdit;
class QListWidget;
class QTabWidget;
class QTextBrowser;
class QTreeWidget;
class QTreeWidgetItem;

namespace trendolin::gui {

class HelpViewer : public QMainWindow {
  Q_OBJECT

 public:
  explicit HelpViewer(const QString& folder);

  // Shows `topic` (a page, or a page#anchor); false when the page is not
  // in the help folder.
  bool ShowTopic(const QString& topic);
  // The search page with the focus in its field.
  void ShowSearch();
  // Runs the search, listing the pages found; returns how many.
  int Search(const QString& query);
  // Shows the window in front, restored if it was minimised.
  void Present();

  QTextBrowser* Browser() const { return browser_; }
  QTreeWidget* Contents() const { return contents_; }
  QListWidget* Results() const { return results_; }
  QLineEdit* SearchField() const { return searchField_; }
  const QString& Folder() const { return folder_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  friend void KeepAboveModalDialog(HelpViewer* viewer);
  void FillContents();
  void AddEntries(QTreeWidgetItem* parent, const std::vector<HelpContentsEntry>& entries);
  void FollowSource(const QUrl& source);
  void OpenResult();

  QString folder_;
  QTabWidget* side_ = nullptr;
  QTreeWidget* contents_ = nullptr;
  QLineEdit* searchField_ = nullptr;
  QListWidget* results_ = nullptr;
  QTextBrowser* browser_ = nullptr;
  std::vector<HelpPageText> pages_;  // read at the first search
  bool pagesRead_ = false;
  QString lastQuery_;
  QPointer<QWidget> dialogParent_;  // the modal dialog the window sits above
  bool open_ = false;               // shown, and not closed by the person since
};

// Help for `topic` (a page, or a page#anchor). Asked from a dialog,
// the window sits above it, so that it can be read and used while the dialog
// is open. A topic missing from the pages is reported, not ignored.
void ShowHelp(const std::string& topic);
// Help > Contents (F1) and Help > Search (F2).
void ShowHelpContents();
void ShowHelpSearch();

// F1 in any window with a Help button presses it, as the key does in the
// main window (contents) and in graph windows (their page). Installed once
// for the application; later calls do nothing.
void InstallHelpKey();

// The help window, when one has been opened (tests).
HelpViewer* CurrentHelpViewer();

}  // namespace trendolin::gui
