// What the Qt Ui needs of the main window: its status bar, its caption, the
// calculation mode's effect on menus, grid and toolbar, and a parent for
// dialogs. The main window implements it; tests may give a small one.
#pragma once

#include <QString>

class QWidget;

namespace trendolin::gui {

class UiHostWindow {
 public:
  virtual ~UiHostWindow() = default;

  // The parent of message boxes and dialogs.
  virtual QWidget* DialogParent() = 0;
  // One of the status bar's four fields, numbered 0 to 3.
  virtual void SetStatusPart(int part, const QString& text) = 0;
  virtual void SetWindowCaption(const QString& caption) = 0;
  // The calculation mode changed (0 idle, 1 a single fit, 2 a batch). Above
  // 0: the grid and the eight top-level menus are disabled, each toolbar
  // button's enabled state is remembered and the button disabled, Accept and
  // Abort are shown (enabled only with `backgroundProcess`). At 0 all comes
  // back and Accept and Abort hide; the preview is redrawn when
  // `redrawPreview`.
  virtual void ApplyCalculationMode(int mode, bool backgroundProcess, bool redrawPreview) = 0;
  // Long data work (reading, writing or sorting a file's points) began or
  // ended. While busy the window takes no command: the menus are greyed
  // and the toolbar disabled as during a calculation, but it still repaints.
  virtual void ApplyBusyState(bool busy) = 0;
};

}  // namespace trendolin::gui
