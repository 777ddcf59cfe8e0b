#include "gui/qt_ui.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMimeData>
#include <QThread>
#include <QWidget>

#include "app/app_settings.h"
#include "app/settings_location.h"
#include "gui/dialogs/data_file_dialog.h"
#include "gui/dialogs/degree_dialog.h"
#include "gui/dialogs/dialog_kit.h"
#include "gui/dialogs/error_report_dialog.h"
#include "gui/dialogs/groups_dialog.h"
#include "gui/dialogs/import_dialog.h"
#include "gui/dialogs/message_box.h"
#include "gui/dialogs/spline_tension_dialog.h"
#include "gui/dialogs/user_formula_dialog.h"
#include "session/session.h"

namespace trendolin::gui {
namespace {

constexpr int kBatchMode = 2;

std::optional<platform::FileDialogResult> RunFileDialog(const platform::FileDialogRequest& request,
                                                        FileDialogKind kind, QWidget* parent) {
  DataFileDialog dialog(request, kind, parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Result();
}

}  // namespace

namespace {
// Often enough for the progress to be watched and a window to follow a drag.
constexpr qint64 kBusyPumpMs = 40;
}  // namespace

QtUi::QtUi(UiHostWindow* host) : host_(host) {}

QtUi::~QtUi() {
  while (busyDepth_ > 0) SetBusy(false);
}

QWidget* QtUi::DialogParent() const {
  if (QWidget* front = QApplication::activeModalWidget()) return front;
  return host_ ? host_->DialogParent() : nullptr;
}

platform::Answer QtUi::MessageBox(const platform::MessageBoxRequest& request) {
  std::unique_ptr<QMessageBox> box = BuildMessageBox(request, DialogParent());
  box->exec();
  return AnswerOf(*box, request.buttons);
}

void QtUi::Beep() { QApplication::beep(); }

// The busy cursor may be asked for inside work that is already busy (a sort
// inside a file load): only the outermost call changes the cursor.
void QtUi::SetBusy(bool busy) {
  if (busy) {
    if (busyDepth_++ == 0) {
      // With background processing the program still takes commands (Accept,
      // Abort): the cursor says "working", not "wait".
      const bool background = CurrentSession().settings.IsOn(kFlagBackgroundProcess);
      QGuiApplication::setOverrideCursor(background ? Qt::BusyCursor : Qt::WaitCursor);
      if (host_) host_->ApplyBusyState(true);
      sinceBusyPump_.invalidate();  // the first pump of the work shows its start
    }
    return;
  }
  if (busyDepth_ == 0) return;
  if (--busyDepth_ == 0) {
    FlushStatus();
    QGuiApplication::restoreOverrideCursor();
    if (host_) host_->ApplyBusyState(false);
  }
}

void QtUi::SetStatusText(int part, const std::string& text) {
  if (part < 0 || part >= static_cast<int>(pendingStatus_.size())) return;
  pendingStatus_[static_cast<std::size_t>(part)] = text;
  if (busyDepth_ == 0) FlushStatus();
}

void QtUi::FlushStatus() {
  for (std::size_t part = 0; part < pendingStatus_.size(); ++part) {
    if (!pendingStatus_[part]) continue;
    if (host_) host_->SetStatusPart(static_cast<int>(part), FromUtf8(*pendingStatus_[part]));
    pendingStatus_[part].reset();
  }
}

void QtUi::PumpEvents() {
  if (busyDepth_ > 0) {
    if (sinceBusyPump_.isValid() && sinceBusyPump_.elapsed() < kBusyPumpMs) return;
    sinceBusyPump_.start();
    FlushStatus();
  }
  QCoreApplication::processEvents();
}

void QtUi::ShowErrorReport(const std::string& message, const std::string& helpTopic) {
  ErrorReportDialog dialog(message, helpTopic, DialogParent());
  dialog.exec();
}

void QtUi::SetCaption(const std::string& caption) {
  if (host_) host_->SetWindowCaption(FromUtf8(caption));
}

std::optional<platform::FileDialogResult> QtUi::OpenFileDialog(const platform::FileDialogRequest& request) {
  return RunFileDialog(request, FileDialogKind::Open, DialogParent());
}

std::optional<platform::FileDialogResult> QtUi::SaveFileDialog(const platform::FileDialogRequest& request) {
  return RunFileDialog(request, FileDialogKind::Save, DialogParent());
}

bool QtUi::ImportOptionsDialog(trendolin::ImportOptions& options) {
  ImportDialog dialog(options, DialogParent());
  if (dialog.exec() != QDialog::Accepted) return false;
  options = dialog.Options();
  return true;
}

bool QtUi::InitialGuessDialog(int modelId, int m, float* guesses) {
  GuessDialog dialog(modelId, m, guesses, testGraphFactory_, DialogParent());
  if (dialog.exec() != QDialog::Accepted) return false;
  const std::vector<datatype>& edited = dialog.Guesses();
  std::copy(edited.begin(), edited.end(), guesses);
  return true;
}

bool QtUi::PolynomialDegreeDialog(const platform::ValueDialogRequest& request) {
  DegreeDialog dialog(request, DialogParent());
  return dialog.exec() == QDialog::Accepted;
}

bool QtUi::TensionDialog(const platform::ValueDialogRequest& request) {
  SplineTensionDialog dialog(request, DialogParent());
  return dialog.exec() == QDialog::Accepted;
}

bool QtUi::UserModelDialog(const platform::UserModelDialogRequest& request) {
  UserFormulaDialog dialog(request, CurrentSession().iniFile, DialogParent());
  return dialog.exec() == QDialog::Accepted;
}

bool QtUi::ModelGroupsDialog(const platform::ModelGroupsDialogRequest& request) {
  GroupsDialog dialog(request, DialogParent());
  return dialog.exec() == QDialog::Accepted;
}

void QtUi::SetCalculationMode(int mode, bool backgroundProcess, bool redrawPreview) {
  if (host_) host_->ApplyCalculationMode(mode, backgroundProcess, redrawPreview);
  // A batch runs at the highest priority; idle gives it back. A single fit
  // leaves the priority as it is.
  if (mode == kBatchMode) {
    QThread::currentThread()->setPriority(QThread::HighestPriority);
  } else if (mode == 0) {
    QThread::currentThread()->setPriority(QThread::NormalPriority);
  }
  if (!backgroundProcess) {
    // Without background processing no events run until the work ends: the
    // change is shown now or not at all.
    QCoreApplication::processEvents();
    if (QWidget* main = host_ ? host_->DialogParent() : nullptr) main->update();
  }
}

std::optional<std::string> QtUi::ClipboardText() {
  const QClipboard* clipboard = QGuiApplication::clipboard();
  const QMimeData* data = clipboard ? clipboard->mimeData(QClipboard::Clipboard) : nullptr;
  if (!data || !data->hasText()) return std::nullopt;
  return ToUtf8(clipboard->text(QClipboard::Clipboard));
}

bool QtUi::SetClipboardText(const std::string& text) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (!clipboard) return false;
  clipboard->setText(FromUtf8(text), QClipboard::Clipboard);
  return true;
}

}  // namespace trendolin::gui
