// FitHunter over 64 data files of 10^3 points each, searched one file at a
// time (jobs 1) and two at a time (jobs 2), as `trendolin-cli hunt FILE...
// --jobs N` searches them. The files are made afresh in a private folder:
// six shapes (decay, power law, logistic, cubic, logarithm, saturation) with
// 2% normal noise, the same on every machine. After the runs the medians of
// both and their ratio (jobs 1 / jobs 2: the speed-up) are printed. The
// repetitions of the two are interleaved unless told otherwise, so that a
// machine that slows down meanwhile slows both.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "bench_support.h"
#include "session/hunt_batch.h"
#include "session/session.h"

namespace {

constexpr int kFiles = 64;
constexpr int kPoints = 1000;

const benchsupport::ScratchFolder scratchFolder{"trendolin-hunt-batch"};

std::vector<std::string> MakeFiles() {
  const std::vector<std::function<double(double)>> shapes = {
      [](double x) { return 50 * std::exp(-0.3 * x); },
      [](double x) { return 2.5 * std::pow(x + 1, 1.3); },
      [](double x) { return 10 / (1 + 20 * std::exp(-0.8 * x)); },
      [](double x) { return 8 + 2 * x - 0.5 * x * x + 0.3 * x * x * x; },
      [](double x) { return 3 * std::log(x + 1.5) + 1; },
      [](double x) { return 5 * (1 - std::exp(-0.4 * x)) + 0.2; },
  };
  std::vector<std::string> files;
  for (int f = 0; f < kFiles; ++f) {
    std::mt19937 engine(static_cast<unsigned>(1000 + f));
    const auto& shape = shapes[static_cast<std::size_t>(f) % shapes.size()];
    const std::string name = "data" + std::to_string(f) + ".dat";
    std::FILE* out = std::fopen(name.c_str(), "w");
    if (out == nullptr) std::abort();
    for (int i = 0; i < kPoints; ++i) {
      const double x = 10.0 * i / (kPoints - 1);
      std::fprintf(out, "%.7g %.7g\n", x, shape(x) * (1 + 0.02 * benchsupport::NormalSample(engine)));
    }
    std::fclose(out);
    files.push_back(name);
  }
  return files;
}

const std::vector<std::string>& Files() {
  static const std::vector<std::string> files = MakeFiles();
  return files;
}

// The rows of the first run: every later run, with any number of jobs, must
// give the same ones.
bool SameRows(const std::vector<trendolin::HuntRow>& a, const std::vector<trendolin::HuntRow>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].best != b[i].best || a[i].score != b[i].score || a[i].standardError != b[i].standardError ||
        a[i].correlation != b[i].correlation || a[i].error != b[i].error) {
      return false;
    }
  }
  return true;
}

void BM_HuntBatch(benchmark::State& state) {
  static std::vector<trendolin::HuntRow> first;
  const trendolin::HuntBatchOptions options;
  std::vector<trendolin::HuntRow> rows;
  for (auto _ : state) {
    rows = trendolin::RunHuntBatch(Files(), options, static_cast<int>(state.range(0)));
    benchmark::DoNotOptimize(rows.data());
  }
  if (first.empty()) first = rows;
  int found = 0;
  for (const trendolin::HuntRow& row : rows) found += row.best >= 0 ? 1 : 0;
  state.counters["found"] = found;
  state.counters["same_rows"] = SameRows(first, rows) ? 1 : 0;
}
BENCHMARK(BM_HuntBatch)->ArgName("jobs")->Arg(1)->Arg(2)->UseRealTime()->Unit(benchmark::kMillisecond);

// Keeps the median (or the single run) of every benchmark for the ratio.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      const std::string aggregate = run.run_type == Run::RT_Aggregate ? run.aggregate_name : "single";
      times_[run.run_name.str()][aggregate] = run.GetAdjustedRealTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }

  double Median(const std::string& name) const {
    const auto found = times_.find(name);
    if (found == times_.end()) return 0;
    for (const char* aggregate : {"median", "single"}) {
      const auto time = found->second.find(aggregate);
      if (time != found->second.end()) return time->second;
    }
    return 0;
  }

 private:
  std::map<std::string, std::map<std::string, double>> times_;
};

}  // namespace

int main(int argc, char** argv) {
  // The benchmarks' own session; each file of a batch gets one of its own.
  trendolin::Session session;
  trendolin::SessionScope bound(session);
  std::vector<char*> args(argv, argv + argc);
  bool interleavingGiven = false;
  for (char* arg : args) interleavingGiven |= std::strstr(arg, "random_interleaving") != nullptr;
  char interleave[] = "--benchmark_enable_random_interleaving=true";
  if (!interleavingGiven) args.insert(args.begin() + 1, interleave);
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());
  if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;
  Files();
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const double one = reporter.Median("BM_HuntBatch/jobs:1/real_time");
  const double two = reporter.Median("BM_HuntBatch/jobs:2/real_time");
  if (one > 0 && two > 0) {
    std::printf("\n%d files of %d points: jobs 1 %.0f ms, jobs 2 %.0f ms (medians), speed-up %.2f on %u cores\n",
                kFiles, kPoints, one, two, one / two, std::thread::hardware_concurrency());
  }
  benchmark::Shutdown();
  return 0;
}
