// trendolin-cli export --as: the fitted model written as code. The C is
// compiled with the system's compiler and the Python run with the system's
// interpreter, and both must give the values the program computes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "data/curve_fit.h"
#include "fit/model_code.h"
#include "session/model_code_file.h"
#include "session/session.h"
#include "support/cli_run.h"
#include "support/temp_dir.h"

namespace {

using testsupport::Cli;
using testsupport::CliRun;
using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WriteFile;

// A saturating growth curve, slightly noisy: every built-in model fits it.
const char* kGrowth =
    "1 3.3486\n1.8 4.6917\n2.6 6.0536\n3.4 7.3188\n4.2 8.2277\n5 8.9548\n"
    "5.8 9.317\n6.6 9.6627\n7.4 9.7346\n8.2 9.9209\n9 9.8777\n9.8 10.008\n";
constexpr double kGrowthScale = 10;  // the largest y
// Ten x values, exact in binary, so the code and the program see the same
// x: left of the data, on and between the points, right of it.
const std::vector<double> kGrowthX = {0.5, 1, 1.25, 2.25, 3.875, 5, 6.5, 8.25, 9.75, 11};

// Few points, for the interpolations: the polynomial through twelve points
// cancels too much in the program's own float arithmetic to compare.
const char* kLine = "1 5.1\n2 7.9\n3 11.2\n4 13.8\n5 17.1\n6 19.9\n";
constexpr double kLineScale = 20;
const std::vector<double> kLineX = {0.5, 1, 1.25, 2.5, 3, 3.375, 4.625, 5.5, 6, 6.75};

// The program rounds every library result and every partial sum of its
// formulas to float (unit roundoff 6e-8); the code computes in double. A
// few roundings, amplified by the cancellation these formulas meet on these
// data, stay far below 1e-5 of the curve's size, while a wrong coefficient,
// grouping, function or piece is off by far more.
constexpr double kTolerance = 1e-5;

// A user formula with functions, powers, a sign that binds tighter than
// "^" (c*-x^2 is c*(-x)^2) and "^" read from the left.
const char* kUserFormula = "a*sqrt(x)+b*exp(-x/4)+c*-x^2+d*log10(x)^2^0.5";

// One model fitted to one data file and written as one function.
struct Fitted {
  std::string function;  // --name
  std::string model;     // -m and the fit's options
  bool line = false;     // on kLine instead of kGrowth
};

bool HaveCompiler() { return std::system("command -v cc >/dev/null 2>&1") == 0; }
bool HavePython() { return ::access("/usr/bin/python3", X_OK) == 0; }

std::string XText(double x) {
  std::ostringstream out;
  out.precision(17);
  out << x;
  return out.str();
}

class ModelCodeCliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFile(dir_.File("growth.dat"), kGrowth);
    WriteFile(dir_.File("line.dat"), kLine);
  }

  static std::string Data(const Fitted& f) { return f.line ? "line.dat" : "growth.dat"; }
  static const std::vector<double>& Xs(const Fitted& f) { return f.line ? kLineX : kGrowthX; }

  CliRun Export(const std::string& args) { return Cli(dir_, "export " + args); }

  // Writes the code of every model into one file, the functions side by side.
  std::string CodeOf(const std::vector<Fitted>& models, const std::string& language) {
    std::string code;
    for (const Fitted& f : models) {
      const std::string out = f.function + "." + language;
      const CliRun run =
          Export(Data(f) + " -m " + f.model + " --as " + language + " --name " + f.function + " -o " + out);
      EXPECT_EQ(run.status, 0) << f.model << ": " << run.err;
      code += ReadFile(dir_.File(out)) + "\n";
    }
    return code;
  }

  // y at x as the program computes it: the float analyze prints, or a
  // not-a-number where the program has none (a power outside its domain).
  double ProgramValue(const Fitted& f, double x) {
    const CliRun run = Cli(dir_, "analyze " + Data(f) + " -m " + f.model + " --y-at " + XText(x) + " --json");
    const std::size_t at = run.out.find("\"value\": ");
    if (at == std::string::npos) {
      ADD_FAILURE() << f.model << " at " << x << ": " << run.err;
      return NAN;
    }
    if (run.out.compare(at + 9, 4, "null") == 0) return NAN;
    return std::strtod(run.out.c_str() + at + 9, nullptr);
  }

  // Runs `command` in the test's folder; its standard output.
  std::string Output(const std::string& command) {
    const std::string out = dir_.File("run.out");
    const int status = std::system(("cd '" + dir_.Path() + "' && " + command + " >'" + out + "' 2>&1").c_str());
    EXPECT_EQ(status, 0) << command << ":\n" << ReadFile(out);
    return ReadFile(out);
  }

  // Compiles the models' C with a main that prints every function at its x
  // values: "function value" per line.
  std::string RunC(const std::vector<Fitted>& models) {
    std::string program = CodeOf(models, "c") + "#include <stdio.h>\n\nint main(void)\n{\n";
    for (const Fitted& f : models) {
      for (double x : Xs(f))
        program += "    printf(\"" + f.function + " %.17g\\n\", " + f.function + "(" + XText(x) + "));\n";
    }
    WriteFile(dir_.File("all.c"), program + "    return 0;\n}\n");
    Output("cc -std=c99 -pedantic -Wall -Wextra -Werror -o all all.c -lm");
    return Output("./all");
  }

  std::string RunPython(const std::vector<Fitted>& models) {
    std::string program = CodeOf(models, "python") + "\n";
    for (const Fitted& f : models) {
      for (double x : Xs(f)) program += "print('" + f.function + "', repr(" + f.function + "(" + XText(x) + ")))\n";
    }
    WriteFile(dir_.File("all.py"), program);
    return Output("/usr/bin/python3 all.py");
  }

  // Each function's values in `output` against the program's; returns the
  // largest difference relative to the curve's size.
  double Compare(const std::vector<Fitted>& models, const std::string& output) {
    std::map<std::string, std::vector<double>> values;
    std::istringstream in(output);
    for (std::string name, value; in >> name >> value;) values[name].push_back(std::strtod(value.c_str(), nullptr));
    double worst = 0;
    for (const Fitted& f : models) {
      const std::vector<double>& got = values[f.function];
      EXPECT_EQ(got.size(), Xs(f).size()) << f.function;
      for (std::size_t i = 0; i < std::min(got.size(), Xs(f).size()); ++i) {
        const double x = Xs(f)[i];
        const double expected = ProgramValue(f, x);
        if (std::isnan(expected)) {
          EXPECT_TRUE(std::isnan(got[i]))
              << f.model << " at x = " << x << ": the program has no value, the code " << got[i];
          continue;
        }
        const double scale = std::max(std::fabs(expected), f.line ? kLineScale : kGrowthScale);
        const double difference = std::fabs(got[i] - expected) / scale;
        worst = std::max(worst, difference);
        EXPECT_LE(difference, kTolerance)
            << f.model << " at x = " << x << ": code " << got[i] << ", program " << expected;
      }
    }
    return worst;
  }

  TempDir dir_;
};

