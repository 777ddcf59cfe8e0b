// Column-wide changes of the data set and the pages of the manipulation dialog.
#include "session/manipulation.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <utility>
#include <vector>

#include "data/document_hooks.h"
#include "platform/ui.h"
#include "precision/rounding.h"

namespace trendolin {
namespace {

constexpr int kClipWarningCaption = 45;
constexpr int kClipWarningText = 46;
constexpr int kScaleRefusedCaption = 140;
constexpr int kScaleRefusedText = 141;
constexpr int kTranslateRefusedCaption = 142;
constexpr int kTranslateRefusedText = 143;
// Points exactly on an edge of the clipping window stay, even when the edge
// went through "%f" and back (2^-22, absolute).
constexpr double kClipTolerance = 2.3841858e-7;

// The busy cursor for the life of a scope, restored on every way out.
class BusyScope {
 public:
  BusyScope() { platform::CurrentUi().SetBusy(true); }
  ~BusyScope() { platform::CurrentUi().SetBusy(false); }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;
};

// The dialog's working state (caption, disabled buttons) plus the busy cursor.
class WorkingScope {
 public:
  explicit WorkingScope(const WorkingNotice& notice) : notice_(notice) {
    if (notice_) notice_(true);
  }
  ~WorkingScope() {
    if (notice_) notice_(false);
  }
  WorkingScope(const WorkingScope&) = delete;
  WorkingScope& operator=(const WorkingScope&) = delete;

