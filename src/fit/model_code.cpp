// The fitted model as code: which formula each model computes, with which
// values, and the function, formula or equation around it in each language.
#include "fit/model_code.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <vector>

#include "data/curve_fit.h"
#include "fit/code_expression.h"
#include "fit/engine_state.h"
#include "fit/model_desc.h"
#include "usermodel/expression_tokenizer.h"
#include "usermodel/interpreter.h"

namespace trendolin {
namespace {

using namespace codegen;

// The formulas of the built-in nonlinear models in the interpreter's
// language, grouped exactly as model_functions.cpp computes them (c*x*x
// where it multiplies x by itself, (x-b)*(x-b) in the Gaussian), and where
// that reads poorly, as LaTeX shows them.
struct ModelFormula {
  int id;
  const char* computed;
  const char* shown;  // nullptr: as computed
};

constexpr std::array<ModelFormula, kLastNonlinearModel - kFirstNonlinearModel + 1> kFormulas = {{
    {504, "a*exp(b*x)", nullptr},
    {505, "a*exp(b/x)", nullptr},
    {506, "a+b*ln(x)", nullptr},
    {507, "1/(a+b*ln(x))", nullptr},
    {508, "exp(a+b/x+c*ln(x))", nullptr},
    {509, "a*x^b", nullptr},
    {510, "a*b^x", nullptr},
    {511, "a*(x-b)^c", nullptr},
    {512, "a*x^(b*x)", nullptr},
    {513, "a*x^(b/x)", nullptr},
    {514, "a*b^(1/x)", nullptr},  // two coefficients, though the menu's prompt names only a
    {515, "a*b^x*x^c", nullptr},
    {516, "a*b^(1/x)*x^c", nullptr},
    {517, "1/(a*x+b)", nullptr},
    {518, "1/(a+b*x+c*x*x)", "1/(a+b*x+c*x^2)"},
    {519, "(a+b*x)^(-1/c)", nullptr},
    {520, "1/(a+b*x^c)", nullptr},
    {521, "a*exp(-exp(b-c*x))", nullptr},
    {522, "a/(1+b*exp(-c*x))", nullptr},
    {523, "a-b*exp(-c*x^d)", nullptr},
    {524, "(a*b+c*x^d)/(b+x^d)", nullptr},
    {525, "a/(1+exp(b-c*x))^(1/d)", nullptr},
    {526, "a*x/(x+b)", nullptr},
    {527, "a*(1-exp(-b*x))", nullptr},
    {528, "a*(b-exp(-c*x))", nullptr},
    {529, "a+b*cos(c*x+d)", nullptr},
    {530, "a*exp(-0.5*(x-b)*(x-b)/c/c)", "a*exp(-0.5*(x-b)^2/c^2)"},
    {531, "a+b/x", nullptr},
    {532, "a+b*x+c/x/x", "a+b*x+c/x^2"},
    {533, "(a+b*x)/(1+c*x+d*x*x)", "(a+b*x)/(1+c*x+d*x^2)"},
}};

// One formula with the values it is computed with.
struct Formula {
  Expr computed;
  Expr shown;
  std::vector<double> parameters;
  DataSummary figures;
  std::string text;  // the formula as the program states it, for the comment
};

// c0 + x*(c1 + x*(c2 + ...)): Horner's rule, as the program evaluates
// every polynomial.
Expr Horner(int count) {
  Expr e = Leaf(NodeKind::Parameter, count - 1);
  for (int i = count - 2; i >= 0; --i) {
    // b*x reads better than x*b, and a product is the same either way round.
    Expr product = e->kind == NodeKind::Parameter ? Apply(NodeKind::Multiply, e, Leaf(NodeKind::X))
                                                  : Apply(NodeKind::Multiply, Leaf(NodeKind::X), e);
    e = Apply(NodeKind::Add, Leaf(NodeKind::Parameter, i), product);
  }
  return e;
}

// c0 + c1*x + c2*x^2 + ...: the polynomial as it is read.
Expr PowerSum(int count) {
  Expr e = Leaf(NodeKind::Parameter, 0);
  for (int i = 1; i < count; ++i) {
    Expr power = i == 1 ? Leaf(NodeKind::X) : Apply(NodeKind::Power, Leaf(NodeKind::X), Number(i));
    e = Apply(NodeKind::Add, e, Apply(NodeKind::Multiply, Leaf(NodeKind::Parameter, i), power));
  }
  return e;
}

std::string PowerSumText(int count) {
  std::string text = ParameterName(0, count);
  for (int i = 1; i < count; ++i) {
    text += "+" + ParameterName(i, count) + "*x";
    if (i > 1) text += "^" + std::to_string(i);
  }
  return text;
}

// Comments hold the formula as typed: on one line, never closing a C comment.
std::string CommentText(std::string text) {
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20) c = ' ';
  }
  for (std::size_t at = text.find("*/"); at != std::string::npos; at = text.find("*/", at)) text.insert(at + 1, " ");
  return text;
}

