// Expression trees of formulas and their notation in each language.
//
// The trees keep the grouping of the formula exactly (a+(b+c) stays apart
// from (a+b)+c), so that code computes what the program computes. Two
// rewritings change only how a value is written, never the value: a sum of
// a negative term is written as a difference (a + -2x as a - 2x; negation is
// exact), and in LaTeX a chain of divisions is one fraction.
#include "fit/code_expression.h"

#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <functional>

#include "usermodel/expression_reader.h"
#include "usermodel/expression_tokenizer.h"

namespace trendolin::codegen {
namespace {

// ---- reading the interpreter's instructions into a tree ----

// Receives the instructions of the statement "y=FORMULA;" and rebuilds the
// operations as a tree, operand stack and all.
class TreeBuilder final : public InstructionSink {
 public:
  void Emit(const Instruction& in) override {
    if (failed_) return;
    lastWasStoreOfY_ = false;
    switch (in.op) {
      case Op::PushNumber:
        stack_.push_back(Number(in.value));
        return;
      case Op::Load:
        stack_.push_back(Loaded(in.arg));
        return;
      case Op::Store:
        ++stores_;
        lastWasStoreOfY_ = in.arg == kSlotY;
        return;
      case Op::Negate:
        Unary(NodeKind::Negate);
        return;
      case Op::Add:
        Binary(NodeKind::Add);
        return;
      case Op::Subtract:
        Binary(NodeKind::Subtract);
        return;
      case Op::Multiply:
        Binary(NodeKind::Multiply);
        return;
      case Op::Divide:
        Binary(NodeKind::Divide);
        return;
      case Op::Power:
        Binary(NodeKind::Power);
        return;
      case Op::Compare:
        Binary(NodeKind::Compare, in.arg);
        return;
      case Op::Call:
        Unary(NodeKind::Call, in.arg);
        return;
      default:
        failed_ = true;
        return;  // a syntax error, a number too large for a float
    }
  }

  Expr Result(std::string* why) const {
    if (failed_ || stack_.size() != 1) {
      *why = "the formula does not read as an expression";
      return nullptr;
    }
    // The reading's own assignment to y comes last; any other is the formula's.
    if (stores_ != 1 || !lastWasStoreOfY_) {
      *why = "the formula assigns a value to a variable, which code cannot do";
      return nullptr;
    }
    return stack_.back();
  }

 private:
  static Expr Loaded(int slot) {
    if (slot == kSlotY) return Number(0);  // y gets its value only at the end
    if (slot == kSlotX) return Leaf(NodeKind::X);
    if (slot == kSlotPi) return Leaf(NodeKind::Pi);
    if (slot < kFirstParameterSlot) return Leaf(NodeKind::Figure, slot);
    return Leaf(NodeKind::Parameter, slot - kFirstParameterSlot);
  }

  Expr Pop() {
    if (stack_.empty()) {
      failed_ = true;
      return Number(0);
    }
    Expr top = stack_.back();
    stack_.pop_back();
    return top;
  }

  void Unary(NodeKind kind, int index = 0) {
    Expr operand = Pop();
    stack_.push_back(Apply(kind, std::move(operand), nullptr, index));
  }

  void Binary(NodeKind kind, int index = 0) {
    Expr right = Pop();
    Expr left = Pop();
    stack_.push_back(Apply(kind, std::move(left), std::move(right), index));
  }

  std::vector<Expr> stack_;
  int stores_ = 0;
  bool lastWasStoreOfY_ = false;
  bool failed_ = false;
};

// ---- numbers ----

std::string CharsOf(const char* first, const char* last) { return std::string(first, last); }

// The shortest text that reads back as the float `value` holds.
std::string ShortestFloat(double value) {
  char buffer[48];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, static_cast<float>(value)).ptr;
  return CharsOf(buffer, end);
}

// Nine significant digits: every float reads back as itself.
std::string NineDigits(double value) {
  char buffer[48];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 9).ptr;
  return CharsOf(buffer, end);
}

// "1.5e-05" as "1.5 \times 10^{-5}".
std::string LatexScientific(const std::string& text) {
  const std::size_t e = text.find_first_of("eE");
  if (e == std::string::npos) return text;
  std::string mantissa = text.substr(0, e);
  if (mantissa.find('.') != std::string::npos) {
    while (mantissa.back() == '0') mantissa.pop_back();
    if (mantissa.back() == '.') mantissa.pop_back();
  }
  const int exponent = std::atoi(text.c_str() + e + 1);
  return mantissa + " \\times 10^{" + std::to_string(exponent) + "}";
}

