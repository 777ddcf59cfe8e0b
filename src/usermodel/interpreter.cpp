// The interpreter's entry points: the cache of parsed formulas, the variable
// table of one evaluation, and the parameter count.
#include "usermodel/interpreter.h"

#include <algorithm>
#include <bitset>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "data/curve_fit.h"
#include "fit/engine_state.h"
#include "precision/errors.h"
#include "usermodel/expression_machine.h"
#include "usermodel/expression_reader.h"

namespace trendolin {

namespace {

// A handful of formulas are in use at a time: the user model's, and the
// ones the user model dialog checks.
constexpr std::size_t kCacheEntries = 8;

// The parsed formulas, most recently used first. One cache per thread, so
// that sessions on several threads never share one. The parsed form depends on the text, on
// which letters are parameters and on the decimal separator, so all three
// are the key. The text is kept whole (a NUL in it and all that follows
// are part of the key, though not of the formula), so that a hit costs one
// comparison. An entry is shared with the records that hold it and so
// outlives its place in the cache.
thread_local std::vector<std::shared_ptr<const CompiledFormula>> ParsedFormulas;

std::string_view UpToNul(std::string_view text) {
  const std::size_t nul = text.find('\0');
  return nul == std::string_view::npos ? text : text.substr(0, nul);
}

int ClampedCount(int parameterCount) { return std::clamp(parameterCount, 0, kMaxFormulaParameters); }

// Formulas are short and compared once per evaluation: eight bytes at a
// time inline is several times faster than a call of the C library's
// comparison, which is tuned for long blocks.
bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  std::size_t i = 0;
  for (; i + 8 <= a.size(); i += 8) {
    std::uint64_t x;
    std::uint64_t y;
    std::memcpy(&x, a.data() + i, 8);
    std::memcpy(&y, b.data() + i, 8);
    if (x != y) return false;
  }
  for (; i < a.size(); ++i) {
    if (a[i] != b[i]) return false;
  }
  return true;
}

bool Matches(const CompiledFormula& entry, std::string_view formula, int parameterCount, char decimal) {
  return entry.parameterCount == parameterCount && entry.decimal == decimal && SameText(entry.formula, formula);
}

// The cache below its first entry: found further down (and moved to the
// front), or parsed now.
[[gnu::noinline]] const std::shared_ptr<const CompiledFormula>& LookUpOrParse(std::string_view formula,
                                                                            int parameterCount, char decimal) {
  auto found = std::find_if(ParsedFormulas.begin(), ParsedFormulas.end(),
                            [&](const auto& entry) { return Matches(*entry, formula, parameterCount, decimal); });
  if (found == ParsedFormulas.end()) {
    auto entry = std::make_shared<CompiledFormula>();
    entry->formula = std::string(formula);
    entry->parameterCount = parameterCount;
    entry->decimal = decimal;
    entry->program = CompileFormula(UpToNul(formula), parameterCount, decimal);
    if (ParsedFormulas.size() >= kCacheEntries) ParsedFormulas.pop_back();
    ParsedFormulas.insert(ParsedFormulas.begin(), std::move(entry));
  } else {
    std::rotate(ParsedFormulas.begin(), found, found + 1);
  }
  return ParsedFormulas.front();
}

// The parsed form of a formula; nearly always the one used last.
inline const ExpressionProgram& ProgramOf(std::string_view formula, int parameterCount, char decimal) {
  if (!ParsedFormulas.empty() && Matches(*ParsedFormulas.front(), formula, parameterCount, decimal)) {
    return ParsedFormulas.front()->program;
  }
  return LookUpOrParse(formula, parameterCount, decimal)->program;
}

EvaluationMode ModeOf(bool checking) { return checking ? EvaluationMode::Check : EvaluationMode::Evaluate; }

}  // namespace

