#include "fit/engine_state.h"

#include <cstdio>
#include <cstdlib>

namespace trendolin {
namespace {

thread_local EngineState* boundState = nullptr;

}  // namespace

EngineState& CurrentEngine() {
  if (boundState == nullptr) {
    std::fputs("trendolin: internal error: engine state used on a thread that works for no session\n", stderr);
    std::abort();
  }
  return *boundState;
}

EngineState* BoundEngineState() { return boundState; }

DocumentHooks& Hooks() { return CurrentEngine().hooks; }

EngineStateScope::EngineStateScope(EngineState* state) : previous_(boundState) { boundState = state; }

EngineStateScope::~EngineStateScope() { boundState = previous_; }

}  // namespace trendolin