 private:
  const WorkingNotice& notice_;
  BusyScope busy_;
};

std::string FormatFixed(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%f", value);
  return text;
}

// A clipping limit as the field shows it: "%f" when that text reads back as
// the same float, otherwise enough digits to do so. Six decimals alone would
// turn a small or precise extreme (0.00123456) into a limit that cuts off the
// very point it came from, so clipping at the data's own extremes would
// remove points.
std::string FormatLimit(datatype value) {
  std::string text = FormatFixed(value);
  if (std::strtof(text.c_str(), nullptr) == value) return text;
  char precise[64];
  std::snprintf(precise, sizeof precise, "%.9g", static_cast<double>(value));
  return precise;
}

// Reads a field whose value is stored in single precision: a value beyond
// the float range is as bad as no number, since it would turn every scaled
// or clipped value into an infinity.
std::optional<datatype> ReadFloatField(const std::string& text, std::size_t* badPosition) {
  const std::optional<double> value = ReadNumberField(text, badPosition);
  if (!value) return std::nullopt;
  if (!FitsDatatype(*value)) {
    *badPosition = 0;
    return std::nullopt;
  }
  return static_cast<datatype>(*value);
}

// Reads the field `id` into *value, or fills `result` with the failure and beeps.
bool ReadField(const std::string& text, int id, datatype* value, ApplyResult* result) {
  std::size_t bad = 0;
  const std::optional<datatype> read = ReadFloatField(text, &bad);
  if (!read) {
    result->badField = id;
    result->badPosition = bad;
    platform::CurrentUi().Beep();
    return false;
  }
  *value = *read;
  return true;
}

void RefreshAfterChange() {
  CallHook(Hooks().refresh);
  CallHook(Hooks().repaintMain);
}

// The window must be ordered and overlap the data in both directions.
bool ClipWindowFitsData(const CurveFit& doc, datatype xMin, datatype xMax, datatype yMin, datatype yMax) {
  const bool yFits = yMin <= doc.fMax[1] && yMin <= yMax && yMax >= doc.fMin[1];
  const bool xFits = xMin <= doc.fMax[0] && xMin <= xMax && xMax >= doc.fMin[0];
  return yFits && xFits;
}

}  // namespace

// ---- the column-wide operations of the data set ----

void CurveFit::SwapColumns(int a, int b) {
  if (a < 0 || b < 0 || a >= nColumns || b >= nColumns || a == b) return;
  for (int r = 0; r < nPoints; ++r) std::swap(At(r, a), At(r, b));
  MarkModified();
}

namespace {

// Every value a column-wide change would store is worked out first: a value
// pushed past the float range would be written as "inf", which no reader
// takes for a number, so the change is refused whole, like a transform.
template <class Change>
bool EveryResultFinite(const CurveFit& doc, int columns, Change change) {
  for (int c = 0; c < columns && c < doc.nColumns; ++c) {
    for (int r = 0; r < doc.nPoints; ++r) {
      if (!std::isfinite(change(c, doc.At(r, c)))) return false;
    }
  }
  return true;
}

}  // namespace

bool CurveFit::ScaleData(datatype xFactor, datatype yFactor) {
  const int columns = bUncertainty ? 3 : 2;
  if (!EveryResultFinite(*this, columns,
                         [&](int c, datatype v) -> datatype { return v * (c == 0 ? xFactor : yFactor); })) {
    return false;
  }
  for (int r = 0; r < nPoints; ++r) {
    At(r, 0) *= xFactor;
    At(r, 1) *= yFactor;
    // A standard deviation of y is in y's units: it scales with y.
    if (bUncertainty) At(r, 2) *= yFactor;
  }
  MarkModified();
  return true;
}

bool CurveFit::TranslateData(datatype xOffset, datatype yOffset) {
  if (!EveryResultFinite(*this, 2, [&](int c, datatype v) -> datatype { return v + (c == 0 ? xOffset : yOffset); })) {
    return false;
  }
  // Shifting y leaves its spread, and so the uncertainties, as they were.
  for (int r = 0; r < nPoints; ++r) {
    At(r, 0) += xOffset;
    At(r, 1) += yOffset;
  }
  MarkModified();
  return true;
}

int CurveFit::ClipData(datatype xMin, datatype xMax, datatype yMin, datatype yMax) {
  std::vector<char> outside;
  try {
    outside.assign(static_cast<std::size_t>(nPoints), 0);
  } catch (const std::bad_alloc&) {
    return -1;
  }
  // The edges are widened in double precision so that the tolerance survives
  // at any magnitude of the limits.
  const double left = static_cast<double>(xMin) - kClipTolerance;
  const double right = static_cast<double>(xMax) + kClipTolerance;
  const double bottom = static_cast<double>(yMin) - kClipTolerance;
  const double top = static_cast<double>(yMax) + kClipTolerance;
  int removeCount = 0;
  for (int r = 0; r < nPoints; ++r) {
    const double x = At(r, 0);
    const double y = At(r, 1);
    if (x < left || x > right || y < bottom || y > top) {
      outside[static_cast<std::size_t>(r)] = 1;
      ++removeCount;
    }
    platform::CurrentUi().PumpEvents();
  }
  // Kept points move up in their former order, all columns together.
  int kept = 0;
  for (int r = 0; r < nPoints; ++r) {
    if (outside[static_cast<std::size_t>(r)]) continue;
    if (kept != r) {
      for (int c = 0; c < nColumns; ++c) At(kept, c) = At(r, c);
    }
    ++kept;
  }
  for (int removed = 0; removed < removeCount; ++removed) {
    if (RemoveLastRows(1) != 0) return -2;
  }
  return removeCount;
}

// ---- the dialog ----

std::string ManipulationHelpTopic(int page) {
  switch (page) {
    case kScalingPage: return "datascaling.html";
    case kTranslationPage: return "datatranslation.html";
    case kClippingPage: return "dataclipping.html";
    case kSortingPage: return "datasorting.html";
    default: return {};
  }
}

std::optional<double> ReadNumberField(std::string_view text, std::size_t* badPosition) {
  const std::string copy(text);  // strtod needs the terminating zero
  const char* start = copy.c_str();
  char* end = nullptr;
  const double value = std::strtod(start, &end);
  const std::size_t stop = static_cast<std::size_t>(end - start);
  if (stop == 0) {
    *badPosition = 0;
    return std::nullopt;
  }
  for (std::size_t i = stop; i < copy.size(); ++i) {
    if (!std::isspace(static_cast<unsigned char>(copy[i]))) {
      *badPosition = stop;
      return std::nullopt;
    }
  }
  // "inf", "nan" and overflowing numbers are numbers to strtod, but no
  // field of the program can use them.
  if (!std::isfinite(value)) {
    *badPosition = 0;
    return std::nullopt;
  }
  *badPosition = 0;
  return value;
}

ManipulationFields InitialManipulationFields(CurveFit& doc) {
  doc.CalcDataStats();
  ManipulationFields fields;
  fields.scaling.xFactor = fields.scaling.yFactor = FormatFixed(1.0);
  fields.translation.xOffset = fields.translation.yOffset = FormatFixed(0.0);
  fields.clipping.xMin = FormatLimit(doc.fMin[0]);
  fields.clipping.xMax = FormatLimit(doc.fMax[0]);
  fields.clipping.yMin = FormatLimit(doc.fMin[1]);
  fields.clipping.yMax = FormatLimit(doc.fMax[1]);
  return fields;
}

ApplyResult ApplyScaling(CurveFit& doc, const ScalingFields& fields) {
  ApplyResult result;
  {
    BusyScope busy;
    datatype xFactor = 1.0f;
    datatype yFactor = 1.0f;
    if (fields.scaleX && !ReadField(fields.xFactor, kScaleXFactorField, &xFactor, &result)) return result;
    if (fields.scaleY && !ReadField(fields.yFactor, kScaleYFactorField, &yFactor, &result)) return result;
    UndoableChange change(doc, kUndoScale);
    result.applied = doc.ScaleData(xFactor, yFactor);
    if (result.applied) change.Done();
  }
  if (!result.applied) {
    result.notFinite = true;
    platform::ResourceMessageBox(kScaleRefusedCaption, kScaleRefusedText, platform::Icon::Exclamation,
                                 platform::Buttons::Ok);
    return result;
  }
  RefreshAfterChange();
  return result;
}

ApplyResult ApplyTranslation(CurveFit& doc, const TranslationFields& fields) {
  ApplyResult result;
  datatype xOffset = 0.0f;
  datatype yOffset = 0.0f;
  if (fields.translateX && !ReadField(fields.xOffset, kTranslateXOffsetField, &xOffset, &result)) return result;
  if (fields.translateY && !ReadField(fields.yOffset, kTranslateYOffsetField, &yOffset, &result)) return result;
  UndoableChange change(doc, kUndoTranslate);
  if (!doc.TranslateData(xOffset, yOffset)) {
    result.notFinite = true;
    platform::ResourceMessageBox(kTranslateRefusedCaption, kTranslateRefusedText, platform::Icon::Exclamation,
                                 platform::Buttons::Ok);
    return result;
  }
  change.Done();
  result.applied = true;
  RefreshAfterChange();
  return result;
}

ApplyResult ApplyClipping(CurveFit& doc, const ClippingFields& fields, DataGridSink* grid,
                          const WorkingNotice& working) {
  ApplyResult result;
  datatype yMin = 0.0f, yMax = 0.0f, xMin = 0.0f, xMax = 0.0f;
  if (!ReadField(fields.yMin, kClipYMinField, &yMin, &result) ||
      !ReadField(fields.yMax, kClipYMaxField, &yMax, &result) ||
      !ReadField(fields.xMin, kClipXMinField, &xMin, &result) ||
      !ReadField(fields.xMax, kClipXMaxField, &xMax, &result)) {
    return result;
  }
  // The dialog may have changed the data since it opened (it stays open
  // across applications): compare with the extremes of the data as they are.
  doc.CalcDataStats();
  if (!ClipWindowFitsData(doc, xMin, xMax, yMin, yMax)) {
    platform::ResourceMessageBox(kClipWarningCaption, kClipWarningText, platform::Icon::Exclamation,
                                 platform::Buttons::Ok);
    return result;
  }
  const int pointsBefore = doc.nPoints;
  UndoableChange change(doc, kUndoClip);
  {
    WorkingScope scope(working);
    doc.ClipData(xMin, xMax, yMin, yMax);
  }
  // Counted from the point count rather than ClipData's result: a removal
  // refused part-way still leaves the earlier points removed, and undoing
  // it must put them back.
  result.pointsRemoved = pointsBefore - doc.nPoints;
  if (result.pointsRemoved > 0) {
    change.Done();
    if (grid) {
      grid->SetUsedColumns(doc.nColumns);
      grid->SetPointCount(doc.nPoints);
    }
  }
  result.applied = true;
  RefreshAfterChange();
  return result;
}

ApplyResult ApplySorting(CurveFit& doc, const SortingFields& fields, const WorkingNotice& working) {
  ApplyResult result;
  {
    WorkingScope scope(working);
    UndoableChange change(doc, kUndoSort);
    result.applied = doc.SortData(fields.key == 1 ? 1 : 0) == 0;
    if (result.applied) change.Done();
  }
  RefreshAfterChange();
  return result;
}

void ApplySwap(CurveFit& doc) {
  UndoableChange change(doc, kUndoSwap);
  doc.SwapColumns(0, 1);
  change.Done();
  RefreshAfterChange();
}

}  // namespace trendolin
