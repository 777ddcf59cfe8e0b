// trendolin-cli export, table and fit --report end to end: the real program
// run on real files, the files it writes read back.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "support/cli_run.h"
#include "support/temp_dir.h"

namespace {

using testsupport::CliRun;
using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WriteFile;

using testsupport::Cli;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> Fields(const std::string& line, char separator) {
  std::vector<std::string> fields;
  std::istringstream in(line);
  for (std::string field; std::getline(in, field, separator);) fields.push_back(field);
  return fields;
}

bool StartsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

// A calibration run: roughly y = 2 + 3x.
const char* kLine =
    "1 5.1\n"
    "2 7.9\n"
    "3 11.2\n"
    "4 13.8\n"
    "5 17.1\n"
    "6 19.9\n";

class ExportCliTest : public ::testing::Test {
 protected:
  void SetUp() override { WriteFile(dir_.File("line.dat"), kLine); }
  std::string Data() const { return "'" + dir_.File("line.dat") + "'"; }

  TempDir dir_;
};

TEST_F(ExportCliTest, ALinearFitExportedWithCommas) {
  CliRun run = Cli(dir_, "export " + Data() + " -m linear --sep comma -o out.csv");
  ASSERT_EQ(run.status, 0) << run.err;
  const std::vector<std::string> lines = Lines(ReadFile(dir_.File("out.csv")));
  ASSERT_GT(lines.size(), 8u);
  EXPECT_EQ(lines[0], "\"Trendolin 1.4:  Linear Fit\"");
  EXPECT_EQ(lines[1], "");
  EXPECT_TRUE(StartsWith(lines[2], "\"Standard Error:\",,0.")) << lines[2];
  EXPECT_EQ(lines[4], "Weighting Scheme: None");

  // The coefficients, then one line per point: x, y and the fitted value.
  double a = 0, b = 0;
  std::size_t header = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (StartsWith(lines[i], "\"a:\",")) a = std::strtod(lines[i].c_str() + 5, nullptr);
    if (StartsWith(lines[i], "\"b:\",")) b = std::strtod(lines[i].c_str() + 5, nullptr);
    if (lines[i] == "\"X Data\",\"Y Data\",\"Curve fit Data\"") header = i;
  }
  EXPECT_NEAR(b, 3.0, 0.1);
  ASSERT_EQ(lines.size() - header - 1, 6u);
  for (std::size_t i = header + 1; i < lines.size(); ++i) {
    const std::vector<std::string> f = Fields(lines[i], ',');
    ASSERT_EQ(f.size(), 3u) << lines[i];
    const double x = std::stod(f[0]);
    EXPECT_EQ(x, static_cast<double>(i - header));
    EXPECT_NEAR(std::stod(f[2]), a + b * x, 1e-4 * (a + b * x)) << lines[i];
  }

  // Without statistics and coefficients only the title, a blank line, the header and the points remain.
  run = Cli(dir_, "export " + Data() + " -m 500 --sep space --no-statistics --no-coefficients -o out.txt");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Lines(ReadFile(dir_.File("out.txt"))).size(), 3u + 6u);
}

TEST_F(ExportCliTest, AnInterpolationExportHasNoStatisticsButItsNotes) {
  CliRun run = Cli(dir_, "export " + Data() + " -m cubic-spline -o spline.txt");
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string text = ReadFile(dir_.File("spline.txt"));
  EXPECT_NE(text.find("\"Standard Error:\"\t\tN/A\n\"Correlation Coefficient:\"\t\tN/A\n"), std::string::npos);
  EXPECT_EQ(text.find("Weighting Scheme"), std::string::npos);
  EXPECT_NE(text.find("\"NOTE:  For an interpolation type fit, each curve fit point\"\n"
                      "\"will simply equal the data point.  You must generate a table in\"\n"
                      "\"Trendolin to obtain values of the curvefit between data points.\"\n"
                      "\"X Data\"\t\"Y Data\"\t\"Curve fit Data\"\n"
                      "1\t5.1\t5.1\n"),
            std::string::npos)
      << text;
}

TEST_F(ExportCliTest, TablesRunFromStartToEndOrAreRefused) {
  CliRun run = Cli(dir_, "table " + Data() + " -m linear --start 0 --end 1 --step 0.25 -o t.tab");
  ASSERT_EQ(run.status, 0) << run.err;
  const std::vector<std::string> lines = Lines(ReadFile(dir_.File("t.tab")));
  ASSERT_EQ(lines.size(), 5u);
  const char* xs[] = {"0", "0.25", "0.5", "0.75", "1"};
  for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(Fields(lines[i], '\t')[0], xs[i]);

  // From 1 down to 0 the step must be negative.
  run = Cli(dir_, "table " + Data() + " -m linear --start 1 --end 0 --step 0.25 -o down.tab");
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(StartsWith(run.err, "Generate Table: The step must lead from the start value")) << run.err;
  EXPECT_FALSE(std::filesystem::exists(dir_.File("down.tab")));
  run = Cli(dir_, "table " + Data() + " -m linear --start 1 --end 0 --step -0.5 --sep comma -o down.tab");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Lines(ReadFile(dir_.File("down.tab"))).size(), 3u);

  run = Cli(dir_, "table " + Data() + " -m linear --start 0 --end 1 --step 0.1x -o t.tab");
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("--step: '0.1x' is not a number"), std::string::npos) << run.err;
}

TEST_F(ExportCliTest, TheOnePointWhereTheModelFailsReadsErr) {
  CliRun run = Cli(dir_, "table " + Data() + " -m logarithm --start 0 --end 2 --step 1 -o log.tab");
  ASSERT_EQ(run.status, 0) << run.err;
  const std::vector<std::string> lines = Lines(ReadFile(dir_.File("log.tab")));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "0\tERR");
  EXPECT_NE(Fields(lines[1], '\t')[1], "ERR");
  EXPECT_NE(Fields(lines[2], '\t')[1], "ERR");
}

TEST_F(ExportCliTest, FitReportsPrintTheClipboardTexts) {
  CliRun run = Cli(dir_, "fit " + Data() + " -m linear --report");
  ASSERT_EQ(run.status, 0) << run.err;
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 4u + 5u) << run.out;
  EXPECT_EQ(lines[0], "Linear Fit:  y=a+bx");
  EXPECT_EQ(lines[1], "Coefficient Data:");
  EXPECT_TRUE(StartsWith(lines[2], "a =\t"));
  EXPECT_EQ(lines[4], lines[0]) << "every report begins with the header";
  EXPECT_TRUE(StartsWith(lines[5], "Standard Error:    0.")) << lines[5];
  EXPECT_EQ(lines[7], "Comments:");
  EXPECT_EQ(run.out.find('\r'), std::string::npos) << "LF without --crlf";

  CliRun exact = Cli(dir_, "fit " + Data() + " -m exponential --report history,residuals --crlf");
  ASSERT_EQ(exact.status, 0) << exact.err;
  EXPECT_TRUE(StartsWith(exact.out, "Exponential Fit: y=ae^(bx)\r\nChi Square History:\r\nIt 0:\t")) << exact.out;
  EXPECT_NE(exact.out.find("Residual Table:\r\n1\t"), std::string::npos);
  std::string lf = exact.out;
  std::erase(lf, '\r');
  EXPECT_EQ(Cli(dir_, "fit " + Data() + " -m exponential --report history,residuals").out, lf);

  run = Cli(dir_, "fit " + Data() + " -m linear --report coefficients,pictures");
  EXPECT_EQ(run.status, 2);
}

}  // namespace
