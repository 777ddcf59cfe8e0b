// The Graph Properties pages as values: shown from a record, read and
// checked back into it.
#include "session/graph_properties.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/profile_file.h"
#include "session/manipulation.h"

namespace trendolin {

namespace {

std::string Format(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

std::string Integer(long value) { return std::to_string(value); }

// The switches of one axis page, in the order the page lists them.
struct AxisSwitches {
  GraphSwitch log, scientific, showLabel, showGrid, showGridMinor, ticksIn, lineAtZero;
};

AxisSwitches SwitchesOf(GraphAxis axis) {
  if (axis == GraphAxis::X) {
    return {kSwLogX, kSwScientificX, kSwShowXLabel, kSwShowXGrid, kSwShowXGridMinor, kSwXTicksIn, kSwLineAtX};
  }
  return {kSwLogY, kSwScientificY, kSwShowYLabel, kSwShowYGrid, kSwShowYGridMinor, kSwYTicksIn, kSwLineAtY};
}

// The fields of one axis in the record.
struct AxisRefs {
  datatype& minimum;
  datatype& maximum;
  datatype& step;
  std::uint8_t& minorTicks;
  std::uint8_t& precision;
  int& angle;  // of the tick-label font
  std::string& label;
};

AxisRefs RefsOf(GraphAttr& attr, GraphAxis axis) {
  if (axis == GraphAxis::X) {
    return {attr.xMin, attr.xMax, attr.xStep, attr.xMinorTicks, attr.xPrecision, attr.xTickFont.angle, attr.xLabel};
  }
  return {attr.yMin, attr.yMax, attr.yStep, attr.yMinorTicks, attr.yPrecision, attr.yTickFont.angle, attr.yLabel};
}

// A number field that a float can hold.
std::optional<datatype> ReadFloat(const std::string& text) {
  std::size_t bad = 0;
  const std::optional<double> value = ReadNumberField(text, &bad);
  if (!value) return std::nullopt;
  const datatype narrowed = static_cast<datatype>(*value);
  if (!std::isfinite(narrowed)) return std::nullopt;
  return narrowed;
}

// A field still showing `current` as the page wrote it keeps the exact
// value: "%g" has fewer digits than a float, and opening the dialog and
// pressing OK must not move an axis.
std::optional<datatype> ReadUnlessShown(const std::string& text, datatype current, const char* format) {
  if (text == Format(format, current)) return current;
  return ReadFloat(text);
}

std::optional<long> ReadInRange(const std::string& text, long low, long high) {
  const std::optional<long> value = ReadIntegerField(text);
  if (!value || *value < low || *value > high) return std::nullopt;
  return value;
}

}  // namespace

AxisPageFields AxisPageOf(const GraphAttr& attr, GraphAxis axis) {
  GraphAttr copy = attr;
  const AxisRefs r = RefsOf(copy, axis);
  const AxisSwitches s = SwitchesOf(axis);
  AxisPageFields f;
  f.minimum = Format("%g", r.minimum);
  f.maximum = Format("%g", r.maximum);
  f.step = Format("%g", r.step);
  f.minorTicks = Integer(r.minorTicks);
  f.precision = Integer(r.precision);
  f.angle = Integer(r.angle);
  f.label = r.label;
  f.log = attr.Switch(s.log);
  f.scientific = attr.Switch(s.scientific);
  f.showLabel = attr.Switch(s.showLabel);
  f.showGrid = attr.Switch(s.showGrid);
  f.showGridMinor = attr.Switch(s.showGridMinor);
  f.ticksIn = attr.Switch(s.ticksIn);
  f.lineAtZero = attr.Switch(s.lineAtZero);
  return f;
}

PointsPageFields PointsPageOf(const GraphAttr& attr) {
  PointsPageFields f;
  f.pointSize = Integer(attr.pointSize);
  f.lineWidth = Integer(attr.lineWidth);
  f.granularity = Integer(attr.granularity);
  f.errorBarScale = Format("%.2f", attr.errorBarScale);
  f.showPoints = attr.Switch(attr.plotKind == PlotKind::Residual ? kSwResidPoints : kSwShowDataPoints);
  f.fill = attr.Switch(kSwPtFill);
  f.errorBars = attr.Switch(kSwShowErrorBars);
  f.confidenceBand = attr.Switch(kSwConfidenceBand);
  f.predictionBand = attr.Switch(kSwPredictionBand);
  return f;
}

OverallPageFields OverallPageOf(const GraphAttr& attr) {
  OverallPageFields f;
  f.boxWidth = Integer(attr.boxWidth);
  f.title = attr.title;
  f.drawHeader = attr.Switch(kSwDrawHeader);
  f.lockFrameColor = attr.Switch(kSwLockFrameColor);
  f.box = attr.Switch(kSwBox);
  f.paneLeft = attr.Switch(kSwPaneLeft);
  f.paneRight = attr.Switch(kSwPaneRight);
  f.paneTop = attr.Switch(kSwPaneTop);
  f.paneBottom = attr.Switch(kSwPaneBottom);
  f.boxRound = attr.Switch(kSwBoxRound);
  return f;
}

bool LogAllowed(datatype minimum, datatype maximum) { return minimum > 0 && maximum > 0; }

bool SettleLogSwitch(GraphAttr& attr, GraphAxis axis) {
  const AxisRefs r = RefsOf(attr, axis);
  if (LogAllowed(r.minimum, r.maximum)) return true;
  attr.SetSwitch(SwitchesOf(axis).log, false);
  return false;
}

std::optional<long> ReadIntegerField(std::string_view text) {
  const std::string copy(text);
  const char* start = copy.c_str();
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(start, &end, 10);
  if (end == start || errno == ERANGE) return std::nullopt;
  for (const char* p = end; *p != '\0'; ++p) {
    if (!std::isspace(static_cast<unsigned char>(*p))) return std::nullopt;
  }
  return value;
}

std::optional<PropsField> TakeAxisPage(GraphAttr& attr, GraphAxis axis, const AxisPageFields& fields,
                                       bool* logAllowed) {
  const AxisSwitches s = SwitchesOf(axis);
  GraphAttr page = attr;
  page.SetSwitch(s.log, fields.log);
  page.SetSwitch(s.scientific, fields.scientific);
  page.SetSwitch(s.showLabel, fields.showLabel);
  page.SetSwitch(s.showGrid, fields.showGrid);
  page.SetSwitch(s.showGridMinor, fields.showGridMinor);
  page.SetSwitch(s.ticksIn, fields.ticksIn);
  page.SetSwitch(s.lineAtZero, fields.lineAtZero);

  GraphAttr shown = attr;
  const AxisRefs now = RefsOf(shown, axis);
  const std::optional<datatype> minimum = ReadUnlessShown(fields.minimum, now.minimum, "%g");
  if (!minimum) return PropsField::Minimum;
  const std::optional<datatype> maximum = ReadUnlessShown(fields.maximum, now.maximum, "%g");
  if (!maximum) return PropsField::Maximum;
  const std::optional<datatype> step = ReadUnlessShown(fields.step, now.step, "%g");
  if (!step) return PropsField::Step;
  const bool allowed = LogAllowed(*minimum, *maximum);
  if (logAllowed != nullptr) *logAllowed = allowed;
  if (!allowed) {
    page.SetSwitch(s.log, false);
    attr.SetSwitch(s.log, false);
  }
  // Minor ticks and precision are kept in a byte; the fields take two digits.
  const std::optional<long> minorTicks = ReadInRange(fields.minorTicks, 0, 99);
  if (!minorTicks) return PropsField::MinorTicks;
  const std::optional<long> angle = ReadInRange(fields.angle, -99, 999);
  if (!angle) return PropsField::Angle;
  const std::optional<long> precision = ReadInRange(fields.precision, 0, 99);
  if (!precision) return PropsField::Precision;
  if (*maximum < *minimum) return PropsField::Minimum;
  if (!(*step > 0)) return PropsField::Step;
  if (*minorTicks == 0) return PropsField::MinorTicks;

  AxisRefs r = RefsOf(page, axis);
  r.minimum = *minimum;
  r.maximum = *maximum;
  r.step = *step;
  r.minorTicks = static_cast<std::uint8_t>(*minorTicks);
  r.angle = static_cast<int>(*angle);
  r.precision = static_cast<std::uint8_t>(*precision);
  r.label = fields.label.substr(0, kGraphTextChars);
  attr = page;
  return std::nullopt;
}

std::optional<PropsField> TakePointsPage(GraphAttr& attr, const PointsPageFields& fields, bool hasUncertainty) {
  const std::optional<long> pointSize = ReadInRange(fields.pointSize, kPointSizeLow, kPointSizeHigh);
  if (!pointSize) return PropsField::PointSize;
  const std::optional<long> granularity = ReadInRange(fields.granularity, kGranularityLow, kGranularityHigh);
  if (!granularity) return PropsField::Granularity;
  const std::optional<datatype> scale = ReadUnlessShown(fields.errorBarScale, attr.errorBarScale, "%.2f");
  if (!scale || !(*scale > 0)) return PropsField::ErrorBarScale;
  const std::optional<long> lineWidth = ReadInRange(fields.lineWidth, kLineWidthLow, kLineWidthHigh);
  if (!lineWidth) return PropsField::LineWidth;

  attr.pointSize = static_cast<std::uint8_t>(*pointSize);
  attr.granularity = static_cast<std::uint8_t>(*granularity);
  attr.errorBarScale = *scale;
  attr.lineWidth = static_cast<std::uint8_t>(*lineWidth);
  attr.SetSwitch(attr.plotKind == PlotKind::Residual ? kSwResidPoints : kSwShowDataPoints, fields.showPoints);
  attr.SetSwitch(kSwPtFill, fields.fill);
  if (hasUncertainty) attr.SetSwitch(kSwShowErrorBars, fields.errorBars);
  attr.SetSwitch(kSwConfidenceBand, fields.confidenceBand);
  attr.SetSwitch(kSwPredictionBand, fields.predictionBand);
  return std::nullopt;
}

std::optional<PropsField> TakeOverallPage(GraphAttr& attr, const OverallPageFields& fields) {
  const std::optional<long> boxWidth = ReadInRange(fields.boxWidth, kBoxWidthLow, kBoxWidthHigh);
  if (!boxWidth) return PropsField::BoxWidth;
  attr.boxWidth = static_cast<std::uint8_t>(*boxWidth);
  attr.SetSwitch(kSwDrawHeader, fields.drawHeader);
  attr.SetSwitch(kSwLockFrameColor, fields.lockFrameColor);
  if (fields.lockFrameColor) LockFontColours(attr);
  attr.SetSwitch(kSwBox, fields.box);
  attr.SetSwitch(kSwPaneLeft, fields.paneLeft);
  attr.SetSwitch(kSwPaneRight, fields.paneRight);
  attr.SetSwitch(kSwPaneTop, fields.paneTop);
  attr.SetSwitch(kSwPaneBottom, fields.paneBottom);
  attr.SetSwitch(kSwBoxRound, fields.boxRound);
  attr.title = fields.title.substr(0, kGraphTextChars);
  return std::nullopt;
}

void LockFontColours(GraphAttr& attr) {
  for (FontSpec* font : {&attr.xFont, &attr.yFont, &attr.xTickFont, &attr.yTickFont, &attr.titleFont}) {
    font->colour = attr.foreground;
  }
}

bool DrawsAlike(const GraphAttr& a, const GraphAttr& b) {
  // The copy is the one list of what a record draws with: copy `b` over `a`
  // and see whether anything moved.
  GraphAttr probe = a;
  RestoreGraphAttr(probe, b);
  auto same = [](const GraphAttr& p, const GraphAttr& q) {
    return p.xFont == q.xFont && p.yFont == q.yFont && p.xTickFont == q.xTickFont && p.yTickFont == q.yTickFont &&
           p.titleFont == q.titleFont && p.plotKind == q.plotKind && p.xPrecision == q.xPrecision &&
           p.yPrecision == q.yPrecision && p.xMin == q.xMin && p.xMax == q.xMax && p.yMin == q.yMin &&
           p.yMax == q.yMax && p.xStep == q.xStep && p.yStep == q.yStep && p.xMinorTicks == q.xMinorTicks &&
           p.yMinorTicks == q.yMinorTicks && p.majorTickLength == q.majorTickLength &&
           p.minorTickLength == q.minorTickLength && p.lineStyle == q.lineStyle && p.lineWidth == q.lineWidth &&
           p.pointType == q.pointType && p.boxWidth == q.boxWidth && p.granularity == q.granularity &&
           p.pointSize == q.pointSize && p.errorBarScale == q.errorBarScale && p.lineColour == q.lineColour &&
           p.dataPointColour == q.dataPointColour && p.foreground == q.foreground && p.background == q.background &&
           p.gridColour == q.gridColour && p.windowFill == q.windowFill && p.boxColour == q.boxColour &&
           p.title == q.title && p.xLabel == q.xLabel && p.yLabel == q.yLabel && p.switches == q.switches;
  };
  return same(probe, a);
}

void RestoreGraphAttr(GraphAttr& attr, const GraphAttr& saved) {
  CopyGraphAttr(attr, saved);
  attr.SetSwitch(kSwShowXLabel, saved.Switch(kSwShowXLabel));
  attr.SetSwitch(kSwShowYLabel, saved.Switch(kSwShowYLabel));
}

bool WriteGraphPropsDefaults(const GraphAttr& attr, const std::string& settingsPath, std::string* error) {
  if (attr.plotKind != PlotKind::Residual) return WriteGraphDefaults(attr, settingsPath, error);
  std::optional<platform::ProfileFile> profile = platform::ProfileFile::LoadForUpdate(settingsPath, error);
  if (!profile) return false;
  profile->Set(kPlotAttributesSection, "ResidPoints", attr.Switch(kSwResidPoints) ? "-1" : "0");
  return profile->Save(settingsPath, error);
}

}  // namespace trendolin
