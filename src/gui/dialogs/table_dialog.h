// Generate Table in a graph window: the save dialog "Generate Table" with
// its panel (start, end and step of x, the separator), then the table of the
// window's fit. The fields' rules and the file are the session's
// (session/table_file.h); this is their face.
#pragma once

#include <QString>
#include <string>

#include "gui/dialogs/panel_file_dialog.h"
#include "session/table_file.h"

class QLineEdit;

namespace trendolin {
class CurveFit;
struct GraphAttr;
}  // namespace trendolin

namespace trendolin::gui {

// The Generate Table command for the fit of `graph` (the graph window's
// record, which must show a fit): the dialog, starting on the graph's x
// axis, then the table, written whole or not at all. Cancel writes nothing.
void RunTableCommand(QWidget* parent, trendolin::CurveFit& doc, const trendolin::GraphAttr& graph);

class TableDialog : public PanelFileDialog {
  Q_OBJECT

 public:
  TableDialog(const trendolin::TableOptions& options, QWidget* parent = nullptr);

  // The options OK accepted (before that, as the dialog opened).
  const trendolin::TableOptions& Options() const { return options_; }

  // A field by its control number (1042 start, 1043 end, 1044 step), or nullptr.
  QLineEdit* Field(int control) const;
  SeparatorButton* Separator() const { return separator_; }

 protected:
  bool AcceptPanel() override;

 private:
  QLineEdit* AddField(int control, const char* name, trendolin::datatype value, QWidget* parent);

  trendolin::TableOptions options_;
  QLineEdit* start_ = nullptr;
  QLineEdit* end_ = nullptr;
  QLineEdit* step_ = nullptr;
  SeparatorButton* separator_ = nullptr;
};

}  // namespace trendolin::gui
