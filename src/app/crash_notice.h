// The notice a crashed workstation leaves: the fault handlers start the
// program again as "trendolin --crash-notice CODE", and that run only tells
// the person why the first one ended.
#pragma once

#include <optional>

namespace trendolin {

// The code when the command line asks for the notice ("--crash-notice" as
// its first argument); nullopt for an ordinary start. A code that is missing
// or not a number in 1..255 counts as 1, the plain program error.
std::optional<int> CrashNoticeCode(int argc, const char* const* argv);

// Tells the person, through the installed Ui, why the program ended: 1 a bad
// pointer, 3 an abort, 4 an exception nobody handled. Other codes tell nothing.
void TellCrash(int code);

}  // namespace trendolin
