// The model catalogue and the model descriptor: everything the program knows
// about a model id, and views into the model's stored result.
#pragma once

#include <string>
#include <vector>

#include "fit/fit_types.h"

namespace trendolin {

struct CatalogueEntry {
  int id;
  const char* menuLabel;  // the Fit menu's label
  const char* prompt;     // menu prompt, and the report's name-and-formula line
  const char* formula;    // what the model function computes
  int m;                  // parameter count (502, 534, 539: see FillModelDesc)
  int kind;
  int classMask;
  // What the model cannot take in the data: an x of 0 (it divides by x or
  // takes its logarithm or a power of it), a negative x (a logarithm).
  bool needsNonzeroX = false;
  bool needsNonnegativeX = false;
};

// The entry of `id` (500..539), or nullptr.
const CatalogueEntry* CatalogueEntryOf(int id);
const std::vector<CatalogueEntry>& Catalogue();

// The model's names among the resource strings: the long one of the ranking,
// the menus and the graph titles ("Logistic Model"), and the short one of
// the error reports and the initial-guess dialog.
std::string ModelLongName(int id);
std::string ModelShortName(int id);
// The model's Fit menu label as one word: lower case, its words joined by
// `joiner`, without mnemonics, dots and brackets ("exponential-association-2"
// with '-'); empty for an unknown id.
std::string ModelLabelWord(int id, char joiner);
// Whether a fit of the model starts from initial guesses (the built-in
// nonlinear models and the user model).
bool StartsFromGuesses(int id);

// Menu families: class bit, family menu label, family name (strings 304..309).
struct ModelFamily {
  int classMask;
  const char* menuLabel;
  const char* name;
};
const std::vector<ModelFamily>& ModelFamilies();

// Models unavailable when some |x| is below the smallest normal float, and
// when some x is negative.
bool ExcludedByZeroX(int id);
bool ExcludedByNegativeX(int id);

struct ModelDesc {
  int id = 0;  // set by the caller; negative asks for the initial-guess test view
  int kind = FIT_NONE;
  int classMask = CLASS_NONE;
  int m = 0;
  datatype* statistics = nullptr;
  int iterationCount = 0;
  datatype* chiSquareHistory = nullptr;
  datatype* covariance = nullptr;
  datatype* coefficients = nullptr;
  std::vector<datatype>* coefficientsLocation = nullptr;
  std::vector<datatype>* chiSquareHistoryLocation = nullptr;
  std::vector<std::vector<datatype>>* parameterHistoriesLocation = nullptr;
  int* iterationCountLocation = nullptr;
  EvaluateFunction evaluate = nullptr;
  ModelFunction modelFunction = nullptr;
  InitialGuessFunction initialGuess = nullptr;
  std::string name;  // at most 29 characters
  CurveFit* doc = nullptr;

  datatype Evaluate(datatype x) const { return evaluate(*this, x); }
};

// Fills every member of `desc` but its id, which the caller set. Never fails:
// an unknown id gives kind FIT_NONE and no routines.
void FillModelDesc(CurveFit& doc, ModelDesc& desc);

// Shortcut: a filled descriptor for `id`.
ModelDesc DescriptorOf(CurveFit& doc, int id);

// How many coefficients the descriptor's coefficient view really holds: the
// parameter count for a regression; for the polynomial interpolation one per
// point of the data set it was built on (at most m); none for the splines,
// whose arrays hold pieces, not the coefficients of one formula (a spline on
// two points has one piece, fewer values than its parameter count).
int StoredCoefficientCount(const ModelDesc& desc);

// Whether an m x m matrix can be a covariance: every variance positive and
// finite, and no correlation beyond 1. A fit whose parameters the data do
// not determine (all x equal, say) can end with one that is not.
bool CovarianceUsable(const datatype* covariance, int m);

// The name a report or window gives model `id`: the descriptor's name.
std::string ModelName(CurveFit& doc, int id);

}  // namespace trendolin
