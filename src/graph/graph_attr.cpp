// Reading and writing the default graph attributes, copying attributes
// between graphs, and choosing the axes that show a data set.
#include "graph/graph_attr.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <system_error>
#include <vector>

#include "data/curve_fit.h"
#include "fit/model_desc.h"
#include "graph/plot_renderer.h"
#include "platform/profile_file.h"
#include "precision/fp_guard.h"

namespace trendolin {
namespace {

// Stored texts were read into fixed buffers; longer values are cut the same way.
constexpr std::size_t kTextChars = 254;
constexpr std::size_t kFontChars = 71;
constexpr std::size_t kNumberChars = 254;
constexpr int kOn = -1;
constexpr int kOff = 0;

// The switch keys in the order they are written; the position is the bit.
constexpr std::array<const char*, kGraphSwitchCount> kSwitchKeys = {
    "DrawHeader",     "Box",            "BoxRound",      "PaneLeft",      "PaneRight",    "PaneTop",
    "PaneBottom",     "ShowDataPoints", "ResidPoints",   "PtFill",        "LogX",         "LogY",
    "ScientificX",    "ScientificY",    "ShowXLabel",    "ShowYLabel",    "ShowXGrid",    "ShowYGrid",
    "ShowXGridMinor", "ShowYGridMinor", "XTicksIn",      "YTicksIn",      "LockFrameColor", "ShowErrorBars",
    "LineAtX",        "LineAtY",        "ConfidenceBand", "PredictionBand",
};

// A colour key: its member, and the system colour a stored text beginning
// with "-" stands for (none for the three keys that are always numbers).
struct ColourKey {
  const char* key;
  Colour GraphAttr::*field;
  std::optional<Colour> system;
  Colour numericDefault;
};

// In the order they are written.
const std::array<ColourKey, 7> kColourKeys = {{
    {"LineColor", &GraphAttr::lineColour, std::nullopt, MakeColour(255, 0, 0)},
    {"DataPointColor", &GraphAttr::dataPointColour, std::nullopt, MakeColour(0, 0, 255)},
    {"Foreground", &GraphAttr::foreground, kSystemButtonText, 0},
    {"Background", &GraphAttr::background, kSystemButtonHighlight, 0},
    {"GridColor", &GraphAttr::gridColour, kSystemButtonShadow, 0},
    {"WindowFill", &GraphAttr::windowFill, kSystemButtonFace, 0},
    {"BoxColor", &GraphAttr::boxColour, std::nullopt, kBlack},
}};

// The byte-sized numbers, in the order they are written; "LineStyle" is a
// full int and sits among them.
struct ByteKey {
  const char* key;
  std::uint8_t GraphAttr::*field;
  int defaultValue;
};

const std::array<ByteKey, 7> kBytesBeforeLineStyle = {{
    {"PrecisionX", &GraphAttr::xPrecision, 1},
    {"PrecisionY", &GraphAttr::yPrecision, 2},
    {"PointSize", &GraphAttr::pointSize, 5},
    {"XMinorTicks", &GraphAttr::xMinorTicks, 3},
    {"YMinorTicks", &GraphAttr::yMinorTicks, 3},
    {"MajorTickLength", &GraphAttr::majorTickLength, 6},
    {"MinorTickLength", &GraphAttr::minorTickLength, 4},
}};
constexpr const char* kLineStyleKey = "LineStyle";
const std::array<ByteKey, 4> kBytesAfterLineStyle = {{
    {"LineWidth", &GraphAttr::lineWidth, 2},
    {"PtType", &GraphAttr::pointType, 1},
    {"BoxWidth", &GraphAttr::boxWidth, 1},
    {"Granularity", &GraphAttr::granularity, 4},
}};

struct TextKey {
  const char* key;
  std::string GraphAttr::*field;
  const char* defaultValue;
};

const std::array<TextKey, 3> kTextKeys = {{
    {"TitleText", &GraphAttr::title, "Untitled Graph"},
    {"XLabelText", &GraphAttr::xLabel, "X Axis (units)"},
    {"YLabelText", &GraphAttr::yLabel, "Y Axis (units)"},
}};

struct FontKey {
  const char* key;
  FontSpec GraphAttr::*field;
  const char* defaultValue;
};

// In the order they are written.
const std::array<FontKey, 5> kFontKeys = {{
    {"TitleFont", &GraphAttr::titleFont, "Arial,180,700,0,-1,0,0,0"},
    {"XTLabelFont", &GraphAttr::xTickFont, "Arial,90,700,0,-1,0,0,0"},
    {"YTLabelFont", &GraphAttr::yTickFont, "Arial,90,700,25,0,0,0,0"},
    {"XFont", &GraphAttr::xFont, "Arial,120,700,0,-1,0,0,0"},
    {"YFont", &GraphAttr::yFont, "Arial,120,700,90,-1,0,0,0"},
}};

constexpr const char* kErrorBarScaleKey = "ErrorBarScale";
constexpr const char* kErrorBarScaleDefault = "1.0";

// The leading decimal integer of `text` as the C library's atol reads it:
// blanks, an optional sign, digits; anything else reads as 0.
long long LeadingInteger(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    if (value < (1LL << 40)) value = value * 10 + (text[i] - '0');
  }
  return negative ? -value : value;
}

// A colour stored as a decimal long: its low 32 bits.
Colour ColourFromNumber(std::string_view text) { return static_cast<Colour>(LeadingInteger(text)); }

// A decimal number read the same whatever the process locale; a comma counts
// as the point when there is none. Text that is no number gives nullopt.
std::optional<float> ParseScale(std::string text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.erase(0, 1);
  if (!text.empty() && text.front() == '+') text.erase(0, 1);
  if (text.find('.') == std::string::npos) {
    const std::size_t comma = text.find(',');
    if (comma != std::string::npos) text[comma] = '.';
  }
  float value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || !std::isfinite(value)) return std::nullopt;
  return value;
}

