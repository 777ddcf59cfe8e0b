// The run that only tells why the last one ended: the fault handlers have
// the workstation started again with "--crash-notice CODE".
#pragma once

namespace trendolin::gui {

// Shows the notice for `code` and returns `code`, the exit status the
// crashed run would have had. Without a display nothing is shown.
int RunCrashNotice(int argc, char** argv, int code);

}  // namespace trendolin::gui
