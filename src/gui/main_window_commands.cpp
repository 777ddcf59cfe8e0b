// The main window's command handler: every menu item, toolbar button and
// accelerator arrives here and goes to the module that does the work.
#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QUrl>
#include <QVBoxLayout>
#include <cfenv>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/app_settings.h"
#include "app/error_handle.h"
#include "app/main_menu.h"
#include "app/mru_list.h"
#include "app/run_flags.h"
#include "app/settings_location.h"
#include "app/system_info.h"
#include "session/clipboard.h"
#include "data/curve_fit.h"
#include "session/data_file_flows.h"
#include "data/document_hooks.h"
#include "session/drivers.h"
#include "fit/nonlinear.h"
#include "session/graph_queue.h"
#include "gui/dialogs/export_dialog.h"
#include "gui/dialogs/manipulate_dialog.h"
#include "gui/dialogs/options_dialog.h"
#include "gui/dialogs/transform_dialog.h"
#include "gui/console_window.h"
#include "gui/graph_arrangement.h"
#include "gui/help_viewer.h"
#include "gui/main_window.h"
#include "gui/preview_widget.h"
#include "gui/print_commands.h"
#include "gui/printer_state.h"
#include "platform/debug_log.h"
#include "platform/ui.h"
#include "precision/errors.h"
#include "precision/math_guard.h"
#include "session/nonlinear_routine.h"
#include "session/session.h"

