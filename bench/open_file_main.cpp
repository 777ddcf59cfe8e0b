// Opens a data file as the program does at start-up (scan, read, data set
// built), so that a whole process can be timed; or writes a test file.
//
//   open_file_main FILE                 opens FILE and prints the point count
//   open_file_main --generate N FILE    writes N two-column points to FILE
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "data/curve_fit.h"
#include "data/data_file.h"
#include "session/data_file_flows.h"
#include "session/session.h"

namespace {

int Generate(long count, const std::string& path) {
  std::vector<float> x(static_cast<std::size_t>(count));
  std::vector<float> y(static_cast<std::size_t>(count));
  for (long i = 0; i < count; ++i) {
    x[i] = static_cast<float>(i) * 0.01f;
    y[i] = 250.0f * std::sin(static_cast<float>(i) * 0.001f) + 3.5f;
  }
  const float* columns[] = {x.data(), y.data()};
  if (trendolin::WriteDataFile(path, columns, 0, 0, static_cast<int>(count), 2, false) != 0) {
    std::fprintf(stderr, "open_file_main: cannot write %s\n", path.c_str());
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  trendolin::Session session;
  trendolin::SessionScope bound(session);
  if (argc == 4 && std::string(argv[1]) == "--generate") return Generate(std::atol(argv[2]), argv[3]);
  if (argc != 2) {
    std::fprintf(stderr, "usage: open_file_main FILE | open_file_main --generate N FILE\n");
    return 2;
  }
  trendolin::CurveFit doc;
  if (trendolin::OpenStartupFile(doc, argv[1]) != 1) {
    std::fprintf(stderr, "open_file_main: %s was not opened\n", argv[1]);
    return 1;
  }
  std::printf("%d points, %d columns\n", doc.nPoints, doc.nColumns);
  return 0;
}
