// The Ui of the windows: real message boxes and dialogs over the main
// window, its status bar and caption, the busy cursor, event pumping during
// long work, and the system clipboard.
#pragma once

#include <QElapsedTimer>
#include <array>
#include <optional>

#include "gui/dialogs/guess_dialog.h"
#include "gui/ui_host_window.h"
#include "platform/ui.h"

class QWidget;

namespace trendolin::gui {

class QtUi : public platform::Ui {
 public:
  // `host` may be null: dialogs then have no parent, and the status bar,
  // caption and calculation mode calls do nothing.
  explicit QtUi(UiHostWindow* host);
  ~QtUi() override;
  QtUi(const QtUi&) = delete;
  QtUi& operator=(const QtUi&) = delete;

  // How the initial-guess dialog gets its test graph (the graph windows
  // provide it); without one the dialog says the test graph is not available.
  void SetGuessTestGraphFactory(GuessTestGraphFactory factory) { testGraphFactory_ = std::move(factory); }

  // The parent of the next box or dialog: the dialog in front, when one is
  // open, so that a warning appears over the dialog that caused it.
  QWidget* DialogParent() const;
  // How deep the busy state is nested (0: the normal cursor).
  int BusyDepth() const { return busyDepth_; }

  platform::Answer MessageBox(const platform::MessageBoxRequest& request) override;
  void Beep() override;
  void SetBusy(bool busy) override;
  void SetStatusText(int part, const std::string& text) override;
  void PumpEvents() override;
  void ShowErrorReport(const std::string& message, const std::string& helpTopic) override;
  void SetCaption(const std::string& caption) override;
  std::optional<platform::FileDialogResult> OpenFileDialog(const platform::FileDialogRequest& request) override;
  std::optional<platform::FileDialogResult> SaveFileDialog(const platform::FileDialogRequest& request) override;
  bool ImportOptionsDialog(trendolin::ImportOptions& options) override;
  bool InitialGuessDialog(int modelId, int m, float* guesses) override;
  bool PolynomialDegreeDialog(const platform::ValueDialogRequest& request) override;
  bool TensionDialog(const platform::ValueDialogRequest& request) override;
  bool UserModelDialog(const platform::UserModelDialogRequest& request) override;
  bool ModelGroupsDialog(const platform::ModelGroupsDialogRequest& request) override;
  void SetCalculationMode(int mode, bool backgroundProcess, bool redrawPreview) override;
  std::optional<std::string> ClipboardText() override;
  bool SetClipboardText(const std::string& text) override;

 private:
  UiHostWindow* host_;
  GuessTestGraphFactory testGraphFactory_;
  int busyDepth_ = 0;
  // While busy, a file's progress arrives every 25 lines: a million lines
  // would repaint the status bar forty thousand times and take twenty times
  // as long as the reading itself. The texts wait here and reach the screen,
  // with the pending events, at most every kBusyPumpMs.
  std::array<std::optional<std::string>, 4> pendingStatus_;
  QElapsedTimer sinceBusyPump_;
  void FlushStatus();
};

}  // namespace trendolin::gui
