// The main window's menus, toolbar, shortcuts and status bar, and the rules
// that enable, check and label their entries.
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QStatusBar>
#include <QToolBar>

#include "app/app_settings.h"
#include "app/main_layout.h"
#include "app/main_menu.h"
#include "app/mru_list.h"
#include "app/run_flags.h"
#include "session/clipboard.h"
#include "data/curve_fit.h"
#include "session/drivers.h"
#include "session/fit_hunter.h"
#include "fit/fit_verdict.h"
#include "session/graph_queue.h"
#include "gui/graph_window.h"
#include "gui/main_window.h"
#include "gui/preview_widget.h"
#include "gui/status_field.h"
#include "gui/toolbar_icons.h"
#include "platform/resource_strings.h"
#include "render_qt/qt_font.h"
#include "session/session.h"

namespace trendolin::gui {
namespace {

constexpr int kCommandRole = 0;  // QAction::data() holds the command number

int CommandOf(const QAction* action) { return action->data().isValid() ? action->data().toInt() : kCommandRole; }

bool IsModelCommand(int command) { return command >= kFirstModelId && command < kFirstModelId + kModelCount; }
bool IsWeighting(int command) { return command >= cmd::kWeightingY2 && command <= cmd::kWeightingNone; }

}  // namespace

// ---- building ----

QMenu* MainWindow::BuildMenu(const QString& title, const std::vector<MenuEntry>& entries, QWidget* parent) {
  auto* menu = new QMenu(title, parent);
  for (const MenuEntry& entry : entries) {
    switch (entry.kind) {
      case MenuEntry::Kind::Separator: menu->addSeparator(); break;
      case MenuEntry::Kind::Submenu: {
        QMenu* sub = BuildMenu(QString::fromStdString(entry.text), entry.children, menu);
        sub->menuAction()->setData(entry.command == 0 ? QVariant() : QVariant(-entry.command));
        menu->addMenu(sub);
        break;
      }
      case MenuEntry::Kind::Command: {
        QAction* action = menu->addAction(QString::fromStdString(entry.text));
        action->setData(entry.command);
        action->setCheckable(entry.checkable);
        menuActions_.emplace(entry.command, action);
        if (entry.command == cmd::kExit) exitAction_ = action;
        connect(action, &QAction::triggered, this, [this, command = entry.command] { Command(command, 0); });
        break;
      }
    }
  }
  connect(menu, &QMenu::aboutToShow, this, [this, menu] { UpdateMenu(menu); });
  connect(menu, &QMenu::hovered, this, [this](QAction* action) { ShowMenuHelp(action); });
  connect(menu, &QMenu::aboutToHide, this, [this] { RestoreIdleStatus(); });
  return menu;
}

void MainWindow::BuildMenus() {
  for (const trendolin::TopMenu& top : MainMenuBar()) {
    QMenu* menu = BuildMenu(QString::fromStdString(top.title), top.entries, this);
    menuBar()->addMenu(menu);
    topMenus_.push_back(menu);
  }
  RebuildRecentMenu();
}

void MainWindow::BuildToolbar() {
  toolbar_ = addToolBar(QStringLiteral("Toolbar"));
  toolbar_->setObjectName(QStringLiteral("Toolbar"));
  toolbar_->setMovable(false);
  toolbar_->setFloatable(false);
  toolbar_->setIconSize(QSize(16, 16));
  toolbar_->setContextMenuPolicy(Qt::PreventContextMenu);
  for (const ToolbarEntry& entry : MainToolbar()) {
    if (entry.command == 0) {
      toolbar_->addSeparator();
      continue;
    }
    QAction* action = toolbar_->addAction(ToolbarIcon(entry.image), QString::fromStdString(ToolTipText(entry.command)));
    action->setData(entry.command);
    action->setCheckable(entry.checkable);
    action->setToolTip(QString::fromStdString(ToolTipText(entry.command)));
    toolbarActions_[entry.command] = action;
    connect(action, &QAction::triggered, this, [this, command = entry.command] {
      // A check button shows the setting, not its own toggling.
      Command(command, 0);
    });
  }
  toolbarActions_.at(cmd::kAbort)->setVisible(false);
  toolbarActions_.at(cmd::kAccept)->setVisible(false);
}

void MainWindow::BuildStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setSizeGripEnabled(true);
  QFont statusFont(FamilyForFace("Helv"));
  statusFont.setPointSize(10);
  bar->setFont(statusFont);
  const int widest = StatusField::WidestCharacter(QFontMetrics(statusFont));
  const int border = bar->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, bar);
  const std::array<int, 3> edges = StatusPartEdges(widest, std::max(1, border));
  // The texts of the two small fields: the key indicators, CALC during a
  // fit, and counts (iterations, the lines of a file being read) up to
  // seven digits.
  const QStringList shortTexts = {QStringLiteral("CAPS"), QStringLiteral("NUM"), QStringLiteral("CALC"),
                                  QStringLiteral("0000000")};
  for (int part = 0; part < 4; ++part) {
    auto* field = new StatusField(bar);
    field->setObjectName(QStringLiteral("StatusPart%1").arg(part));
    field->setFont(statusFont);
    if (part == 0) {
      // Menu help and the model under fit: its width when the window has
      // room, less (its text cut short) when it has not.
      field->SetPreferredWidth(edges[0]);
      bar->addWidget(field);
    } else if (part < 3) {
      int width = edges[static_cast<std::size_t>(part)] - edges[static_cast<std::size_t>(part - 1)];
      for (const QString& text : shortTexts) width = std::max(width, field->WidthToShow(text));
      field->setFixedWidth(width);
      bar->addWidget(field);
    } else {
      // The file name, or the chi-square during a fit: the rest of the bar.
      field->setMinimumWidth(field->WidthToShow(QStringLiteral("X2 = 0000000.00000000")));
      bar->addWidget(field, 1);
    }
    status_[part] = field;
  }
}

