// A list box whose lines line up at tab stops: each tab in a line moves the
// text after it to the next stop, as the classic list boxes with tab stops
// do. The information window's coefficient, history and covariance lists.
#pragma once

#include <QListWidget>
#include <QStringList>
#include <string>
#include <vector>

namespace trendolin::gui {

// Horizontal dialog units in pixels for the font of `widget`'s window: a
// quarter of its average character width each.
int DialogUnitsX(const QWidget& widget, int units);

class TabStopList : public QListWidget {
  Q_OBJECT

 public:
  // `stops` in dialog units, ascending; past the last one (or with none) the
  // stops repeat every `interval` dialog units.
  TabStopList(std::vector<int> stops, int interval, QWidget* parent);

  // Stops past the fixed ones every `units` dialog units.
  void SetInterval(int units) { interval_ = units > 0 ? units : 1; }
  void SetLines(const std::vector<std::string>& lines);
  QStringList Lines() const;
  // Where the text after a tab that `x` pixels into the line reaches starts.
  int NextStop(int x) const;
  // The horizontal room the lines may scroll through (the widest line's
  // width times 6/5); 0 lets the list's width decide.
  void SetScrollExtent(int pixels) { scrollExtent_ = pixels; }
  int ScrollExtent() const { return scrollExtent_; }
  // The width of `line` laid out at the stops.
  int LineWidth(const QString& line) const;

 private:
  std::vector<int> stops_;
  int interval_;
  int scrollExtent_ = 0;
};

}  // namespace trendolin::gui
