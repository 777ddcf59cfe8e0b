// The start picture: a small top-most window in the middle of the screen
// for the first five seconds, in front of the main window.
#pragma once

#include <QWidget>

namespace trendolin::gui {

inline constexpr int kSplashWidth = 396;
inline constexpr int kSplashHeight = 200;
inline constexpr int kSplashMs = 5000;

class SplashWindow : public QWidget {
 public:
  SplashWindow();

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace trendolin::gui
