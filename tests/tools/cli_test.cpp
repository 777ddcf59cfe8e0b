// trendolin-cli end to end: the real program run on real files, as a script would.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "support/cli_run.h"
#include "support/temp_dir.h"

namespace {

using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WriteFile;

using testsupport::CliRun;

using testsupport::Cli;

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

// Input that is no regular file, and output that cannot be written, are
// reported with the file and the system's reason; a named pipe is refused
// at once instead of waiting for a writer.
TEST(CliTest, FilesThatCannotBeReadOrWrittenNameTheReason) {
  TempDir dir;
  WriteFile(dir.File("decay.dat"), kDecay);
  const std::string fifo = dir.File("pipe.dat");
  ASSERT_EQ(std::system(("mkfifo '" + fifo + "'").c_str()), 0);
  const std::pair<std::string, std::string> inputs[] = {
      {dir.Path(), dir.Path() + ": Is a directory"},
      {fifo, fifo + ": a named pipe (FIFO), not a regular file"},
      {dir.File("missing.dat"), dir.File("missing.dat") + ": No such file or directory"},
  };
  for (const auto& [file, reason] : inputs) {
    CliRun run = Cli(dir, "info '" + file + "'");
    EXPECT_EQ(run.status, 2) << file;
    EXPECT_NE(run.err.find("Data File: The data file could not be opened.\n\n" + reason), std::string::npos)
        << run.err;
  }

  // A data line short of numbers is named by its number, with CR-only line
  // ends counted as line ends.
  WriteFile(dir.File("short.dat"), "1 2\r3 4\r5\r7 8\r");
  CliRun shortLine = Cli(dir, "info '" + dir.File("short.dat") + "'");
  EXPECT_EQ(shortLine.status, 2);
  EXPECT_NE(shortLine.err.find(dir.File("short.dat") + ", line 3: the line has fewer numbers than the first data line"),
            std::string::npos)
      << shortLine.err;

  const std::string folder = dir.File("out");
  ASSERT_EQ(std::system(("mkdir '" + folder + "'").c_str()), 0);
  CliRun data = Cli(dir, "data '" + dir.File("decay.dat") + "' -o '" + folder + "'");
  EXPECT_EQ(data.status, 1);
  EXPECT_NE(data.err.find("Data File: The data file could not be written.\n\n" + folder + ": Is a directory"),
            std::string::npos)
      << data.err;
  CliRun table = Cli(dir, "table '" + dir.File("decay.dat") + "' -m 500 --start 0 --end 3 --step 1 -o /dev/full");
  EXPECT_EQ(table.status, 1);
  EXPECT_NE(table.err.find("Table File: The table file could not be written.\n\n"), std::string::npos) << table.err;
  EXPECT_NE(table.err.find("/dev/full: No space left on device"), std::string::npos) << table.err;
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

namespace {

TEST(CliTest, ModelsListsTheCatalogue) {
  TempDir dir;
  CliRun run = Cli(dir, "models --json");
  ASSERT_EQ(run.status, 0) << run.err;
  const nlohmann::json list = nlohmann::json::parse(run.out)["models"];
  ASSERT_EQ(list.size(), 40u);
  EXPECT_EQ(list[22]["id"], 522);
  EXPECT_EQ(list[22]["key"], "logistic-model");
  EXPECT_EQ(list[22]["parameters"], 3);
  EXPECT_EQ(list[22]["prompt"], "Logistic Model, y=a/(1+b*exp(-cx))");
  EXPECT_NE(Cli(dir, "models").out.find("504  exponential"), std::string::npos);
}

// Noise-free exponential decay y = 50 exp(-0.3 x).
std::string ExponentialData() {
  std::string text = "x y\n";
  for (int i = 0; i <= 10; ++i) {
    char line[64];
    std::snprintf(line, sizeof line, "%d %.7g\n", i, 50.0 * std::exp(-0.3 * i));
    text += line;
  }
  return text;
}

TEST(CliTest, FitRecoversTheParametersAndReportsJson) {
  TempDir dir;
  WriteFile(dir.File("decay.dat"), ExponentialData());
  CliRun run = Cli(dir, "fit --json -m exponential '" + dir.File("decay.dat") + "'");
  ASSERT_EQ(run.status, 0) << run.err;
  const nlohmann::json fit = nlohmann::json::parse(run.out);
  EXPECT_EQ(fit["model"], 504);
  EXPECT_EQ(fit["fitted"], true);
  EXPECT_EQ(fit["weighting"], 460);
  EXPECT_NEAR(fit["parameters"]["a"].get<double>(), 50.0, 1e-3);
  EXPECT_NEAR(fit["parameters"]["b"].get<double>(), -0.3, 1e-6);
  EXPECT_EQ(fit["coefficients"].size(), 2u);
  EXPECT_EQ(fit["covariance"].size(), 2u);
  EXPECT_NE(fit["comment"].get<std::string>().find("No weighting used. "), std::string::npos);
  EXPECT_TRUE(fit.contains("seconds"));
}

// The statistics beyond S and r: exactly their keys, a parameter object per
// coefficient in formula order, none for an interpolation; and their report.
TEST(CliTest, FitCarriesStatisticsInJsonAndAsAReport) {
  TempDir dir;
  WriteFile(dir.File("decay.dat"), ExponentialData());
  const std::string file = " '" + dir.File("decay.dat") + "'";
  CliRun run = Cli(dir, "fit --json -m exponential" + file);
  ASSERT_EQ(run.status, 0) << run.err;
  const nlohmann::json fit = nlohmann::json::parse(run.out);
  ASSERT_TRUE(fit.contains("statistics")) << run.out;
  const nlohmann::json& stats = fit["statistics"];
  std::vector<std::string> keys;
  for (const auto& item : stats.items()) keys.push_back(item.key());
  std::sort(keys.begin(), keys.end());
  EXPECT_EQ(keys, (std::vector<std::string>{"adjusted_r_squared", "aicc", "bic", "dof", "parameters", "r_squared",
                                            "sse", "weighted"}));
  EXPECT_EQ(stats["dof"], 9);
  EXPECT_EQ(stats["weighted"], false);
  EXPECT_GT(stats["r_squared"].get<double>(), 0.999999);
  ASSERT_EQ(stats["parameters"].size(), 2u);
  const nlohmann::json& b = stats["parameters"][1];
  EXPECT_EQ(b["name"], "b");
  EXPECT_EQ(b["value"].get<float>(), fit["parameters"]["b"].get<float>());
  EXPECT_GT(b["standard_error"].get<double>(), 0.0);
  ASSERT_EQ(b["ci95"].size(), 2u);
  EXPECT_LT(b["ci95"][0].get<double>(), -0.3);
  EXPECT_GT(b["ci95"][1].get<double>(), -0.3);
  const double t = b["value"].get<double>() / b["standard_error"].get<double>();
  EXPECT_NEAR(b["t"].get<double>(), t, 1e-6 * std::fabs(t));

  CliRun spline = Cli(dir, "fit --json -m cubic-spline" + file);
  ASSERT_EQ(spline.status, 0) << spline.err;
  EXPECT_FALSE(nlohmann::json::parse(spline.out).contains("statistics"));

  CliRun report = Cli(dir, "fit -m exponential --report statistics" + file);
  ASSERT_EQ(report.status, 0) << report.err;
  EXPECT_NE(report.out.find("\nFit Statistics:\nParameter\tValue\tStandard Error\tt Value\t95% Lower\t95% Upper\na\t"),
            std::string::npos)
      << report.out;
  EXPECT_NE(report.out.find("\nDegrees of Freedom:\t9\n"), std::string::npos) << report.out;
}

// The iteration history is kept beside the settings file, as the
// workstation keeps it, not in the folder the tool runs in.
TEST(CliTest, TheIterationHistoryIsKeptInTheSettingsFolder) {
  TempDir dir;
  TempDir settings;
  WriteFile(dir.File("decay.dat"), ExponentialData());
  CliRun run = Cli(dir, "--settings '" + settings.Path() + "' fit -m exponential '" + dir.File("decay.dat") + "'");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(ReadFile(settings.File("history.dmp")).rfind("Model: ", 0), 0u);
  EXPECT_FALSE(std::filesystem::exists(dir.File("history.dmp")));
}

TEST(CliTest, FitFailuresAndBadUsage) {
  TempDir dir;
  WriteFile(dir.File("decay.dat"), ExponentialData());
  const std::string file = " '" + dir.File("decay.dat") + "'";
  EXPECT_EQ(Cli(dir, "fit -m nosuchmodel" + file).status, 2);
  EXPECT_EQ(Cli(dir, "fit -m 612" + file).status, 2);
  EXPECT_EQ(Cli(dir, "fit -m 504 --weighting sideways" + file).status, 2);
  EXPECT_EQ(Cli(dir, "fit -m 504 --guess 1,x" + file).status, 2);

  // Starting exactly at the answer, no step can lower chi-square: that is
  // the minimum, and the fit ends there.
  CliRun exact = Cli(dir, "fit --json -m 504 --guess 50,-0.3 --tolerance 0" + file);
  ASSERT_EQ(exact.status, 0) << exact.err;
  EXPECT_EQ(nlohmann::json::parse(exact.out)["comment"],
            "The fit converged to the resolution of single precision in 1 iterations. No weighting used. ");

  // With a = 0, b has no influence and every step is not a number: the fit
  // diverges, is reported, and the repeated dialog is cancelled. The JSON
  // tells the divergence, not the cancellation that ended the retry.
  CliRun run = Cli(dir, "fit --json -m 504 --guess 0,-0.3" + file);
  EXPECT_EQ(run.status, 1);
  const nlohmann::json fit = nlohmann::json::parse(run.out);
  EXPECT_EQ(fit["fitted"], false);
  EXPECT_EQ(fit["error"], 8);
  EXPECT_NE(fit["message"].get<std::string>().find("diverged"), std::string::npos) << fit["message"];
  EXPECT_NE(run.err.find("Error: "), std::string::npos) << run.err;
}

// Each option outside what the Options dialog (or the import dialog) would
// take is refused as bad usage, naming the option; the limits themselves
// stay allowed.
TEST(CliTest, FitOptionsOutsideTheirLimitsAreRefusedByName) {
  TempDir dir;
  WriteFile(dir.File("decay.dat"), ExponentialData());
  const std::string file = " '" + dir.File("decay.dat") + "'";
  const std::pair<std::string, std::string> refused[] = {
      {"--tolerance inf", "--tolerance takes a finite number, 0 or more"},
      {"--tolerance nan", "--tolerance takes a finite number, 0 or more"},
      {"--tolerance -1", "--tolerance takes a finite number, 0 or more"},
      {"--max-iterations -1", "--max-iterations takes a whole number from 0 to 99999"},
      {"--max-iterations 100000", "--max-iterations takes a whole number from 0 to 99999"},
      {"--diverge-iterations 0", "--diverge-iterations takes a whole number from 1 to 9999"},
      {"--diverge-iterations -1", "--diverge-iterations takes a whole number from 1 to 9999"},
      {"--diverge-iterations 10000", "--diverge-iterations takes a whole number from 1 to 9999"},
      {"--guess 50,-0.3,1", "--guess takes one value per coefficient: 2 for Exponential Fit, not 3"},
      {"--guess 50", "--guess takes one value per coefficient: 2 for Exponential Fit, not 1"},
  };
  for (const auto& [option, message] : refused) {
    CliRun run = Cli(dir, "fit -m 504 " + option + file);
    EXPECT_EQ(run.status, 2) << option;
    EXPECT_NE(run.err.find(message), std::string::npos) << option << ": " << run.err;
  }
  // The polynomial has its degree plus one coefficients, the user model one
  // per letter of its formula.
  CliRun poly = Cli(dir, "fit -m 502 --degree 3 --guess 1,2,3" + file);
  EXPECT_EQ(poly.status, 2);
  EXPECT_NE(poly.err.find("4 for 3rd degree Polynomial Fit, not 3"), std::string::npos) << poly.err;
  CliRun user = Cli(dir, "fit -m 539 --expr 'a*exp(b*x)+c' --guess 50,-0.3" + file);
  EXPECT_EQ(user.status, 2);
  EXPECT_NE(user.err.find("3 for User Model, not 2"), std::string::npos) << user.err;
  EXPECT_EQ(Cli(dir, "fit -m 539 --expr 'a*exp(b*x)+c' --guess 50,-0.3,0" + file).status, 0);

  for (const std::string& limits :
       {std::string("--max-iterations 0"), std::string("--max-iterations 99999 --diverge-iterations 9999"),
        std::string("--diverge-iterations 1 --tolerance 0")}) {
    CliRun run = Cli(dir, "fit -m 504 " + limits + file);
    EXPECT_EQ(run.status, 0) << limits << ": " << run.err;
  }

  for (const std::string x : {"nan,1", "inf,1", "1,nan", "1,-inf", "1e39,1"}) {
    CliRun run = Cli(dir, "info --columns 1 --first-column 2 --generate-x " + x + file);
    EXPECT_EQ(run.status, 2) << x;
    EXPECT_NE(run.err.find("The generated x values must be finite"), std::string::npos) << x << run.err;
  }
}

// The fit options are applied after the file is read: opening a file with
// an uncertainty column chooses uncertainty weighting, and --weighting none
// still wins. Guesses for every coefficient replace the automatic ones,
// which are then not even computed (ln of a negative y would fail them).
TEST(CliTest, FitOptionsWinOverTheFileAndGuessesSkipTheAutomaticOnes) {
  TempDir dir;
  WriteFile(dir.File("sigma.dat"), "0 100 1\n1 60 2\n2 37 3\n3 22 1\n4 14 2\n");
  const std::string sigma = " '" + dir.File("sigma.dat") + "'";
  CliRun none = Cli(dir, "fit --json -m 504 --weighting none" + sigma);
  ASSERT_EQ(none.status, 0) << none.err;
  const nlohmann::json unweighted = nlohmann::json::parse(none.out);
  EXPECT_EQ(unweighted["weighting"], 460);
  EXPECT_NE(unweighted["comment"].get<std::string>().find("No weighting used. "), std::string::npos);
  CliRun byDefault = Cli(dir, "fit --json -m 504" + sigma);
  ASSERT_EQ(byDefault.status, 0) << byDefault.err;
  const nlohmann::json weighted = nlohmann::json::parse(byDefault.out);
  EXPECT_EQ(weighted["weighting"], 459);
  EXPECT_NE(weighted["coefficients"], unweighted["coefficients"]);

  WriteFile(dir.File("negative.dat"), "0 -1\n1 2\n2 7\n3 20\n");
  const std::string negative = " '" + dir.File("negative.dat") + "'";
  CliRun automatic = Cli(dir, "fit -m 504" + negative);
  EXPECT_NE(automatic.err.find("Initial Guesses"), std::string::npos) << "the automatic guesses fail";
  CliRun given = Cli(dir, "fit --json -m 504 --guess 1,1" + negative);
  ASSERT_EQ(given.status, 0) << given.err;
  EXPECT_EQ(given.err.find("Initial Guesses"), std::string::npos) << given.err;
  EXPECT_EQ(nlohmann::json::parse(given.out)["fitted"], true);
}

// y = 50 e^(-0.3 x) fitted, then each kind of analysis through the pages.
TEST(CliTest, AnalyzeRunsThePagesOnTheFittedModel) {
  TempDir dir;
  WriteFile(dir.File("decay.dat"), ExponentialData());
  const std::string fit = "analyze '" + dir.File("decay.dat") + "' -m exponential ";

  CliRun y = Cli(dir, fit + "--y-at 2");
  ASSERT_EQ(y.status, 0) << y.err;
  EXPECT_EQ(y.out, "27.4406\n") << "the result as the page shows it";

  CliRun x = Cli(dir, fit + "--x-at 20 --start 1 --json");
  ASSERT_EQ(x.status, 0) << x.err;
  EXPECT_NEAR(nlohmann::json::parse(x.out)["value"].get<double>(), std::log(2.5) / 0.3, 1e-3);

  CliRun integral = Cli(dir, fit + "--integral 0 10 --json");
  ASSERT_EQ(integral.status, 0) << integral.err;
  const nlohmann::json area = nlohmann::json::parse(integral.out);
  EXPECT_NEAR(area["value"].get<double>(), 50.0 / 0.3 * (1.0 - std::exp(-3.0)), 1e-2);
  EXPECT_EQ(area["warning"], "");
  EXPECT_TRUE(area.contains("seconds"));

  CliRun arc = Cli(dir, fit + "--arc 10 0 --json");
  ASSERT_EQ(arc.status, 0) << arc.err;
  EXPECT_LT(nlohmann::json::parse(arc.out)["value"].get<double>(), -20.0) << "reversed limits, negative length";

  // e^3000 overflows: the page shows ERR, the reason goes to standard error.
  CliRun fault = Cli(dir, fit + "--y-at -1e4 --json");
  EXPECT_EQ(fault.status, 1);
  EXPECT_TRUE(nlohmann::json::parse(fault.out)["value"].is_null());
  EXPECT_NE(fault.err.find("overflow"), std::string::npos) << fault.err;
}

TEST(CliTest, AnalyzeRefusalsAndBadUsage) {
  TempDir dir;
  WriteFile(dir.File("decay.dat"), ExponentialData());
  const std::string fit = "analyze '" + dir.File("decay.dat") + "' -m 504 ";
  EXPECT_EQ(Cli(dir, fit).status, 2) << "one analysis is required";
  EXPECT_EQ(Cli(dir, fit + "--y-at 1 --derivative 1").status, 2) << "only one analysis at a time";
  EXPECT_EQ(Cli(dir, fit + "--y-at 1 --start 2").status, 2) << "--start belongs to --x-at";
  EXPECT_EQ(Cli(dir, fit + "--integral 1").status, 2);
  CliRun text = Cli(dir, fit + "--derivative 1x");
  EXPECT_EQ(text.status, 2);
  EXPECT_NE(text.err.find("--derivative: '1x' is not a number"), std::string::npos) << text.err;

  CliRun inverted = Cli(dir, fit + "--integral 10 0");
  EXPECT_EQ(inverted.status, 1);
  EXPECT_EQ(inverted.out, "") << "no result";
  EXPECT_NE(inverted.err.find("Integral: "), std::string::npos) << inverted.err;

  CliRun diverged = Cli(dir, fit + "--guess 0,-0.3 --y-at 1");
  EXPECT_EQ(diverged.status, 1) << "nothing to analyze when the fit fails";
  EXPECT_EQ(diverged.out, "");
}


// y = 2.5 x^1.3 at 30 points of [1, 10], every other point 0.01% up or down.
std::string PowerData() {
  std::string text;
  for (int i = 0; i < 30; ++i) {
    const float x = static_cast<float>(1.0 + 9.0 * i / 29.0);
    const float y = static_cast<float>(2.5 * std::pow(x, 1.3) * (i % 2 ? 0.9999 : 1.0001));
    char line[64];
    std::snprintf(line, sizeof line, "%.9g\t%.9g\n", x, y);
    text += line;
  }
  return text;
}

TEST(CliTest, HuntRanksEveryFittedModelBestFirst) {
  TempDir dir;
  WriteFile(dir.File("power.dat"), PowerData());
  CliRun run = Cli(dir, "hunt --json --groups 766 --max-degree 6 '" + dir.File("power.dat") + "'");
  ASSERT_EQ(run.status, 0) << run.err;
  const nlohmann::json hunt = nlohmann::json::parse(run.out);
  const nlohmann::json& ranking = hunt["ranking"];
  ASSERT_GE(ranking.size(), 5u);
  EXPECT_EQ(ranking[0]["model"], hunt["best"]);
  // The power law, or a model that contains it, is the best.
  const std::vector<int> powerOrWider = {509, 508, 511, 515, 516};
  EXPECT_NE(std::count(powerOrWider.begin(), powerOrWider.end(), hunt["best"].get<int>()), 0) << run.out;
  bool powerFound = false;
  for (std::size_t i = 0; i < ranking.size(); ++i) {
    EXPECT_EQ(ranking[i]["rank"], static_cast<int>(i) + 1);
    if (i > 0) {
      EXPECT_LE(ranking[i - 1]["score"].get<float>(), ranking[i]["score"].get<float>());
    }
    const double s = ranking[i]["standard_error"].get<double>();
    double r = ranking[i]["correlation"].get<double>();
    if (r < 0 || r > 1) r = 0;
    EXPECT_FLOAT_EQ(ranking[i]["score"].get<float>(), static_cast<float>(std::sqrt(4 * s * s + (1 - r) * (1 - r))));
    if (ranking[i]["model"] == 509) {
      powerFound = true;
      EXPECT_EQ(ranking[i]["name"], "Power Equation");
      EXPECT_LT(ranking[i]["score"].get<float>(), 0.015f);
    }
  }
  EXPECT_TRUE(powerFound);
  EXPECT_GE(hunt["degree"].get<int>(), 3);
  EXPECT_LE(hunt["degree"].get<int>(), 6) << "the best polynomial degree tried";
  EXPECT_TRUE(hunt.contains("seconds"));

  CliRun text = Cli(dir, "hunt '" + dir.File("power.dat") + "'");
  ASSERT_EQ(text.status, 0) << text.err;
  EXPECT_EQ(text.out.rfind("Best fit: ", 0), 0u) << text.out;
}

TEST(CliTest, HuntAndGroupsRefusalsAndFailures) {
  TempDir dir;
  WriteFile(dir.File("power.dat"), PowerData());
  WriteFile(dir.File("two.dat"), "1 2\n1 4\n");  // no growth model passes through both
  const std::string power = " '" + dir.File("power.dat") + "'";
  EXPECT_EQ(Cli(dir, "hunt --groups 0" + power).status, 2);
  EXPECT_EQ(Cli(dir, "groups --groups 2048" + power).status, 2);
  CliRun degree = Cli(dir, "hunt --max-degree 29" + power);
  EXPECT_EQ(degree.status, 2) << "the dialog's rule: below the number of points minus one";
  EXPECT_NE(degree.err.find("FitHunter: "), std::string::npos) << degree.err;

  CliRun none = Cli(dir, "hunt --json --groups 32 '" + dir.File("two.dat") + "'");
  EXPECT_EQ(none.status, 1);
  EXPECT_EQ(nlohmann::json::parse(none.out)["best"], -1);
  EXPECT_NE(none.err.find("FitHunter: "), std::string::npos) << none.err;

  CliRun nothing = Cli(dir, "groups --groups 32 '" + dir.File("two.dat") + "'");
  EXPECT_EQ(nothing.status, 1);
  EXPECT_NE(nothing.err.find("Calculate Groups: "), std::string::npos) << nothing.err;
}

TEST(CliTest, GroupsReportsEveryModelOfTheGroups) {
  TempDir dir;
  WriteFile(dir.File("power.dat"), PowerData());
  CliRun run = Cli(dir, "groups --json --groups 67 '" + dir.File("power.dat") + "'");
  ASSERT_EQ(run.status, 0) << run.err;
  const nlohmann::json groups = nlohmann::json::parse(run.out);
  std::vector<int> ids;
  for (const auto& model : groups["models"]) ids.push_back(model["model"].get<int>());
  EXPECT_EQ(ids, (std::vector<int>{500, 501, 509, 510, 511, 512, 513, 514, 515, 516, 534, 535, 536, 537, 538}))
      << "linear, power law and interpolations, never the plot";
  int windows = 0;
  for (const auto& model : groups["models"]) {
    if (model["outcome"] == "window") {
      ++windows;
      EXPECT_TRUE(model["fitted"].get<bool>()) << model.dump();
    }
    if (model["model"] == 509) {
      EXPECT_EQ(model["outcome"], "window");
      EXPECT_LT(model["standard_error"].get<float>(), 0.0075f);
    }
    if (model["model"] == 537) {
      EXPECT_TRUE(model["standard_error"].is_null()) << "interpolations have no statistics";
    }
  }
  EXPECT_EQ(groups["windows"], windows);
}

}  // namespace

namespace {

TEST(CliTest, FitRunsEveryKindThroughTheModelCommand) {
  TempDir dir;
  WriteFile(dir.File("square.dat"), "1 1\n2 4\n3 9\n4 16\n5 25\n6 36\n");
  const std::string file = " '" + dir.File("square.dat") + "'";
  for (const std::string& model :
       {std::string("linear"), std::string("polynomial --degree 3"), std::string("plot"), std::string("cubic-spline"),
        std::string("tension-spline --tension 4"), std::string("user --expr 'a*x^b' --guess 1,1.5")}) {
    CliRun run = Cli(dir, "fit --json -m " + model + file);
    EXPECT_EQ(run.status, 0) << model << run.err;
    EXPECT_EQ(nlohmann::json::parse(run.out)["fitted"], true) << model;
  }
  const nlohmann::json user = nlohmann::json::parse(Cli(dir, "fit --json -m user --expr 'a*x^b' --guess 1,1.5" + file).out);
  EXPECT_NEAR(user["parameters"]["b"].get<double>(), 2.0, 1e-4);

  EXPECT_EQ(Cli(dir, "fit -m polynomial --degree 30" + file).status, 2) << "the degree dialog's own rule";
  EXPECT_EQ(Cli(dir, "fit -m tension-spline --tension -1" + file).status, 2);
  EXPECT_EQ(Cli(dir, "fit -m linear --degree 3" + file).status, 2);
  EXPECT_EQ(Cli(dir, "fit -m user --expr 'a**x'" + file).status, 2);
}

}  // namespace

namespace {

using testsupport::Cli;
using testsupport::CliRun;
using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WriteFile;

// A manipulation whose results would not be finite floats is refused like a
// transform: nothing written, exit 1; generated x values must be finite too.
TEST(CliTest, StepsThatWouldLeaveTheFloatRangeWriteNothing) {
  TempDir dir;
  std::string text;
  for (int i = 1; i <= 10; ++i) text += std::to_string(i) + " " + std::to_string(2 * i) + "\n";
  WriteFile(dir.File("ten.dat"), text);
  const std::string out = dir.File("out.dat");
  WriteFile(out, "previous contents\n");
  for (const std::string& step : {std::string("--scale 1e38,1"), std::string("--scale 1,1e38"),
                                  std::string("--translate 3.3e38,0 --translate 1e38,0"),
                                  std::string("--scale 2,2 --translate 0,-3.4e38 --translate 0,-1e38")}) {
    CliRun run = Cli(dir, "data '" + dir.File("ten.dat") + "' -o '" + out + "' " + step);
    EXPECT_EQ(run.status, 1) << step;
    EXPECT_NE(run.err.find("Nothing was written."), std::string::npos) << step << run.err;
    EXPECT_EQ(ReadFile(out), "previous contents\n") << step;
  }
  for (const std::string& generate : {std::string("nan,1"), std::string("1,inf"), std::string("3e38,1e38")}) {
    CliRun run = Cli(dir, "data '" + dir.File("ten.dat") + "' -o '" + out + "' --columns 1 --first-column 2 --generate-x " + generate);
    EXPECT_EQ(run.status, 2) << generate;
    EXPECT_NE(run.err.find("finite"), std::string::npos) << generate << run.err;
    EXPECT_EQ(ReadFile(out), "previous contents\n") << generate;
  }
}

// Lines with values that are not finite are named, not silently dropped.
TEST(CliTest, InfoWarnsOfSkippedLines) {
  TempDir dir;
  WriteFile(dir.File("holes.dat"), "x y\n1 2\ninf 3\n4 1e39\n5 6\n");
  CliRun run = Cli(dir, "info '" + dir.File("holes.dat") + "'");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("Points: 2\n"), std::string::npos) << run.out;
  EXPECT_NE(run.err.find("Lines skipped: 2, the first of them line 3."), std::string::npos) << run.err;
}

}  // namespace