// The models named by the task of writing code: each kind of formula and
// the interpolations.
const std::vector<Fitted>& Representative() {
  static const std::vector<Fitted> models = {
      {"m_linear", "linear"},
      {"m_cubic", "polynomial --degree 3"},
      {"m_exponential", "exponential"},
      {"m_power", "power"},
      {"m_logistic", "logistic"},
      {"m_sinusoidal", "sinusoidal"},
      {"m_rational", "rational-function"},
      {"m_user", std::string("user --expr '") + kUserFormula + "'"},
      {"m_interpolation", "polynomial-interpolation", true},
      {"m_linear_spline", "linear-spline", true},
      {"m_cubic_spline", "cubic-spline", true},
  };
  return models;
}

TEST_F(ModelCodeCliTest, CompiledCGivesTheProgramsValues) {
  if (!HaveCompiler()) GTEST_SKIP() << "no C compiler (cc) on this system";
  const double worst = Compare(Representative(), RunC(Representative()));
  std::cout << "largest difference of C, relative to the curve: " << worst << "\n";
}

TEST_F(ModelCodeCliTest, PythonGivesTheProgramsValues) {
  if (!HavePython()) GTEST_SKIP() << "no /usr/bin/python3 on this system";
  const double worst = Compare(Representative(), RunPython(Representative()));
  std::cout << "largest difference of Python, relative to the curve: " << worst << "\n";
}

TEST_F(ModelCodeCliTest, EveryRegressionModelOfTheCatalogueInC) {
  if (!HaveCompiler()) GTEST_SKIP() << "no C compiler (cc) on this system";
  std::vector<Fitted> models = {{"m500", "500"}, {"m501", "501"}, {"m502", "502"}};
  for (int id = 504; id <= 533; ++id) models.push_back({"m" + std::to_string(id), std::to_string(id)});
  const double worst = Compare(models, RunC(models));
  std::cout << "largest difference over the catalogue, relative to the curve: " << worst << "\n";
}

// The user's functions that only C has, the factorial, which C lacks, and a
// comparison.
TEST_F(ModelCodeCliTest, BesselFactorialAndComparisonsInC) {
  if (!HaveCompiler()) GTEST_SKIP() << "no C compiler (cc) on this system";
  const std::vector<Fitted> models = {{"m_special", "user --expr 'a*j0(x/3)+b*fact(x)/100+c*(x>=5)+d*y1(x)'"}};
  const std::string code = CodeOf(models, "c");
  EXPECT_NE(code.find("#define _XOPEN_SOURCE 700\n#include <math.h>"), std::string::npos) << code;
  EXPECT_NE(code.find("static double m_special_factorial(double v)"), std::string::npos) << code;
  Compare(models, RunC(models));
}

