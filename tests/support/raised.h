// Running a piece of work and keeping the error it raised, for tests of the
// error paths.
#pragma once

#include "precision/errors.h"

namespace testsupport {

// Runs `work` and returns the error it raised (id 0 when none).
template <class Work>
trendolin::ErrorRecord Raised(Work work) {
  trendolin::ClearErrorInfo();
  try {
    work();
  } catch (const trendolin::errnotify&) {
    return trendolin::ErrorInfo;
  }
  return trendolin::ErrorRecord{};
}

}  // namespace testsupport
