// The toolbar's pictures, drawn by the program so they stay sharp and
// readable whatever icon theme the desktop has.
#pragma once

#include <QIcon>

namespace trendolin::gui {

// Picture `index` of the button strip (0..18; see the toolbar table).
QIcon ToolbarIcon(int index);

}  // namespace trendolin::gui