bool IsIdentifier(std::string_view name) {
  if (name.empty() || std::isdigit(static_cast<unsigned char>(name[0]))) return false;
  return std::all_of(name.begin(), name.end(),
                     [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; });
}

bool Among(std::string_view name, std::initializer_list<std::string_view> names) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

bool IsCKeyword(std::string_view name) {
  return Among(name, {"auto",         "break",     "case",           "char",
                      "const",        "continue",  "default",        "do",
                      "double",       "else",      "enum",           "extern",
                      "float",        "for",       "goto",           "if",
                      "inline",       "int",       "long",           "register",
                      "restrict",     "return",    "short",          "signed",
                      "sizeof",       "static",    "struct",         "switch",
                      "typedef",      "union",     "unsigned",       "void",
                      "volatile",     "while",     "_Bool",          "_Complex",
                      "_Imaginary",   "_Alignas",  "_Alignof",       "_Atomic",
                      "_Generic",     "_Noreturn", "_Static_assert", "_Thread_local",
                      "bool",         "true",      "false",          "nullptr",
                      "alignas",      "alignof",   "constexpr",      "static_assert",
                      "thread_local", "typeof",    "typeof_unqual"});
}

// What <math.h> declares (a function of the same name would clash with it,
// a macro would replace it), and main.
bool IsCMathName(std::string_view name) {
  return Among(
      name, {"acos",     "acosh",  "asin",   "asinh",    "atan",      "atan2",     "atanh",      "cbrt",  "ceil",
             "copysign", "cos",    "cosh",   "erf",      "erfc",      "exp",       "exp2",       "expm1", "fabs",
             "fdim",     "floor",  "fma",    "fmax",     "fmin",      "fmod",      "frexp",      "hypot", "ilogb",
             "ldexp",    "lgamma", "llrint", "llround",  "log",       "log10",     "log1p",      "log2",  "logb",
             "lrint",    "lround", "modf",   "nan",      "nearbyint", "nextafter", "nexttoward", "pow",   "remainder",
             "remquo",   "rint",   "round",  "scalbln",  "scalbn",    "sin",       "sinh",       "sqrt",  "tan",
             "tanh",     "tgamma", "trunc",  "j0",       "j1",        "jn",        "y0",         "y1",    "yn",
             "gamma",    "isnan",  "isinf",  "isfinite", "isnormal",  "signbit",   "fpclassify", "main",  "HUGE_VAL",
             "INFINITY", "NAN",    "M_PI",   "M_E"});
}

bool IsPythonKeyword(std::string_view name) {
  return Among(name, {"False", "None",     "True",  "and",    "as",   "assert", "async",  "await",    "break",
                      "class", "continue", "def",   "del",    "elif", "else",   "except", "finally",  "for",
                      "from",  "global",   "if",    "import", "in",   "is",     "lambda", "nonlocal", "not",
                      "or",    "pass",     "raise", "return", "try",  "while",  "with",   "yield"});
}

std::string Quoted(std::string_view name) { return "'" + std::string(name) + "'"; }

const char* PieceLanguageText(CodeLanguage language) {
  return language == CodeLanguage::Spreadsheet ? "spreadsheet formula" : "LaTeX equation";
}

