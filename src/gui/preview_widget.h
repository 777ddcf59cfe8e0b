// The graph preview of the main window: the fit selected in the results list
// (or the one under fit, while a regression animates) drawn small, always
// off-screen and copied in one piece so that it never flickers.
#pragma once

#include <QImage>
#include <QWidget>

#include <functional>
#include <optional>

#include "platform/profile_file.h"

class QMenu;
class QAction;

namespace trendolin {
class CurveFit;
}

namespace trendolin::gui {

// Commands of the preview's popup menu "GMenu2".
enum PreviewCommand : int {
  kPreviewHelp = 10013,
  kPreviewEnable = 10014,
  kPreviewAnimate = 10015,
  kPreviewOpen = 10016,
};

class PreviewWidget : public QWidget {
  Q_OBJECT

 public:
  PreviewWidget(trendolin::CurveFit& doc, QWidget* parent = nullptr);

  // The results list's selected item data: a model id, kPreviewNothing for
  // an item without a fit, nullopt when nothing is selected.
  void SetSelectedItemSource(std::function<std::optional<int>()> source);

  // Draws model `modelId` at once (the fit's current coefficients, during a
  // regression), then goes back to the selection for later paints.
  void Animate(int modelId);
  // Reads the graph defaults again and repaints.
  void Refresh();
  // Acts on a popup menu command.
  void Command(int id);

  QMenu* PopupMenu() const { return menu_; }
  // The model the last paint showed (0 before the first).
  int LastPaintedModel() const { return lastPainted_; }

 signals:
  // Double-click or "Open Plot...": the selected fit's graph should open.
  void openRequested();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  void BuildMenu();
  const platform::ProfileFile& Profile();

  trendolin::CurveFit& doc_;
  std::function<std::optional<int>()> selectedItem_;
  std::optional<platform::ProfileFile> profile_;  // the settings file, read when first needed
  int animatedModel_ = 0;
  int lastPainted_ = 0;
  // During an animation everything but the curve stays the same: it is
  // drawn once per fit and kept here, and each frame adds only the curve.
  QImage animationBase_;
  int animationBaseModel_ = 0;
  QMenu* menu_ = nullptr;
  QAction* enableAction_ = nullptr;
  QAction* animateAction_ = nullptr;
};

}  // namespace trendolin::gui