// ---- writing a tree ----

// Binding strength of what a node is written as, loosest first.
enum Binding { kSum = 1, kProduct, kSign, kPower, kAtom };

bool LeadsNegative(const Expr& e) {
  switch (e->kind) {
    case NodeKind::Number:
      return e->value < 0;
    case NodeKind::Negate:
      return true;
    case NodeKind::Multiply:
    case NodeKind::Divide:
      return LeadsNegative(e->left);
    default:
      return false;
  }
}

// -e, for an e that LeadsNegative: the sign taken off its first factor.
Expr Flipped(const Expr& e) {
  switch (e->kind) {
    case NodeKind::Number:
      return Number(-e->value, e->fitted);
    case NodeKind::Negate:
      return e->left;
    case NodeKind::Multiply:
    case NodeKind::Divide:
      return Apply(e->kind, Flipped(e->left), e->right);
    default:
      return Apply(NodeKind::Negate, e);
  }
}

struct FunctionNames {
  const char* c;
  const char* python;  // nullptr: the math module lacks it
  const char* spreadsheet;
  const char* latex;
};

// Indexed by FunctionIndex. The factorial is written by the Writer.
constexpr std::array<FunctionNames, kFunctionCount> kFunctions = {{
    {"sqrt", "math.sqrt", "SQRT", "\\sqrt"},
    {"fabs", "math.fabs", "ABS", "abs"},
    {"exp", "math.exp", "EXP", "exp"},
    {"log", "math.log", "LN", "\\ln"},
    {"log", "math.log", "LN", "\\ln"},
    {"log10", "math.log10", "LOG10", "\\log_{10}"},
    {"tan", "math.tan", "TAN", "\\tan"},
    {"cos", "math.cos", "COS", "\\cos"},
    {"sin", "math.sin", "SIN", "\\sin"},
    {"atan", "math.atan", "ATAN", "\\arctan"},
    {"acos", "math.acos", "ACOS", "\\arccos"},
    {"asin", "math.asin", "ASIN", "\\arcsin"},
    {"sinh", "math.sinh", "SINH", "\\sinh"},
    {"cosh", "math.cosh", "COSH", "\\cosh"},
    {"tanh", "math.tanh", "TANH", "\\tanh"},
    {"", "", "FACT", "fact"},
    {"ceil", "math.ceil", "CEILING.MATH", "ceil"},
    {"floor", "math.floor", "INT", "floor"},
    {"j0", nullptr, "BESSELJ", "J_{0}"},
    {"j1", nullptr, "BESSELJ", "J_{1}"},
    {"y0", nullptr, "BESSELY", "Y_{0}"},
    {"y1", nullptr, "BESSELY", "Y_{1}"},
}};

bool IsBessel(int function) { return function >= kFnJ0 && function <= kFnY1; }

const char* RelationText(int relation, CodeLanguage language) {
  const bool sheet = language == CodeLanguage::Spreadsheet;
  switch (static_cast<Relation>(relation)) {
    case Relation::Less:
      return "<";
    case Relation::LessEqual:
      return "<=";
    case Relation::Greater:
      return ">";
    case Relation::GreaterEqual:
      return ">=";
    case Relation::Equal:
      return sheet ? "=" : "==";
    case Relation::NotEqual:
      return sheet ? "<>" : "!=";
    case Relation::None:
      break;
  }
  return "==";
}

class Writer {
 public:
  Writer(CodeLanguage language, const std::string& factorialName, int parameterCount)
      : language_(language), factorial_(factorialName), parameterCount_(parameterCount) {}

  std::string Write(const Expr& e) {
    switch (e->kind) {
      case NodeKind::Number:
        return NumberText(e->value, e->fitted, language_);
      case NodeKind::X:
        return Is(CodeLanguage::Spreadsheet) ? "A1" : "x";
      case NodeKind::Parameter:
        return ParameterName(e->index, parameterCount_);
      case NodeKind::Figure:
        return FigureName(e->index);
      case NodeKind::Pi:
        return PiText();
      case NodeKind::Negate:
        return "-" + Wrapped(e->left, NegateWraps(e->left));
      case NodeKind::Add:
      case NodeKind::Subtract:
        return SumText(*e);
      case NodeKind::Multiply:
        return ProductText(*e);
      case NodeKind::Divide:
        return Is(CodeLanguage::Latex) ? FractionText(e) : QuotientText(*e);
      case NodeKind::Power:
        return PowerText(*e);
      case NodeKind::Call:
        return CallText(e->index, e->left);
      case NodeKind::Compare:
        return CompareText(*e);
    }
    return {};
  }

