// The expression interpreter of user models: the value of a formula for one
// x and one set of parameters, the checking of a formula, and the count of
// its parameters.
//
// A formula is read as the statement y = formula. It may use x, the
// parameters a, b, c, ... (as many as the model has), pi, the data-set
// figures avgx, avgy, stdx, stdy, minx, maxx, miny, maxy, twenty-two
// functions of one argument, + - * / ^ (the sign binds tighter than "^",
// and "^" is left-associative), the relations < <= > >= == != (1 or 0) and
// assignments to any of those variables. Names are case-insensitive.
//
// A formula is parsed once into instructions and kept in a small cache keyed
// by its text, its parameter count and the locale's decimal separator; every
// value, error and log marker is the one reading the text afresh would give.
// The user model's record holds its own parsed form (CompiledFormula), so
// that the fit's evaluations look nothing up and may run on any thread.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "fit/fit_result.h"
#include "precision/datatype.h"
#include "usermodel/expression_program.h"

namespace trendolin {

class CurveFit;

// The figures of `doc`'s x and y columns as its statistics hold them.
DataSummary SummaryOf(const CurveFit& doc);

// The figures the user model's formula reads. The model function of the
// catalogue has no document to ask, so the user fit sets them from the data
// set it fits; they stay with the fitted coefficients for drawing and
// analysis. They belong to the session (its engine state).

// Evaluates `model`'s formula with `model.count` parameters (`parameters`
// holds that many values) at x, into `result`. With `checking` only checks:
// the same grammar and syntax errors, but "+ - * / ^" and every function
// yield 1, so no arithmetic that could fault is done. Raises errnotify on a
// syntax error (13, model id -1, no routine name) or an arithmetic fault,
// after logging "EX: InterpretMain_1"; `result` is then left unchanged.
// Without `data`, the formula's data figures are the session's.
void InterpretMain(const UserFitResult& model, const datatype* parameters, datatype x, datatype& result,
                   bool checking, const DataSummary& data);
void InterpretMain(const UserFitResult& model, const datatype* parameters, datatype x, datatype& result,
                   bool checking = false);

// A formula parsed for evaluation: the text it was read from (up to a NUL),
// the parameter count and the decimal separator it was read with, and its
// instructions. Never changed once made, so any number of threads may
// evaluate it at once; the variable table and the stack of an evaluation
// live on the evaluating thread's stack.
struct CompiledFormula {
  std::string formula;
  int parameterCount = 0;
  char decimal = '.';
  ExpressionProgram program;
};

// `formula` with `parameterCount` parameters read with the locale's decimal
// separator now (through the cache). Touches the cache: user-interface
// thread only.
std::shared_ptr<const CompiledFormula> CompileUserFormula(std::string_view formula, int parameterCount);

// The same parsed afresh, without the cache: safe on any thread.
CompiledFormula ParseUserFormula(std::string_view formula, int parameterCount);

// Whether `compiled` is what `formula`'s text with `parameterCount`
// parameters reads as under the locale in force now, judged without
// comparing the text: by the count and the decimal separator.
bool CompiledStillFits(const CompiledFormula& compiled, int parameterCount);

// What InterpretMain gives for the formula `compiled` was read from, its
// parameter count and separator: the value, or errnotify after logging
// "EX: InterpretMain_1". Keeps no state of its own: safe on any thread.
datatype InterpretCompiled(const CompiledFormula& compiled, const datatype* parameters, datatype x,
                           const DataSummary& data);

// The same for a formula text; raises without the marker.
datatype InterpretFormula(std::string_view formula, int parameterCount, const datatype* parameters, datatype x,
                          const DataSummary& data, bool checking = false);

// The reference reading: the formula evaluated while it is read, with no
// parsed form and no cache. Used to check that the parsed form agrees.
datatype InterpretFormulaDirect(std::string_view formula, int parameterCount, const datatype* parameters,
                                datatype x, const DataSummary& data, bool checking = false);

// The number of different letters a..s the formula uses as names (0..19),
// read token by token up to the end of the text or up to the first
// character no token starts with (";", ",", a second line break ...), where
// the evaluation stops too. A token longer than 79 characters logs
// "EX: NumberofParams_1" and gives -1. It counts, it does not place: the
// parameters are always a, b, c, ... in order, so "a*x+c" counts 2 and
// fails to evaluate (c is not a parameter of a two-parameter model).
int NumberofParams(std::string_view formula);

// The parsed forms kept (for tests and benchmarks).
int FormulaCacheSize();
void ClearFormulaCache();

}  // namespace trendolin