// "%g" with a point whatever the locale, so the file reads back anywhere.
std::string FormatScale(float value) {
  char buffer[64];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6);
  return ec == std::errc() ? std::string(buffer, end) : std::string(kErrorBarScaleDefault);
}

std::vector<std::string_view> SplitAtCommas(std::string_view text) {
  std::vector<std::string_view> pieces;
  while (true) {
    const std::size_t comma = text.find(',');
    pieces.push_back(text.substr(0, comma));
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
  }
  return pieces;
}

void ReadColours(const platform::ProfileFile& profile, GraphAttr& attr) {
  for (const ColourKey& k : kColourKeys) {
    if (k.system) {
      const std::string text = profile.GetString(kPlotAttributesSection, k.key, "-1");
      attr.*k.field = (!text.empty() && text.front() == '-') ? *k.system : ColourFromNumber(text);
    } else {
      const std::optional<std::string> text = profile.Get(kPlotAttributesSection, k.key);
      attr.*k.field = (text && !text->empty()) ? ColourFromNumber(*text) : k.numericDefault;
    }
  }
}

void ReadSwitches(const platform::ProfileFile& profile, GraphAttr& attr) {
  for (int bit = 0; bit < kGraphSwitchCount; ++bit) {
    const auto s = static_cast<GraphSwitch>(bit);
    const int fallback = (kDefaultSwitches & SwitchBit(s)) ? kOn : kOff;
    attr.SetSwitch(s, (profile.GetInt(kPlotAttributesSection, kSwitchKeys[static_cast<std::size_t>(bit)], fallback) & 1) != 0);
  }
}

void ReadNumbers(const platform::ProfileFile& profile, GraphAttr& attr) {
  auto readBytes = [&](const auto& keys) {
    for (const ByteKey& k : keys) {
      attr.*k.field = static_cast<std::uint8_t>(profile.GetInt(kPlotAttributesSection, k.key, k.defaultValue));
    }
  };
  readBytes(kBytesBeforeLineStyle);
  attr.lineStyle = profile.GetInt(kPlotAttributesSection, kLineStyleKey, kLineSolid);
  readBytes(kBytesAfterLineStyle);
  const std::string scale =
      profile.GetString(kPlotAttributesSection, kErrorBarScaleKey, kErrorBarScaleDefault, kNumberChars);
  attr.errorBarScale = ParseScale(scale).value_or(1.0f);
}

