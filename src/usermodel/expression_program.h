// The parsed form of a formula: a flat list of stack-machine instructions in
// the order the formula's reading performs them, and the tables of names a
// formula can use.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "usermodel/expression_tokenizer.h"

namespace trendolin {

enum class Op : std::uint8_t {
  PushNumber,     // value
  Load,           // arg: variable slot
  LoadX,          // x itself (direct programs)
  LoadParameter,  // arg: parameter index, read from the parameter vector (direct programs)
  Store,          // arg: variable slot; the value stays on the stack (an assignment yields it)
  Negate,
  Add,
  Subtract,
  Multiply,
  Divide,
  Power,
  Compare,        // arg: Relation
  Call,           // arg: function index
  RaiseSyntax,    // the reading stopped at a syntax error (error 13)
  RaiseOverflow,  // a number too large for a float
  // Direct programs only: an operator whose right operand the instruction
  // before it merely pushed, done as one instruction. Its operand is x, a
  // parameter (arg) or a number (value).
  AddX, AddParameter, AddNumber,
  SubtractX, SubtractParameter, SubtractNumber,
  MultiplyX, MultiplyParameter, MultiplyNumber,
  DivideX, DivideParameter, DivideNumber,
  PowerX, PowerParameter, PowerNumber,
};

struct Instruction {
  Op op = Op::PushNumber;
  std::int32_t arg = 0;
  float value = 0;
};

struct ExpressionProgram {
  std::vector<Instruction> code;
  int maxStack = 0;  // the most values the stack holds at once
  // Nothing is assigned but y, at the very end: x and the parameters are
  // read where they are given (LoadX, LoadParameter and the fused
  // operators) instead of from a variable table built for every
  // evaluation, and the final assignment is left out: the value left on
  // the stack is the result.
  bool direct = false;
  // A direct program that reads y, pi or a data-set figure (Load).
  bool readsFixedSlots = false;
};

// The data-set figures a formula can name.
struct DataSummary {
  float avgx = 0, avgy = 0;
  float stdx = 0, stdy = 0;
  float minx = 0, maxx = 0;
  float miny = 0, maxy = 0;
};

// ---- the variable table ----
//
// Slots in the order the table is searched: y, x, pi, the eight data-set
// figures, then the parameters a, b, c, ... (one per parameter of the model).
enum VariableSlot : int {
  kSlotY = 0,
  kSlotX,
  kSlotPi,
  kSlotAvgX,
  kSlotAvgY,
  kSlotStdX,
  kSlotStdY,
  kSlotMinX,
  kSlotMaxX,
  kSlotMinY,
  kSlotMaxY,
  kFirstParameterSlot,
};

inline constexpr int kMaxFormulaParameters = 19;  // the letters a..s
inline constexpr int kVariableSlots = kFirstParameterSlot + kMaxFormulaParameters;
inline constexpr float kPi = 3.1415927f;

// The slot a (lower-case) name denotes with `parameterCount` parameters, or
// -1 when it is no variable.
int VariableSlotOf(std::string_view name, int parameterCount);

// ---- the function table ----
//
// Each takes one argument in parentheses; angles are in radians.
enum FunctionIndex : int {
  kFnSqrt, kFnAbs, kFnExp, kFnLog, kFnLn, kFnLog10, kFnTan, kFnCos, kFnSin, kFnAtan, kFnAcos,
  kFnAsin, kFnSinh, kFnCosh, kFnTanh, kFnFact, kFnCeil, kFnFloor, kFnJ0, kFnJ1, kFnY0, kFnY1,
  kFunctionCount,
};

// The index of a (lower-case) function name, or -1.
int FunctionIndexOf(std::string_view name);

// The name of function `index` (for messages and tests).
std::string_view FunctionName(int index);

}  // namespace trendolin
