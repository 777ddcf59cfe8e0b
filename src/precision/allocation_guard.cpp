#include "precision/allocation_guard.h"

#include <string>

#include "precision/errors.h"

namespace trendolin {
namespace {

std::function<std::size_t()> heldDataBytes;

}  // namespace

void SetHeldDataBytes(std::function<std::size_t()> bytes) { heldDataBytes = std::move(bytes); }

void FillOutOfMemoryRecord() {
  ClearErrorInfo();
  ErrorInfo.id = kErrOutOfMemory;
  const std::size_t bytes = heldDataBytes ? heldDataBytes() : 0;
  ErrorInfo.routine = std::to_string(bytes).substr(0, kRoutineNameSize - 1);
}

void RaiseOutOfMemory() {
  FillOutOfMemoryRecord();
  throw errnotify();
}

}  // namespace trendolin