  const std::string& Why() const { return why_; }

 private:
  bool Is(CodeLanguage language) const { return language_ == language; }
  bool Latex() const { return Is(CodeLanguage::Latex); }

  // " + " in code and LaTeX, "+" in a spreadsheet formula.
  std::string Operator(const char* op) const {
    return Is(CodeLanguage::Spreadsheet) ? std::string(op) : std::string(" ") + op + " ";
  }

  int BindingOf(const Expr& e) const {
    switch (e->kind) {
      case NodeKind::Number:
        return e->value < 0 ? kSign : kAtom;
      case NodeKind::Negate:
        return kSign;
      case NodeKind::Add:
      case NodeKind::Subtract:
        return kSum;
      case NodeKind::Multiply:
        return kProduct;
      case NodeKind::Divide:
        return Latex() ? kAtom : kProduct;  // a fraction
      case NodeKind::Power:
        return Is(CodeLanguage::C) || Is(CodeLanguage::Python) ? kAtom : kPower;  // pow(...) in code
      case NodeKind::Call:
        return Latex() && e->index == kFnExp ? kPower : kAtom;  // e^{...}
      default:
        return kAtom;
    }
  }

  std::string Wrapped(const Expr& e, bool wrap) {
    if (!wrap) return Write(e);
    return Latex() ? "\\left(" + Write(e) + "\\right)" : "(" + Write(e) + ")";
  }

  // A sign before a sign is bracketed (no "--x"). A spreadsheet's sign binds
  // tighter than "^" (-x^2 is (-x)^2 there), so all but single terms are.
  bool NegateWraps(const Expr& operand) const {
    if (Is(CodeLanguage::Spreadsheet)) return BindingOf(operand) < kAtom;
    return BindingOf(operand) < kSign || LeadsNegative(operand);
  }

  std::string PiText() const {
    switch (language_) {
      case CodeLanguage::C:
        return "3.14159265358979324";
      case CodeLanguage::Python:
        return "math.pi";
      case CodeLanguage::Spreadsheet:
        return "PI()";
      case CodeLanguage::Latex:
        return "\\pi";
    }
    return {};
  }

  std::string SumText(const Node& n) {
    bool minus = n.kind == NodeKind::Subtract;
    Expr right = n.right;
    if (LeadsNegative(right)) {
      minus = !minus;
      right = Flipped(right);
    }
    const std::string left = Wrapped(n.left, BindingOf(n.left) < kSum);
    return left + Operator(minus ? "-" : "+") + Wrapped(right, BindingOf(right) <= kSum || LeadsNegative(right));
  }

  std::string ProductText(const Node& n) {
    const std::string left = Wrapped(n.left, BindingOf(n.left) < kProduct);
    const std::string right = Wrapped(n.right, BindingOf(n.right) <= kProduct || LeadsNegative(n.right));
    if (!Latex()) return left + Operator("*") + right;
    // A number before a name, a function or a bracket is written next to it.
    const bool number = n.left->kind == NodeKind::Number ||
                        (n.left->kind == NodeKind::Negate && n.left->left->kind == NodeKind::Number);
    const bool beside =
        number && !right.empty() && (std::isalpha(static_cast<unsigned char>(right[0])) || right[0] == '\\');
    return left + (beside ? " " : " \\cdot ") + right;
  }

  std::string QuotientText(const Node& n) {
    const std::string left = Wrapped(n.left, BindingOf(n.left) < kProduct);
    return left + Operator("/") + Wrapped(n.right, BindingOf(n.right) <= kProduct || LeadsNegative(n.right));
  }

  // a/b/c as one fraction of a over b times c.
  std::string FractionText(const Expr& e) {
    std::vector<Expr> denominators;
    Expr numerator = e;
    while (numerator->kind == NodeKind::Divide) {
      denominators.insert(denominators.begin(), numerator->right);
      numerator = numerator->left;
    }
    std::string text = "\\frac{" + Write(numerator) + "}{";
    for (std::size_t i = 0; i < denominators.size(); ++i) {
      const Expr& d = denominators[i];
      const bool alone = denominators.size() == 1;
      if (i > 0) text += " \\cdot ";
      text += Wrapped(d, !alone && (BindingOf(d) < kProduct || (i > 0 && LeadsNegative(d))));
    }
    return text + "}";
  }

