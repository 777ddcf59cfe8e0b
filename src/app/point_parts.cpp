// Per-point work spread over the processor's cores.
#include "app/point_parts.h"

#include <algorithm>
#include <exception>
#include <thread>
#include <vector>

#include "app/errors.h"
#include "app/fp_guard.h"

namespace trendolin {
namespace {

constexpr int kMaxParts = 8;

struct PartOutcome {
  bool clean = true;
  std::exception_ptr failure;  // anything but errnotify
};

// One part on the current thread. errnotify only marks the part unclean: the
// record it filled belongs to this thread and is not what the caller reports.
void RunPart(const std::function<void(int, int)>& body, int first, int last, PartOutcome& outcome) {
  try {
    body(first, last);
  } catch (const errnotify&) {
    outcome.clean = false;
  } catch (...) {
    outcome.failure = std::current_exception();
  }
}

}  // namespace

int PointPartCount() {
  static const int parts = std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, kMaxParts);
  return parts;
}

bool ForEachPointPart(int count, int minCount, const std::function<void(int first, int last)>& body) {
  if (count <= 0) return true;
  const int parts = count < std::max(minCount, 2) ? 1 : std::min(PointPartCount(), count);
  std::vector<PartOutcome> outcomes(static_cast<std::size_t>(parts));
  std::vector<std::thread> helpers;
  helpers.reserve(static_cast<std::size_t>(parts - 1));
  const auto boundary = [&](int part) { return static_cast<int>(static_cast<long long>(count) * part / parts); };
  for (int part = 1; part < parts; ++part) {
    PartOutcome& outcome = outcomes[static_cast<std::size_t>(part)];
    const int first = boundary(part);
    const int last = boundary(part + 1);
    try {
      helpers.emplace_back([&body, &outcome, first, last] {
        // A new thread starts from its creator's floating-point state.
        ClearFpFaults();
        RunPart(body, first, last, outcome);
        if (FpFaultPending()) outcome.clean = false;
      });
    } catch (const std::system_error&) {
      // No thread to be had: this part runs here after the first.
      RunPart(body, first, last, outcome);
    }
  }
  RunPart(body, 0, boundary(1), outcomes[0]);
  for (std::thread& helper : helpers) helper.join();

  bool clean = true;
  for (const PartOutcome& outcome : outcomes) {
    if (outcome.failure) std::rethrow_exception(outcome.failure);
    clean = clean && outcome.clean;
  }
  return clean;
}

}  // namespace trendolin
