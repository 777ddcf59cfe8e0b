// Failed allocations in numeric work become the numeric error 11.
#pragma once

#include <cstddef>
#include <functional>
#include <new>
#include <utility>

namespace trendolin {

// What an exhausted allocation reports as its routine: the bytes the data
// set holds. The program supplies the count once its data set exists (0
// until then); process-wide, like the handler of operator new.
void SetHeldDataBytes(std::function<std::size_t()> bytes);

// ErrorInfo for an exhausted allocation: id 11, the data bytes as routine.
void FillOutOfMemoryRecord();

// FillOutOfMemoryRecord, then errnotify.
[[noreturn]] void RaiseOutOfMemory();

// Runs `work`, translating std::bad_alloc into errnotify with error 11, as
// every piece of numeric work must.
template <class Work>
auto GuardAllocation(Work&& work) -> decltype(work()) {
  try {
    return std::forward<Work>(work)();
  } catch (const std::bad_alloc&) {
    RaiseOutOfMemory();
  }
}

}  // namespace trendolin