  std::string PowerText(const Node& n) {
    switch (language_) {
      case CodeLanguage::C:
        return "pow(" + Write(n.left) + ", " + Write(n.right) + ")";
      case CodeLanguage::Python:
        return "math.pow(" + Write(n.left) + ", " + Write(n.right) + ")";
      case CodeLanguage::Spreadsheet: {
        const auto single = [&](const Expr& e) { return BindingOf(e) >= kAtom && !LeadsNegative(e); };
        return Wrapped(n.left, !single(n.left)) + "^" + Wrapped(n.right, !single(n.right));
      }
      case CodeLanguage::Latex: {
        // Only a name or a plain unsigned number stands unbracketed below an
        // exponent.
        const Node& base = *n.left;
        const bool plain =
            base.kind == NodeKind::X || base.kind == NodeKind::Pi ||
            (base.kind == NodeKind::Number && base.value >= 0 && Write(n.left).find('\\') == std::string::npos);
        return Wrapped(n.left, !plain) + "^{" + Write(n.right) + "}";
      }
    }
    return {};
  }

  std::string CallText(int function, const Expr& argument) {
    const FunctionNames& names = kFunctions[static_cast<std::size_t>(function)];
    const std::string a = Write(argument);
    switch (language_) {
      case CodeLanguage::C:
        if (function == kFnFact) return factorial_ + "(" + a + ")";
        return std::string(names.c) + "(" + a + ")";
      case CodeLanguage::Python:
        if (function == kFnFact) return factorial_ + "(" + a + ")";
        if (names.python == nullptr) {
          Refuse("Python's math module has no Bessel function " + std::string(FunctionName(function)));
          return {};
        }
        return std::string(names.python) + "(" + a + ")";
      case CodeLanguage::Spreadsheet:
        // FACT truncates its argument, but refuses a negative one, whose
        // factorial is 1 here.
        if (function == kFnFact) return "FACT(MAX(" + a + ",0))";
        if (IsBessel(function)) {
          return std::string(names.spreadsheet) + "(" + a + "," + (function == kFnJ0 || function == kFnY0 ? "0" : "1") +
                 ")";
        }
        return std::string(names.spreadsheet) + "(" + a + ")";
      case CodeLanguage::Latex:
        return LatexCall(function, names.latex, a);
    }
    return {};
  }

  static std::string LatexCall(int function, const char* name, const std::string& a) {
    switch (function) {
      case kFnSqrt:
        return "\\sqrt{" + a + "}";
      case kFnAbs:
        return "\\left|" + a + "\\right|";
      case kFnExp:
        return "e^{" + a + "}";
      case kFnFact:
        return "\\left\\lfloor " + a + "\\right\\rfloor!";
      case kFnCeil:
        return "\\left\\lceil " + a + "\\right\\rceil";
      case kFnFloor:
        return "\\left\\lfloor " + a + "\\right\\rfloor";
      default:
        return std::string(name) + "\\left(" + a + "\\right)";
    }
  }

  // 1 when the comparison holds, else 0.
  std::string CompareText(const Node& n) {
    const std::string left = Write(n.left);
    const std::string right = Write(n.right);
    const std::string op = RelationText(n.index, language_);
    switch (language_) {
      case CodeLanguage::C:
        return "(" + left + " " + op + " " + right + " ? 1.0 : 0.0)";
      case CodeLanguage::Python:
        return "(1.0 if " + left + " " + op + " " + right + " else 0.0)";
      case CodeLanguage::Spreadsheet:
        return "IF(" + left + op + right + ",1,0)";
      case CodeLanguage::Latex:
        Refuse("a comparison (" + op + ") has no LaTeX form");
        return {};
    }
    return {};
  }

  // The first construct the language lacks is the one told.
  void Refuse(const std::string& why) {
    if (why_.empty()) why_ = why;
  }

  CodeLanguage language_;
  std::string factorial_;
  int parameterCount_;
  std::string why_;
};

void Visit(const Expr& e, const std::function<void(const Node&)>& visit) {
  if (!e) return;
  visit(*e);
  Visit(e->left, visit);
  Visit(e->right, visit);
}

constexpr std::array<const char*, kFirstParameterSlot> kFigureNames = {
    "y", "x", "pi", "avgx", "avgy", "stdx", "stdy", "minx", "maxx", "miny", "maxy",
};

}  // namespace

