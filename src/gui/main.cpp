// trendolin: the curve-fitting workstation.
#include "app/crash_notice.h"
#include "gui/crash_notice_run.h"
#include "gui/workstation.h"

int main(int argc, char** argv) {
  // Started again by the fault handlers of a run that crashed: only tell why.
  if (const auto code = trendolin::CrashNoticeCode(argc, argv)) {
    return trendolin::gui::RunCrashNotice(argc, argv, *code);
  }
  return trendolin::gui::RunWorkstation(argc, argv);
}
