// The Transform command: every value of the x or the y column replaced by a
// function of itself, all or nothing.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "data/curve_fit.h"

namespace trendolin {

// The functions in the order of the dialog's list; the index is the function number.
enum TransformFunction : int {
  kTransformExp = 0,
  kTransformLn,
  kTransformPow10,
  kTransformLog10,
  kTransformPower,  // x^a with the dialog's exponent
  kTransformSqrt,
  kTransformAbs,
  kTransformSin,
  kTransformArcsin,
  kTransformCos,
  kTransformArccos,
  kTransformTan,
  kTransformArctan,
  kTransformSinh,
  kTransformCosh,
  kTransformTanh,
};
inline constexpr int kTransformFunctionCount = 16;

// The names the list shows (and the command-line tool accepts), by function number.
inline constexpr std::array<const char*, kTransformFunctionCount> kTransformFunctionNames = {
    "exp(x)", "ln(x)",   "10^x",      "log(x)", "x^a",       "sqrt(x)", "abs(x)",  "sin(x)",
    "arcsin(x)", "cos(x)", "arccos(x)", "tan(x)", "arctan(x)", "sinh(x)", "cosh(x)", "tanh(x)",
};

// The function number of a name exactly as listed; -1 when there is none.
int TransformFunctionByName(std::string_view name);

// Control identifiers of the transform dialog.
inline constexpr int kTransformFunctionList = 1027;
inline constexpr int kTransformXRadio = 1028;
inline constexpr int kTransformYRadio = 1029;
inline constexpr int kTransformExponentField = 4;

// The dialog's result record.
struct TransformChoice {
  int column = 0;         // 0 x, 1 y; -1 none
  int function = 0;       // 0..15
  double exponent = 1.0;  // a of "x^a"
};

// What the dialog shows and what its OK reads.
struct TransformFields {
  int column = 0;    // 0 x (1028 selected), 1 y (1029); -1 when neither is selected
  int function = 0;  // the list's selection; -1 when none
  std::string exponent;
};

// The dialog's opening state: x column, "exp(x)", exponent "%f" of 1.
TransformFields InitialTransformFields();

struct TransformCheck {
  std::optional<TransformChoice> choice;  // set when OK may close the dialog
  int badField = 0;                       // kTransformExponentField when the exponent is not a number
  std::size_t badPosition = 0;            // where the selection of the bad part starts
};

// The OK check. An invalid column or function shows the warning box
// ("The column selected is invalid." / "The function selected is invalid.",
// caption "Error") and beeps; for "x^a" the exponent field must hold a
// number (beep, the window selects from badPosition on). The exponent is
// read only for "x^a".
TransformCheck CheckTransformFields(const TransformFields& fields);

// One function value in double precision through the guarded math routines:
// raises errnotify outside the function's domain or on overflow.
double EvaluateTransform(int function, double value, double exponent);

// Transforms the chosen column (and, for y, the uncertainties) after a dry
// run over every value. Any failure shows the transform error box, logs
// "EX: OnTransform" and leaves the data as they were. True when the data
// were changed.
bool OnTransform(CurveFit& doc, const TransformChoice& choice);

// The whole command: `runDialog` shows the dialog (which calls
// CheckTransformFields on OK) and answers the choice, or nullopt on Cancel.
bool TransformCommand(CurveFit& doc, const std::function<std::optional<TransformChoice>()>& runDialog);

// What the Edit menu's Undo and Redo entries call a transform.
inline constexpr const char* kUndoTransform = "Transform";

// The texts of the transform's boxes, used exactly.
inline constexpr const char* kTransformErrorCaption = "Error";
inline constexpr const char* kTransformColumnInvalid = "The column selected is invalid.";
inline constexpr const char* kTransformFunctionInvalid = "The function selected is invalid.";
inline constexpr const char* kTransformFailed =
    "An error has occurred while transforming the selected column.  Please check your dataset for values "
    "inconsistent with the chosen transformation.";

}  // namespace trendolin