Expr Number(double value, bool fitted) {
  auto node = std::make_shared<Node>();
  node->kind = NodeKind::Number;
  node->value = value;
  node->fitted = fitted;
  return node;
}

Expr Leaf(NodeKind kind, int index) {
  auto node = std::make_shared<Node>();
  node->kind = kind;
  node->index = index;
  return node;
}

Expr Apply(NodeKind kind, Expr left, Expr right, int index) {
  auto node = std::make_shared<Node>();
  node->kind = kind;
  node->index = index;
  node->left = std::move(left);
  node->right = std::move(right);
  return node;
}

Expr ReadExpression(std::string_view formula, int parameterCount, char decimal, std::string* why) {
  TreeBuilder builder;
  ReadFormula(formula, parameterCount, decimal, builder);
  return builder.Result(why);
}

Expr Substitute(const Expr& e, const std::vector<double>& parameters, const DataSummary& figures) {
  if (!e) return e;
  switch (e->kind) {
    case NodeKind::Parameter:
      return Number(parameters.at(static_cast<std::size_t>(e->index)), true);
    case NodeKind::Figure:
      return Number(FigureValue(e->index, figures), true);
    default:
      break;
  }
  if (!e->left) return e;
  Expr left = Substitute(e->left, parameters, figures);
  // The sign of a value goes into the number: -(-2) is written 2.
  if (e->kind == NodeKind::Negate && left->kind == NodeKind::Number) return Number(-left->value, left->fitted);
  return Apply(e->kind, std::move(left), Substitute(e->right, parameters, figures), e->index);
}

Uses UsesOf(const Expr& e) {
  Uses uses;
  std::array<bool, kFirstParameterSlot> figure{};
  Visit(e, [&](const Node& n) {
    if (n.kind == NodeKind::Figure) figure[static_cast<std::size_t>(n.index)] = true;
    if (n.kind == NodeKind::Call && n.index == kFnFact) uses.factorial = true;
    if (n.kind == NodeKind::Call && IsBessel(n.index)) uses.bessel = true;
  });
  for (int slot = 0; slot < kFirstParameterSlot; ++slot) {
    if (figure[static_cast<std::size_t>(slot)]) uses.figures.push_back(slot);
  }
  return uses;
}

std::string ParameterName(int index, int count) {
  if (count <= 26) return std::string(1, static_cast<char>('a' + index));
  return "c" + std::to_string(index);
}

std::string FigureName(int slot) {
  if (slot < 0 || slot >= kFirstParameterSlot) return {};
  return kFigureNames[static_cast<std::size_t>(slot)];
}

double FigureValue(int slot, const DataSummary& figures) {
  switch (slot) {
    case kSlotAvgX:
      return figures.avgx;
    case kSlotAvgY:
      return figures.avgy;
    case kSlotStdX:
      return figures.stdx;
    case kSlotStdY:
      return figures.stdy;
    case kSlotMinX:
      return figures.minx;
    case kSlotMaxX:
      return figures.maxx;
    case kSlotMinY:
      return figures.miny;
    case kSlotMaxY:
      return figures.maxy;
    default:
      return 0;
  }
}

std::string NumberText(double value, bool fitted, CodeLanguage language) {
  std::string text = fitted ? NineDigits(value) : ShortestFloat(value);
  switch (language) {
    case CodeLanguage::C:
    case CodeLanguage::Python:
      if (text.find_first_of(".e") == std::string::npos) text += ".0";
      return text;
    case CodeLanguage::Spreadsheet:
      for (char& c : text) {
        if (c == 'e') c = 'E';
      }
      return text;
    case CodeLanguage::Latex: {
      // Far from 1 a fitted value reads best as a power of ten.
      const double magnitude = std::fabs(value);
      if (fitted && value != 0 && (magnitude < 1e-3 || magnitude >= 1e6)) {
        char buffer[48];
        const auto end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 8).ptr;
        return LatexScientific(CharsOf(buffer, end));
      }
      return LatexScientific(text);
    }
  }
  return text;
}

std::string WriteExpression(const Expr& e, CodeLanguage language, const std::string& factorialName, int parameterCount,
                            std::string* why) {
  Writer writer(language, factorialName, parameterCount);
  std::string text = writer.Write(e);
  if (!writer.Why().empty()) {
    *why = writer.Why();
    return {};
  }
  return text;
}

}  // namespace trendolin::codegen
