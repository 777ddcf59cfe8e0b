// The Transform command: its dialog check, the sixteen functions and the
// all-or-nothing replacement of a column.
#include "session/transform.h"

#include <cmath>
#include <cstdio>

#include "data/document_hooks.h"
#include "session/manipulation.h"
#include "platform/ui.h"
#include "precision/errors.h"
#include "precision/fp_guard.h"
#include "precision/math_guard.h"

namespace trendolin {
namespace {

constexpr int kUncertaintyColumn = 2;

void ShowError(const char* text) {
  platform::TellUser(kTransformErrorCaption, text);
}

bool IsValidColumn(int column) { return column == 0 || column == 1; }
bool IsValidFunction(int function) { return function >= 0 && function < kTransformFunctionCount; }

// One value as it would be stored. A result that is not finite counts as a
// failure although no fault was raised: 0/0-like invalid operations stay
// quiet not-a-numbers by design, and a double result beyond the float range
// becomes an infinity only when it is rounded for storage. Either would go
// into the data set and from there into every statistic and fit, so the
// transform refuses it like a domain error and leaves the column alone.
datatype TransformedValue(int function, datatype value, double exponent) {
  const datatype result = static_cast<datatype>(EvaluateTransform(function, value, exponent));
  if (std::isnan(result)) RaiseError(kErrInvalidOperation, -1, "OnTransform", 1);
  if (std::isinf(result)) RaiseError(kErrOverflow, -1, "OnTransform", 1);
  return result;
}

// Evaluates every value that the transform would replace, storing nothing.
// False when any of them fails.
bool DryRun(const CurveFit& doc, const TransformChoice& choice, bool withUncertainty) {
  try {
    FpGuard guard;
    for (int r = 0; r < doc.nPoints; ++r) {
      TransformedValue(choice.function, doc.At(r, choice.column), choice.exponent);
      if (withUncertainty) TransformedValue(choice.function, doc.At(r, kUncertaintyColumn), choice.exponent);
      // A float store that overflows raises only the flag: check every point.
      guard.Check();
    }
  } catch (const errnotify&) {
    return false;
  }
  return true;
}

void StoreTransform(CurveFit& doc, const TransformChoice& choice, bool withUncertainty) {
  for (int r = 0; r < doc.nPoints; ++r) {
    datatype& value = doc.At(r, choice.column);
    value = TransformedValue(choice.function, value, choice.exponent);
    if (withUncertainty) {
      datatype& u = doc.At(r, kUncertaintyColumn);
      u = TransformedValue(choice.function, u, choice.exponent);
    }
  }
}

}  // namespace

int TransformFunctionByName(std::string_view name) {
  for (int i = 0; i < kTransformFunctionCount; ++i) {
    if (name == kTransformFunctionNames[static_cast<std::size_t>(i)]) return i;
  }
  return -1;
}

TransformFields InitialTransformFields() {
  TransformFields fields;
  char text[64];
  std::snprintf(text, sizeof text, "%f", 1.0);
  fields.exponent = text;
  return fields;
}

TransformCheck CheckTransformFields(const TransformFields& fields) {
  TransformCheck check;
  if (!IsValidColumn(fields.column)) {
    ShowError(kTransformColumnInvalid);
    platform::CurrentUi().Beep();
    return check;
  }
  if (!IsValidFunction(fields.function)) {
    ShowError(kTransformFunctionInvalid);
    platform::CurrentUi().Beep();
    return check;
  }
  TransformChoice choice{fields.column, fields.function, 1.0};
  if (fields.function == kTransformPower) {
    std::size_t bad = 0;
    const std::optional<double> exponent = ReadNumberField(fields.exponent, &bad);
    if (!exponent) {
      check.badField = kTransformExponentField;
      check.badPosition = bad;
      platform::CurrentUi().Beep();
      return check;
    }
    choice.exponent = *exponent;
  }
  check.choice = choice;
  return check;
}

double EvaluateTransform(int function, double value, double exponent) {
  switch (function) {
    case kTransformExp: return guarded::exp(value);
    case kTransformLn: return guarded::log(value);
    case kTransformPow10: return guarded::pow(10.0, value);
    case kTransformLog10: return guarded::log10(value);
    case kTransformPower: return guarded::pow(value, exponent);
    case kTransformSqrt: return guarded::sqrt(value);
    case kTransformAbs: return std::fabs(value);
    case kTransformSin: return std::sin(value);
    case kTransformArcsin: return guarded::asin(value);
    case kTransformCos: return std::cos(value);
    case kTransformArccos: return guarded::acos(value);
    case kTransformTan: return guarded::tan(value);
    case kTransformArctan: return std::atan(value);
    case kTransformSinh: return guarded::sinh(value);
    case kTransformCosh: return guarded::cosh(value);
    case kTransformTanh: return std::tanh(value);
    default: RaiseError(kErrDomain, -1, "OnTransform");
  }
}

bool OnTransform(CurveFit& doc, const TransformChoice& choice) {
  if (!IsValidColumn(choice.column) || !IsValidFunction(choice.function)) return false;
  // Nothing to transform: the data set stays unmodified.
  if (choice.column >= doc.nColumns || doc.nPoints <= 0) return false;
  const bool withUncertainty = choice.column == 1 && doc.bUncertainty && doc.nColumns > kUncertaintyColumn;
  if (!DryRun(doc, choice, withUncertainty)) {
    LogExceptionMarker("OnTransform");
    ShowError(kTransformFailed);
    ClearErrorInfo();  // reported here, in the transform's own words
    return false;
  }
  // The dry run evaluated exactly these values, so the second pass cannot fail.
  UndoableChange change(doc, kUndoTransform);
  StoreTransform(doc, choice, withUncertainty);
  doc.MarkModified();
  change.Done();
  // The application refresh too: the toolbar's Undo and Redo follow the
  // history, and open graphs and the statistics follow the data.
  CallHook(Hooks().refresh);
  CallHook(Hooks().repaintMain);
  return true;
}

bool TransformCommand(CurveFit& doc, const std::function<std::optional<TransformChoice>()>& runDialog) {
  if (!runDialog) return false;
  const std::optional<TransformChoice> choice = runDialog();
  if (!choice) return false;
  return OnTransform(doc, *choice);
}

}  // namespace trendolin
