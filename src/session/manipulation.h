// The manipulation dialog's pages (scaling, translation, clipping, sorting and
// the x/y swap) as functions over the texts and check boxes the pages show.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "data/curve_fit.h"

namespace trendolin {

// Control identifiers of the pages' fields. A failed apply names the bad
// number field by its identifier, so the window knows what to focus.
inline constexpr int kScaleXCheck = 1104;
inline constexpr int kScaleXFactorField = 1111;
inline constexpr int kScaleYCheck = 1105;
inline constexpr int kScaleYFactorField = 1103;
inline constexpr int kTranslateXCheck = 2106;
inline constexpr int kTranslateXOffsetField = 2107;
inline constexpr int kTranslateYCheck = 2108;
inline constexpr int kTranslateYOffsetField = 2109;
inline constexpr int kClipXMinField = 3101;
inline constexpr int kClipXMaxField = 3103;
inline constexpr int kClipYMinField = 3104;
inline constexpr int kClipYMaxField = 3105;
inline constexpr int kSortByXRadio = 4102;
inline constexpr int kSortByYRadio = 4103;
inline constexpr int kSwapColumnsButton = 4106;

// Pages of the dialog, in the order of its tabs.
enum ManipulationPage : int { kScalingPage = 0, kTranslationPage = 1, kClippingPage = 2, kSortingPage = 3 };

// The help topic of a page ("datascaling.html" ...); empty for an unknown page.
std::string ManipulationHelpTopic(int page);

// What the Edit menu's Undo and Redo entries call each change.
inline constexpr const char* kUndoScale = "Scale";
inline constexpr const char* kUndoTranslate = "Translate";
inline constexpr const char* kUndoClip = "Clip";
inline constexpr const char* kUndoSort = "Sort";
inline constexpr const char* kUndoSwap = "Swap";

// Appended to the dialog's caption while clipping or sorting runs.
inline constexpr const char* kWorkingCaptionSuffix = " - Working...";

// The dialog's side of a long operation: called with true before the work
// (caption gets kWorkingCaptionSuffix, main window, OK and Cancel disabled,
// the dialog refuses to close) and with false after it.
using WorkingNotice = std::function<void(bool working)>;

// Reads a dialog number field: a number and nothing else but trailing
// blanks, read as strtod reads it with the locale's decimal point. On
// failure returns nullopt and sets *badPosition to the first character that
// is not part of the number; 0 when the text holds no number at all, or one
// that is not finite ("inf", "nan", or too large for a double).
std::optional<double> ReadNumberField(std::string_view text, std::size_t* badPosition);

struct ScalingFields {
  bool scaleX = true;
  std::string xFactor;
  bool scaleY = true;
  std::string yFactor;
};

struct TranslationFields {
  bool translateX = true;
  std::string xOffset;
  bool translateY = true;
  std::string yOffset;
};

struct ClippingFields {
  std::string xMin, xMax, yMin, yMax;
};

struct SortingFields {
  int key = 0;  // 0 by x (kSortByXRadio), 1 by y (kSortByYRadio)
};

struct ManipulationFields {
  ScalingFields scaling;
  TranslationFields translation;
  ClippingFields clipping;
  SortingFields sorting;
};

// What the dialog shows when it opens: both axes ticked, factors "%f" of 1,
// offsets "%f" of 0, the clipping window "%f" of the data's own extremes
// (the statistics are brought up to date first), sorting by x.
ManipulationFields InitialManipulationFields(CurveFit& doc);

struct ApplyResult {
  bool applied = false;
  int badField = 0;             // control identifier of the bad number field; 0 when none
  std::size_t badPosition = 0;  // where the selection of the bad part starts
  int pointsRemoved = 0;        // clipping only
  bool notFinite = false;       // scaling, translation: refused, a result would not be a finite float
};

// Each apply reads its page's fields; a bad number beeps and names the field
// (the window focuses it and selects from badPosition on) and nothing
// changes. Scaling or translation that would carry a value out of the float
// range shows its refusal (140/141, 142/143) and changes nothing. After a
// change the application refresh and the main window's repaint hooks run.
ApplyResult ApplyScaling(CurveFit& doc, const ScalingFields& fields);
ApplyResult ApplyTranslation(CurveFit& doc, const TranslationFields& fields);
// A window that is inverted or misses the data shows warning 45/46 and
// changes nothing. When points were removed `grid` (may be null) is told the
// column and row counts. Every applied change can be undone from the Edit
// menu under its name (kUndoScale ...).
ApplyResult ApplyClipping(CurveFit& doc, const ClippingFields& fields, DataGridSink* grid = nullptr,
                          const WorkingNotice& working = {});
ApplyResult ApplySorting(CurveFit& doc, const SortingFields& fields, const WorkingNotice& working = {});
// The swap button: x and y change places; the uncertainty column stays.
void ApplySwap(CurveFit& doc);

}  // namespace trendolin
