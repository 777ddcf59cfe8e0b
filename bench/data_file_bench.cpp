// Benchmarks of the data file passes (scanning, reading, writing) and of
// sorting a large data set.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "data/curve_fit.h"
#include "data/data_file.h"

namespace {

using trendolin::datatype;

constexpr int kSizes[] = {10000, 100000, 1000000};

// Two columns that look like measured data: x in steps of 0.01, y a smooth
// curve, both with six significant digits once written.
std::vector<std::vector<datatype>> MakeColumns(int count) {
  std::vector<std::vector<datatype>> columns(2, std::vector<datatype>(static_cast<std::size_t>(count)));
  for (int i = 0; i < count; ++i) {
    columns[0][i] = static_cast<float>(i) * 0.01f;
    columns[1][i] = 250.0f * std::sin(static_cast<float>(i) * 0.001f) + 3.5f;
  }
  return columns;
}

// The benchmark files, written once into a private temporary folder and
// removed at exit.
class BenchFiles {
 public:
  BenchFiles() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "trendolin-bench-XXXXXX").string();
    if (::mkdtemp(tmpl.data()) == nullptr) std::abort();
    folder_ = tmpl;
    for (int count : kSizes) {
      std::vector<std::vector<datatype>> columns = MakeColumns(count);
      const datatype* pointers[] = {columns[0].data(), columns[1].data()};
      if (trendolin::WriteDataFile(PathFor(count), pointers, 0, 0, count, 2, false) != 0) std::abort();
    }
  }
  ~BenchFiles() {
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
  }
  BenchFiles(const BenchFiles&) = delete;
  BenchFiles& operator=(const BenchFiles&) = delete;

  std::string PathFor(int count) const { return folder_ + "/points" + std::to_string(count) + ".dat"; }
  std::string Scratch() const { return folder_ + "/written.dat"; }

 private:
  std::string folder_;
};

const BenchFiles& Files() {
  static const BenchFiles files;  // generated on first use only
  return files;
}

void SetBytes(benchmark::State& state, const std::string& path) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(std::filesystem::file_size(path)));
}

void BM_ScanDataFile(benchmark::State& state) {
  const std::string path = Files().PathFor(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    int columns = 0;
    benchmark::DoNotOptimize(trendolin::ScanDataFile(path, &columns, false));
  }
  SetBytes(state, path);
}

void BM_ReadDataFile(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const std::string path = Files().PathFor(count);
  trendolin::ImportOptions options = trendolin::DefaultImportOptions(path, 2, count, false);
  std::vector<std::vector<datatype>> columns(2, std::vector<datatype>(static_cast<std::size_t>(count)));
  datatype* pointers[] = {columns[0].data(), columns[1].data()};
  for (auto _ : state) {
    benchmark::DoNotOptimize(trendolin::Read_TRDL_File(options, pointers, false));
    benchmark::ClobberMemory();
  }
  SetBytes(state, path);
}

// Formatting alone, without the disk.
void BM_FormatDataText(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const std::vector<std::vector<datatype>> columns = MakeColumns(count);
  const datatype* pointers[] = {columns[0].data(), columns[1].data()};
  for (auto _ : state) benchmark::DoNotOptimize(trendolin::FormatDataText(pointers, 0, 0, count, 2));
}

// Formatting, the temporary file, its flush to the disk and the rename.
void BM_WriteDataFile(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const std::vector<std::vector<datatype>> columns = MakeColumns(count);
  const datatype* pointers[] = {columns[0].data(), columns[1].data()};
  const std::string path = Files().Scratch();
  for (auto _ : state) benchmark::DoNotOptimize(trendolin::WriteDataFile(path, pointers, 0, 0, count, 2, false));
  SetBytes(state, path);
}

enum class Order { kRandom, kSorted, kEqual };

void BM_SortData(benchmark::State& state, Order order) {
  const int count = 1000000;
  std::vector<std::vector<datatype>> input = MakeColumns(count);
  if (order == Order::kRandom) {
    std::mt19937 random(12345);
    std::shuffle(input[0].begin(), input[0].end(), random);
  } else if (order == Order::kEqual) {
    std::fill(input[0].begin(), input[0].end(), 4.25f);
  }
  trendolin::CurveFit doc;
  doc.AllocateData(count, 2, 0);
  for (auto _ : state) {
    state.PauseTiming();
    std::copy(input[0].begin(), input[0].end(), doc.Column(0));
    std::copy(input[1].begin(), input[1].end(), doc.Column(1));
    state.ResumeTiming();
    benchmark::DoNotOptimize(doc.SortData(0));
  }
}

void Sizes(benchmark::internal::Benchmark* b) {
  for (int count : kSizes) b->Arg(count);
  b->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_ScanDataFile)->Apply(Sizes);
BENCHMARK(BM_ReadDataFile)->Apply(Sizes);
BENCHMARK(BM_FormatDataText)->Apply(Sizes);
BENCHMARK(BM_WriteDataFile)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_SortData, random, Order::kRandom)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SortData, sorted, Order::kSorted)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SortData, all_equal, Order::kEqual)->Unit(benchmark::kMillisecond);

}  // namespace