void ReadTextsAndFonts(const platform::ProfileFile& profile, GraphAttr& attr) {
  for (const TextKey& k : kTextKeys) {
    attr.*k.field = profile.GetString(kPlotAttributesSection, k.key, k.defaultValue, kTextChars);
  }
  for (const FontKey& k : kFontKeys) {
    attr.*k.field = ParseFontSpec(profile.GetString(kPlotAttributesSection, k.key, k.defaultValue, kFontChars));
  }
}

// Widens [low, high] by a tenth of its length at each end. Data that never
// goes below zero keeps a non-negative axis; an empty range becomes one unit.
void WidenAxis(datatype& low, datatype& high) {
  constexpr datatype kWiden = 0.1f;
  constexpr datatype kSmallestNormal = 1.1754944e-38f;
  const datatype d = high - low;
  const datatype oldLow = low;
  high = high + kWiden * d;
  low = oldLow - kWiden * d;
  if (oldLow > -kSmallestNormal && low < 0) low = kWiden * oldLow;
  if (std::fabs(high - low) < kSmallestNormal) high = high + 1;
}

}  // namespace

FontSpec ParseFontSpec(const std::string& text) {
  FontSpec font{};
  const std::vector<std::string_view> pieces = SplitAtCommas(text);
  font.face = std::string(pieces[0].substr(0, FontSpec::kMaxFaceLength));
  auto number = [&](std::size_t i) { return LeadingInteger(pieces[i]); };
  for (std::size_t i = 1; i < pieces.size() && i <= 7; ++i) {
    switch (i) {
      case 1: font.size = static_cast<int>(number(i)); break;
      case 2: font.weight = static_cast<int>(number(i)); break;
      case 3: font.angle = static_cast<int>(number(i)); break;
      case 4:
        font.colour = (!pieces[i].empty() && pieces[i].front() == '-') ? kSystemButtonText : ColourFromNumber(pieces[i]);
        break;
      case 5: font.italic = static_cast<std::uint8_t>(number(i)); break;
      case 6: font.underline = static_cast<std::uint8_t>(number(i)); break;
      case 7: font.strikeOut = static_cast<std::uint8_t>(number(i)); break;
    }
  }
  return font;
}

std::string FormatFontSpec(const FontSpec& font) {
  return font.face + "," + std::to_string(font.size) + "," + std::to_string(font.weight) + "," +
         std::to_string(font.angle) + "," + std::to_string(font.colour) + "," + std::to_string(font.italic) + "," +
         std::to_string(font.underline) + "," + std::to_string(font.strikeOut);
}

void ReadGraphDefaults(const platform::ProfileFile& profile, GraphAttr& attr, CurveFit& doc) {
  ReadColours(profile, attr);
  ReadSwitches(profile, attr);
  ReadNumbers(profile, attr);
  ReadTextsAndFonts(profile, attr);
  AutomaticAxes(attr, doc);
}

void StoreGraphDefaults(const GraphAttr& attr, platform::ProfileFile& profile) {
  const char* section = kPlotAttributesSection;
  profile.Set(section, kErrorBarScaleKey, FormatScale(attr.errorBarScale));
  for (const ColourKey& k : kColourKeys) profile.Set(section, k.key, std::to_string(attr.*k.field));
  for (int bit = 0; bit < kGraphSwitchCount; ++bit) {
    profile.Set(section, kSwitchKeys[static_cast<std::size_t>(bit)],
                attr.Switch(static_cast<GraphSwitch>(bit)) ? "-1" : "0");
  }
  for (const ByteKey& k : kBytesBeforeLineStyle) profile.Set(section, k.key, std::to_string(attr.*k.field));
  profile.Set(section, kLineStyleKey, std::to_string(attr.lineStyle));
  for (const ByteKey& k : kBytesAfterLineStyle) profile.Set(section, k.key, std::to_string(attr.*k.field));
  for (const TextKey& k : kTextKeys) profile.Set(section, k.key, attr.*k.field);
  for (const FontKey& k : kFontKeys) profile.Set(section, k.key, FormatFontSpec(attr.*k.field));
}