namespace trendolin::gui {
namespace {

// Where "Trendolin Home Page" leads: TRENDOLIN_HOME_PAGE when set, else the
// address this build was configured with; empty when there is none.
QString HomePage() {
  const char* custom = std::getenv("TRENDOLIN_HOME_PAGE");
  if (custom && *custom) return QString::fromUtf8(custom);
  return QStringLiteral(TRENDOLIN_HOME_PAGE_ADDRESS);
}

constexpr const char* kDataInformationHelpTopic = "datainformation.html";

constexpr const char* kBuildDate = "Jun  7 2009,22:44:06";

// "notepad" on this desktop: the user's editor when one is set, else the
// desktop's opener for the file. False when none of them could be started.
bool StartEditor(const QString& path) {
  for (const char* variable : {"VISUAL", "EDITOR"}) {
    const char* editor = std::getenv(variable);
    if (editor && *editor) {
      QStringList words = QProcess::splitCommand(QString::fromLocal8Bit(editor));
      if (words.isEmpty()) continue;
      const QString program = words.takeFirst();
      if (QProcess::startDetached(program, words << path)) return true;
    }
  }
  return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

// The word when no editor could be started for `path`, and what to do.
std::string NoEditorText(const std::string& what, const std::string& path) {
  return what + " " + path +
         " could not be opened: no text editor could be started.\n\nSet the environment variable VISUAL or "
         "EDITOR to a graphical text editor and start Trendolin again, or open the file with a program of "
         "your choice.";
}

void ViewHistoryFile() {
  const std::string path = HistoryFilePath();
  if (!std::filesystem::exists(path)) {
    platform::TellUser("View History File",
                   "No iteration history has been written yet.\n\nEach nonlinear fit writes its iterations to " +
                       path + "; fit a nonlinear model first.");
    return;
  }
  if (!StartEditor(QString::fromStdString(path))) {
    platform::TellUser("View History File", NoEditorText("The iteration history", path));
  }
}

void EditCurrentFile() {
  const std::string& path = CurrentSession().currentDataFile.fullPath;
  if (path.empty()) {
    platform::TellUser("Edit Current File",
                   "There is no current data file: the data have not been read from a file or saved to one.");
    return;
  }
  if (!std::filesystem::exists(path)) {
    platform::TellUser("Edit Current File", "The data file " + path + " is no longer there.");
    return;
  }
  if (!StartEditor(QString::fromStdString(path))) {
    platform::TellUser("Edit Current File", NoEditorText("The data file", path));
  }
}

void OpenHomePage() {
  const QString address = HomePage();
  if (address.isEmpty()) {
    platform::TellUser("Trendolin Home Page",
                       "No home page is configured for this copy of Trendolin, so there is nothing to open.\n\n"
                       "The help pages that come with the program are under Help > Contents (F1). To give the "
                       "command an address, set the environment variable TRENDOLIN_HOME_PAGE before starting "
                       "Trendolin, or build it with -DTRENDOLIN_HOME_PAGE=<address>.",
                       platform::Icon::Information);
    return;
  }
  if (QDesktopServices::openUrl(QUrl(address))) return;
  platform::TellUser("Trendolin Home Page",
                 "The home page could not be opened: no web browser could be started.\n\nIts address is " +
                     address.toStdString() +
                     "\n\nSet the environment variable BROWSER to your web browser and start Trendolin again, "
                     "or open the address in your browser.");
}

}  // namespace

void MainWindow::Command(int command, int notifyCode) {
  if (const std::string text = MenuTextOf(command); !text.empty()) {
    DebugLogF("MAIN menu -- %s\n", text.c_str());
  } else {
    DebugLogF("MAIN Command -- id = %d, hwndCtl = %ld, Notify = %u.\n", command, 0L,
              static_cast<unsigned>(notifyCode));
  }

  // Accept and Abort reach a running calculation; idle they do nothing.
  if (command == cmd::kAccept || command == cmd::kAbort) {
    if (CurrentEngine().calcMode != 0) RequestFitStop(command == cmd::kAccept ? kStopAccept : kStopAbort);
    return;
  }
  if (Locked()) return;

  switch (command) {
    case cmd::kNew:
    case cmd::kOpen:
    case cmd::kSaveAs:
    case cmd::kExport:
    case cmd::kPrint:
    case cmd::kManipulate:
    case cmd::kReexamine:
      // These work on the data as the grid shows it: a pending edit first.
      if (!CommitGridEdit()) return;
      break;
    default: break;
  }

  if (command >= cmd::kFirstRecentFile && command <= cmd::kLastRecentFile) {
    OpenRecentFile(doc_, command);
    UpdateToolbar();
    return;
  }
  if (command >= kFirstModelId && command < kFirstModelId + kModelCount) {
    DispatchFitCommand(doc_, command, notifyCode);
    UpdateToolbar();
    return;
  }

  switch (command) {
    case cmd::kNew: NewDataFile(doc_, true); break;
    case cmd::kOpen: OpenDataFileCommand(doc_); break;
    case cmd::kSave: SaveDataFile(doc_); break;
    case cmd::kSaveAs: SaveDataFileAs(doc_, kSaveAsTitle); break;
    case cmd::kExport: RunExportCommand(this, doc_); break;
    case cmd::kPrint: PrintDataCommand(this, doc_); break;
    case cmd::kPrintSetup: RunPrintSetup(this); break;
    case cmd::kExit:
      // A close request, handled once the menu that sent it has gone: the
      // save question must not open inside the menu's own event handling.
      QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
      break;

    case cmd::kUndo:
    case cmd::kRedo: UndoRedo(command); break;
    case cmd::kCut:
    case cmd::kCopy:
    case cmd::kPaste:
    case cmd::kClear: EditCommand(command); break;
    case cmd::kSelectAll: grid_->SelectAll(); break;

    case cmd::kManipulate: {
      ManipulateDialog dialog(doc_, grid_, this);
      dialog.exec();
      grid_->update();
      break;
    }
    case cmd::kTransform: RunTransformCommand(this, doc_); break;
    case cmd::kInformation:
      if (!CommitGridEdit()) return;
      Reexamine(doc_, 0);
      ShowDataInformation();
      break;

    case cmd::kAutoGuess: CurrentSession().settings.initGuess = CurrentSession().settings.initGuess == 0 ? 1 : 0; break;
    case cmd::kViewHistory: ViewHistoryFile(); break;
    case cmd::kEditCurrentFile: EditCurrentFile(); break;
    case cmd::kOptions: {
      OptionsDialog dialog(doc_, [this] {
        UpdateMenus();
        UpdateToolbar();
      }, this);
      dialog.exec();
      break;
    }

    case cmd::kTile: TileGraphWindows(); break;
    case cmd::kCascade: CascadeGraphWindows(this); break;
    case cmd::kRefreshAll: CurrentSession().graphQueue.RefreshAll(); break;
    case cmd::kRestoreAll: RestoreAllGraphWindows(); break;
    case cmd::kMinimizeAll: MinimizeAllGraphWindows(this); break;
    case cmd::kCloseAll: CurrentSession().graphQueue.CloseAll(); break;

    case cmd::kHelpContents: ShowHelpContents(); break;
    case cmd::kHelpSearch: ShowHelpSearch(); break;
    case cmd::kHomePage: OpenHomePage(); break;
    case cmd::kAbout: ShowAbout(); break;

    default:
      if (!DispatchFitCommand(doc_, command, notifyCode)) DebugLog("ILLEGAL COMMAND in command handler.\n");
      break;
  }
  UpdateToolbar();
}

bool MainWindow::CommitGridEdit() { return grid_->Commit(); }

void MainWindow::UndoRedo(int command) {
  if (command == cmd::kUndo && grid_->IsEditing() && grid_->EditBox()->isUndoAvailable()) {
    grid_->EditBox()->undo();
    return;
  }
  const bool possible = command == cmd::kUndo ? !doc_.history.undo.Empty() : !doc_.history.redo.Empty();
  if (!possible) {
    QApplication::beep();
    return;
  }
  grid_->EndEdit();
  if (command == cmd::kUndo) {
    doc_.Undo();
  } else {
    doc_.Redo();
  }
  CallHook(Hooks().refresh);
  grid_->update();
}

void MainWindow::EditCommand(int command) {
  GridContext grid = grid_->Context();
  grid.deleteColumn = [this](int column) { DeleteGridColumn(column); };
  switch (command) {
    case cmd::kCut: CutCommand(doc_, grid); break;
    case cmd::kCopy: CopyCommand(doc_, grid); break;
    case cmd::kPaste: PasteCommand(doc_, grid); break;
    case cmd::kClear: ClearCommand(doc_, grid); break;
    default: break;
  }
  grid_->update();
}

void MainWindow::ShowDataInformation() {
  const DataInformation info = DataInformationTexts(doc_);
  QDialog dialog(this);
  dialog.setWindowTitle(QStringLiteral("Data Information"));
  auto* form = new QFormLayout;
  auto field = [&](const QString& label, const std::string& value) {
    auto* text = new QLineEdit(QString::fromStdString(value));
    text->setReadOnly(true);
    form->addRow(label, text);
  };
  field(QStringLiteral("Version:"), info.version);
  field(QStringLiteral("Memory:"), info.bytes);
  field(QStringLiteral("Points:"), info.points);
  field(QStringLiteral("X minimum:"), info.xMin);
  field(QStringLiteral("X maximum:"), info.xMax);
  field(QStringLiteral("X range:"), info.xRange);
  field(QStringLiteral("X mean:"), info.xMean);
  field(QStringLiteral("X standard deviation:"), info.xStdDev);
  field(QStringLiteral("Y minimum:"), info.yMin);
  field(QStringLiteral("Y maximum:"), info.yMax);
  field(QStringLiteral("Y range:"), info.yRange);
  field(QStringLiteral("Y mean:"), info.yMean);
  field(QStringLiteral("Y standard deviation:"), info.yStdDev);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Help);
  connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::helpRequested, &dialog, [] { ShowHelp(kDataInformationHelpTopic); });
  auto* layout = new QVBoxLayout(&dialog);
  layout->addLayout(form);
  layout->addWidget(buttons);
  dialog.exec();
}

