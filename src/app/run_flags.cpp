// Storage of the process-wide calculation flags, and what a change of the
// calculation mode does to the interface.
#include "app/run_flags.h"

#include "app/app_settings.h"
#include "platform/ui.h"

namespace trendolin {

std::uint8_t CalcMode = 0;
std::uint8_t UnattendedFlag = 0;

void SetCalculationMode(int mode) {
  CalcMode = static_cast<std::uint8_t>(mode);
  platform::CurrentUi().SetCalculationMode(mode, Settings.IsOn(kFlagBackgroundProcess),
                                           mode == 0 && Settings.IsOn(kFlagAnimatePlot));
}

}  // namespace trendolin
