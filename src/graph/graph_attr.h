// One graph window's record of which fit it shows and how it is drawn: axis
// ranges, texts, fonts, colours, symbol and line styles and the on/off
// switches; with the defaults kept in section "Plot Attributes" of the
// settings file, the copy between two records and the automatic axes.
#pragma once

#include <cstdint>
#include <string>

#include "graph/surface.h"
#include "graph/system_colours.h"
#include "precision/datatype.h"

namespace platform {
class ProfileFile;
}

namespace trendolin {

class CurveFit;

// The host's handle of a graph window; kNoWindow when there is none.
using GraphWindowId = int;
inline constexpr GraphWindowId kNoWindow = 0;

inline constexpr const char* kPlotAttributesSection = "Plot Attributes";

enum class PlotKind {
  Fit,       // the data and the fitted curve (or the data alone, model 503)
  Residual,  // the residuals page of the model information window; never queued
};

// Bit numbers of GraphAttr::switches; each has its own key in the settings
// file (the key is the name without "kSw").
enum GraphSwitch {
  kSwDrawHeader = 0,
  kSwBox,
  kSwBoxRound,
  kSwPaneLeft,
  kSwPaneRight,
  kSwPaneTop,
  kSwPaneBottom,
  kSwShowDataPoints,
  kSwResidPoints,
  kSwPtFill,
  kSwLogX,
  kSwLogY,
  kSwScientificX,
  kSwScientificY,
  kSwShowXLabel,
  kSwShowYLabel,
  kSwShowXGrid,
  kSwShowYGrid,
  kSwShowXGridMinor,
  kSwShowYGridMinor,
  kSwXTicksIn,
  kSwYTicksIn,
  kSwLockFrameColor,
  kSwShowErrorBars,
  kSwLineAtX,
  kSwLineAtY,
  // Shaded 95% bands around the fitted curve of a regression: where the
  // curve lies, and where a new measurement would. Off for a new graph.
  kSwConfidenceBand,
  kSwPredictionBand,
};
inline constexpr int kGraphSwitchCount = 28;

constexpr std::uint32_t SwitchBit(GraphSwitch s) { return 1u << static_cast<unsigned>(s); }

// The switches a new graph has on.
inline constexpr std::uint32_t kDefaultSwitches =
    SwitchBit(kSwDrawHeader) | SwitchBit(kSwPaneLeft) | SwitchBit(kSwPaneRight) | SwitchBit(kSwPaneTop) |
    SwitchBit(kSwPaneBottom) | SwitchBit(kSwShowDataPoints) | SwitchBit(kSwPtFill) | SwitchBit(kSwShowXLabel) |
    SwitchBit(kSwShowYLabel) | SwitchBit(kSwShowXGrid) | SwitchBit(kSwShowYGrid) | SwitchBit(kSwLockFrameColor) |
    SwitchBit(kSwShowErrorBars) | SwitchBit(kSwLineAtX) | SwitchBit(kSwLineAtY);

// Data-point symbols (the "PtType" value); any other value draws a circle.
enum PointType : int {
  kPtCircle = 1,
  kPtCross = 2,
  kPtPlus = 3,
  kPtSquare = 4,
  kPtTriangle = 5,
  kPtInvTriangle = 6,
  kPtHourglass = 7,
  kPtDiamond = 8,
  kPtAsterisk = 9,
};

// Curve styles (the "LineStyle" value).
enum LineStyle : int { kLineSolid = 0, kLineDashed, kLineDotted, kLineDotDashed, kLineDotDotDashed };

struct GraphAttr {
  int modelId = 0;                    // 500..539; negative: the initial-guess test view of that model
  PlotKind plotKind = PlotKind::Fit;
  GraphWindowId window = kNoWindow;   // the window that shows this record

  std::string title = "Untitled Graph";
  std::string xLabel = "X Axis (units)";
  std::string yLabel = "Y Axis (units)";
  std::uint8_t xPrecision = 1;  // decimals of the tick labels
  std::uint8_t yPrecision = 2;
  // Axis ends and major tick spacing; AutomaticAxes chooses them from the data.
  datatype xMin = 0;
  datatype xMax = 1;
  datatype yMin = 0;
  datatype yMax = 1;
  datatype xStep = 1.0f / 6;
  datatype yStep = 1.0f / 6;
  datatype errorBarScale = 1;  // times each point's uncertainty
  std::uint8_t xMinorTicks = 3;  // between two major ticks
  std::uint8_t yMinorTicks = 3;
  std::uint8_t majorTickLength = 6;  // pixels at scale 1
  std::uint8_t minorTickLength = 4;
  int lineStyle = kLineSolid;
  std::uint8_t lineWidth = 2;  // pixels at scale 1, solid curves only
  std::uint8_t pointType = kPtCircle;
  std::uint8_t boxWidth = 1;
  std::uint8_t granularity = 4;  // curve sampling step in pixels
  std::uint8_t pointSize = 5;    // symbol half-size in pixels at scale 1

  FontSpec xFont{"Arial", 120, 700, 0, kSystemButtonText};
  FontSpec yFont{"Arial", 120, 700, 90, kSystemButtonText};
  FontSpec xTickFont{"Arial", 90, 700, 0, kSystemButtonText};
  FontSpec yTickFont{"Arial", 90, 700, 25, 0};
  FontSpec titleFont{"Arial", 180, 700, 0, kSystemButtonText};

  Colour lineColour = MakeColour(255, 0, 0);
  Colour dataPointColour = MakeColour(0, 0, 255);
  Colour foreground = kSystemButtonText;
  Colour background = kSystemButtonHighlight;
  Colour gridColour = kSystemButtonShadow;
  Colour windowFill = kSystemButtonFace;
  Colour boxColour = kBlack;

  // The plot area in window pixels, stored by the last screen rendering for
  // the mouse zoom.
  Rect plotRect;
  std::uint32_t switches = kDefaultSwitches;

  bool Switch(GraphSwitch s) const { return (switches & SwitchBit(s)) != 0; }
  void SetSwitch(GraphSwitch s, bool on) { switches = on ? (switches | SwitchBit(s)) : (switches & ~SwitchBit(s)); }
};

// Fills every stored field of `attr` from section "Plot Attributes" (the
// default for each key that is absent), then chooses the axes for `doc`.
void ReadGraphDefaults(const platform::ProfileFile& profile, GraphAttr& attr, CurveFit& doc);

// Puts every stored field of `attr` into `profile`, in the file's order.
void StoreGraphDefaults(const GraphAttr& attr, platform::ProfileFile& profile);

// Writes the stored fields of `attr` as the defaults for new graphs into the
// settings file at `settingsPath`, keeping everything else in it, and saves
// the file in one step. On failure returns false and, if `error` is given, a
// reason for a person.
bool WriteGraphDefaults(const GraphAttr& attr, const std::string& settingsPath, std::string* error = nullptr);

// Copies the drawing attributes of `from` into `to`: everything but the
// window, the model, the plot rectangle and the two axis-label switches.
void CopyGraphAttr(GraphAttr& to, const GraphAttr& from);

// Chooses the axis ends and steps that show the whole data set of `doc` (for a
// residual plot, the residuals of the record's model) with a margin. A
// residual plot evaluates the fit: its failure raises errnotify.
void AutomaticAxes(GraphAttr& attr, CurveFit& doc);

// A font as the settings file stores it ("Arial,120,700,0,-1,0,0,0"), and back.
FontSpec ParseFontSpec(const std::string& text);
std::string FormatFontSpec(const FontSpec& font);

}  // namespace trendolin
