// The expression interpreter: the language as users type it, the errors and
// their order, the checking mode, the parameter count, hostile text, and the
// parsed form agreeing with the reading of the text.
#include "usermodel/interpreter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "platform/debug_log.h"
#include "precision/errors.h"
#include "precision/fp_guard.h"
#include "usermodel/expression_reader.h"

namespace trendolin {
namespace {

// What one evaluation came to: a value, or the error it raised.
struct Outcome {
  std::optional<float> value;
  int error = 0;
  std::string routine;
};

const DataSummary kData{2.5f, 10, 1.5f, 4, 1, 4, 3, 17};
const std::vector<float> kParams = {1, 2, 3, 4, 5, 6};

Outcome Evaluate(const std::string& formula, int count = 2, float x = 3, bool checking = false,
                 bool direct = false) {
  ClearErrorInfo();
  try {
    const float v = direct ? InterpretFormulaDirect(formula, count, kParams.data(), x, kData, checking)
                           : InterpretFormula(formula, count, kParams.data(), x, kData, checking);
    return Outcome{v, 0, {}};
  } catch (const errnotify&) {
    return Outcome{std::nullopt, ErrorInfo.id, ErrorInfo.routine};
  }
}

float Value(const std::string& formula, int count = 2, float x = 3) {
  const Outcome outcome = Evaluate(formula, count, x);
  EXPECT_TRUE(outcome.value.has_value()) << formula << " raised " << outcome.error;
  return outcome.value.value_or(NAN);
}

int Error(const std::string& formula, int count = 2, float x = 3, bool checking = false) {
  const Outcome outcome = Evaluate(formula, count, x, checking);
  EXPECT_FALSE(outcome.value.has_value()) << formula << " gave " << outcome.value.value_or(0);
  return outcome.error;
}

class InterpreterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetConsoleSink([this](std::string_view text) { log_ += text; });
    DebugFlags = 2;
  }
  void TearDown() override {
    DebugFlags = 0;
    SetConsoleSink({});
    ClearErrorInfo();
  }
  std::string log_;
};

// ---- values ----

struct ValueCase {
  const char* formula;
  float expected;
  const char* why;
};

// a = 1, b = 2 (c = 3, d = 4, e = 5 where the count allows), x = 3.
const ValueCase kValueCases[] = {
    {"a+b*x", 7, "the start-up model"},
    {"2^3^2", 64, "^ is left-associative"},
    {"-2^2", 4, "the sign binds tighter than ^"},
    {"2^-1", 0.5f, "a sign after ^"},
    {"-x+ +b", -1, "a single sign before a primary"},
    {"2x", 2, "no implicit multiplication: 2x is the number 2"},
    {"1e-3", 0.001f, "a minus after e belongs to the number"},
    {"1e+3", 4, "a plus after e ends the number: 1e, +, 3"},
    {"1e3", 1000, "exponent"},
    {"1E-3x", 0.001f, "the number stops where a number cannot go on"},
    {".5*x", 1.5f, "a leading decimal separator"},
    {"0x10", 0, "no hexadecimal: 0x10 reads as 0"},
    {"SQRT(X)*B", std::sqrt(3.0f) * 2, "names are case-insensitive"},
    {"a*x)b", 3, "reading stops at the first token that cannot go on"},
    {"a*x;b", 3, "a character no token starts with ends the formula"},
    {"3<2<1", 0, "one comparison per level: the rest is ignored"},
    {"x<a", 0, "relation false"},
    {"x>=a", 1, "relation true"},
    {"x==3", 1, "equality"},
    {"x!=3", 0, "inequality"},
    {"(x>b)+(x<=b)*10", 1, "relations combine as numbers"},
    {"y", 0, "y is 0 until the statement completes"},
    {"y=x*2", 6, "assigning y itself"},
    {"(b=5)*x+b", 20, "an assignment yields its value; later reads see it"},
    {"a=b=x+1", 4, "assignments associate to the right"},
    {"x=4", 4, "the formula's own assignment is the result"},
    {"=0", 0, "y==0 compares instead of assigning: y stays 0"},
    {"pi", 3.1415927f, "pi is the constant"},
    {"avgx+avgy*stdx-stdy", 2.5f + 15 - 4, "the data-set figures"},
    {"minx*maxx+miny*maxy", 4 + 51, "the data-set extremes"},
    {"a +\tb", 3, "blanks and tabs"},
    {"a+\r\nb", 3, "one CR LF pair is skipped"},
    {"a\r\n\r\n+b", 1, "a second line break ends the formula"},
    {"a*x\r", 3, "a CR at the very end"},
    {"fact(5.9)", 120, "fact truncates its argument"},
    {"fact(0)", 1, "fact below 1"},
    {"fact(13)", 6227020800.0f, "fact in floating point, right from 13 on"},
    {"fact(34)", 2.9523279e38f, "the largest factorial a float holds"},
    {"0/0 != 0/0", 1, "0/0 is a quiet not-a-number"},
};

