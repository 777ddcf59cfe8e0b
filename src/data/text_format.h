// Text built piece by piece with the C library's formats.
#pragma once

#include <string>

namespace trendolin {

// printf-style append to a text being built.
void AppendFormat(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));

}  // namespace trendolin