// Why the model cannot be written in the language whatever its result.
std::string KindRefusal(int id, CodeLanguage language) {
  switch (id) {
    case kPlotModel:
      return "the data plot has no model to write as code";
    case kQuadraticSplineModel:
      return "the quadratic spline has no coefficient form to write as code";
    case kTensionSplineModel:
      return "the tension spline has no coefficient form to write as code";
    case kLinearSplineModel:
    case kCubicSplineModel:
      if (language == CodeLanguage::Spreadsheet || language == CodeLanguage::Latex) {
        return std::string("a piecewise model has no single ") + PieceLanguageText(language) +
               "; write it as C or Python code";
      }
      return {};
    default:
      return {};
  }
}

bool FiniteValues(const std::vector<double>& values, const std::string& what, std::string* why) {
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (!std::isfinite(values[i])) {
      *why = what + " " + std::to_string(i) + " is not a finite number, so the fit has no code form";
      return false;
    }
  }
  return true;
}

// The decimal separator the user model's formula was read with.
char UserFormulaDecimal() {
  const UserFitResult& user = CurrentEngine().userModel;
  return user.compiled ? user.compiled->decimal : CurrentDecimalSeparator();
}

// The formula model `id` computes with its stored values.
bool FormulaOf(const ModelDesc& desc, Formula& formula, std::string* why) {
  const int id = desc.id;
  const UserFitResult& user = CurrentEngine().userModel;
  const int count = id == kUserModel ? user.count : StoredCoefficientCount(desc);
  if (count <= 0 || desc.coefficients == nullptr) {
    *why = "there is no fitted result to write; fit the model first";
    return false;
  }
  if (id == kUserModel) {
    formula.computed = ReadExpression(user.formula, count, UserFormulaDecimal(), why);
    formula.figures = CurrentEngine().userModelData;
    formula.text = user.formula;
  } else if (id == kLinearModel || id == kQuadraticModel || id == kPolynomialModel || id == kLagrangeModel) {
    formula.computed = Horner(count);
    formula.shown = PowerSum(count);
    formula.text = PowerSumText(count);
  } else {
    const ModelFormula& f = kFormulas[static_cast<std::size_t>(id - kFirstNonlinearModel)];
    formula.computed = ReadExpression(f.computed, count, '.', why);
    if (f.shown) formula.shown = ReadExpression(f.shown, count, '.', why);
    formula.text = CatalogueEntryOf(id)->formula;
  }
  if (!formula.computed) return false;
  if (!formula.shown) formula.shown = formula.computed;
  formula.parameters.assign(desc.coefficients, desc.coefficients + count);
  for (std::size_t i = 0; i < formula.parameters.size(); ++i) {
    if (!std::isfinite(formula.parameters[i])) {
      *why = "coefficient " + ParameterName(static_cast<int>(i), count) +
             " is not a finite number, so the fit has no code form";
      return false;
    }
  }
  for (int slot : UsesOf(formula.computed).figures) {
    if (!std::isfinite(FigureValue(slot, formula.figures))) {
      *why = "the data figure " + FigureName(slot) + " is not a finite number";
      return false;
    }
  }
  return true;
}

// ---- the text around a formula ----

std::string FactorialName(std::string_view name) { return std::string(name) + "_factorial"; }

// The coefficients and the data figures the formula reads, one constant a
// line: "    const double a = 1.5;" in C, "    a = 1.5" in Python.
std::string Constants(const Formula& f, const Uses& uses, CodeLanguage language) {
  const bool c = language == CodeLanguage::C;
  std::string out;
  const auto constant = [&](const std::string& name, double value) {
    out += std::string(c ? "    const double " : "    ") + name + " = " + NumberText(value, true, language) +
           (c ? ";\n" : "\n");
  };
  const int count = static_cast<int>(f.parameters.size());
  for (int i = 0; i < count; ++i) constant(ParameterName(i, count), f.parameters[static_cast<std::size_t>(i)]);
  for (int slot : uses.figures) constant(FigureName(slot), FigureValue(slot, f.figures));
  return out;
}

