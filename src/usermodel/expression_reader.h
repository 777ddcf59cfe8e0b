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

// The levels left to the formula itself: reading it as the statement
// "y=FORMULA" takes two. A formula may nest this many parentheses (a
// function's own included), not one more.
inline constexpr int kMaxFormulaNesting = kMaxNesting - 2;

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

// Whether the reading of `formula` stops because it nests deeper than
// kMaxFormulaNesting, before it meets any other error: a refusal the user
// can act on only when told what it is.
bool NestsTooDeeply(std::string_view formula, int parameterCount, char decimalSeparator);

// The parsed form of a formula: the instructions ReadFormula emits.
ExpressionProgram CompileFormula(std::string_view formula, int parameterCount, char decimalSeparator);

}  // namespace trendolin
