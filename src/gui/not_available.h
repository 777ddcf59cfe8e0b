// The one note shown by commands whose window is not part of this version
// yet, so the person learns why nothing else happened.
#pragma once

#include <QString>

class QWidget;

namespace trendolin::gui {

// "<what> is not available in this version of Trendolin." in an information
// box over `parent`.
void ShowNotAvailable(QWidget* parent, const QString& what);

}  // namespace trendolin::gui
