// The recursive-descent reader of the expression language.
//
// Each grammar level is one function, from the loosest binding to the
// tightest: assignment, relation, sum, product, power, unary, primary. The
// reader keeps one token of look-ahead: a number or a variable is pushed and
// then the next token is read, and an operator is applied only once its right
// operand and the token after it have been read. Errors found while reading
// are emitted at that very point, so a fault in arithmetic that the reading
// has already performed (say a division by zero) comes first.
#include "usermodel/expression_reader.h"

#include <optional>
#include <string>
#include <vector>

namespace trendolin {
namespace {

// Unwinds the reader after it emitted the instruction that ends the reading.
struct ReadingStopped {};

// Half an ulp above the largest float: doubles from here on round to
// infinity. (Number tokens carry no sign, so only the positive side matters.)
constexpr double kFloatOverflowThreshold = 0x1.ffffffp127;

class FormulaReader {
 public:
  FormulaReader(std::string_view text, int parameterCount, char decimal, InstructionSink& sink)
      : tokens_(text, decimal), decimal_(decimal), parameterCount_(parameterCount), sink_(sink) {}

  void Statement() {
    Advance();
    if (token_.IsEmpty()) Stop(Op::RaiseSyntax);
    Assignment();
  }

  bool StoppedTooDeep() const { return tooDeep_; }

 private:
  class Nesting {
   public:
    explicit Nesting(FormulaReader& reader) : reader_(reader) {
      if (++reader_.depth_ > kMaxNesting) {
        reader_.tooDeep_ = true;
        reader_.Stop(Op::RaiseSyntax);
      }
    }
    ~Nesting() { --reader_.depth_; }
    Nesting(const Nesting&) = delete;
    Nesting& operator=(const Nesting&) = delete;

   private:
    FormulaReader& reader_;
  };

  [[noreturn]] void Stop(Op raise) {
    Emit(raise);
    throw ReadingStopped{};
  }

  void Emit(Op op, int arg = 0, float value = 0) { sink_.Emit(Instruction{op, arg, value}); }

  void Advance() {
    token_ = tokens_.Next();
    if (token_.kind == TokenKind::TooLong) Stop(Op::RaiseSyntax);
  }

  int SlotOf(const Token& token) const {
    return token.kind == TokenKind::Identifier ? VariableSlotOf(token.Text(), parameterCount_) : -1;
  }

  // name "=" assignment, right to left; otherwise a relation.
  void Assignment() {
    Nesting nesting(*this);
    if (const int slot = SlotOf(token_); slot >= 0) {
      const std::size_t resume = tokens_.Position();
      const Token name = token_;
      Advance();
      if (token_.IsOperator('=')) {
        Advance();
        Assignment();
        Emit(Op::Store, slot);
        return;
      }
      tokens_.Rewind(resume);
      token_ = name;
    }
    Relation();
  }

  // One comparison at most: in a<b<c the second is not read.
  void Relation() {
    Sum();
    if (!token_.IsRelation()) return;
    const trendolin::Relation relation = token_.relation;
    Advance();
    Sum();
    Emit(Op::Compare, static_cast<int>(relation));
  }

  void Sum() {
    Product();
    while (token_.IsOperator('+') || token_.IsOperator('-')) {
      const Op op = token_.op == '+' ? Op::Add : Op::Subtract;
      Advance();
      Product();
      Emit(op);
    }
  }

  void Product() {
    Power();
    while (token_.IsOperator('*') || token_.IsOperator('/')) {
      const Op op = token_.op == '*' ? Op::Multiply : Op::Divide;
      Advance();
      Power();
      Emit(op);
    }
  }

  // Left to right: 2^3^2 is 64.
  void Power() {
    Unary();
    while (token_.IsOperator('^')) {
      Advance();
      Unary();
      Emit(Op::Power);
    }
  }

  // One sign at most, binding tighter than "^": -2^2 is 4.
  void Unary() {
    if (token_.IsOperator('+') || token_.IsOperator('-')) {
      const bool negate = token_.op == '-';
      Advance();
      Primary();
      if (negate) Emit(Op::Negate);
      return;
    }
    Primary();
  }

  void Primary() {
    switch (token_.kind) {
      case TokenKind::Number: return Number();
      case TokenKind::Identifier: return Name();
      default: break;
    }
    // A delimiter where an operand belongs: an operator ("a**x", "--x", a
    // trailing "+"), ")" ("()") or the end of the text. Nothing can stand in
    // for the missing operand, so it is a syntax error.
    if (!token_.IsOperator('(')) Stop(Op::RaiseSyntax);
    Advance();
    Assignment();
    if (!token_.IsOperator(')')) Stop(Op::RaiseSyntax);
    Advance();
  }

  // A number that does not fit a float overflows where it is read (as
  // storing it into a float would). The test comes before the conversion,
  // which would leave the overflow flag set.
  void Number() {
    const double value = NumberTokenValue(token_.Text(), decimal_);
    if (!(value < kFloatOverflowThreshold)) Stop(Op::RaiseOverflow);
    Emit(Op::PushNumber, 0, static_cast<float>(value));
    Advance();
  }