// The factorial, which neither C nor Python has as a function of a double.
// Past the largest double it stays infinite, and the loop ends there.
std::string FactorialFunction(std::string_view name, CodeLanguage language) {
  if (language == CodeLanguage::C) {
    return "/* 1 x 2 x ... x n, n the argument truncated toward zero; 1 below 1 */\n"
           "static double " +
           FactorialName(name) +
           "(double v)\n{\n"
           "    double product = 1.0, i;\n"
           "    for (i = 2.0; i <= trunc(v) && product < HUGE_VAL; i += 1.0) product *= i;\n"
           "    return product;\n}\n\n";
  }
  return "def " + FactorialName(name) +
         "(v):\n"
         "    # 1 x 2 x ... x n, n the argument truncated toward zero; 1 below 1\n"
         "    product = 1.0\n"
         "    for i in range(2, math.trunc(v) + 1):\n"
         "        product *= i\n"
         "        if math.isinf(product):\n"
         "            break\n"
         "    return product\n\n\n";
}

// A C or Python function of x that returns the formula's value.
std::string FunctionCode(const Formula& f, const std::string& label, std::string_view name, CodeLanguage language,
                         std::string* why) {
  const bool c = language == CodeLanguage::C;
  const Uses uses = UsesOf(f.computed);
  const int count = static_cast<int>(f.parameters.size());
  const std::string body = WriteExpression(f.computed, language, FactorialName(name), count, why);
  if (body.empty()) return {};
  const std::string comment = CommentText(label + ": y = " + f.text);
  std::string out = c ? "/* " + comment + " */\n" : "# " + comment + "\n";
  // j0, j1, y0 and y1 are the Bessel functions <math.h> declares on POSIX
  // systems.
  if (c && uses.bessel) out += "#define _XOPEN_SOURCE 700\n";
  out += c ? "#include <math.h>\n\n" : "import math\n\n\n";
  if (uses.factorial) out += FactorialFunction(name, language);
  out += c ? "double " + std::string(name) + "(double x)\n{\n" : "def " + std::string(name) + "(x):\n";
  out += Constants(f, uses, language);
  return out + "    return " + body + (c ? ";\n}\n" : "\n");
}

std::string SpreadsheetFormula(const Formula& f, std::string* why) {
  const Expr e = Substitute(f.computed, f.parameters, f.figures);
  const std::string body = WriteExpression(e, CodeLanguage::Spreadsheet, {}, 0, why);
  return body.empty() ? std::string() : "=" + body + "\n";
}

std::string LatexEquation(const Formula& f, const std::string& label, std::string* why) {
  const Expr e = Substitute(f.shown, f.parameters, f.figures);
  const std::string body = WriteExpression(e, CodeLanguage::Latex, {}, 0, why);
  if (body.empty()) return {};
  return "% " + CommentText(label + ": y = " + f.text) + "\n\\begin{equation}\ny = " + body + "\n\\end{equation}\n";
}

// ---- the piecewise models ----

// The pieces of a linear or cubic spline: the knots they are written
// around, and per piece the coefficients of t = x - knot[i], highest power
// first.
struct Pieces {
  std::vector<double> knots;
  std::vector<std::vector<double>> powers;
};

bool PiecesOf(const CurveFit& doc, int id, Pieces& pieces, std::string* why) {
  const InterpResult& record = doc.Interp(id);
  const int n = std::min(doc.nPoints, record.arrayLength);
  if (record.arrayCount == 0 || n < 2) {
    *why = "there are no pieces to write; fit the model first";
    return false;
  }
  // The interval search reads the data's x and the pieces are written
  // around the knots they were built on: the same values, unless the data
  // changed since.
  const datatype* x = doc.Column(0);
  const bool ownKnots = static_cast<int>(record.knots.size()) >= n;
  if (ownKnots && !std::equal(x, x + n, record.knots.begin())) {
    *why = "the data changed since the spline was built; fit it again";
    return false;
  }
  pieces.knots.assign(x, x + n);
  for (int a = 0; a < record.arrayCount; ++a) {
    const std::vector<datatype>& values = record.arrays[static_cast<std::size_t>(a)];
    if (static_cast<int>(values.size()) < n - 1) {
      *why = "there are no pieces to write; fit the model first";
      return false;
    }
    pieces.powers.emplace_back(values.begin(), values.begin() + (n - 1));
  }
  if (!FiniteValues(pieces.knots, "knot", why)) return false;
  for (std::size_t a = 0; a < pieces.powers.size(); ++a) {
    if (!FiniteValues(pieces.powers[a], "value of piece array", why)) return false;
  }
  return true;
}

