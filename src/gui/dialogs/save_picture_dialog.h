// Save Picture in a graph window: the graph as a PNG, SVG or PDF file of a
// chosen size in pixels, drawn as the window draws it, written whole or not
// at all. The folder last saved in is remembered in the settings file, and
// print jobs written to PDF files start there too.
#pragma once

#include <QSize>
#include <QString>
#include <optional>
#include <string>

#include "gui/dialogs/panel_file_dialog.h"

class QLineEdit;

namespace trendolin {
class CurveFit;
struct GraphAttr;
}  // namespace trendolin

namespace trendolin::gui {

inline constexpr const char* kSavePictureTitle = "Save Picture";
// The sizes a picture may have, in pixels, each way.
inline constexpr int kSmallestPictureSide = 16;
inline constexpr int kLargestPictureSide = 10000;

// The folder pictures and PDF print files were last saved in; without one,
// the data folder of the settings, else the current folder.
QString PictureFolder();
// Remembers the folder of `path` in the settings file (when the run has one).
void RememberPictureFolder(const std::string& path);

// A file name for `title` (a window title, a data file's title): the
// characters a file name cannot hold become "_"; empty gives "graph".
QString PictureFileStem(const QString& title);

// The Save Picture command for the graph of `record`: the dialog, starting
// with `size` and a file named after `title`, then the file. Cancel writes
// nothing; a failure is told in a message box and leaves no file behind.
// Returns true when a file was written.
bool RunSavePictureCommand(QWidget* parent, trendolin::CurveFit& doc, trendolin::GraphAttr& record, QSize size,
                           const QString& title);

class SavePictureDialog : public PanelFileDialog {
  Q_OBJECT

 public:
  SavePictureDialog(QSize size, const QString& initialPath, QWidget* parent = nullptr);

  // The size OK accepted (before that, the size the dialog opened with).
  QSize PictureSize() const { return size_; }
  QLineEdit* WidthField() const { return width_; }
  QLineEdit* HeightField() const { return height_; }

 protected:
  // The extension must name one of the three formats, and both sides must
  // be whole numbers of pixels within the limits.
  bool AcceptPanel() override;

 private:
  std::optional<int> ReadSide(QLineEdit* field, const char* name);

  QSize size_;
  QLineEdit* width_ = nullptr;
  QLineEdit* height_ = nullptr;
};

}  // namespace trendolin::gui
