// Save Picture: its dialog, the folder it remembers, and the file.
#include "gui/dialogs/save_picture_dialog.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "app/app_settings.h"
#include "fit/model_desc.h"
#include "graph/plot_renderer.h"
#include "gui/dialogs/dialog_kit.h"
#include "gui/graph_window.h"
#include "platform/profile_file.h"
#include "platform/resource_strings.h"
#include "platform/ui.h"
#include "precision/errors.h"
#include "render_qt/graph_file.h"
#include "session/session.h"

namespace trendolin::gui {
namespace {

// Where the folder is kept in the settings file.
constexpr const char* kPicturesSection = "Pictures";
constexpr const char* kFolderKey = "Folder";

constexpr int kDrawFailedText = 58;  // a graph the renderer cannot draw

PanelFileDialogSetup PictureSetup() {
  PanelFileDialogSetup setup;
  setup.title = QString::fromLatin1(kSavePictureTitle);
  setup.filters = {QStringLiteral("PNG picture (*.png)"), QStringLiteral("SVG picture (*.svg)"),
                   QStringLiteral("PDF document (*.pdf)")};
  setup.defaultSuffix = QStringLiteral("png");
  setup.helpTopic = "graphing.html";
  return setup;
}

// The extension a name filter stands for: "png" for "PNG picture (*.png)".
QString SuffixOfFilter(const QString& filter) {
  const int star = filter.indexOf(QStringLiteral("*."));
  if (star < 0) return QString();
  return filter.mid(star + 2).section(QLatin1Char(')'), 0, 0).section(QLatin1Char(' '), 0, 0);
}

void Refuse(QLineEdit* field, const std::string& text) {
  QApplication::beep();
  platform::TellUser(kSavePictureTitle, text, platform::Icon::Exclamation);
  if (field) SelectFrom(field, 0);
}

}  // namespace

QString PictureFolder() {
  const std::string& ini = CurrentSession().iniFile;
  if (!ini.empty()) {
    const QString kept = FromUtf8(platform::ReadProfileString(ini, kPicturesSection, kFolderKey, ""));
    if (!kept.isEmpty() && QFileInfo(kept).isDir()) return kept;
  }
  const QString data = FromUtf8(CurrentSession().settings.dataPath);
  if (!data.isEmpty() && QFileInfo(data).isDir()) return data;
  return QDir::currentPath();
}

void RememberPictureFolder(const std::string& path) {
  const std::string& ini = CurrentSession().iniFile;
  if (ini.empty()) return;
  const std::string folder = ToUtf8(QFileInfo(FromUtf8(path)).absolutePath());
  // Not being able to remember the folder is no reason to trouble the
  // person: the next dialog simply starts elsewhere.
  platform::WriteProfileString(ini, kPicturesSection, kFolderKey, folder);
}

QString PictureFileStem(const QString& title) {
  QString stem = title.trimmed();
  for (QChar& c : stem) {
    if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QLatin1Char(':') || c.category() == QChar::Other_Control) {
      c = QLatin1Char('_');
    }
  }
  while (stem.startsWith(QLatin1Char('.'))) stem.remove(0, 1);
  return stem.isEmpty() ? QStringLiteral("graph") : stem;
}

bool RunSavePictureCommand(QWidget* parent, CurveFit& doc, GraphAttr& record, QSize size, const QString& title) {
  const QString proposed = QDir(PictureFolder()).filePath(PictureFileStem(title) + QStringLiteral(".png"));
  SavePictureDialog dialog(size, proposed, parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  const std::string path = dialog.ChosenPath();
  const QSize chosen = dialog.PictureSize();
  RememberPictureFolder(path);

  // The screen's layout at the chosen size; the window's own plot rectangle,
  // which its zoom works on, stays as the window stored it.
  const int model = record.modelId;
  auto draw = [&doc, &record, model](Surface& surface, const Rect& area) {
    ClearErrorInfo();
    const ModelDesc desc = DescriptorOf(doc, model);
    Render(surface, record, MakePlotMetrics(record, 1.0f, 1.0f), area, desc, 0, ScreenUiMetrics());
  };
  std::string error;
  bool written = false;
  try {
    written = WriteGraphFile(path, chosen.width(), chosen.height(), draw, &error);
  } catch (const errnotify&) {
    LogExceptionMarker("SavePicture_1");
    platform::TellUser(kSavePictureTitle, std::string(platform::ResourceString(kDrawFailedText)),
                       platform::Icon::Exclamation);
    return false;
  }
  if (!written) {
    platform::TellUser(kSavePictureTitle, "The picture could not be saved as " + path + ".\n\n" + error,
                       platform::Icon::Exclamation);
  }
  return written;
}

SavePictureDialog::SavePictureDialog(QSize size, const QString& initialPath, QWidget* parent)
    : PanelFileDialog(PictureSetup(), parent), size_(size) {
  setObjectName(QStringLiteral("savePictureDialog"));
  const QFileInfo proposed(initialPath);
  if (proposed.dir().exists()) setDirectory(proposed.dir());
  selectFile(proposed.fileName());
  // The type chosen in the list is the extension a bare name gets.
  connect(this, &QFileDialog::filterSelected, this,
          [this](const QString& filter) { setDefaultSuffix(SuffixOfFilter(filter)); });

  auto* group = new QGroupBox(QStringLiteral("Picture size in pixels"), Panel());
  auto* grid = new QGridLayout(group);
  auto addField = [&](const char* name, const char* label, int value, int column) {
    auto* edit = new QLineEdit(QString::number(value), group);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMaxLength(5);
    auto* caption = new QLabel(QString::fromLatin1(label), group);
    caption->setBuddy(edit);
    grid->addWidget(caption, 0, column);
    grid->addWidget(edit, 0, column + 1);
    return edit;
  };
  width_ = addField("widthField", "&Width:", size.width(), 0);
  height_ = addField("heightField", "H&eight:", size.height(), 2);
  grid->setColumnStretch(4, 1);
  auto* layout = new QVBoxLayout(Panel());
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(group);
  SetPanelTabOrder({width_, height_});
}

std::optional<int> SavePictureDialog::ReadSide(QLineEdit* field, const char* name) {
  bool ok = false;
  const int value = field->text().trimmed().toInt(&ok);
  if (ok && value >= kSmallestPictureSide && value <= kLargestPictureSide) return value;
  Refuse(field, std::string("The ") + name + " of the picture must be a whole number of pixels from " +
                    std::to_string(kSmallestPictureSide) + " to " + std::to_string(kLargestPictureSide) + ".");
  return std::nullopt;
}

bool SavePictureDialog::AcceptPanel() {
  if (!GraphFileFormatOf(ChosenPath())) {
    Refuse(nullptr, "A picture is saved as PNG, SVG or PDF: end the file name with .png, .svg or .pdf.");
    return false;
  }
  const std::optional<int> width = ReadSide(width_, "width");
  if (!width) return false;
  const std::optional<int> height = ReadSide(height_, "height");
  if (!height) return false;
  size_ = QSize(*width, *height);
  return true;
}

}  // namespace trendolin::gui