TEST_F(InterpreterTest, FormulasEvaluateAsTheLanguageSays) {
  for (const ValueCase& c : kValueCases) {
    EXPECT_FLOAT_EQ(Value(c.formula), c.expected) << c.formula << ": " << c.why;
  }
  EXPECT_FLOAT_EQ(Value("e", 5), 5) << "e is the fifth parameter, not Euler's number";
}

TEST_F(InterpreterTest, FunctionsGiveTheirSinglePrecisionResult) {
  struct Case {
    const char* formula;
    double expected;
  };
  const Case cases[] = {
      {"sqrt(2)", std::sqrt(2.0)}, {"abs(-2.5)", 2.5},           {"exp(1.5)", std::exp(1.5)},
      {"log(7)", std::log(7.0)},   {"ln(7)", std::log(7.0)},      {"log10(7)", std::log10(7.0)},
      {"tan(1)", std::tan(1.0)},   {"cos(1)", std::cos(1.0)},     {"sin(1)", std::sin(1.0)},
      {"atan(2)", std::atan(2.0)}, {"acos(0.3)", std::acos(0.3)}, {"asin(0.3)", std::asin(0.3)},
      {"sinh(2)", std::sinh(2.0)}, {"cosh(2)", std::cosh(2.0)},   {"tanh(0.5)", std::tanh(0.5)},
      {"fact(6)", 720},            {"ceil(-1.5)", -1},            {"floor(-1.5)", -2},
      {"j0(2)", ::j0(2.0)},        {"j1(2)", ::j1(2.0)},          {"y0(2)", ::y0(2.0)},
      {"y1(2)", ::y1(2.0)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Value(c.formula), static_cast<float>(c.expected)) << c.formula;
  }
}

// ---- errors ----

struct ErrorCase {
  const char* formula;
  int error;
  const char* why;
};

const ErrorCase kErrorCases[] = {
    {"", kErrExpression, "an empty formula"},
    {"sin x", kErrExpression, "a function without parentheses"},
    {"sin", kErrExpression, "a function name alone"},
    {"(a*x", kErrExpression, "a missing )"},
    {"(1<2<3)", kErrExpression, "a second comparison leaves the ) missing"},
    {"a*.+x", kErrExpression, "a lone decimal separator"},
    {"a*x+c", kErrExpression, "c is not a parameter of a two-parameter model"},
    {"foo*x", kErrExpression, "an unknown name"},
    {"sin=3", kErrExpression, "only variables can be assigned"},
    {"a+", kErrExpression, "an operator at the end"},
    {"a**x", kErrExpression, "two operators in a row"},
    {"--x", kErrExpression, "two signs in a row"},
    {"()", kErrExpression, "empty parentheses"},
    {"sqrt()", kErrExpression, "a function without argument"},
    {"a*\xC3\xA9", kErrExpression, "a non-ASCII letter where an operand belongs"},
    {"\xC3\xA9t\xC3\xA9", kErrExpression, "a formula of non-ASCII letters"},
    {"1/0", kErrDivideByZero, "division by zero"},
    {"1e39", kErrOverflow, "a number too large for a float"},
    {"1e38*10", kErrOverflow, "an operation that overflows"},
    {"exp(100)", kErrOverflow, "a function whose float result overflows"},
    {"fact(35)", kErrOverflow, "the factorial overflows instead of wrapping around"},
    {"sqrt(-1)", kErrDomain, "outside the domain"},
    {"asin(2)", kErrDomain, "outside the domain"},
    {"(-8)^(1/3)", kErrDomain, "a negative number to a fractional power"},
    {"log(0)", kErrSingularity, "a singularity"},
    {"0^-1", kErrSingularity, "zero to a negative power"},
    {"y0(0)", kErrSingularity, "Bessel function of the second kind at 0"},
};

TEST_F(InterpreterTest, BadFormulasAndFaultsRaiseTheirErrors) {
  for (const ErrorCase& c : kErrorCases) {
    EXPECT_EQ(Error(c.formula), c.error) << c.formula << ": " << c.why;
  }
  Error("sqrt(-1)");
  EXPECT_EQ(ErrorInfo.routine, "sqrt") << "math errors name their routine";
  Error("a+");
  EXPECT_EQ(ErrorInfo.FitId, -1) << "a syntax error concerns no model yet";
  EXPECT_EQ(ErrorInfo.routine, "");
}