void MainWindow::BuildShortcuts() {
  // The accelerators act for the main window and everything in it. Commands
  // whose menu item is disabled do not run, as with the menu itself.
  for (const Accelerator& key : MainAccelerators()) {
    auto* shortcut = new QShortcut(QKeySequence(QString::fromStdString(key.keys)), this);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, this, [this, command = key.command] {
      if (RunsNow(command)) Command(command, 1);
    });
  }
  struct KeyCommand {
    QKeySequence keys;
    int command;
  };
  const KeyCommand keys[] = {{QKeySequence(Qt::Key_Escape), cmd::kAccept},
                             {QKeySequence(Qt::SHIFT | Qt::Key_Escape), cmd::kAbort},
                             {QKeySequence(Qt::Key_F1), cmd::kHelpContents},
                             {QKeySequence(Qt::Key_F2), cmd::kHelpSearch}};
  for (const KeyCommand& k : keys) {
    auto* shortcut = new QShortcut(k.keys, this);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, this, [this, command = k.command] {
      if (RunsNow(command)) Command(command, 1);
    });
  }
  for (const QKeySequence& keys : {QKeySequence(Qt::SHIFT | Qt::Key_F5), QKeySequence(Qt::SHIFT | Qt::Key_F7),
                                   QKeySequence(Qt::SHIFT | Qt::Key_F8), QKeySequence(Qt::Key_F12),
                                   QKeySequence(Qt::SHIFT | Qt::Key_F12)}) {
    auto* shortcut = new QShortcut(keys, this);
    shortcut->setContext(Qt::WindowShortcut);
    const QKeyCombination combination = keys[0];
    connect(shortcut, &QShortcut::activated, this,
            [this, combination] { DebugKey(combination.key(), combination.keyboardModifiers()); });
  }
}

// The accelerators reach the main window from its graph windows too, as
// they would from the main window itself, except the four keys graph
// windows give commands of their own (copy the graph, its properties, print
// it, close it). A modal dialog keeps its keys.
int MainWindow::AcceleratorFromGraphWindow(QObject* receiver, const QKeyEvent& key) {
  auto* widget = qobject_cast<QWidget*>(receiver);
  if (widget == nullptr || qobject_cast<GraphWindow*>(widget->window()) == nullptr) return 0;
  if (QApplication::activeModalWidget() != nullptr) return 0;
  static constexpr const char* kGraphWindowKeys[] = {"Ctrl+C", "Ctrl+G", "Ctrl+P", "Ctrl+X"};
  const Qt::KeyboardModifiers modifiers =
      key.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
  const QKeySequence pressed(QKeyCombination(modifiers, static_cast<Qt::Key>(key.key())));
  for (const Accelerator& accelerator : MainAccelerators()) {
    const QKeySequence keys(QString::fromStdString(accelerator.keys));
    if (keys != pressed) continue;
    for (const char* own : kGraphWindowKeys) {
      if (accelerator.keys == own) return 0;
    }
    return accelerator.command;
  }
  return 0;
}

// Whether a command from a key may run now: Accept and Abort only during a
// calculation, everything else only when idle and its menu item is enabled.
bool MainWindow::RunsNow(int command) {
  if (command == cmd::kAccept || command == cmd::kAbort) return CurrentEngine().calcMode != 0;
  if (Locked()) return false;
  UpdateMenus();
  QAction* action = MenuAction(command);
  return action == nullptr || action->isEnabled();
}

// ---- lookups ----

QAction* MainWindow::MenuAction(int command) const {
  auto it = menuActions_.find(command);
  return it == menuActions_.end() ? nullptr : it->second;
}

QAction* MainWindow::ToolbarAction(int command) const {
  auto it = toolbarActions_.find(command);
  return it == toolbarActions_.end() ? nullptr : it->second;
}

QMenu* MainWindow::TopMenu(int index) const {
  return index >= 0 && index < static_cast<int>(topMenus_.size()) ? topMenus_[static_cast<std::size_t>(index)]
                                                                    : nullptr;
}

// ---- enabling, checking and labelling ----

void MainWindow::UpdateMenus() {
  for (QMenu* menu : topMenus_) UpdateMenu(menu);
}