void MainWindow::ShowAbout() {
  // What a person reporting a problem is asked for: the version, where the
  // settings and the help pages are, and the printer a job would go to.
  const PrinterTexts printer = DescribePrinter(DefaultPrinterProbe());
  QString printerLine = QString::fromStdString(printer.name).toHtmlEscaped();
  if (!printer.paperSize.empty()) {
    printerLine += QStringLiteral(" (%1, %2)").arg(QString::fromStdString(printer.paperSize).toHtmlEscaped(),
                                                   QString::fromStdString(printer.orientation));
  }
  const QString settings = CurrentSession().iniFile.empty() ? QStringLiteral("none (the defaults are in use)")
                                                            : QString::fromStdString(CurrentSession().iniFile);
  const QString help = HelpFolder();
  QMessageBox::about(
      this, QStringLiteral("About Trendolin"),
      QStringLiteral("<b>%1</b><br>Curve fitting for scientists, engineers and students.<br>"
                     "Version %2, built %3 with Qt %4.<br><br>"
                     "Default printer: %5<br>Settings file: %6<br>Help pages: %7")
          .arg(QString::fromUtf8(kAppCaption), QString::fromUtf8(kAppVersion), QStringLiteral(__DATE__),
               QString::fromUtf8(qVersion()), printerLine, settings.toHtmlEscaped(),
               help.isEmpty() ? QStringLiteral("not found") : help.toHtmlEscaped()));
}

// The keys that serve recovery and diagnostics.
void MainWindow::DebugKey(int key, Qt::KeyboardModifiers modifiers) {
  const bool shift = (modifiers & Qt::ShiftModifier) != 0;
  if (key == Qt::Key_F5 && shift) {
    // Recovery: the interface comes back whatever the calculation left.
    SetCalculationMode(0);
    return;
  }
  if (key == Qt::Key_F7 && shift) {
    QMessageBox::information(this, QStringLiteral("Build Date"), QString::fromUtf8(kBuildDate));
    return;
  }
  if (key == Qt::Key_F8 && shift) {
    // Diagnostics are switched on once; a second press finds bit 0 set.
    if ((DebugFlags & 1) == 0) {
      DebugFlags = 255;
      if (!OpenDiagnosticsAndConsole(kAppVersion)) return;
      WriteSystemInfoDump({{"CurveFit", sizeof(CurveFit)}, {"AppSettings", sizeof(AppSettings)}});
      DumpSettings(CurrentSession().settings);
    }
    return;
  }
  if (key == Qt::Key_F12 && DebugFlags != 0) {
    if (shift) {
      DebugLog("About to throw hardware except.\n");
      volatile float zero = 0.0f;
      std::feclearexcept(FE_ALL_EXCEPT);
      volatile float q = 1.0f / zero;
      (void)q;
      if (std::fetestexcept(FE_DIVBYZERO)) DebugLog("test hardware exception caught.\n");
      std::feclearexcept(FE_ALL_EXCEPT);
    } else {
      DebugLog("About to throw software except.\n");
      try {
        volatile double bad = -1.0;
        volatile double r = guarded::sqrt(bad);
        (void)r;
      } catch (const errnotify&) {
        ErrorHandle();
      }
    }
  }
}

}  // namespace trendolin::gui