// The reading performs arithmetic as it goes, one token ahead: an operation
// is done once its right operand and the token after it are read.
TEST_F(InterpreterTest, ErrorsComeInTheOrderTheReadingMeetsThem) {
  const std::string tooLong(80, 'z');
  EXPECT_EQ(Error("1/0+" + tooLong), kErrDivideByZero) << "the division is done before + is followed";
  EXPECT_EQ(Error("1/0 " + tooLong), kErrExpression) << "the token after 0 is read before dividing";
  EXPECT_EQ(Error("sqrt(-1)+sin x"), kErrDomain);
  EXPECT_EQ(Error("sin x+sqrt(-1)"), kErrExpression);
}

// The solver tests the floating-point flags after a batch of evaluations:
// whatever does not raise must leave no fault behind.
TEST_F(InterpreterTest, EvaluationsLeaveNoFaultFlagPending) {
  ClearFpFaults();
  for (const char* formula : {"exp(-1000)*x", "1e-30/1e30", "(x>0)*1e38*3", "0/0", "1e-45*1e-45", "y1(1e-30)"}) {
    Evaluate(formula);
    EXPECT_FALSE(FpFaultPending()) << formula;
  }
  EXPECT_EQ(Error("sqrt(-1)+1e400"), kErrDomain);
  EXPECT_FALSE(FpFaultPending()) << "reading a huge number is no arithmetic";
}

TEST_F(InterpreterTest, InterpretMainLogsItsMarkerAndKeepsTheResult) {
  UserFitResult model;
  model.formula = "a*x+c";
  model.count = 2;
  float result = -7;
  EXPECT_THROW(InterpretMain(model, kParams.data(), 1, result), errnotify);
  EXPECT_EQ(result, -7) << "no partial result";
  EXPECT_EQ(ErrorInfo.id, kErrExpression);
  EXPECT_NE(log_.find("EX: InterpretMain_1\n"), std::string::npos);

  model.formula = "a*x+b";
  InterpretMain(model, kParams.data(), 4, result);
  EXPECT_EQ(result, 6);
}

TEST_F(InterpreterTest, CheckingModeFindsSyntaxErrorsWithoutArithmetic) {
  EXPECT_TRUE(Evaluate("a/0", 1, 1, true).value) << "no division is done";
  EXPECT_EQ(Error("a/0", 1, 1), kErrDivideByZero) << "but evaluation faults";
  EXPECT_TRUE(Evaluate("sqrt(-a)+log(0)", 1, 1, true).value);
  EXPECT_EQ(Evaluate("x*1000", 1, 3, true).value, 1.0f) << "operators yield 1";
  EXPECT_EQ(Evaluate("-x<2", 1, 3, true).value, 1.0f) << "signs and comparisons are processed";
  EXPECT_EQ(Evaluate("x=7", 1, 3, true).value, 7.0f) << "assignments are processed";
  EXPECT_EQ(Error("sin x", 1, 1, true), kErrExpression);
  EXPECT_EQ(Error("a*x+b", 1, 1, true), kErrExpression) << "names missing from the table are found";
  EXPECT_EQ(Error("1e39", 1, 1, true), kErrOverflow) << "numbers are read as usual";
}

// ---- the parameter count ----

TEST_F(InterpreterTest, NumberofParamsCountsDistinctLettersAToS) {
  EXPECT_EQ(NumberofParams("a+b*x"), 2);
  EXPECT_EQ(NumberofParams("a*x+c"), 2) << "counts, does not place";
  EXPECT_EQ(NumberofParams("A*exp(-B*x)+a"), 2) << "case-insensitive, each letter once";
  EXPECT_EQ(NumberofParams("pi*x+y"), 0) << "pi, x and y are no parameters";
  EXPECT_EQ(NumberofParams("s*t*u"), 1) << "only a..s can be parameters";
  EXPECT_EQ(NumberofParams("2a+b"), 1) << "2a is a number token";
  EXPECT_EQ(NumberofParams("a*sin(b)/c)d"), 4) << "the count reads every token to the end";
  EXPECT_EQ(NumberofParams("a*x;b"), 1) << "but stops where the evaluation stops";
  EXPECT_EQ(NumberofParams("a,b"), 0) << "a comma does not end a name";
  EXPECT_EQ(NumberofParams(""), 0);
  EXPECT_EQ(NumberofParams("a+b+c+d+e+f+g+h+i+j+k+l+m+n+o+p+q+r+s+a+b+c+d+e+f+g+h+i+j+k+l+m+n"), 19)
      << "more than 31 parameter tokens";
  EXPECT_EQ(log_.find("EX: NumberofParams_1"), std::string::npos);
  EXPECT_EQ(NumberofParams("a*" + std::string(80, '1')), -1) << "a token longer than 79 characters";
  EXPECT_NE(log_.find("EX: NumberofParams_1\n"), std::string::npos);
}

