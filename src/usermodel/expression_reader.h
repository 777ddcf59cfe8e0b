// Reading a formula by recursive descent: the grammar of the expression
// language, turned into instructions in the order the reading performs them.
#pragma once

#include <string_view>

#include "usermodel/expression_program.h"

namespace trendolin {

// Parentheses, function arguments and chained assignments nest at most this
// deep; a deeper formula is a syntax error (the reading recurses once per
// level and must not run out of stack on hostile text).
inline constexpr int kMaxNesting = 256;

// Receives the instructions of a reading one by one.
class InstructionSink {
 public:
  virtual ~InstructionSink() = default;
  virtual void Emit(const Instruction& instruction) = 0;
};

// Reads the statement "y=FORMULA;" with `parameterCount` parameters a, b, ...
// and emits its instructions. A syntax error (or a number too large for a
// float) is emitted as a raising instruction at the point where the reading
// meets it, and the reading ends there: whatever the instructions before it
// compute happens first, exactly as when the text is evaluated while it is
// read. The sink may itself throw (a sink that executes as it goes).
void ReadFormula(std::string_view formula, int parameterCount, char decimalSeparator, InstructionSink& sink);

// The parsed form of a formula: the instructions ReadFormula emits.
ExpressionProgram CompileFormula(std::string_view formula, int parameterCount, char decimalSeparator);

}  // namespace trendolin