TEST_F(ModelCodeCliTest, TheLinearFitInEveryLanguage) {
  ASSERT_EQ(Export("line.dat -m linear --as c -o fit.c").status, 0);
  EXPECT_EQ(ReadFile(dir_.File("fit.c")),
            "/* Linear Fit: y = a+b*x */\n#include <math.h>\n\ndouble linear(double x)\n{\n"
            "    const double a = 2.07999992;\n    const double b = 2.97714281;\n    return a + b * x;\n}\n");
  ASSERT_EQ(Export("line.dat -m linear --as python --name calibration -o fit.py").status, 0);
  EXPECT_EQ(ReadFile(dir_.File("fit.py")),
            "# Linear Fit: y = a+b*x\nimport math\n\n\ndef calibration(x):\n"
            "    a = 2.07999992\n    b = 2.97714281\n    return a + b * x\n");
  ASSERT_EQ(Export("line.dat -m linear --as spreadsheet -o fit.txt").status, 0);
  EXPECT_EQ(ReadFile(dir_.File("fit.txt")), "=2.07999992+2.97714281*A1\n");
  ASSERT_EQ(Export("line.dat -m linear --as latex -o fit.tex").status, 0);
  EXPECT_EQ(ReadFile(dir_.File("fit.tex")),
            "% Linear Fit: y = a+b*x\n\\begin{equation}\ny = 2.07999992 + 2.97714281 x\n\\end{equation}\n");
}

// A negative coefficient is written as a difference; powers of x as such in
// LaTeX, and by Horner's rule (as the program computes) in a spreadsheet.
TEST_F(ModelCodeCliTest, TheQuadraticFitAsFormulaAndEquation) {
  ASSERT_EQ(Export("growth.dat -m quadratic --as spreadsheet -o q.txt").status, 0);
  const std::regex sheet(R"(=[0-9.]+\+A1\*\([0-9.]+-[0-9.]+\*A1\)\n)");
  EXPECT_TRUE(std::regex_match(ReadFile(dir_.File("q.txt")), sheet)) << ReadFile(dir_.File("q.txt"));
  ASSERT_EQ(Export("growth.dat -m quadratic --as latex -o q.tex").status, 0);
  const std::regex latex(R"(% Quadratic Fit: y = a\+b\*x\+c\*x\^2\n\\begin\{equation\}\n)"
                         R"(y = [0-9.]+ \+ [0-9.]+ x - [0-9.]+ x\^\{2\}\n\\end\{equation\}\n)");
  EXPECT_TRUE(std::regex_match(ReadFile(dir_.File("q.tex")), latex)) << ReadFile(dir_.File("q.tex"));
}

// The user formula's grammar carried over: (-x)^2, ((...)^2)^0.5, pi.
TEST_F(ModelCodeCliTest, TheUserFormulaAsFormulaAndEquation) {
  const std::string model = std::string("user --expr '") + kUserFormula + "+pi'";
  ASSERT_EQ(Export("growth.dat -m " + model + " --as spreadsheet -o u.txt").status, 0);
  std::string text = std::regex_replace(ReadFile(dir_.File("u.txt")), std::regex(R"([0-9]+\.[0-9]+)"), "#");
  EXPECT_EQ(text, "=#*SQRT(A1)-#*EXP(-A1/4)-#*(-A1)^2-#*(LOG10(A1)^2)^#+PI()\n");
  ASSERT_EQ(Export("growth.dat -m " + model + " --as latex -o u.tex").status, 0);
  text = std::regex_replace(ReadFile(dir_.File("u.tex")), std::regex(R"([0-9]+\.[0-9]+)"), "#");
  EXPECT_NE(text.find("y = # \\sqrt{x} - # e^{\\frac{-x}{4}} - # \\left(-x\\right)^{2} - # "
                      "\\left(\\left(\\log_{10}\\left(x\\right)\\right)^{2}\\right)^{#} + \\pi\n"),
            std::string::npos)
      << text;
}