DataSummary SummaryOf(const CurveFit& doc) {
  DataSummary data;
  data.avgx = doc.fMean[0];
  data.avgy = doc.fMean[1];
  data.stdx = doc.fStdDev[0];
  data.stdy = doc.fStdDev[1];
  data.minx = doc.fMin[0];
  data.maxx = doc.fMax[0];
  data.miny = doc.fMin[1];
  data.maxy = doc.fMax[1];
  return data;
}

datatype InterpretFormula(std::string_view formula, int parameterCount, const datatype* parameters, datatype x,
                          const DataSummary& data, bool checking) {
  parameterCount = ClampedCount(parameterCount);
  const ExpressionProgram& program = ProgramOf(formula, parameterCount, CurrentDecimalSeparator());
  return RunProgram(program, parameterCount, parameters, x, data, ModeOf(checking));
}

datatype InterpretFormulaDirect(std::string_view formula, int parameterCount, const datatype* parameters,
                                datatype x, const DataSummary& data, bool checking) {
  parameterCount = ClampedCount(parameterCount);
  float slots[kVariableSlots];
  FillVariableSlots(slots, parameterCount, parameters, x, data);
  ImmediateMachine machine(slots, ModeOf(checking));
  ReadFormula(formula, parameterCount, CurrentDecimalSeparator(), machine);
  return slots[kSlotY];
}

std::shared_ptr<const CompiledFormula> CompileUserFormula(std::string_view formula, int parameterCount) {
  return LookUpOrParse(formula, ClampedCount(parameterCount), CurrentDecimalSeparator());
}

CompiledFormula ParseUserFormula(std::string_view formula, int parameterCount) {
  CompiledFormula parsed;
  parsed.formula = std::string(formula);
  parsed.parameterCount = ClampedCount(parameterCount);
  parsed.decimal = CurrentDecimalSeparator();
  parsed.program = CompileFormula(UpToNul(formula), parsed.parameterCount, parsed.decimal);
  return parsed;
}

bool CompiledStillFits(const CompiledFormula& compiled, int parameterCount) {
  return compiled.parameterCount == ClampedCount(parameterCount) && compiled.decimal == CurrentDecimalSeparator();
}

datatype InterpretCompiled(const CompiledFormula& compiled, const datatype* parameters, datatype x,
                           const DataSummary& data) {
  try {
    return RunProgram(compiled.program, compiled.parameterCount, parameters, x, data, EvaluationMode::Evaluate);
  } catch (const errnotify&) {
    LogExceptionMarker("InterpretMain_1");
    throw;
  }
}

void InterpretMain(const UserFitResult& model, const datatype* parameters, datatype x, datatype& result,
                   bool checking) {
  InterpretMain(model, parameters, x, result, checking, CurrentEngine().userModelData);
}

void InterpretMain(const UserFitResult& model, const datatype* parameters, datatype x, datatype& result,
                   bool checking, const DataSummary& data) {
  try {
    result = InterpretFormula(model.formula, model.count, parameters, x, data, checking);
  } catch (const errnotify&) {
    LogExceptionMarker("InterpretMain_1");
    throw;
  }
}

int NumberofParams(std::string_view formula) {
  try {
    Tokenizer tokens(formula, CurrentDecimalSeparator());
    std::bitset<kMaxFormulaParameters> used;
    for (;;) {
      const Token token = tokens.Next();
      if (token.kind == TokenKind::TooLong) RaiseError(kErrExpression, -1);
      if (token.IsEmpty()) break;  // the end, or a character no token starts with
      if (token.kind == TokenKind::Identifier && token.length == 1 && token.text[0] >= 'a' &&
          token.text[0] < 'a' + kMaxFormulaParameters) {
        used.set(static_cast<std::size_t>(token.text[0] - 'a'));
      }
    }
    return static_cast<int>(used.count());
  } catch (const errnotify&) {
    LogExceptionMarker("NumberofParams_1");
    return -1;
  }
}

int FormulaCacheSize() { return static_cast<int>(ParsedFormulas.size()); }

void ClearFormulaCache() { ParsedFormulas.clear(); }

}  // namespace trendolin
