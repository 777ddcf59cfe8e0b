// The four desktop colours the graph attributes can follow ("-1" in the
// settings file). Linux desktops offer no such fixed set, so the program uses
// one light theme of its own, shared by the renderer and the windows.
#pragma once

#include "graph/surface.h"

namespace trendolin {

inline constexpr Colour kSystemButtonText = MakeColour(0, 0, 0);             // header texts, frame, fonts
inline constexpr Colour kSystemButtonHighlight = MakeColour(255, 255, 255);  // plot background
inline constexpr Colour kSystemButtonShadow = MakeColour(160, 160, 160);     // grid lines
inline constexpr Colour kSystemButtonFace = MakeColour(240, 240, 240);       // area around the plot

}  // namespace trendolin