// ---- hostile text ----

TEST_F(InterpreterTest, HostileTextEndsInADefinedOutcome) {
  EXPECT_EQ(Value(std::string(78, '0') + "1"), 1.0f) << "a token of 79 characters";
  EXPECT_EQ(Error(std::string(79, '0') + "1"), kErrExpression) << "80 characters: an error, not a cut";
  EXPECT_EQ(Value(std::string(200, '(') + "x" + std::string(200, ')')), 3) << "deep but allowed";
  EXPECT_EQ(Error(std::string(3000, '(') + "x" + std::string(3000, ')')), kErrExpression) << "too deep";
  std::string functions;
  for (int i = 0; i < 2000; ++i) functions += "sin(";
  EXPECT_EQ(Error(functions + "x"), kErrExpression);
  std::string chain;
  for (int i = 0; i < 2000; ++i) chain += "x=";
  EXPECT_EQ(Error(chain + "1"), kErrExpression);

  std::string sum = "a";
  while (sum.size() + 4 <= 4096) sum += "+x*b";
  ASSERT_LE(sum.size(), 4096u);
  EXPECT_EQ(Value(sum), 1 + 6.0f * static_cast<float>((sum.size() - 1) / 4));

  EXPECT_EQ(Value(std::string("a*x\0+b", 6)), 3) << "a NUL ends the formula";
  EXPECT_EQ(NumberofParams(std::string("a*x\0+b", 6)), 1);
  EXPECT_EQ(Value("a*x \xC3\xA9t\xC3\xA9"), 3) << "non-ASCII text after the formula is ignored";
  EXPECT_EQ(NumberofParams("\xC3\xA9+a"), 0);
}

// ---- the parsed form ----

// Every formula of this file, evaluated from its parsed form (cached or not)
// and read afresh: the same value, bit for bit, or the same error.
TEST_F(InterpreterTest, ParsedFormAgreesWithReadingTheText) {
  std::vector<std::string> formulas;
  for (const ValueCase& c : kValueCases) formulas.emplace_back(c.formula);
  for (const ErrorCase& c : kErrorCases) formulas.emplace_back(c.formula);
  formulas.push_back("1/0 " + std::string(80, 'z'));
  formulas.push_back("(x<a)*b+(x>=a)*c");
  for (bool checking : {false, true}) {
    for (float x : {-2.0f, 0.0f, 3.0f, 1e30f}) {
      for (const std::string& f : formulas) {
        for (int pass = 0; pass < 2; ++pass) {  // the second pass reads from the cache
          const Outcome parsed = Evaluate(f, 3, x, checking);
          const Outcome direct = Evaluate(f, 3, x, checking, true);
          ASSERT_EQ(parsed.error, direct.error) << f << " at " << x;
          ASSERT_EQ(parsed.routine, direct.routine) << f;
          if (parsed.value) {
            ASSERT_EQ(std::memcmp(&*parsed.value, &*direct.value, sizeof(float)), 0) << f << " at " << x;
          }
        }
      }
    }
  }
}

TEST_F(InterpreterTest, CacheKeysOnTheParameterCount) {
  ClearFormulaCache();
  EXPECT_EQ(Value("a*x+b", 2), 5);
  EXPECT_EQ(Error("a*x+b", 1), kErrExpression) << "b is no parameter with a count of 1";
  EXPECT_EQ(Value("a*x+b", 2), 5);
  EXPECT_EQ(FormulaCacheSize(), 2);
  for (int i = 0; i < 20; ++i) Value("x+" + std::to_string(i));
  EXPECT_LE(FormulaCacheSize(), 8) << "the cache stays small";
}

TEST_F(InterpreterTest, PiecewiseModelSwitchesAtA) {
  const std::vector<float> p = {2, 5, 7};
  for (auto [x, expected] : {std::pair{1.0f, 5.0f}, {1.999f, 5.0f}, {2.0f, 7.0f}, {3.0f, 7.0f}}) {
    EXPECT_EQ(InterpretFormula("(x<a)*b+(x>=a)*c", 3, p.data(), x, kData), expected) << x;
  }
}

}  // namespace
}  // namespace trendolin
