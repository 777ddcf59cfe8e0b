// What a change of the calculation mode does to the interface (the flags
// themselves are the session's).
#include "app/run_flags.h"

#include "app/app_settings.h"
#include "platform/ui.h"
#include "session/session.h"

namespace trendolin {


void SetCalculationMode(int mode) {
  CurrentEngine().calcMode = static_cast<std::uint8_t>(mode);
  platform::CurrentUi().SetCalculationMode(mode, CurrentSession().settings.IsOn(kFlagBackgroundProcess),
                                           mode == 0 && CurrentSession().settings.IsOn(kFlagAnimatePlot));
}

}  // namespace trendolin
