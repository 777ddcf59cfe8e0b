// The stack machine of the expression language.
//
// Every value is a float. Operators work on floats; functions and "^" are
// computed in double and rounded to float. Faults are raised at the
// operation that meets them, the way a floating-point trap stops the work at
// the faulting instruction: a non-zero finite number divided by zero, and a
// finite computation whose float result is infinite. Nothing this machine
// computes leaves a division-by-zero or overflow flag pending without
// raising, so callers that test the flags after the evaluation see the same
// outcome.
#include "usermodel/expression_machine.h"

#include <cfenv>
#include <cmath>

#include "precision/errors.h"
#include "precision/fp_guard.h"
#include "precision/math_guard.h"
#include "precision/rounding.h"

namespace trendolin {
namespace {

constexpr int kInlineStack = 64;

[[noreturn]] void RaiseSyntaxError() { RaiseError(kErrExpression, -1); }

bool IsFinite(float v) { return std::isfinite(v); }

// A finite computation whose result does not fit a float overflows.
float CheckedSum(float result, float a, float b) {
  if (std::isinf(result) && IsFinite(a) && IsFinite(b)) fpe_catch(FE_OVERFLOW);
  return result;
}

float Rounded(double value) {
  const auto rounded = static_cast<float>(value);
  if (std::isinf(rounded) && !std::isinf(value)) fpe_catch(FE_OVERFLOW);
  return rounded;
}

float Divide(float a, float b) {
  if (b == 0 && a != 0 && IsFinite(a)) fpe_catch(FE_DIVBYZERO);
  return CheckedSum(a / b, a, b);
}

float Compare(int relation, float a, float b) {
  bool holds = false;
  switch (static_cast<Relation>(relation)) {
    case Relation::Less: holds = a < b; break;
    case Relation::LessEqual: holds = a <= b; break;
    case Relation::Greater: holds = a > b; break;
    case Relation::GreaterEqual: holds = a >= b; break;
    case Relation::Equal: holds = a == b; break;
    case Relation::NotEqual: holds = a != b; break;
    case Relation::None: break;
  }
  return holds ? 1.0f : 0.0f;
}

// 1 x 2 x ... x n with n the argument truncated toward zero; 1 below 1. The
// product is a floating-point one, so 13! and above are right (up to 34!,
// the largest that fits a float) instead of wrapping around like a 32-bit
// integer; from 35 on it overflows.
float Factorial(float argument) {
  if (std::isnan(argument)) return argument;
  const double n = std::trunc(static_cast<double>(argument));
  double product = 1;
  for (double i = 2; i <= n; ++i) {
    product *= i;
    if (product > kDatatypeMax) fpe_catch(FE_OVERFLOW);
  }
  return static_cast<float>(product);
}

// Out of line: a call costs little beside the function itself, and the
// instruction loop stays small.
[[gnu::noinline]] float CallFunction(int index, float argument) {
  const double a = argument;
  switch (static_cast<FunctionIndex>(index)) {
    case kFnSqrt: return Rounded(guarded::sqrt(a));
    case kFnAbs: return std::fabs(argument);
    case kFnExp: return Rounded(guarded::exp(a));
    case kFnLog:
    case kFnLn: return Rounded(guarded::log(a));
    case kFnLog10: return Rounded(guarded::log10(a));
    case kFnTan: return Rounded(guarded::tan(a));
    case kFnCos: return Rounded(std::cos(a));
    case kFnSin: return Rounded(std::sin(a));
    case kFnAtan: return Rounded(std::atan(a));
    case kFnAcos: return Rounded(guarded::acos(a));
    case kFnAsin: return Rounded(guarded::asin(a));
    case kFnSinh: return Rounded(guarded::sinh(a));
    case kFnCosh: return Rounded(guarded::cosh(a));
    case kFnTanh: return Rounded(std::tanh(a));
    case kFnFact: return Factorial(argument);
    case kFnCeil: return std::ceil(argument);
    case kFnFloor: return std::floor(argument);
    case kFnJ0: return Rounded(guarded::j0(a));
    case kFnJ1: return Rounded(guarded::j1(a));
    case kFnY0: return Rounded(guarded::y0(a));
    case kFnY1: return Rounded(guarded::y1(a));
    case kFunctionCount: break;
  }
  RaiseSyntaxError();  // not reached: the reader emits known functions only
}

// Where the instructions read their operands: the variable table, and for
// direct programs x and the parameter vector themselves.
struct Operands {
  float* slots;
  const float* parameters;
  float x;
};

template <EvaluationMode kMode, Op kOp>
inline float Arithmetic(float a, float b) {
  if constexpr (kMode == EvaluationMode::Check) {
    return 1.0f;
  } else if constexpr (kOp == Op::Add) {
    return CheckedSum(a + b, a, b);
  } else if constexpr (kOp == Op::Subtract) {
    return CheckedSum(a - b, a, b);
  } else if constexpr (kOp == Op::Multiply) {
    return CheckedSum(a * b, a, b);
  } else if constexpr (kOp == Op::Divide) {
    return Divide(a, b);
  } else {
    return Rounded(guarded::pow(a, b));
  }
}

// A fused operator: the left operand on the stack, the right one given.
template <EvaluationMode kMode, Op kOp>
inline float* Fused(float* top, float right) {
  top[-1] = Arithmetic<kMode, kOp>(top[-1], right);
  return top;
}

// One instruction on the stack whose next free place is `top`; returns the
// new top. Inlined into the instruction loop: a call per instruction would
// cost about as much as the instruction.
template <EvaluationMode kMode>
[[gnu::always_inline]] inline float* Step(const Instruction& in, float* top, const Operands& operands) {
  constexpr bool kCheck = kMode == EvaluationMode::Check;
  constexpr EvaluationMode M = kMode;
  const float x = operands.x;
  const float number = in.value;
  switch (in.op) {
    case Op::PushNumber: *top = in.value; return top + 1;
    case Op::Load: *top = operands.slots[in.arg]; return top + 1;
    case Op::LoadX: *top = operands.x; return top + 1;
    case Op::LoadParameter: *top = operands.parameters[in.arg]; return top + 1;
    case Op::Store: operands.slots[in.arg] = top[-1]; return top;
    case Op::Negate: top[-1] = -top[-1]; return top;
    case Op::Add: return Fused<M, Op::Add>(top - 1, top[-1]);
    case Op::Subtract: return Fused<M, Op::Subtract>(top - 1, top[-1]);
    case Op::Multiply: return Fused<M, Op::Multiply>(top - 1, top[-1]);
    case Op::Divide: return Fused<M, Op::Divide>(top - 1, top[-1]);
    case Op::Power: return Fused<M, Op::Power>(top - 1, top[-1]);
    case Op::AddX: return Fused<M, Op::Add>(top, x);
    case Op::AddParameter: return Fused<M, Op::Add>(top, operands.parameters[in.arg]);
    case Op::AddNumber: return Fused<M, Op::Add>(top, number);
    case Op::SubtractX: return Fused<M, Op::Subtract>(top, x);
    case Op::SubtractParameter: return Fused<M, Op::Subtract>(top, operands.parameters[in.arg]);
    case Op::SubtractNumber: return Fused<M, Op::Subtract>(top, number);
    case Op::MultiplyX: return Fused<M, Op::Multiply>(top, x);
    case Op::MultiplyParameter: return Fused<M, Op::Multiply>(top, operands.parameters[in.arg]);
    case Op::MultiplyNumber: return Fused<M, Op::Multiply>(top, number);
    case Op::DivideX: return Fused<M, Op::Divide>(top, x);
    case Op::DivideParameter: return Fused<M, Op::Divide>(top, operands.parameters[in.arg]);
    case Op::DivideNumber: return Fused<M, Op::Divide>(top, number);
    case Op::PowerX: return Fused<M, Op::Power>(top, x);
    case Op::PowerParameter: return Fused<M, Op::Power>(top, operands.parameters[in.arg]);
    case Op::PowerNumber: return Fused<M, Op::Power>(top, number);
    case Op::Compare: top[-2] = Compare(in.arg, top[-2], top[-1]); return top - 1;
    case Op::Call: top[-1] = kCheck ? 1.0f : CallFunction(in.arg, top[-1]); return top;
    case Op::RaiseSyntax: RaiseSyntaxError();
    case Op::RaiseOverflow: fpe_catch(FE_OVERFLOW);
  }
  return top;
}

template <EvaluationMode kMode>
float RunOnStack(const ExpressionProgram& program, const Operands& operands, float* stack) {
  float* top = stack;
  for (const Instruction& in : program.code) top = Step<kMode>(in, top, operands);
  return program.direct ? top[-1] : operands.slots[kSlotY];
}

// Formulas nested so deep that their stack outgrows the inline one.
template <EvaluationMode kMode>
[[gnu::noinline]] float RunOnHeap(const ExpressionProgram& program, const Operands& operands) {
  std::vector<float> stack(static_cast<std::size_t>(program.maxStack));
  return RunOnStack<kMode>(program, operands, stack.data());
}

template <EvaluationMode kMode>
float Run(const ExpressionProgram& program, int parameterCount, const float* parameters, float x,
          const DataSummary& data) {
  float slots[kVariableSlots];
  if (!program.direct) {
    FillVariableSlots(slots, parameterCount, parameters, x, data);
  } else if (program.readsFixedSlots) {
    FillVariableSlots(slots, 0, parameters, x, data);
  }
  const Operands operands{slots, parameters, x};
  if (program.maxStack > kInlineStack) return RunOnHeap<kMode>(program, operands);
  float stack[kInlineStack];
  return RunOnStack<kMode>(program, operands, stack);
}

}  // namespace

void FillVariableSlots(float* slots, int parameterCount, const float* parameters, float x, const DataSummary& data) {
  slots[kSlotY] = 0;  // y gets its value only when the statement completes
  slots[kSlotX] = x;
  slots[kSlotPi] = kPi;
  slots[kSlotAvgX] = data.avgx;
  slots[kSlotAvgY] = data.avgy;
  slots[kSlotStdX] = data.stdx;
  slots[kSlotStdY] = data.stdy;
  slots[kSlotMinX] = data.minx;
  slots[kSlotMaxX] = data.maxx;
  slots[kSlotMinY] = data.miny;
  slots[kSlotMaxY] = data.maxy;
  for (int i = 0; i < parameterCount; ++i) slots[kFirstParameterSlot + i] = parameters[i];
}

float RunProgram(const ExpressionProgram& program, int parameterCount, const float* parameters, float x,
                 const DataSummary& data, EvaluationMode mode) {
  return mode == EvaluationMode::Check ? Run<EvaluationMode::Check>(program, parameterCount, parameters, x, data)
                                       : Run<EvaluationMode::Evaluate>(program, parameterCount, parameters, x, data);
}

void ImmediateMachine::Emit(const Instruction& instruction) {
  const std::size_t depth = stack_.size();
  stack_.push_back(0);  // room for a push; a step never grows the stack by more
  float* base = stack_.data();
  const Operands operands{slots_, slots_ + kFirstParameterSlot, slots_[kSlotX]};
  float* top = mode_ == EvaluationMode::Check ? Step<EvaluationMode::Check>(instruction, base + depth, operands)
                                              : Step<EvaluationMode::Evaluate>(instruction, base + depth, operands);
  stack_.resize(static_cast<std::size_t>(top - base));
}

}  // namespace trendolin
