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
#pragma once

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
// analysis. Process-wide, touched on the user-interface thread only.
extern DataSummary UserModelData;

// Evaluates `model`'s formula with `model.count` parameters (`parameters`
// holds that many values) at x, into `result`. With `checking` only checks:
// the same grammar and syntax errors, but "+ - * / ^" and every function
// yield 1, so no arithmetic that could fault is done. Raises errnotify on a
// syntax error (13, model id -1, no routine name) or an arithmetic fault,
// after logging "EX: InterpretMain_1"; `result` is then left unchanged.
void InterpretMain(const UserFitResult& model, const datatype* parameters, datatype x, datatype& result,
                   bool checking = false, const DataSummary& data = UserModelData);

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
