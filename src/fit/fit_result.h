// What a fit leaves behind: coefficients, statistics, covariance, iteration
// histories and comment, one record per model.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "fit/fit_types.h"

namespace trendolin {

// One regression model's result (500, 501, 502, 504..533; 503 keeps only its mark).
struct FitResult {
  int valid = 0;           // 1 once the slot was allocated for a fit
  int m = 0;               // coefficients the slot was allocated for
  int iterationCount = 0;  // last iteration the nonlinear solver recorded
  std::vector<datatype> statistics;   // standard error, correlation coefficient, std. dev. of y
  std::vector<datatype> covariance;   // m x m, row-major
  std::vector<datatype> coefficients; // a, b, c, ... in formula order
  std::vector<datatype> chiSquareHistory;                // one per recorded iteration
  std::vector<std::vector<datatype>> parameterHistories; // per coefficient, one per recorded iteration
  std::string comment;
  int fittedWith = 0;  // 0 not fitted; else the weighting scheme (455..460) of the fit

  // Frees every array, clears the mark and the comment, valid = 0.
  void Release();
};

// One interpolation's result (534..538).
struct InterpResult {
  int valid = 0;
  int arrayCount = 0;   // 1 to 4
  int arrayLength = 0;
  int fitted = 0;       // 0 or 1
  std::array<std::vector<datatype>, 4> arrays;
  // The x of the data points it was built on: the spline pieces are
  // written around them (empty when filled by other means).
  std::vector<datatype> knots;
  datatype parameter = 1.0f;  // the tension spline's factor
  std::string comment;

  void Release();  // keeps `parameter`
};

struct CompiledFormula;  // the interpreter's parsed form of a formula

// The user model's result (539): like FitResult, with its statistics inline.
struct UserFitResult {
  std::string formula;  // lower case
  int count = 0;        // parameters, from the formula (1..19)
  // The formula as the interpreter parsed it, made with the formula by
  // SetUserFormula (set the formula only through it) and shared, never
  // changed, by copies of the record and by the threads of a fit.
  std::shared_ptr<const CompiledFormula> compiled;
  int valid = 0;
  int iterationCount = 0;
  std::array<datatype, 3> statistics{};
  std::vector<datatype> covariance;
  std::vector<datatype> coefficients;
  std::vector<datatype> chiSquareHistory;
  std::vector<std::vector<datatype>> parameterHistories;
  std::string comment;
  int fittedWith = 0;

  void Release();  // keeps the formula, its parsed form and the count
};

// The one user model of the process.

// Index of an interpolation record: 534 -> 0 ... 538 -> 4.
inline int InterpIndex(int id) { return id - kFirstInterpolation; }

}  // namespace trendolin