// "c3", "c2", "c1", "c0": the coefficient arrays of t^3 ... t^0.
std::string PowerArrayName(std::size_t a, std::size_t arrays) { return "c" + std::to_string(arrays - 1 - a); }

// ((c3[i]*t + c2[i])*t + c1[i])*t + c0[i], spaced as in code.
std::string PieceValue(std::size_t arrays) {
  std::string text = PowerArrayName(0, arrays) + "[i]";
  for (std::size_t a = 1; a < arrays; ++a) {
    if (a > 1) text = "(" + text + ")";
    text += " * t + " + PowerArrayName(a, arrays) + "[i]";
  }
  return text;
}

std::string PieceComment(const std::string& label, const Pieces& p) {
  const std::size_t arrays = p.powers.size();
  std::string piece;
  for (std::size_t a = 0; a < arrays; ++a) {
    const std::size_t power = arrays - 1 - a;
    if (a > 0) piece += " + ";
    piece += PowerArrayName(a, arrays) + "[i]";
    if (power > 0) piece += power > 1 ? "*t^" + std::to_string(power) : "*t";
  }
  return label + " through " + std::to_string(p.knots.size()) + " points. On the interval from knot[i] to " +
         "knot[i+1], y = " + piece + " with t = x - knot[i]. The interval is the first whose right knot is " +
         "not left of x: left of the data the first piece goes on, right of it the last.";
}

// Wraps `text` into lines of at most 76 characters, each led by `lead`
// and a space.
std::string WrapText(const std::string& text, const std::string& lead) {
  std::string out;
  std::string line;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find(' ', start);
    if (end == std::string::npos) end = text.size();
    const std::string word = text.substr(start, end - start);
    if (!line.empty() && lead.size() + line.size() + 2 + word.size() > 76) {
      out += lead + " " + line + "\n";
      line.clear();
    }
    if (!word.empty()) line += (line.empty() ? "" : " ") + word;
    start = end + 1;
  }
  return out + lead + " " + line + "\n";
}

// The values, four to a line, each line led by `indent`.
std::string ValueRows(const std::vector<double>& values, CodeLanguage language, const std::string& indent) {
  std::string out;
  for (std::size_t i = 0; i < values.size(); ++i) {
    out += i % 4 == 0 ? indent : " ";
    out += NumberText(values[i], true, language);
    if (i + 1 < values.size()) out += ",";
    if (i % 4 == 3 || i + 1 == values.size()) out += "\n";
  }
  return out;
}

// A C or Python function of x that finds the piece serving x, as the
// program's evaluation finds it, and returns the piece's value.
std::string PiecesCode(const Pieces& p, const std::string& label, std::string_view name, CodeLanguage language) {
  const bool c = language == CodeLanguage::C;
  const std::size_t arrays = p.powers.size();
  const std::string comment = CommentText(PieceComment(label, p));
  std::string out =
      c ? "/*\n" + WrapText(comment, " *") + " */\n#include <math.h>\n\n" : WrapText(comment, "#") + "\n\n";
  out += c ? "double " + std::string(name) + "(double x)\n{\n" : "def " + std::string(name) + "(x):\n";
  const auto array = [&](const std::string& array, const std::vector<double>& values) {
    const std::string rows = ValueRows(values, language, "        ");
    out += c ? "    static const double " + array + "[" + std::to_string(values.size()) + "] = {\n" + rows + "    };\n"
             : "    " + array + " = (\n" + rows + "    )\n";
  };
  array("knot", p.knots);
  for (std::size_t a = 0; a < arrays; ++a) array(PowerArrayName(a, arrays), p.powers[a]);
  const std::string last = std::to_string(p.knots.size() - 2);
  out += c ? "    int i = 0;\n    double t;\n    while (i < " + last + " && !(x <= knot[i + 1])) ++i;\n"
           : "    i = 0\n    while i < " + last + " and not x <= knot[i + 1]:\n        i += 1\n";
  out += c ? "    t = x - knot[i];\n" : "    t = x - knot[i]\n";
  return out + "    return " + PieceValue(arrays) + (c ? ";\n}\n" : "\n");
}

