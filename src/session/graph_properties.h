// The rules of the Graph Properties dialog without its widgets: what each
// page shows of a graph's attributes, how the typed values are read and
// checked before they reach the record, and what Cancel, Make Default and
// Apply to All Graphs do with the record.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "graph/graph_attr.h"

namespace trendolin {

inline constexpr const char* kGraphPropsCaption = "Graph Properties - [%s]";  // %s: the graph window's title
inline constexpr const char* kShowDataPointsCaption = "Show Data Points";
inline constexpr const char* kShowResidPointsCaption = "Show Residuals as Points";
inline constexpr int kGraphPropsBusyCaption = 73;  // message pair shown when a second dialog would open
inline constexpr int kGraphPropsBusyText = 74;

inline constexpr const char* kGraphPropsAxisHelp = "graphprops.html#xyaxis";
inline constexpr const char* kGraphPropsPointsHelp = "graphprops.html#pointline";
inline constexpr const char* kGraphPropsOverallHelp = "graphprops.html#overall";
inline constexpr const char* kGraphPropsFontHelp = "graphprops.html";
inline constexpr const char* kTickLabelSample = "1.23456789";

// The longest texts the fields take.
inline constexpr int kGraphTextChars = 255;
inline constexpr int kTwoDigits = 2;
inline constexpr int kThreeDigits = 3;

// The ranges of the up-down fields.
inline constexpr int kPointSizeLow = 1, kPointSizeHigh = 50;
inline constexpr int kLineWidthLow = 0, kLineWidthHigh = 50;
inline constexpr int kGranularityLow = 1, kGranularityHigh = 100;
inline constexpr int kBoxWidthLow = 0, kBoxWidthHigh = 100;

enum class GraphAxis { X, Y };

// The field a refused value sits in, so that the dialog can put the person
// back on it.
enum class PropsField {
  Minimum, Maximum, Step, MinorTicks, Angle, Precision,
  PointSize, LineWidth, Granularity, ErrorBarScale,
  BoxWidth,
};

// One axis page as shown and typed.
struct AxisPageFields {
  std::string minimum, maximum, step;  // "%g"
  std::string minorTicks, precision, angle;  // integers
  std::string label;
  bool log = false;
  bool scientific = false;
  bool showLabel = true;
  bool showGrid = true;
  bool showGridMinor = false;
  bool ticksIn = false;
  bool lineAtZero = true;
};

struct PointsPageFields {
  std::string pointSize, lineWidth, granularity;  // integers
  std::string errorBarScale;                       // "%.2f"
  bool showPoints = true;  // "ResidPoints" on a residual plot, else "ShowDataPoints"
  bool fill = true;
  bool errorBars = true;
  bool confidenceBand = false;  // the 95% bands around a regression's curve
  bool predictionBand = false;
};

struct OverallPageFields {
  std::string boxWidth;
  std::string title;
  bool drawHeader = true;
  bool lockFrameColor = true;
  bool box = false;
  bool paneLeft = true, paneRight = true, paneTop = true, paneBottom = true;
  bool boxRound = false;
};

AxisPageFields AxisPageOf(const GraphAttr& attr, GraphAxis axis);
PointsPageFields PointsPageOf(const GraphAttr& attr);
OverallPageFields OverallPageOf(const GraphAttr& attr);

// A logarithmic axis needs both ends positive.
bool LogAllowed(datatype minimum, datatype maximum);
// Turns the log switch of `axis` off when its range does not allow it;
// answers whether the log choice may be offered.
bool SettleLogSwitch(GraphAttr& attr, GraphAxis axis);

// Reads a typed page into `attr`. Nothing of the page reaches the record
// unless every value is accepted; a refusal names the field to go back to.
// `logAllowed` answers whether the typed range allows a log axis (the log
// switch is then also off in the record), refused or not.
std::optional<PropsField> TakeAxisPage(GraphAttr& attr, GraphAxis axis, const AxisPageFields& fields,
                                       bool* logAllowed = nullptr);
// The error-bar switch is taken only when the data have uncertainties: the
// check box cannot be changed otherwise.
std::optional<PropsField> TakePointsPage(GraphAttr& attr, const PointsPageFields& fields, bool hasUncertainty);
std::optional<PropsField> TakeOverallPage(GraphAttr& attr, const OverallPageFields& fields);

// A decimal integer and nothing else but blanks around it.
std::optional<long> ReadIntegerField(std::string_view text);

// With "LockFrameColor", the five fonts take the foreground colour.
void LockFontColours(GraphAttr& attr);

// Whether the two records would draw differently (everything the copy
// carries, and the two axis-label switches).
bool DrawsAlike(const GraphAttr& a, const GraphAttr& b);
// Puts back what `saved` drew: the copy, and the axis-label switches the
// copy leaves alone.
void RestoreGraphAttr(GraphAttr& attr, const GraphAttr& saved);

// Keeps `attr` as the defaults for new graphs in the settings file. A
// residual plot keeps only its "ResidPoints": its other attributes (its own
// title, its symmetric axes) are no defaults for a fit's graph.
bool WriteGraphPropsDefaults(const GraphAttr& attr, const std::string& settingsPath, std::string* error = nullptr);

}  // namespace trendolin
