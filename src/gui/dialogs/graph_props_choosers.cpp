// Qt's colour and font dialogs, dressed for the graph attributes: colours as
// the records keep them, the custom colours kept in the settings file, and a
// font sample in the graph's own text and colours.
#include "gui/dialogs/graph_props_choosers.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <array>
#include <cmath>

#include "app/custom_colors.h"
#include "gui/dialogs/dialog_kit.h"
#include "gui/help_viewer.h"
#include "platform/debug_log.h"
#include "render_qt/qt_font.h"
#include "session/graph_properties.h"

namespace trendolin::gui {
namespace {

QColor ToQColor(Colour c) { return QColor(RedOf(c), GreenOf(c), BlueOf(c)); }
Colour FromQColor(const QColor& c) { return MakeColour(c.red(), c.green(), c.blue()); }

QFont ToQFont(const FontSpec& description) {
  QFont font(FamilyForFace(description.face));
  font.setPointSizeF(description.size > 0 ? description.size / 10.0 : 10.0);
  font.setWeight(static_cast<QFont::Weight>(std::clamp(description.weight > 0 ? description.weight : 400, 1, 1000)));
  font.setItalic(description.italic != 0);
  font.setUnderline(description.underline != 0);
  font.setStrikeOut(description.strikeOut != 0);
  return font;
}

// The font being shown, in the terms of the diagnostics log.
void LogFontShown(const QFont& font, int dpi) {
  const int height = -static_cast<int>(std::lround(font.pointSizeF() * 10 * dpi / 720));
  DebugLog("Request for font sent.  Reply is:\n");
  DebugLogF("\t%s:\t%d\n", "\tlfHeight", height);
  DebugLogF("\t%s:\t%d\n", "\tlfWidth", 0);
  DebugLogF("\t%s:\t%d\n", "\tlfEscapement", 0);
  DebugLogF("\t%s:\t%d\n", "\tlfWeight", font.weight());
  DebugLogF("\t%s:\t%d\n", "\tlfItalic", font.italic() ? 1 : 0);
  DebugLogF("\t%s:\t%d\n", "\tlfUnderline", font.underline() ? 1 : 0);
  DebugLogF("\t%s:\t%s\n", "\tlfFace", font.family().toUtf8().constData());
}

// The sample line of Qt's font dialog shows the graph's text in the text's
// colour on the graph's background; it follows the face, style, size and
// effects by itself.
void DressSample(QFontDialog& dialog, const QString& sample, Colour text, Colour fill) {
  auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("qt_fontDialog_sampleEdit"));
  if (edit == nullptr) return;
  edit->setText(sample);
  edit->setCursorPosition(0);
  QPalette palette = edit->palette();
  palette.setColor(QPalette::Base, ToQColor(fill));
  palette.setColor(QPalette::Text, ToQColor(text));
  edit->setPalette(palette);
}

}  // namespace

void LoadChooserColours(const std::string& settingsPath) {
  if (settingsPath.empty()) return;
  std::array<ColorValue, kCustomColorCount> colours{};
  LoadCustomColors(colours, settingsPath);
  for (std::size_t i = 0; i < colours.size(); ++i) {
    QColorDialog::setCustomColor(static_cast<int>(i), ToQColor(colours[i]));
  }
}

void SaveChooserColours(const std::string& settingsPath) {
  if (settingsPath.empty()) return;
  std::array<ColorValue, kCustomColorCount> colours{};
  for (std::size_t i = 0; i < colours.size(); ++i) {
    colours[i] = FromQColor(QColorDialog::customColor(static_cast<int>(i)));
  }
  std::string error;
  if (!SaveCustomColors(colours, settingsPath, &error)) DebugLogF("Custom colors not saved: %s\n", error.c_str());
}

std::optional<Colour> ChooseColour(QWidget* parent, Colour initial, const QString& title) {
  QColorDialog dialog(ToQColor(initial), parent);
  dialog.setOption(QColorDialog::DontUseNativeDialog, true);
  dialog.setWindowTitle(title);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return FromQColor(dialog.selectedColor());
}

bool ChooseFont(QWidget* parent, FontSpec& font, const QString& sample, Colour windowFill) {
  QFontDialog dialog(ToQFont(font), parent);
  dialog.setOptions(QFontDialog::DontUseNativeDialog | QFontDialog::ScalableFonts);
  Colour colour = font.colour;
  DressSample(dialog, sample, colour, windowFill);

  // Qt's dialog has no colour of its own, nor a Help button: both join its
  // button row.
  if (auto* buttons = dialog.findChild<QDialogButtonBox*>()) {
    QPushButton* colourButton = buttons->addButton(QStringLiteral("&Color..."), QDialogButtonBox::ActionRole);
    colourButton->setObjectName(QStringLiteral("fontColour"));
    QObject::connect(colourButton, &QPushButton::clicked, &dialog, [&] {
      if (const std::optional<Colour> chosen = ChooseColour(&dialog, colour, QStringLiteral("Text Color"))) {
        colour = *chosen;
        DressSample(dialog, sample, colour, windowFill);
      }
    });
    QPushButton* help = buttons->addButton(QDialogButtonBox::Help);
    QObject::connect(help, &QPushButton::clicked, &dialog, [] { ShowHelp(kGraphPropsFontHelp); });
  }
  if (DebugFlags & 0x5) {
    const int dpi = dialog.logicalDpiY();
    QObject::connect(&dialog, &QFontDialog::currentFontChanged, &dialog, [dpi](const QFont& f) { LogFontShown(f, dpi); });
  }
  if (dialog.exec() != QDialog::Accepted) return false;

  const QFont chosen = dialog.selectedFont();
  // A face the desktop shows under another family keeps its own name
  // unless another family was chosen.
  if (chosen.family() != FamilyForFace(font.face)) {
    font.face = ToUtf8(chosen.family()).substr(0, FontSpec::kMaxFaceLength);
  }
  if (chosen.pointSizeF() > 0) font.size = static_cast<int>(std::lround(chosen.pointSizeF() * 10));
  font.weight = chosen.weight();
  font.italic = chosen.italic() ? 1 : 0;
  font.underline = chosen.underline() ? 1 : 0;
  font.strikeOut = chosen.strikeOut() ? 1 : 0;
  font.colour = colour;
  return true;
}

}  // namespace trendolin::gui
