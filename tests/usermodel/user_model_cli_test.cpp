// trendolin-cli with a user model: `fit -m 539 --expr FORMULA`, run as a
// script would run it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include <nlohmann/json.hpp>

#include "support/cli_run.h"
#include "support/temp_dir.h"

namespace {

using testsupport::TempDir;

using testsupport::CliRun;

using testsupport::Cli;

// y = 3 exp(-0.5 x) + 1 at x = 0, 0.5, ..., 9.5.
std::string DecayFile(const TempDir& dir) {
  std::string text;
  for (int i = 0; i < 20; ++i) {
    const double x = 0.5 * i;
    char line[64];
    std::snprintf(line, sizeof line, "%g\t%.9g\n", x, 3 * std::exp(-0.5 * x) + 1);
    text += line;
  }
  const std::string path = dir.File("decay.dat");
  testsupport::WriteFile(path, text);
  return "'" + path + "'";
}

TEST(UserModelCliTest, ExprFitsTheFormula) {
  TempDir dir;
  const CliRun run = Cli(dir, "fit --json -m user --expr 'A*exp(-b*x)+c' --guess 2,1,0.5 " + DecayFile(dir));
  ASSERT_EQ(run.status, 0) << run.err;
  const nlohmann::json fit = nlohmann::json::parse(run.out);
  EXPECT_EQ(fit["model"], 539);
  EXPECT_EQ(fit["fitted"], true);
  EXPECT_NEAR(fit["parameters"]["a"].get<double>(), 3, 1e-3);
  EXPECT_NEAR(fit["parameters"]["b"].get<double>(), 0.5, 1e-3);
  EXPECT_NEAR(fit["parameters"]["c"].get<double>(), 1, 1e-3);
  EXPECT_EQ(fit["covariance"].size(), 3u);
}

TEST(UserModelCliTest, WithoutExprTheStartFormulaIsFitted) {
  TempDir dir;
  const CliRun run = Cli(dir, "fit --json -m 539 " + DecayFile(dir));
  ASSERT_EQ(run.status, 0) << run.err;
  const nlohmann::json fit = nlohmann::json::parse(run.out);
  EXPECT_EQ(fit["coefficients"].size(), 2u) << "a+b*x";
}

TEST(UserModelCliTest, RefusedFormulasAreBadUsage) {
  TempDir dir;
  const std::string file = DecayFile(dir);
  CliRun run = Cli(dir, "fit -m 539 --expr 'a*x+c' " + file);
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("User Model: The formula is not valid."), std::string::npos) << run.err;

  run = Cli(dir, "fit -m 539 --expr 'x^2' " + file);
  EXPECT_EQ(run.status, 2) << "no parameter";

  const std::string deep = "a*" + std::string(255, '(') + "x" + std::string(255, ')');
  run = Cli(dir, "fit -m 539 --expr '" + deep + "' " + file);
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("User Model: The formula is nested too deeply"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("at most 254 levels deep"), std::string::npos) << run.err;

  run = Cli(dir, "fit -m 504 --expr 'a*x' " + file);
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("--expr"), std::string::npos) << run.err;
}

}  // namespace
