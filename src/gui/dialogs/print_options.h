// The dialogs of a print job besides the system's print dialog: the graph's
// option page (colour or monochrome), and the file dialog that takes the
// place of the print dialog when the system has no printer, so that Print
// always gives the person a PDF file to keep.
#pragma once

#include <QWidget>
#include <optional>
#include <string>

#include "gui/dialogs/panel_file_dialog.h"

class QRadioButton;

namespace trendolin::gui {

// The option page of a graph's print dialog: "Monochrome" (control 1025)
// and "Colour" (1026), the latter preselected when the ColorPrint setting is
// on, and a Help button (1038) for "graphprint.html" unless the dialog it
// sits in has its own (`ownHelp` false).
class GraphPrintOptions : public QWidget {
  Q_OBJECT

 public:
  GraphPrintOptions(bool colour, bool ownHelp, QWidget* parent = nullptr);

  bool Monochrome() const;
  QRadioButton* MonochromeButton() const { return monochrome_; }
  QRadioButton* ColourButton() const { return colour_; }

 private:
  QRadioButton* monochrome_;
  QRadioButton* colour_;
};

inline constexpr const char* kPrintToPdfTitle = "Print to PDF";

// The save dialog of a job printed to a PDF file: "Print to PDF", PDF files
// only, the overwrite question; for a graph the option page sits under the
// file list.
class PrintToPdfDialog : public PanelFileDialog {
  Q_OBJECT

 public:
  // `initialPath` names the file proposed; `graphOptions` adds the graph's
  // option page with colour preselected or not.
  PrintToPdfDialog(const QString& initialPath, const std::optional<bool>& graphOptions, QWidget* parent = nullptr);

  // The graph's option page, or nullptr for a data job.
  GraphPrintOptions* Options() const { return options_; }

 private:
  GraphPrintOptions* options_ = nullptr;
};

}  // namespace trendolin::gui
