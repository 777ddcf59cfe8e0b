// Formulas as small expression trees, read from the interpreter's language
// and written out in C, Python, spreadsheet or LaTeX notation: the part of
// the model-as-code writer that knows the languages' operators, functions,
// number forms and precedences.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "fit/model_code.h"
#include "usermodel/expression_program.h"

namespace trendolin::codegen {

enum class NodeKind { Number, X, Parameter, Figure, Pi, Negate, Add, Subtract, Multiply, Divide, Power, Call, Compare };

struct Node;
using Expr = std::shared_ptr<const Node>;

struct Node {
  NodeKind kind = NodeKind::Number;
  double value = 0;     // Number
  bool fitted = false;  // Number: a fitted value, written with every digit a float has
  // Parameter: 0 for a; Figure: its variable slot (kSlotAvgX ...); Call: the
  // FunctionIndex; Compare: the Relation.
  int index = 0;
  Expr left, right;  // operands; Negate and Call have only `left`
};

Expr Number(double value, bool fitted = false);
Expr Leaf(NodeKind kind, int index = 0);
Expr Apply(NodeKind kind, Expr left, Expr right = nullptr, int index = 0);

// `formula` read as the interpreter reads it, with `parameterCount`
// parameters a, b, c ...: the same operations in the same grouping. A y the
// formula reads is 0 (it gets its value only at the end). Nullptr, with
// `why`, when the reading stops at an error or the formula assigns to a
// variable of its own: code computes a value, it keeps no variables.
Expr ReadExpression(std::string_view formula, int parameterCount, char decimal, std::string* why);

// `e` with every parameter and data figure replaced by its value, for the
// forms that have no local names (the spreadsheet and LaTeX).
Expr Substitute(const Expr& e, const std::vector<double>& parameters, const DataSummary& figures);

// What the code around an expression must provide.
struct Uses {
  bool factorial = false;
  bool bessel = false;
  std::vector<int> figures;  // variable slots, in slot order
};
Uses UsesOf(const Expr& e);

// The names the C and Python forms give parameter `index` of `count`
// (a, b, c ..., or c0, c1 ... beyond 26) and data figure `slot` ("avgx" ...).
std::string ParameterName(int index, int count);
std::string FigureName(int slot);
double FigureValue(int slot, const DataSummary& figures);

// A number as `language` writes it: fitted values with nine significant
// digits (they read back as the same float), the formula's own constants in
// their shortest form that reads back as the same float; C and Python
// numbers always read as floating point.
std::string NumberText(double value, bool fitted, CodeLanguage language);

// `e` in `language`, its parameters named as ParameterName(i,
// parameterCount) names them. The factorial, which C and Python lack, is a
// call of the function `factorialName` the surrounding code defines. Empty,
// with `why`, when the expression holds something the language cannot
// express.
std::string WriteExpression(const Expr& e, CodeLanguage language, const std::string& factorialName, int parameterCount,
                            std::string* why);

}  // namespace trendolin::codegen
