// The system-information dump of the diagnostic log: what a developer needs
// to know about the machine a reported problem happened on.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace trendolin {

struct StructureSize {
  std::string name;
  std::size_t bytes;
};

// Writes the dump to the log when DebugFlags & 0x21 is set. `structures`
// lists the sizes of the program's main records.
void WriteSystemInfoDump(const std::vector<StructureSize>& structures);

}  // namespace trendolin
