// The results list: one line per ranked fit, "rank<TAB>name", with the
// model's id as the line's data. The tab expands to the list's tab stop. A
// fit that did not converge is marked at the line's end.
#pragma once

#include <QListWidget>
#include <optional>
#include <string>
#include <vector>

namespace trendolin::gui {

class ResultsList : public QListWidget {
 public:
  // A line's mark: why its fit did not converge; empty for a good fit.
  static constexpr int kNotConvergedRole = Qt::UserRole + 1;

  explicit ResultsList(QWidget* parent);

  // Replaces the lines; `modelIds` gives each line's data, `notConverged`
  // (when given) each line's mark: why its fit did not converge, or empty.
  void SetLines(const std::vector<std::string>& lines, const std::vector<int>& modelIds,
                const std::vector<std::string>& notConverged = {});
  // The selected line's model id; nullopt when nothing is selected.
  std::optional<int> SelectedModel() const;
  // Where the text after a line's tab starts, in pixels.
  void SetTabStop(int pixels);
  int TabStop() const { return tabStop_; }

 private:
  int tabStop_ = 30;
};

}  // namespace trendolin::gui
