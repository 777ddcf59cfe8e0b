// Running the instructions of a formula on single-precision values, with the
// arithmetic faults of the program's error channel.
#pragma once

#include <vector>

#include "usermodel/expression_program.h"
#include "usermodel/expression_reader.h"

namespace trendolin {

// How the arithmetic is done.
enum class EvaluationMode {
  Evaluate,  // every operation and function computed; faults raise errnotify
  Check,     // "+ - * / ^" and every function yield 1: nothing that could fault is computed
};

// The variable table of one evaluation, in the order it is searched: y (0),
// x, pi, the data-set figures, then the parameters (kVariableSlots values).
void FillVariableSlots(float* slots, int parameterCount, const float* parameters, float x, const DataSummary& data);

// Runs `program` with `parameters` (as many as the program was read with)
// at x and returns the value of y afterwards. Raises errnotify: error 13 at
// a syntax error, 1 for a division by zero, 2 for an overflow (a number too
// large for a float, an operation or a function whose result is), and the
// errors of the guarded math routines (5 outside the domain, 6 a
// singularity). 0/0 and other invalid operations quietly give a
// not-a-number value.
float RunProgram(const ExpressionProgram& program, int parameterCount, const float* parameters, float x,
                 const DataSummary& data, EvaluationMode mode);

// A sink that executes every instruction the moment the reader emits it, on
// a variable table (kVariableSlots values, see FillVariableSlots): the
// formula evaluated while it is read, without a parsed form.
class ImmediateMachine : public InstructionSink {
 public:
  ImmediateMachine(float* slots, EvaluationMode mode) : slots_(slots), mode_(mode) {}
  void Emit(const Instruction& instruction) override;

 private:
  float* slots_;
  EvaluationMode mode_;
  std::vector<float> stack_;
};

}  // namespace trendolin
