// Storage of the process-wide calculation flags.
#include "app/run_flags.h"

namespace trendolin {

std::uint8_t CalcMode = 0;
std::uint8_t UnattendedFlag = 0;

void SetCalculationMode(int mode) { CalcMode = static_cast<std::uint8_t>(mode); }

}  // namespace trendolin