void MainWindow::UpdateMenu(QMenu* menu) {
  const WeightingMenuState weighting = RefreshWeightingMenu(doc_);
  GridContext grid = grid_->Context();
  const bool editCanUndo = grid_->IsEditing() && grid_->EditBox()->isUndoAvailable();
  const bool hasText = ClipboardHasText();

  for (QAction* action : menu->actions()) {
    if (QMenu* sub = action->menu()) {
      // The family submenus and the weighting submenu follow the data.
      if (CommandOf(action) < 0 || sub->title() == QStringLiteral("&Weighting")) {
        action->setEnabled(CurrentSession().availability.enoughPoints);
      }
      UpdateMenu(sub);
      continue;
    }
    const int command = CommandOf(action);
    if (command == 0) continue;
    action->setEnabled(CurrentSession().availability.MenuItemEnabled(command));
    if (IsModelCommand(command)) {
      // Only a model with an open graph carries a check mark.
      const bool open = CurrentSession().graphQueue.IsChecked(command);
      action->setCheckable(open);
      action->setChecked(open);
    } else if (IsWeighting(command)) {
      action->setChecked(command == weighting.checked);
      if (command == 459) action->setEnabled(weighting.uncertaintyEnabled);
    }
    switch (command) {
      case cmd::kUndo: {
        const EditMenuEntry entry = UndoMenuEntry(doc_, editCanUndo);
        action->setText(QString::fromStdString(entry.text));
        action->setEnabled(entry.enabled);
        break;
      }
      case cmd::kRedo: {
        const EditMenuEntry entry = RedoMenuEntry(doc_);
        action->setText(QString::fromStdString(entry.text));
        action->setEnabled(entry.enabled);
        break;
      }
      case cmd::kPaste: action->setEnabled(hasText); break;
      case cmd::kCut:
      case cmd::kCopy:
      case cmd::kClear: action->setEnabled(CanCutCopyClear(grid)); break;
      case cmd::kAutoGuess: action->setChecked(CurrentSession().settings.initGuess == 0); break;
      case cmd::kClearCurvefits: action->setEnabled(results_->count() > 0); break;
      case cmd::kTile:
      case cmd::kCascade:
      case cmd::kRefreshAll:
      case cmd::kRestoreAll:
      case cmd::kMinimizeAll:
      case cmd::kCloseAll: action->setEnabled(CurrentSession().graphQueue.WindowMenuEnabled()); break;
      default: break;
    }
  }
}

void MainWindow::UpdateToolbar() {
  if (Locked()) return;  // the buttons get their states back when the lock ends
  for (auto& [command, action] : toolbarActions_) {
    if (command == cmd::kAccept || command == cmd::kAbort) continue;
    action->setEnabled(CurrentSession().availability.ToolbarButtonEnabled(command));
  }
  // The clipboard may have changed since the data were last examined.
  CurrentSession().availability.paste = ClipboardHasText();
  toolbarActions_.at(cmd::kPaste)->setEnabled(CurrentSession().availability.paste);
  toolbarActions_.at(cmd::kAutoGuess)->setChecked(CurrentSession().settings.initGuess == 0);
}

void MainWindow::ShowMenuHelp(QAction* action) {
  if (CurrentEngine().calcMode != 0 || action == nullptr) return;
  const int command = CommandOf(action);
  if (action->menu()) {
    // The family submenus show their family's name; other submenus the idle text.
    const int help = -command;
    status_[0]->setText(help >= 304 && help <= 309 ? QString::fromUtf8(platform::ResourceString(help).data(),
                                                                        static_cast<qsizetype>(platform::ResourceString(help).size()))
                                                   : QString::fromUtf8(kAppCaption));
    return;
  }
  status_[0]->setText(QString::fromStdString(MenuHelpText(command)));
}

// ---- the results list and the recent files ----

void MainWindow::ShowRanking() {
  std::vector<int> ids;
  std::vector<std::string> notConverged;
  for (const RankingEntry& entry : CurrentSession().ranking.entries) {
    ids.push_back(entry.modelId);
    notConverged.push_back(NotConvergedReason(StoredFitVerdict(doc_, entry.modelId)));
  }
  results_->SetLines(CurrentSession().ranking.Lines(), ids, notConverged);
  preview_->Refresh();
}

void MainWindow::RebuildRecentMenu() {
  QMenu* file = TopMenu(kFileMenuIndex);
  if (file == nullptr || exitAction_ == nullptr) return;
  for (QAction* action : recentActions_) {
    file->removeAction(action);
    delete action;
  }
  recentActions_.clear();
  for (const MruMenuItem& item : MruMenuItems(CurrentSession().recentFiles)) {
    QAction* action = nullptr;
    if (item.separator) {
      action = new QAction(file);
      action->setSeparator(true);
    } else {
      action = new QAction(QString::fromStdString(item.label), file);
      action->setData(item.commandId);
      connect(action, &QAction::triggered, this, [this, command = item.commandId] { Command(command, 0); });
    }
    file->insertAction(exitAction_, action);
    recentActions_.push_back(action);
  }
}

}  // namespace trendolin::gui
