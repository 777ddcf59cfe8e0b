#include "gui/dialogs/panel_file_dialog.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QLineEdit>
#include <QMenu>

#include "data/data_file.h"
#include "gui/dialogs/dialog_kit.h"
#include "gui/help_viewer.h"
#include "platform/resource_strings.h"
#include "platform/ui.h"
#include "session/table_file.h"

namespace trendolin::gui {
namespace {

// The warning for a file name from which no title can be derived; its
// caption is the dialog's own.
constexpr int kBadFileNameText = 52;

}  // namespace

PanelFileDialog::PanelFileDialog(const PanelFileDialogSetup& setup, QWidget* parent) : QFileDialog(parent) {
  setOption(QFileDialog::DontUseNativeDialog, true);
  setWindowTitle(setup.title);
  setNameFilters(setup.filters);
  setDefaultSuffix(setup.defaultSuffix);
  setAcceptMode(QFileDialog::AcceptSave);
  setFileMode(QFileDialog::AnyFile);
  setOption(QFileDialog::DontConfirmOverwrite, false);
  // Like the data-file dialogs: no folder of its own, the program's folder.
  setDirectory(QDir::current());
  if (!setup.initialPath.isEmpty()) selectFile(setup.initialPath);

  panel_ = new QWidget(this);
  panel_->setObjectName(QStringLiteral("panel"));
  // The widget dialog lays itself out on a grid: the panel takes a row of
  // its own at the bottom, across the whole width.
  if (auto* grid = qobject_cast<QGridLayout*>(layout())) {
    grid->addWidget(panel_, grid->rowCount(), 0, 1, grid->columnCount());
  }
  if (auto* buttons = findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"))) {
    QPushButton* help = buttons->addButton(QDialogButtonBox::Help);
    help->setObjectName(QStringLiteral("help"));
    help->setAutoDefault(false);
    const std::string topic = setup.helpTopic;
    connect(buttons, &QDialogButtonBox::helpRequested, this, [topic] { ShowHelp(topic); });
  }
}

std::string PanelFileDialog::ChosenPath() const {
  const QStringList chosen = selectedFiles();
  return chosen.isEmpty() ? std::string() : ToUtf8(QDir::toNativeSeparators(chosen.first()));
}

void PanelFileDialog::accept() {
  const QStringList files = selectedFiles();
  const auto* nameField = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
  // Folders (and "..") are entered by the file dialog itself; the panel is
  // not asked about them.
  if (files.isEmpty() || QFileInfo(files.first()).isDir() ||
      (nameField && nameField->text() == QStringLiteral(".."))) {
    QFileDialog::accept();
    return;
  }
  if (FileTitle(ToUtf8(files.first())).empty()) {
    platform::TellUser(ToUtf8(windowTitle()), std::string(platform::ResourceString(kBadFileNameText)),
                       platform::Icon::Exclamation);
    return;
  }
  if (!AcceptPanel()) return;
  QFileDialog::accept();
}

void PanelFileDialog::SetPanelTabOrder(std::initializer_list<QWidget*> controls) {
  QWidget* previous = findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
  if (previous == nullptr) return;
  for (QWidget* control : controls) {
    setTabOrder(previous, control);
    previous = control;
  }
}

SeparatorButton::SeparatorButton(char separator, QWidget* parent)
    : QPushButton(parent), separator_(separator), group_(new QActionGroup(this)) {
  setObjectName(QStringLiteral("separatorButton"));
  setAutoDefault(false);
  auto* menu = new QMenu(this);
  menu->setObjectName(QStringLiteral("separatorMenu"));
  group_->setExclusive(true);
  QString shown;
  for (const SeparatorChoice& choice : SeparatorChoices()) {
    const QString label = QString::fromLatin1(choice.label);
    QAction* action = menu->addAction(label);
    action->setCheckable(true);
    action->setChecked(choice.character == separator);
    group_->addAction(action);
    if (choice.character == separator) shown = label;
    connect(action, &QAction::triggered, this, [this, label] { Choose(label); });
  }
  setMenu(menu);
  Show(shown);
}

void SeparatorButton::Choose(const QString& label) {
  for (const SeparatorChoice& choice : SeparatorChoices()) {
    if (label != QString::fromLatin1(choice.label)) continue;
    separator_ = choice.character;
    for (QAction* action : group_->actions()) action->setChecked(action->text() == label);
    Show(label);
  }
}

void SeparatorButton::Show(const QString& label) { setText(QStringLiteral("Se&parator: %1").arg(label)); }

}  // namespace trendolin::gui
