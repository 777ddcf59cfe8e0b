// What happens when memory runs out: the user is asked whether to free the
// stored fit results and try again; otherwise the work in progress ends with
// error 11 and the program, with the user's data, carries on.
#pragma once

#include <cstddef>
#include <functional>

#include "precision/allocation_guard.h"

namespace trendolin {

// Supplied by the document and the graph windows once they exist.
struct OutOfMemoryHooks {
  std::function<std::size_t()> dataBytes;      // bytes held by the data-set columns
  std::function<bool()> releaseFitResults;     // frees every stored result; true when anything was freed
  std::function<void()> closeGraphWindows;
};

void SetOutOfMemoryHooks(OutOfMemoryHooks hooks);

// Installs OutOfMemoryHandler as the handler of operator new.
void InstallOutOfMemoryHandler();

// The new-handler: fills ErrorInfo (id 11, the data bytes as routine name),
// logs, and asks with the question 97/98. OK frees the fit results and lets
// the allocation try again; when there was nothing left to free, or on
// Cancel, the allocation fails with std::bad_alloc, which guarded work turns
// into error 11.
void OutOfMemoryHandler();

}  // namespace trendolin
