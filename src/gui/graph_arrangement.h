// The Window menu's operations on all queued graph windows at once. Refresh
// all and close all are the graph queue's own (Gqueue::RefreshAll,
// Gqueue::CloseAll).
#pragma once

class QWidget;

namespace trendolin::gui {

// Tiles the queued windows over the screen in slot order, without
// activating them, and sends the main window to the back.
void TileGraphWindows();

// Cascades the queued windows from the screen's top-left corner at the
// default graph size, each behind the one before, and puts `mainWindow`
// behind them all at the next step.
void CascadeGraphWindows(QWidget* mainWindow);

// Minimises every queued window, then shows `mainWindow` normally.
void MinimizeAllGraphWindows(QWidget* mainWindow);

// Restores every queued window from minimised or maximised.
void RestoreAllGraphWindows();

}  // namespace trendolin::gui
