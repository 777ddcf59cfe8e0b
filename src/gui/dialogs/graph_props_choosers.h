// The colour and font choosers of the Graph Properties dialog.
#pragma once

#include <QString>

#include <optional>
#include <string>

#include "graph/surface.h"

class QWidget;

namespace trendolin::gui {

// The chooser's sixteen custom colours, from and to the settings file at
// `settingsPath` (nothing happens without a settings file).
void LoadChooserColours(const std::string& settingsPath);
void SaveChooserColours(const std::string& settingsPath);

// The colour chooser, starting on `initial`; nullopt when cancelled.
std::optional<trendolin::Colour> ChooseColour(QWidget* parent, trendolin::Colour initial, const QString& title);

// The font chooser on `font`, whose sample shows `sample` in the font on the
// graph's window fill. On OK the face, size, weight, styles and colour of
// `font` change (its angle does not) and the answer is true.
bool ChooseFont(QWidget* parent, trendolin::FontSpec& font, const QString& sample, trendolin::Colour windowFill);

}  // namespace trendolin::gui