std::string CodeText(CurveFit& doc, const ModelDesc& desc, CodeLanguage language, std::string_view name,
                     std::string* why) {
  if (desc.id == kLinearSplineModel || desc.id == kCubicSplineModel) {
    Pieces pieces;
    if (!PiecesOf(doc, desc.id, pieces, why)) return {};
    return PiecesCode(pieces, desc.name, name, language);
  }
  Formula formula;
  if (!FormulaOf(desc, formula, why)) return {};
  switch (language) {
    case CodeLanguage::C:
    case CodeLanguage::Python:
      return FunctionCode(formula, desc.name, name, language, why);
    case CodeLanguage::Spreadsheet:
      return SpreadsheetFormula(formula, why);
    case CodeLanguage::Latex:
      return LatexEquation(formula, desc.name, why);
  }
  return {};
}

}  // namespace

std::optional<CodeLanguage> CodeLanguageNamed(std::string_view word) {
  if (word == "c") return CodeLanguage::C;
  if (word == "python") return CodeLanguage::Python;
  if (word == "spreadsheet") return CodeLanguage::Spreadsheet;
  if (word == "latex") return CodeLanguage::Latex;
  return std::nullopt;
}

const char* CodeLanguageLabel(CodeLanguage language) {
  switch (language) {
    case CodeLanguage::C:
      return "C";
    case CodeLanguage::Python:
      return "Python";
    case CodeLanguage::Spreadsheet:
      return "spreadsheet";
    case CodeLanguage::Latex:
      return "LaTeX";
  }
  return "";
}

std::string DefaultCodeName(int id) { return ModelLabelWord(id, '_'); }

std::string CodeNameProblem(CodeLanguage language, std::string_view name) {
  if (language != CodeLanguage::C && language != CodeLanguage::Python) return {};
  const std::string label = CodeLanguageLabel(language);
  if (!IsIdentifier(name)) {
    return Quoted(name) + " is not a " + label + " name: a letter or '_' first, then letters, digits or '_'";
  }
  if (language == CodeLanguage::C) {
    if (IsCKeyword(name)) return Quoted(name) + " is a keyword of C";
    if (IsCMathName(name)) return Quoted(name) + " is taken by <math.h> or the program's entry point";
    if (name.size() > 1 && name[0] == '_' && (name[1] == '_' || std::isupper(static_cast<unsigned char>(name[1])))) {
      return Quoted(name) + " is reserved to the C implementation";
    }
    return {};
  }
  if (IsPythonKeyword(name)) return Quoted(name) + " is a keyword of Python";
  if (Among(name, {"math", "range"})) return Quoted(name) + " would hide the " + std::string(name) + " the code uses";
  return {};
}

ModelCode FormatModelCode(CurveFit& doc, int id, CodeLanguage language, std::string_view name) {
  ModelCode code;
  if (!CatalogueEntryOf(id)) {
    code.refusal = "no model has the id " + std::to_string(id);
    return code;
  }
  const ModelDesc desc = DescriptorOf(doc, id);
  const auto refuse = [&](const std::string& why) {
    code.refusal = desc.name + ": " + why + ".";
    return code;
  };
  if (std::string why = KindRefusal(id, language); !why.empty()) return refuse(why);
  if (std::string problem = CodeNameProblem(language, name); !problem.empty()) return refuse(problem);
  if (id == kUserModel) {
    // The formula decides what can be written before any fit does.
    std::string why;
    const UserFitResult& user = CurrentEngine().userModel;
    const Expr e = ReadExpression(user.formula, user.count, UserFormulaDecimal(), &why);
    if (e) WriteExpression(e, language, FactorialName(name), user.count, &why);
    if (!why.empty()) return refuse(why);
  }
  if (!doc.IsFitted(id, -1)) return refuse("there is no fitted result to write; fit the model first");
  std::string why;
  code.text = CodeText(doc, desc, language, name, &why);
  if (code.text.empty()) return refuse(why.empty() ? "it has no code form" : why);
  return code;
}

}  // namespace trendolin
