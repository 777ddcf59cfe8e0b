// The out-of-memory question and the translation of failed allocations.
#include "app/out_of_memory.h"

#include <malloc.h>

#include <string>

#include "platform/debug_log.h"
#include "platform/ui.h"
#include "precision/errors.h"

namespace trendolin {
namespace {

constexpr int kOutOfMemoryCaption = 97;
constexpr int kOutOfMemoryText = 98;

OutOfMemoryHooks hooks;
// Asking the question may itself allocate; a failure inside the handler must
// not ask again. Per thread: the handler runs on the thread whose allocation
// failed, and sessions on other threads ask for themselves.
thread_local bool insideHandler = false;

}  // namespace

void SetOutOfMemoryHooks(OutOfMemoryHooks newHooks) {
  hooks = std::move(newHooks);
  SetHeldDataBytes(hooks.dataBytes);
}

void InstallOutOfMemoryHandler() { std::set_new_handler(OutOfMemoryHandler); }

void OutOfMemoryHandler() {
  if (insideHandler) throw std::bad_alloc();
  insideHandler = true;
  struct Reset {
    ~Reset() { insideHandler = false; }
  } reset;

  FillOutOfMemoryRecord();
  ::malloc_trim(0);
  DebugLog("Out of memory condition detected!!\n");
  platform::Answer answer = platform::ResourceMessageBox(kOutOfMemoryCaption, kOutOfMemoryText,
                                                         platform::Icon::Error, platform::Buttons::OkCancel,
                                                         platform::Answer::Ok);
  if (answer != platform::Answer::Ok) throw std::bad_alloc();

  bool freed = hooks.releaseFitResults ? hooks.releaseFitResults() : false;
  if (hooks.closeGraphWindows) hooks.closeGraphWindows();
  ::malloc_trim(0);
  // Nothing more to give back: trying again would fail the same way for ever.
  if (!freed) throw std::bad_alloc();
}

}  // namespace trendolin