TEST_F(ModelCodeCliTest, WhatCannotBeWrittenIsRefusedAndNothingWritten) {
  WriteFile(dir_.File("keep.txt"), "previous");
  const struct {
    std::string args;
    std::string message;
  } refusals[] = {
      {"line.dat -m linear-spline --as spreadsheet",
       "Linear Spline: a piecewise model has no single spreadsheet formula; write it as C or Python code.\n"},
      {"line.dat -m cubic-spline --as latex",
       "Cubic Spline: a piecewise model has no single LaTeX equation; write it as C or Python code.\n"},
      {"line.dat -m quadratic-spline --as c",
       "Quadratic Spline: the quadratic spline has no coefficient form to write as code.\n"},
      {"line.dat -m tension-spline --as python",
       "Tension Spline: the tension spline has no coefficient form to write as code.\n"},
      {"line.dat -m user --expr 'a*j0(x)+b' --as python",
       "User Model: Python's math module has no Bessel function j0.\n"},
      {"line.dat -m user --expr 'a*x+b*(x>3)' --as latex", "User Model: a comparison (>) has no LaTeX form.\n"},
      {"line.dat -m user --expr 'a*x+(b=b)' --as c",
       "User Model: the formula assigns a value to a variable, which code cannot do.\n"},
  };
  for (const auto& refusal : refusals) {
    const CliRun run = Export(refusal.args + " -o keep.txt");
    EXPECT_EQ(run.status, 1) << refusal.args;
    EXPECT_EQ(run.err, refusal.message) << refusal.args;
    EXPECT_EQ(ReadFile(dir_.File("keep.txt")), "previous") << refusal.args;
  }

  const CliRun run = Export("line.dat -m linear --as c -o no-such-folder/fit.c");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("no-such-folder/fit.c"), std::string::npos) << run.err;
}

TEST_F(ModelCodeCliTest, NamesAreCheckedAsIdentifiers) {
  const struct {
    std::string args;
    std::string message;
  } bad[] = {
      {"--as c --name 2fast", "--name: '2fast' is not a C name: a letter or '_' first, then letters, digits or '_'\n"},
      {"--as c --name for", "--name: 'for' is a keyword of C\n"},
      {"--as c --name exp", "--name: 'exp' is taken by <math.h> or the program's entry point\n"},
      {"--as python --name lambda", "--name: 'lambda' is a keyword of Python\n"},
      {"--as python --name math", "--name: 'math' would hide the math the code uses\n"},
      {"--as python --name my-fit",
       "--name: 'my-fit' is not a Python name: a letter or '_' first, then letters, digits or '_'\n"},
  };
  for (const auto& b : bad) {
    const CliRun run = Export("line.dat -m linear " + b.args + " -o fit.out");
    EXPECT_EQ(run.status, 2) << b.args;
    EXPECT_EQ(run.err, b.message);
    EXPECT_FALSE(std::filesystem::exists(dir_.File("fit.out")));
  }
  // The default is the model's name on the command line.
  ASSERT_EQ(Export("line.dat -m 527 --as c -o fit.c").status, 0);
  EXPECT_NE(ReadFile(dir_.File("fit.c")).find("double exponential_association_2(double x)"), std::string::npos);
  // --name belongs to --as, and the export file's options do not.
  EXPECT_EQ(Export("line.dat -m linear --name f -o fit.out").status, 2);
  EXPECT_EQ(Export("line.dat -m linear --as c --sep comma -o fit.out").status, 2);
}

// In the session, before any fit: nothing to write yet.
TEST(ModelCodeFile, AModelWithoutAResultIsRefused) {
  trendolin::CurveFit& doc = trendolin::CurrentSession().data;
  EXPECT_EQ(trendolin::ModelCodeRefusal(doc, 522, trendolin::CodeLanguage::C),
            "Logistic Model: there is no fitted result to write; fit the model first.");
  EXPECT_EQ(trendolin::ModelCodeRefusal(doc, 538, trendolin::CodeLanguage::C),
            "Tension Spline: the tension spline has no coefficient form to write as code.");
  TempDir dir;
  std::string error;
  EXPECT_EQ(trendolin::WriteModelCodeFile(doc, dir.File("f.py"), 500, trendolin::CodeLanguage::Python, "f", &error), 0);
  EXPECT_EQ(error, "Linear Fit: there is no fitted result to write; fit the model first.");
  EXPECT_FALSE(std::filesystem::exists(dir.File("f.py")));
}

// The name both faces give when the person gives none must be one both
// languages accept, for every model of the catalogue.
TEST(ModelCodeFile, EveryModelsDefaultNameIsAnIdentifier) {
  for (int id = 500; id <= 539; ++id) {
    const std::string name = trendolin::DefaultCodeName(id);
    if (name.empty()) continue;  // no model has this id
    EXPECT_EQ(trendolin::CodeNameProblem(trendolin::CodeLanguage::C, name), "") << id;
    EXPECT_EQ(trendolin::CodeNameProblem(trendolin::CodeLanguage::Python, name), "") << id;
  }
  EXPECT_EQ(trendolin::DefaultCodeName(527), "exponential_association_2");
}

}  // namespace
