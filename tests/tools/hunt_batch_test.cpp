// hunt on several files: every file searched in a session of its own on
// worker threads must come to exactly what a search of that file alone
// comes to, and the rows must come in the order of the files.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

#include "session/hunt_batch.h"
#include "support/cli_run.h"
#include "support/temp_dir.h"

namespace {

using testsupport::Cli;
using testsupport::CliRun;
using testsupport::TempDir;
using testsupport::WriteFile;

// `count` points of f on [x0, x1] with a few per cent of deterministic noise.
std::string NoisyData(int count, double x0, double x1, const std::function<double(double)>& f, std::uint32_t seed) {
  std::string text = "x y\n";
  for (int i = 0; i < count; ++i) {
    seed = seed * 1664525u + 1013904223u;
    const double noise = static_cast<double>(seed) / 4294967296.0 - 0.5;
    const double x = x0 + (x1 - x0) * i / (count - 1);
    char line[64];
    std::snprintf(line, sizeof line, "%.7g %.7g\n", x, f(x) * (1.0 + 0.04 * noise));
    text += line;
  }
  return text;
}

// Four data sets of different shapes, an empty file, a file of one point
// (no model fits it) and one that is not there.
std::vector<std::string> MakeFiles(const TempDir& dir) {
  WriteFile(dir.File("decay.dat"), NoisyData(40, 0, 10, [](double x) { return 50 * std::exp(-0.3 * x); }, 1));
  WriteFile(dir.File("power.dat"), NoisyData(35, 1, 10, [](double x) { return 2.5 * std::pow(x, 1.3); }, 2));
  WriteFile(dir.File("growth, 3.dat"),
            NoisyData(45, 0, 12, [](double x) { return 10 / (1 + 20 * std::exp(-0.8 * x)); }, 3));
  WriteFile(dir.File("empty.dat"), "");
  WriteFile(dir.File("cubic.dat"),
            NoisyData(30, -3, 4, [](double x) { return 8 + 2 * x - 0.5 * x * x + 0.3 * x * x * x; }, 4));
  WriteFile(dir.File("one.dat"), "1 2\n");
  return {dir.File("decay.dat"), dir.File("power.dat"), dir.File("growth, 3.dat"), dir.File("empty.dat"),
          dir.File("cubic.dat"),  dir.File("one.dat"),   dir.File("missing.dat")};
}

std::string Quoted(const std::vector<std::string>& files) {
  std::string args;
  for (const std::string& file : files) args += " '" + file + "'";
  return args;
}

// Every row of a batch of three workers against `hunt FILE --json` of the
// same file alone: the same best model with bit for bit the same figures,
// and for a file without a best model the reason.
TEST(HuntBatchTest, EveryRowIsWhatTheFileAloneGives) {
  TempDir dir;
  const std::vector<std::string> files = MakeFiles(dir);
  CliRun batch = Cli(dir, "hunt --jobs 3 --summary json" + Quoted(files));
  EXPECT_EQ(batch.status, 1) << "some files have no best model\n" << batch.err;
  EXPECT_FALSE(std::filesystem::exists(dir.File("history.dmp"))) << "the batch leaves the settings folder's history";
  const nlohmann::json summary = nlohmann::json::parse(batch.out);
  EXPECT_EQ(summary["jobs"], 3);
  EXPECT_TRUE(summary["seconds"].is_number());
  const nlohmann::json& rows = summary["files"];
  ASSERT_EQ(rows.size(), files.size());

  int found = 0;
  for (std::size_t i = 0; i < files.size(); ++i) {
    const nlohmann::json& row = rows[i];
    SCOPED_TRACE(files[i]);
    EXPECT_EQ(row["file"], files[i]) << "the order of the files";
    CliRun alone = Cli(dir, "hunt --json '" + files[i] + "'");
    if (alone.status == 2) {  // not read at all: the row tells what the file alone tells
      EXPECT_EQ(row["best"], -1);
      const std::string told = alone.err.substr(0, alone.err.find('\n'));
      EXPECT_FALSE(told.empty());
      EXPECT_EQ(row["error"].get<std::string>().rfind(told, 0), 0u) << row["error"] << " / " << alone.err;
      continue;
    }
    const nlohmann::json single = nlohmann::json::parse(alone.out);
    ASSERT_EQ(row["best"], single["best"]);
    if (single["best"] == -1) {
      EXPECT_EQ(alone.status, 1);
      EXPECT_TRUE(row["score"].is_null());
      EXPECT_FALSE(row["error"].get<std::string>().empty());
      continue;
    }
    ++found;
    EXPECT_EQ(row["error"], "");
    bool ranked = false;
    for (const nlohmann::json& entry : single["ranking"]) {
      if (entry["model"] != single["best"]) continue;
      ranked = true;
      EXPECT_EQ(row["name"], entry["name"]);
      for (const char* figure : {"score", "standard_error", "correlation"}) {
        EXPECT_EQ(row[figure].get<double>(), entry[figure].get<double>()) << figure;
      }
    }
    EXPECT_TRUE(ranked) << alone.out;
  }
  EXPECT_EQ(found, 4) << batch.out;
  // A message is known by its file.
  EXPECT_NE(batch.err.find(dir.File("empty.dat") + ": "), std::string::npos) << batch.err;
}

TEST(HuntBatchTest, CsvRowsComeInTheOrderOfTheFiles) {
  TempDir dir;
  std::vector<std::string> files = MakeFiles(dir);
  files = {files[4], files[3], files[2], files[0]};  // cubic, empty, "growth, 3", decay
  CliRun run = Cli(dir, "hunt --jobs 2 --max-degree 5" + Quoted(files));
  EXPECT_EQ(run.status, 1) << run.err;
  std::istringstream lines(run.out);
  std::string line;
  ASSERT_TRUE(std::getline(lines, line));
  EXPECT_EQ(line, "file,best,name,score,standard_error,correlation,error");
  for (const std::string& file : files) {
    ASSERT_TRUE(std::getline(lines, line)) << run.out;
    const std::string field = file.find(',') != std::string::npos ? "\"" + file + "\"," : file + ",";
    EXPECT_EQ(line.rfind(field, 0), 0u) << line;
    if (file == files[1]) {
      EXPECT_NE(line.find(",-1,,,,,"), std::string::npos) << line;
    }
  }
  EXPECT_FALSE(std::getline(lines, line)) << run.out;

  // Every file with a best model: success. One file with --summary: a row.
  EXPECT_EQ(Cli(dir, "hunt --jobs 2" + Quoted({files[0], files[3]})).status, 0);
  CliRun one = Cli(dir, "hunt --summary csv '" + files[3] + "'");
  EXPECT_EQ(one.status, 0) << one.err;
  EXPECT_EQ(one.out.rfind("file,best,", 0), 0u) << one.out;

  for (const std::string& bad : {std::string("--summary xml"), std::string("--jobs 0"),
                                 std::string("--json --summary csv"), std::string("--groups 0"),
                                 std::string("--generate-x 1")}) {
    EXPECT_EQ(Cli(dir, "hunt " + bad + Quoted(files)).status, 2) << bad;
  }
}

// The library call: one worker or four, the same rows, handed over in the
// order of the files on the calling thread; no history left in the folder
// the batch ran in.
TEST(HuntBatchTest, TheRowsDoNotDependOnTheNumberOfWorkers) {
  TempDir dir;
  const testsupport::ScopedCurrentDir inDir(dir.Path());
  const std::vector<std::string> files = MakeFiles(dir);
  trendolin::HuntBatchOptions options;
  std::vector<std::size_t> order;
  bool sameThread = true;
  const std::thread::id caller = std::this_thread::get_id();
  options.onRow = [&](std::size_t index, const trendolin::HuntRow&) {
    order.push_back(index);
    sameThread = sameThread && std::this_thread::get_id() == caller;
  };
  const std::vector<trendolin::HuntRow> one = trendolin::RunHuntBatch(files, options, 1);
  order.clear();
  const std::vector<trendolin::HuntRow> four = trendolin::RunHuntBatch(files, options, 4);
  EXPECT_EQ(order, (std::vector<std::size_t>{0, 1, 2, 3, 4, 5, 6}));
  EXPECT_TRUE(sameThread);
  ASSERT_EQ(one.size(), files.size());
  ASSERT_EQ(four.size(), files.size());
  for (std::size_t i = 0; i < files.size(); ++i) {
    SCOPED_TRACE(files[i]);
    EXPECT_EQ(four[i].file, files[i]);
    EXPECT_EQ(four[i].best, one[i].best);
    EXPECT_EQ(four[i].name, one[i].name);
    EXPECT_EQ(four[i].score, one[i].score);
    EXPECT_EQ(four[i].standardError, one[i].standardError);
    EXPECT_EQ(four[i].correlation, one[i].correlation);
    EXPECT_EQ(four[i].error, one[i].error);
    EXPECT_EQ(four[i].messages, one[i].messages);
  }
  EXPECT_FALSE(std::filesystem::exists(dir.File("history.dmp")));
}

}  // namespace
