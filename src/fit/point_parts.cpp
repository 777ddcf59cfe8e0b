// Per-point work spread over the processor's cores by a few workers that
// live as long as the process, so that a pass of a fit costs a wake-up, not
// a thread's creation.
#include "fit/point_parts.h"

#include <unistd.h>

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "fit/engine_state.h"
#include "platform/debug_log.h"
#include "precision/errors.h"
#include "precision/fp_guard.h"

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

// The workers: worker w runs part w + 1 of every job; the calling thread
// runs part 0 and then waits for the others.
class Workers {
 public:
  explicit Workers(int count) : owner_(::getpid()) {
    try {
      for (int w = 0; w < count; ++w) threads_.emplace_back([this, w] { Serve(w + 1); });
    } catch (const std::system_error&) {
      Stop();  // no threads to be had: every job runs on its caller
    }
  }
  ~Workers() { Stop(); }
  Workers(const Workers&) = delete;
  Workers& operator=(const Workers&) = delete;

  // Parts the workers can take besides the caller's; none in a child
  // process made by fork, which has the record but not the threads.
  int Parts() const { return ::getpid() == owner_ ? static_cast<int>(threads_.size()) + 1 : 1; }

  // Runs `part(p)` for p = 1 .. Parts() - 1 on the workers and `part(0)`
  // here, and returns when all have ended. Jobs from several threads take
  // turns.
  void Run(const std::function<void(int)>& part) {
    std::lock_guard turn(turnMutex_);
    {
      std::lock_guard lock(mutex_);
      job_ = &part;
      pending_ = static_cast<int>(threads_.size());
      ++generation_;
    }
    wake_.notify_all();
    part(0);
    std::unique_lock lock(mutex_);
    done_.wait(lock, [this] { return pending_ == 0; });
    job_ = nullptr;
  }

 private:
  void Serve(int index) {
    unsigned seen = 0;
    std::unique_lock lock(mutex_);
    for (;;) {
      wake_.wait(lock, [&] { return stop_ || generation_ != seen; });
      if (stop_) return;
      seen = generation_;
      const std::function<void(int)>* job = job_;
      lock.unlock();
      (*job)(index);
      lock.lock();
      if (--pending_ == 0) done_.notify_one();
    }
  }

  void Stop() {
    {
      std::lock_guard lock(mutex_);
      stop_ = true;
    }
    wake_.notify_all();
    for (std::thread& t : threads_) {
      if (t.joinable()) t.join();
    }
    threads_.clear();
  }

  const pid_t owner_;
  std::vector<std::thread> threads_;
  std::mutex turnMutex_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable done_;
  const std::function<void(int)>* job_ = nullptr;
  unsigned generation_ = 0;
  int pending_ = 0;
  bool stop_ = false;
};

Workers& TheWorkers() {
  static Workers workers(PointPartCount() - 1);
  return workers;
}

}  // namespace

int PointPartCount() {
  static const int parts = std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, kMaxParts);
  return parts;
}

bool ForEachPointPart(int count, int minCount, const std::function<void(int first, int last)>& body) {
  if (count <= 0) return true;
  if (count < std::max(minCount, 2) || PointPartCount() == 1) {
    PartOutcome outcome;
    RunPart(body, 0, count, outcome);
    if (outcome.failure) std::rethrow_exception(outcome.failure);
    return outcome.clean;
  }
  Workers& workers = TheWorkers();
  const int parts = workers.Parts();
  std::vector<PartOutcome> outcomes(static_cast<std::size_t>(parts));
  const auto boundary = [&](int part) { return static_cast<int>(static_cast<long long>(count) * part / parts); };
  // The workers work for the caller's session while they run its parts (a
  // model function may read the session's polynomial degree, say).
  EngineState* const engine = BoundEngineState();
  const bool muted = LogMuted();
  workers.Run([&](int part) {
    PartOutcome& outcome = outcomes[static_cast<std::size_t>(part)];
    if (part == 0) {
      RunPart(body, boundary(0), boundary(1), outcome);
      return;
    }
    // A worker starts each part with its own flags clear and reports what
    // its part left pending; the caller's part leaves its flags to it.
    ClearFpFaults();
    const EngineStateScope forCaller(engine);
    const ScopedLogMute silentAsCaller(muted);
    RunPart(body, boundary(part), boundary(part + 1), outcome);
    if (FpFaultPending()) outcome.clean = false;
  });
  bool clean = true;
  for (const PartOutcome& outcome : outcomes) {
    if (outcome.failure) std::rethrow_exception(outcome.failure);
    clean = clean && outcome.clean;
  }
  return clean;
}

}  // namespace trendolin
