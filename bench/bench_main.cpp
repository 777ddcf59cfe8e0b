// The benchmark programs' main: the benchmarks run in one session, as a
// command of the command-line tool does.
#include <benchmark/benchmark.h>

#include "session/session.h"

int main(int argc, char** argv) {
  trendolin::Session session;
  trendolin::SessionScope bound(session);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