  // A function applied to its parenthesised argument, or a variable.
  void Name() {
    if (const int function = FunctionIndexOf(token_.Text()); function >= 0) {
      Advance();
      if (!token_.IsOperator('(')) Stop(Op::RaiseSyntax);
      Primary();
      Emit(Op::Call, function);
      return;
    }
    const int slot = SlotOf(token_);
    if (slot < 0) Stop(Op::RaiseSyntax);  // unknown, or a decimal separator that starts no number
    Emit(Op::Load, slot);
    Advance();
  }

  Tokenizer tokens_;
  char decimal_;
  int parameterCount_;
  InstructionSink& sink_;
  Token token_;
  int depth_ = 0;
  bool tooDeep_ = false;
};

// The fused form of an arithmetic operator whose right operand `push`
// pushed, or nullopt.
std::optional<Op> FusedOp(Op op, Op push) {
  int base = 0;
  switch (op) {
    case Op::Add: base = static_cast<int>(Op::AddX); break;
    case Op::Subtract: base = static_cast<int>(Op::SubtractX); break;
    case Op::Multiply: base = static_cast<int>(Op::MultiplyX); break;
    case Op::Divide: base = static_cast<int>(Op::DivideX); break;
    case Op::Power: base = static_cast<int>(Op::PowerX); break;
    default: return std::nullopt;
  }
  switch (push) {
    case Op::LoadX: return static_cast<Op>(base);
    case Op::LoadParameter: return static_cast<Op>(base + 1);
    case Op::PushNumber: return static_cast<Op>(base + 2);
    default: return std::nullopt;
  }
}

// A push of x, a parameter or a number followed at once by an operator
// becomes one instruction: fewer steps for the machine, the same values and
// the same faults in the same order (a push cannot fault).
void FuseRightOperands(std::vector<Instruction>& code) {
  std::vector<Instruction> fused;
  fused.reserve(code.size());
  for (const Instruction& in : code) {
    if (!fused.empty()) {
      if (const std::optional<Op> op = FusedOp(in.op, fused.back().op)) {
        fused.back().op = *op;  // keeps the push's operand (arg, value)
        continue;
      }
    }
    fused.push_back(in);
  }
  code = std::move(fused);
}

// Most formulas assign nothing themselves: then every variable keeps the
// value it starts with, and x and the parameters can be read straight from
// where the caller keeps them.
void MakeDirectWhenPossible(ExpressionProgram& program) {
  std::vector<Instruction>& code = program.code;
  if (code.empty() || code.back().op != Op::Store || code.back().arg != kSlotY) return;
  for (std::size_t i = 0; i + 1 < code.size(); ++i) {
    if (code[i].op == Op::Store) return;
  }
  program.direct = true;
  for (Instruction& in : code) {
    if (in.op != Op::Load) continue;
    if (in.arg == kSlotX) {
      in.op = Op::LoadX;
    } else if (in.arg >= kFirstParameterSlot) {
      in.op = Op::LoadParameter;
      in.arg -= kFirstParameterSlot;
    } else {
      program.readsFixedSlots = true;
    }
  }
  code.pop_back();  // the assignment to y: the result is what it would store
  FuseRightOperands(code);
}

class ProgramBuilder : public InstructionSink {
 public:
  void Emit(const Instruction& instruction) override {
    program_.code.push_back(instruction);
    switch (instruction.op) {
      case Op::PushNumber:
      case Op::Load: ++depth_; break;
      case Op::Add:
      case Op::Subtract:
      case Op::Multiply:
      case Op::Divide:
      case Op::Power:
      case Op::Compare: --depth_; break;
      default: break;
    }
    if (depth_ > program_.maxStack) program_.maxStack = depth_;
  }
  ExpressionProgram Take() {
    MakeDirectWhenPossible(program_);
    return std::move(program_);
  }

 private:
  ExpressionProgram program_;
  int depth_ = 0;
};

// Takes the instructions of a reading and keeps none of them.
class DiscardingSink : public InstructionSink {
 public:
  void Emit(const Instruction&) override {}
};

// Reads the statement "y=FORMULA;"; true when the reading stopped because
// it nested too deeply.
bool ReadStatement(std::string_view formula, int parameterCount, char decimalSeparator, InstructionSink& sink) {
  if (const std::size_t nul = formula.find('\0'); nul != std::string_view::npos) formula = formula.substr(0, nul);
  std::string text;
  text.reserve(formula.size() + 3);
  text += "y=";
  text += formula;
  text += ';';
  FormulaReader reader(text, parameterCount, decimalSeparator, sink);
  try {
    reader.Statement();
  } catch (const ReadingStopped&) {
    // The instruction that ends the reading has been emitted.
  }
  return reader.StoppedTooDeep();
}

}  // namespace

void ReadFormula(std::string_view formula, int parameterCount, char decimalSeparator, InstructionSink& sink) {
  ReadStatement(formula, parameterCount, decimalSeparator, sink);
}

bool NestsTooDeeply(std::string_view formula, int parameterCount, char decimalSeparator) {
  DiscardingSink sink;
  return ReadStatement(formula, parameterCount, decimalSeparator, sink);
}

ExpressionProgram CompileFormula(std::string_view formula, int parameterCount, char decimalSeparator) {
  ProgramBuilder builder;
  ReadFormula(formula, parameterCount, decimalSeparator, builder);
  return builder.Take();
}

}  // namespace trendolin
