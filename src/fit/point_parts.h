// Per-point work spread over the processor's cores.
#pragma once

#include <functional>

namespace trendolin {

// How many parts ForEachPointPart splits work into: one per core, at most 8.
int PointPartCount();

// Runs body(first, last) over contiguous parts of [0, count), the first part
// on the calling thread and each other one on one of a few worker threads
// that live as long as the process, and waits for all of them. Below
// `minCount` points the whole range runs on the calling thread.
//
// The body must only write to its own points' slots and call routines that
// write no shared state (the built-in model functions, the user model's
// parsed formula; not the interpreter's cache of formula texts).
// Each part starts with clear floating-point flags. Answers false when some
// part raised errnotify or left a division by zero or an overflow pending
// (the caller then redoes the work in point order to report the first fault
// properly); the calling thread's own flags are left as its part raised
// them. Any other exception is passed on once every part has ended.
bool ForEachPointPart(int count, int minCount, const std::function<void(int first, int last)>& body);

}  // namespace trendolin
