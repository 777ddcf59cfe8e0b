// Developer aids: a quick look at a few values in a warning box while
// tracking something down, without a debugger at hand.
#pragma once

#include <string>

namespace trendolin {

// "Debug Message": the four numbers as "%f  %f  %f  %f".
void DebugBox4(double a, double b, double c, double d);

// "Debug Message": the text and the number as "%s,%d".
void DebugBoxText(const std::string& text, int value);

}  // namespace trendolin