bool WriteGraphDefaults(const GraphAttr& attr, const std::string& settingsPath, std::string* error) {
  // A settings file that exists but cannot be read is left alone: replacing
  // it would lose every other section.
  std::optional<platform::ProfileFile> profile = platform::ProfileFile::LoadForUpdate(settingsPath, error);
  if (!profile) return false;
  StoreGraphDefaults(attr, *profile);
  return profile->Save(settingsPath, error);
}

void CopyGraphAttr(GraphAttr& to, const GraphAttr& from) {
  if (&to == &from) return;
  to.xFont = from.xFont;
  to.yFont = from.yFont;
  to.xTickFont = from.xTickFont;
  to.yTickFont = from.yTickFont;
  to.titleFont = from.titleFont;
  to.plotKind = from.plotKind;
  to.xPrecision = from.xPrecision;
  to.yPrecision = from.yPrecision;
  to.xMin = from.xMin;
  to.xMax = from.xMax;
  to.yMin = from.yMin;
  to.yMax = from.yMax;
  to.xStep = from.xStep;
  to.yStep = from.yStep;
  to.xMinorTicks = from.xMinorTicks;
  to.yMinorTicks = from.yMinorTicks;
  to.majorTickLength = from.majorTickLength;
  to.minorTickLength = from.minorTickLength;
  to.lineStyle = from.lineStyle;
  to.lineWidth = from.lineWidth;
  to.pointType = from.pointType;
  to.boxWidth = from.boxWidth;
  to.granularity = from.granularity;
  to.pointSize = from.pointSize;
  to.errorBarScale = from.errorBarScale;
  for (const ColourKey& k : kColourKeys) to.*k.field = from.*k.field;
  for (const TextKey& k : kTextKeys) to.*k.field = from.*k.field;
  // Each graph keeps its own choice of showing the axis labels.
  const std::uint32_t kept = SwitchBit(kSwShowXLabel) | SwitchBit(kSwShowYLabel);
  to.switches = (from.switches & ~kept) | (to.switches & kept);
}

void AutomaticAxes(GraphAttr& attr, CurveFit& doc) {
  const int n = doc.nPoints;
  datatype xMin = n > 0 ? doc.At(0, 0) : 0;
  datatype xMax = xMin;
  for (int k = 1; k < n; ++k) {
    xMin = std::fmin(xMin, doc.At(k, 0));
    xMax = std::fmax(xMax, doc.At(k, 0));
  }

  datatype yMin = 0;
  datatype yMax = 0;
  if (attr.plotKind == PlotKind::Residual) {
    const ModelDesc desc = DescriptorOf(doc, attr.modelId);
    if (HasEvaluation(desc)) {
      ClearFpFaults();
      for (int k = 0; k < n; ++k) {
        const datatype r = desc.Evaluate(doc.At(k, 0)) - doc.At(k, 1);
        if (r < 0 && r < yMin) yMin = r;
        if (r > 0 && r > yMax) yMax = r;
      }
      CheckFpFaults();
    }
    if (std::fabs(yMax) < std::fabs(yMin)) {
      yMax = std::fabs(yMin);
    } else {
      yMin = -std::fabs(yMax);
    }
  } else if (n > 0) {
    yMin = yMax = doc.At(0, 1);
    for (int k = 1; k < n; ++k) {
      yMin = std::fmin(yMin, doc.At(k, 1));
      yMax = std::fmax(yMax, doc.At(k, 1));
    }
  }

  WidenAxis(xMin, xMax);
  WidenAxis(yMin, yMax);
  attr.xMin = xMin;
  attr.xMax = xMax;
  attr.yMin = yMin;
  attr.yMax = yMax;
  if (attr.plotKind == PlotKind::Residual) {
    attr.xMinorTicks = 3;
    attr.yMinorTicks = 3;
    attr.xStep = (xMax - xMin) / 4;
    attr.yStep = (yMax - yMin) / 4;
  } else {
    attr.xStep = (xMax - xMin) / 6;
    attr.yStep = (yMax - yMin) / 6;
  }
}

}  // namespace trendolin
