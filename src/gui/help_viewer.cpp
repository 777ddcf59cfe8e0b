#include "gui/help_viewer.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "platform/ui.h"

namespace trendolin::gui {
namespace {

constexpr const char* kHelpCaption = "Trendolin Help";
constexpr int kFileRole = Qt::UserRole;

QPointer<HelpViewer> gViewer;

QString PageOf(const QString& topic) { return topic.section(QLatin1Char('#'), 0, 0); }
QString AnchorOf(const QString& topic) { return topic.section(QLatin1Char('#'), 1); }

}  // namespace

// The help window is a window of its own; but while a dialog is open, the
// dialog keeps every other window from the person's hands. The help window
// therefore sits above the modal dialog it was asked from (a window of the
// dialog is not shut out) and goes back to being on its own when that
// dialog closes.
void KeepAboveModalDialog(HelpViewer* viewer) {
  QWidget* modal = QApplication::activeModalWidget();
  if (modal == viewer) modal = nullptr;
  if (modal == viewer->dialogParent_) return;
  const bool visible = viewer->open_;
  const QRect geometry = viewer->geometry();
  if (viewer->dialogParent_) viewer->dialogParent_->removeEventFilter(viewer);
  viewer->setParent(modal, Qt::Window);
  viewer->dialogParent_ = modal;
  if (modal) modal->installEventFilter(viewer);
  if (visible) {
    viewer->setGeometry(geometry);
    viewer->show();
  }
}

HelpViewer::HelpViewer(const QString& folder) : folder_(folder) {
  setObjectName(QStringLiteral("helpViewer"));
  setWindowTitle(QString::fromLatin1(kHelpCaption));
  setAttribute(Qt::WA_DeleteOnClose, false);
  // The program ends with its main window, whatever help is open.
  setAttribute(Qt::WA_QuitOnClose, false);

  browser_ = new QTextBrowser;
  browser_->setObjectName(QStringLiteral("helpPage"));
  browser_->setSearchPaths({folder_});
  browser_->setOpenExternalLinks(true);

  contents_ = new QTreeWidget;
  contents_->setObjectName(QStringLiteral("helpContents"));
  contents_->setHeaderHidden(true);
  connect(contents_, &QTreeWidget::itemActivated, this,
          [this](QTreeWidgetItem* item) { ShowTopic(item->data(0, kFileRole).toString()); });
  connect(contents_, &QTreeWidget::itemClicked, this,
          [this](QTreeWidgetItem* item) { ShowTopic(item->data(0, kFileRole).toString()); });

  searchField_ = new QLineEdit;
  searchField_->setObjectName(QStringLiteral("helpSearchField"));
  searchField_->setPlaceholderText(QStringLiteral("Words to find"));
  searchField_->setClearButtonEnabled(true);
  auto* find = new QPushButton(QStringLiteral("&Find"));
  find->setObjectName(QStringLiteral("helpFind"));
  results_ = new QListWidget;
  results_->setObjectName(QStringLiteral("helpResults"));
  connect(searchField_, &QLineEdit::returnPressed, this, [this] { Search(searchField_->text()); });
  connect(find, &QPushButton::clicked, this, [this] { Search(searchField_->text()); });
  connect(results_, &QListWidget::itemActivated, this, [this] { OpenResult(); });
  connect(results_, &QListWidget::itemClicked, this, [this] { OpenResult(); });
  auto* searchPage = new QWidget;
  auto* searchLayout = new QVBoxLayout(searchPage);
  auto* searchRow = new QHBoxLayout;
  searchRow->addWidget(searchField_, 1);
  searchRow->addWidget(find);
  searchLayout->addLayout(searchRow);
  searchLayout->addWidget(results_, 1);

  side_ = new QTabWidget;
  side_->setObjectName(QStringLiteral("helpSide"));
  side_->addTab(contents_, QStringLiteral("&Contents"));
  side_->addTab(searchPage, QStringLiteral("&Search"));

  auto* splitter = new QSplitter;
  splitter->addWidget(side_);
  splitter->addWidget(browser_);
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({260, 640});
  setCentralWidget(splitter);

  QToolBar* bar = addToolBar(QStringLiteral("Navigation"));
  bar->setObjectName(QStringLiteral("helpNavigation"));
  bar->setMovable(false);
  bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
  QAction* back = bar->addAction(QStringLiteral("< &Back"), browser_, &QTextBrowser::backward);
  back->setObjectName(QStringLiteral("helpBack"));
  back->setShortcut(QKeySequence::Back);
  back->setEnabled(false);
  QAction* forward = bar->addAction(QStringLiteral("&Forward >"), browser_, &QTextBrowser::forward);
  forward->setObjectName(QStringLiteral("helpForward"));
  forward->setShortcut(QKeySequence::Forward);
  forward->setEnabled(false);
  QAction* home = bar->addAction(QStringLiteral("&Home"), this,
                                 [this] { ShowTopic(QString::fromLatin1(kHelpHomePage)); });
  home->setObjectName(QStringLiteral("helpHome"));
  connect(browser_, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
  connect(browser_, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
  connect(browser_, &QTextBrowser::sourceChanged, this, &HelpViewer::FollowSource);

  FillContents();
  resize(920, 640);
}

void HelpViewer::FillContents() {
  QFile home(QDir(folder_).filePath(QString::fromLatin1(kHelpHomePage)));
  if (!home.open(QIODevice::ReadOnly)) return;
  AddEntries(nullptr, ParseHelpContents(QString::fromUtf8(home.readAll())));
  contents_->expandToDepth(0);
}

void HelpViewer::AddEntries(QTreeWidgetItem* parent, const std::vector<HelpContentsEntry>& entries) {
  for (const HelpContentsEntry& entry : entries) {
    auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(contents_);
    item->setText(0, entry.title);
    item->setData(0, kFileRole, entry.target);
    AddEntries(item, entry.children);
  }
}

bool HelpViewer::ShowTopic(const QString& topic) {
  const QString page = PageOf(topic);
  if (page.isEmpty() || !QFileInfo(QDir(folder_).filePath(page)).isFile()) return false;
  QUrl url = QUrl::fromLocalFile(QDir(folder_).filePath(page));
  const QString anchor = AnchorOf(topic);
  if (!anchor.isEmpty()) url.setFragment(anchor);
  browser_->setSource(url);
  return true;
}

void HelpViewer::FollowSource(const QUrl& source) {
  const QString title = browser_->documentTitle();
  const QString caption = QString::fromLatin1(kHelpCaption);
  if (title.isEmpty() || title.startsWith(caption)) {
    setWindowTitle(title.isEmpty() ? caption : title);
  } else {
    setWindowTitle(QStringLiteral("%1 - %2").arg(caption, title));
  }
  // The contents follow the page: its entry (the anchor's, when listed) is
  // the current one.
  const QString file = QFileInfo(source.toLocalFile()).fileName();
  const QString withAnchor = source.fragment().isEmpty() ? file : file + QLatin1Char('#') + source.fragment();
  QTreeWidgetItem* best = nullptr;
  for (QTreeWidgetItemIterator it(contents_); *it; ++it) {
    const QString target = (*it)->data(0, kFileRole).toString();
    if (target == withAnchor) {
      best = *it;
      break;
    }
    if (!best && target == file) best = *it;
  }
  if (best) {
    const QSignalBlocker quiet(contents_);
    contents_->setCurrentItem(best);
  }
}

void HelpViewer::Present() {
  open_ = true;
  if (isMinimized()) showNormal();
  show();
  raise();
  activateWindow();
}

void HelpViewer::closeEvent(QCloseEvent* event) {
  open_ = false;
  QMainWindow::closeEvent(event);
}

void HelpViewer::ShowSearch() {
  side_->setCurrentIndex(1);
  searchField_->setFocus(Qt::OtherFocusReason);
  searchField_->selectAll();
}

int HelpViewer::Search(const QString& query) {
  if (!pagesRead_) {
    pages_ = ReadHelpPages(folder_);
    pagesRead_ = true;
  }
  lastQuery_ = query.simplified();
  results_->clear();
  const std::vector<const HelpPageText*> found = SearchHelpPages(pages_, lastQuery_);
  for (const HelpPageText* page : found) {
    auto* item = new QListWidgetItem(page->title, results_);
    item->setData(kFileRole, page->file);
  }
  if (found.empty() && !lastQuery_.isEmpty()) {
    auto* item = new QListWidgetItem(QStringLiteral("No page holds every word."), results_);
    item->setFlags(Qt::NoItemFlags);
  }
  return static_cast<int>(found.size());
}

void HelpViewer::OpenResult() {
  QListWidgetItem* item = results_->currentItem();
  if (!item || item->data(kFileRole).toString().isEmpty()) return;
  if (!ShowTopic(item->data(kFileRole).toString())) return;
  // The first word found is marked on the page.
  const QString first = lastQuery_.section(QLatin1Char(' '), 0, 0);
  if (!first.isEmpty()) browser_->find(first);
}

bool HelpViewer::eventFilter(QObject* watched, QEvent* event) {
  if (watched == dialogParent_ && event->type() == QEvent::Hide) {
    // The dialog is closing: the help window stays, on its own.
    dialogParent_->removeEventFilter(this);
    const QRect geometry = this->geometry();
    setParent(nullptr, Qt::Window);
    dialogParent_ = nullptr;
    setGeometry(geometry);
    if (open_) show();
  }
  return QMainWindow::eventFilter(watched, event);
}

namespace {

// The viewer of this run, created on first use; nullptr when the help pages
// cannot be found (the person has been told where they were looked for).
HelpViewer* OpenHelpViewer() {
  if (!gViewer) {
    QStringList searched;
    const QString folder = HelpFolder(&searched);
    if (folder.isEmpty()) {
      platform::TellUser(kHelpCaption,
                         "The help pages could not be found. They were looked for in:\n\n" +
                             searched.join(QLatin1Char('\n')).toStdString() +
                             "\n\nSet TRENDOLIN_HELP_DIR to the folder that holds index.html to use them from "
                             "elsewhere.");
      return nullptr;
    }
    gViewer = new HelpViewer(folder);
    qAddPostRoutine([] { delete gViewer.data(); });
    // First shown in the middle of the screen the person is working on,
    // not wherever the window system puts a new window.
    const QWidget* active = QApplication::activeWindow();
    if (const QScreen* screen = active ? active->screen() : QGuiApplication::primaryScreen()) {
      const QRect area = screen->availableGeometry();
      const QSize size = gViewer->size().boundedTo(area.size());
      gViewer->setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size, area));
    }
  }
  KeepAboveModalDialog(gViewer);
  return gViewer;
}

}  // namespace

void ShowHelp(const std::string& topic) {
  HelpViewer* viewer = OpenHelpViewer();
  if (!viewer) return;
  const QString wanted = QString::fromStdString(topic);
  if (!viewer->ShowTopic(wanted)) {
    viewer->ShowTopic(QString::fromLatin1(kHelpHomePage));
    viewer->Present();
    platform::TellUser(kHelpCaption, "The help page \"" + topic + "\" is not among the help pages in " +
                                         viewer->Folder().toStdString() + "; the contents are shown instead.");
    return;
  }
  viewer->Present();
}

void ShowHelpContents() { ShowHelp(kHelpHomePage); }

void ShowHelpSearch() {
  HelpViewer* viewer = OpenHelpViewer();
  if (!viewer) return;
  if (viewer->Browser()->source().isEmpty()) viewer->ShowTopic(QString::fromLatin1(kHelpHomePage));
  viewer->Present();
  viewer->ShowSearch();
}

HelpViewer* CurrentHelpViewer() { return gViewer; }

namespace {

// The Help button of `window`: a button box's Help button, or a button
// named "help"; only one the person could press.
QAbstractButton* HelpButtonOf(QWidget* window) {
  for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
    if (!button->isVisible() || !button->isEnabled() || button->window() != window) continue;
    if (button->objectName() == QLatin1String("help")) return button;
    if (auto* box = qobject_cast<QDialogButtonBox*>(button->parentWidget());
        box && box->buttonRole(button) == QDialogButtonBox::HelpRole) {
      return button;
    }
  }
  return nullptr;
}

class HelpKeyFilter : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || (!widget->isWindow() && widget != QApplication::focusWidget())) return false;
    QAbstractButton* help = HelpButtonOf(widget->window());
    if (!help) return false;
    help->click();
    return true;
  }
};

}  // namespace

void InstallHelpKey() {
  static HelpKeyFilter* filter = nullptr;
  if (filter) return;
  filter = new HelpKeyFilter(qApp);
  qApp->installEventFilter(filter);
}

}  // namespace trendolin::gui
