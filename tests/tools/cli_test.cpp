// trendolin-cli end to end: the real program run on real files, as a script would.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include <nlohmann/json.hpp>

#include "support/temp_dir.h"

namespace {

using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WriteFile;

struct CliRun {
  int status;
  std::string out;  // standard output
  std::string err;  // standard error
};

// Runs the tool with `args` (already quoted for the shell) and a private settings folder.
CliRun Cli(const TempDir& dir, const std::string& args) {
  const std::string errFile = dir.File("stderr.txt");
  const std::string command = "TRENDOLIN_CONFIG_DIR='" + dir.Path() + "' '" TRENDOLIN_CLI "' " + args + " 2>'" +
                              errFile + "'";
  CliRun run{-1, {}, {}};
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
  const int raw = ::pclose(pipe);
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  run.err = ReadFile(errFile);
  return run;
}

const char* kDecay =
    "Measured decay, run 3\n"
    "time, counts; sigma\n"
    "0.0, 100.0, 1.5\n"
    "1.0\t 60.5 ,1.2\n"
    "2,36.9 1.0\n"
    "3.0 22.1 0.8\n";

TEST(CliTest, InfoPrintsTheSummaryAsTextAndJson) {
  TempDir dir;
  WriteFile(dir.File("decay.dat"), kDecay);
  CliRun text = Cli(dir, "info '" + dir.File("decay.dat") + "'");
  ASSERT_EQ(text.status, 0) << text.err;
  EXPECT_NE(text.out.find("348 bytes for data\nPoints: 4\n"), std::string::npos) << text.out;

  CliRun json = Cli(dir, "info --json '" + dir.File("decay.dat") + "'");
  ASSERT_EQ(json.status, 0) << json.err;
  const nlohmann::json info = nlohmann::json::parse(json.out);
  EXPECT_EQ(info["points"], 4);
  EXPECT_EQ(info["columns"], 3);
  EXPECT_EQ(info["uncertainty"], true);
  EXPECT_EQ(info["bytes"], 348);
  EXPECT_EQ(info["y"]["min"].get<float>(), 22.1f) << "numbers read back as the same float";
  EXPECT_EQ(info["y"]["mean"].get<float>(), 54.875f);
  EXPECT_EQ(info["x"]["range"].get<float>(), 3.0f);
  EXPECT_TRUE(info.contains("seconds"));
}

TEST(CliTest, ImportOptionsChooseTheColumns) {
  TempDir dir;
  WriteFile(dir.File("decay.dat"), kDecay);
  CliRun run = Cli(dir, "info --json --first-column 2 --columns 2 --generate-x 10,0.5 --uncertainty '" +
                         dir.File("decay.dat") + "'");
  ASSERT_EQ(run.status, 0) << run.err;
  const nlohmann::json info = nlohmann::json::parse(run.out);
  EXPECT_EQ(info["x"]["min"].get<float>(), 10.0f);
  EXPECT_EQ(info["x"]["max"].get<float>(), 11.5f);
  EXPECT_EQ(info["uncertainty"], true);

  CliRun bad = Cli(dir, "info --columns 5 '" + dir.File("decay.dat") + "'");
  EXPECT_EQ(bad.status, 2);
  EXPECT_NE(bad.err.find("past the last column"), std::string::npos) << bad.err;
}

TEST(CliTest, UnreadableInputIsABadUsageExit) {
  TempDir dir;
  WriteFile(dir.File("heading.dat"), "only a heading\n");
  for (const std::string& file : {dir.File("missing.dat"), dir.Path(), dir.File("heading.dat")}) {
    CliRun run = Cli(dir, "info '" + file + "'");
    EXPECT_EQ(run.status, 2) << file;
    EXPECT_FALSE(run.err.empty()) << file;
  }
  EXPECT_EQ(Cli(dir, "info").status, 2) << "FILE is required";
  EXPECT_EQ(Cli(dir, "").status, 2) << "a command is required";
}

TEST(CliTest, DataAppliesStepsInOrderAndWrites) {
  TempDir dir;
  WriteFile(dir.File("decay.dat"), kDecay);
  const std::string out = dir.File("out.dat");
  CliRun run = Cli(dir, "data '" + dir.File("decay.dat") + "' -o '" + out +
                         "' --scale 2,0.5 --sort y --transform 'y:ln(x)'");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(ReadFile(out),
            "6\t2.40243\t-0.916291\n"
            "4\t2.91506\t-0.693147\n"
            "2\t3.4095\t-0.510826\n"
            "0\t3.91202\t-0.287682\n");

  // The same steps in another order give another result: sort first, then swap.
  run = Cli(dir, "data '" + dir.File("decay.dat") + "' -o '" + out + "' --sort y --swap --translate 1,0");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(ReadFile(out).substr(0, 12), "23.1\t3\t0.8\n3");
}

TEST(CliTest, ARefusedStepWritesNothing) {
  TempDir dir;
  WriteFile(dir.File("decay.dat"), kDecay);
  const std::string out = dir.File("out.dat");
  WriteFile(out, "previous contents\n");
  for (const std::string& step :
       {std::string("--clip 10,20,0,1"), std::string("--transform 'x:ln(x)'"), std::string("--scale 2,abc"),
        std::string("--transform 'y:nosuch(x)'"), std::string("--sort z")}) {
    CliRun run = Cli(dir, "data '" + dir.File("decay.dat") + "' -o '" + out + "' --scale 2,2 " + step);
    EXPECT_EQ(run.status, 1) << step;
    EXPECT_NE(run.err.find("Nothing was written."), std::string::npos) << step << run.err;
    EXPECT_EQ(ReadFile(out), "previous contents\n") << step;
  }
}

}  // namespace
