// Reading, writing and logging the application settings, all driven by one
// table of keys so that the three can never disagree.
#include "app/app_settings.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <clocale>
#include <cmath>
#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>

#include "platform/debug_log.h"
#include "platform/profile_file.h"
#include "platform/ui.h"
#include "session/session.h"

namespace trendolin {
namespace {

enum class Kind { Int, Flag, Number, Text };

// One key of the settings file: where it lives, what it holds, its default
// and how it is written.
struct SettingKey {
  const char* section;
  const char* key;
  Kind kind;
  int AppSettings::*intField = nullptr;             // Int
  double AppSettings::*numberField = nullptr;       // Number
  std::string AppSettings::*textField = nullptr;    // Text
  std::uint32_t flag = 0;                           // Flag
  int intDefault = 0;                 // Int; Flag: the stored default (-1 or 1 on, 0 off)
  const char* textDefault = nullptr;  // Number: as stored; Text: nullptr means the start folder
  std::size_t maxChars = 0;           // Number, Text: cut as a buffer of maxChars + 1 would
  std::chars_format format = std::chars_format::general;  // Number: general is "%lg", fixed is "%lf"
  bool written = true;
};

// Numbers and paths are read as at most 259 characters: the settings file has
// always kept them in fields of that size, and files written by other tools
// for this program rely on nothing longer being taken.
constexpr std::size_t kFieldChars = 259;
constexpr std::size_t kExtensionChars = 3;

constexpr SettingKey Int(const char* key, int AppSettings::*field, int defaultValue) {
  SettingKey k{kSettingsSection, key, Kind::Int};
  k.intField = field;
  k.intDefault = defaultValue;
  return k;
}

constexpr SettingKey Flag(const char* section, const char* key, std::uint32_t flag, int defaultValue) {
  SettingKey k{section, key, Kind::Flag};
  k.flag = flag;
  k.intDefault = defaultValue;
  return k;
}

constexpr SettingKey Number(const char* key, double AppSettings::*field, const char* defaultText,
                            std::chars_format format) {
  SettingKey k{kSettingsSection, key, Kind::Number};
  k.numberField = field;
  k.textDefault = defaultText;
  k.maxChars = kFieldChars;
  k.format = format;
  return k;
}

constexpr SettingKey Text(const char* key, std::string AppSettings::*field, const char* defaultText,
                          std::size_t maxChars, bool written = true) {
  SettingKey k{kSettingsSection, key, Kind::Text};
  k.textField = field;
  k.textDefault = defaultText;
  k.maxChars = maxChars;
  k.written = written;
  return k;
}

constexpr auto kGeneral = std::chars_format::general;
constexpr auto kFixed = std::chars_format::fixed;
constexpr int kOn = -1;
constexpr int kOff = 0;

// Every key, in the order the file is written. "AnimatePlot" has always
// defaulted to 1 rather than -1; only the lowest bit counts, so both are on.
// HTML help is on by default because the program ships its help as HTML pages.
constexpr std::array kSettingKeys = {
    Flag(kUserDefaultsSection, "HtmlHelp", kFlagHtmlHelp, kOn),
    Int("MaxPolyDegree", &AppSettings::maxPolyDegree, 19),
    Int("DefPolyDegree", &AppSettings::defPolyDegree, 4),
    Number("NonlinearTolerance", &AppSettings::nonlinearTolerance, ".0001", kGeneral),
    Int("DivergeIterations", &AppSettings::divergeIterations, 10),
    Int("MaxIterations", &AppSettings::maxIterations, 100),
    Int("InitGuess", &AppSettings::initGuess, 0),
    Flag(kSettingsSection, "BackgroundProcess", kFlagBackgroundProcess, kOn),
    Flag(kSettingsSection, "QuickDerivatives", kFlagQuickDerivatives, kOn),
    Flag(kSettingsSection, "ShowFileImportDlg", kFlagShowFileImportDlg, kOn),
    Int("UndoLevels", &AppSettings::undoLevels, 20),
    Flag(kSettingsSection, "NoGraphs", kFlagNoGraphs, kOff),
    Int("Weighting", &AppSettings::weighting, kWeightingNone),
    Int("RenderLevel", &AppSettings::renderLevel, 1),
    Flag(kSettingsSection, "ctl3d", kFlagCtl3d, kOn),
    Flag(kSettingsSection, "SaveWindowPos", kFlagSaveWindowPos, kOn),
    Flag(kSettingsSection, "EnableThumb", kFlagEnableThumb, kOn),
    Flag(kSettingsSection, "AnimatePlot", kFlagAnimatePlot, 1),
    Number("MarginTop", &AppSettings::marginTop, "1.0", kFixed),
    Number("MarginBottom", &AppSettings::marginBottom, "1.0", kFixed),
    Number("MarginLeft", &AppSettings::marginLeft, "1.0", kFixed),
    Number("MarginRight", &AppSettings::marginRight, "1.0", kFixed),
    Flag(kSettingsSection, "ColorPrint", kFlagColorPrint, kOff),
    // Linux paths are not held in fixed buffers: a cut path would name the wrong folder.
    Text("DataPath", &AppSettings::dataPath, nullptr, 0),
    Text("DataExt", &AppSettings::dataExt, "DAT", kExtensionChars),
    Flag(kSettingsSection, "AutoSort", kFlagAutoSort, kOff),
    // The user sets the locale by editing the file; the program never writes it.
    Text("Locale", &AppSettings::locale, "English", kFieldChars, /*written=*/false),
};

// The lines of the settings dump: the label shown and the key whose value it shows.
struct DumpLine {
  const char* label;
  const char* key;
};

constexpr std::array<DumpLine, 18> kDumpLines = {{
    {"Tolerance", "NonlinearTolerance"},
    {"MaxPoly", "MaxPolyDegree"},
    {"DefPoly", "DefPolyDegree"},
    {"DivergeIt", "DivergeIterations"},
    {"MaxIt", "MaxIterations"},
    {"QuickDerivs", "QuickDerivatives"},
    {"NoGraphs", "NoGraphs"},
    {"InitGuess", "InitGuess"},
    {"BackgroundProcess", "BackgroundProcess"},
    {"RenderLevel", "RenderLevel"},
    {"ColorPrint", "ColorPrint"},
    {"ctl3dON", "ctl3d"},
    {"SaveWindowPos", "SaveWindowPos"},
    {"AnimatePlot", "AnimatePlot"},
    {"Weighting", "Weighting"},
    {"UndoLevels", "UndoLevels"},
    {"DataPath", "DataPath"},
    {"DataExt", "DataExt"},
}};

constexpr const SettingKey* FindKey(std::string_view key) {
  for (const SettingKey& k : kSettingKeys) {
    if (key == k.key) return &k;
  }
  return nullptr;
}

constexpr bool EveryDumpLineHasItsKey() {
  for (const DumpLine& line : kDumpLines) {
    if (FindKey(line.key) == nullptr) return false;
  }
  return true;
}
static_assert(EveryDumpLineHasItsKey(), "a dump line names a key the settings table lacks");

// Where the program was started, or failing that the folder of the program
// file itself.
std::string StartFolder() {
  std::error_code ec;
  std::filesystem::path folder = std::filesystem::current_path(ec);
  if (!ec) return folder.string();
  folder = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : folder.parent_path().string();
}

// A decimal number at the start of `text` (blanks, an optional sign, then
// digits with an optional point and exponent), read the same whatever the
// process locale. A comma is taken as the point when the text has no point, so
// a value typed by hand in a comma locale still reads as meant. Nothing that
// looks like a number, and infinities or NaN, give nullopt.
std::optional<double> ParseDecimal(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  // from_chars takes a minus sign but not a plus sign.
  if (text.size() > 1 && text[0] == '+' && text[1] != '-') text.remove_prefix(1);
  std::string number(text);
  if (number.find('.') == std::string::npos) {
    std::size_t comma = number.find(',');
    if (comma != std::string::npos) number[comma] = '.';
  }
  double value = 0;
  const std::from_chars_result parsed =
      std::from_chars(number.data(), number.data() + number.size(), value, std::chars_format::general);
  if (parsed.ec != std::errc() || !std::isfinite(value)) return std::nullopt;
  return value;
}

constexpr int kHighestPolynomialDegree = 19;
constexpr int kMostUndoLevels = 99;
constexpr double kWidestMargin = 1000.0;  // inches

// The stored weighting as a command of the weighting menu. 0 and 1 are the
// values of the older on/off switch (off, or by y^2). Anything else outside
// the menu would leave the regression without a scheme and the menu without a
// check mark, so it falls back to the unweighted fit a new user starts with.
int NormalizeWeighting(int stored) {
  if (stored == 0) return kWeightingNone;
  if (stored == 1) return kWeightingY2;
  if (stored < kWeightingY2 || stored > kWeightingNone) return kWeightingNone;
  return stored;
}

void ReadKey(const SettingKey& k, const platform::ProfileFile& profile, AppSettings& settings) {
  switch (k.kind) {
    case Kind::Int:
      settings.*k.intField = profile.GetInt(k.section, k.key, k.intDefault);
      break;
    case Kind::Flag:
      // Only the lowest bit counts: -1 and 1 are on, 0 and 2 are off.
      settings.SetFlag(k.flag, (profile.GetInt(k.section, k.key, k.intDefault) & 1) != 0);
      break;
    case Kind::Number: {
      // Unlike an integer, a number that does not parse keeps its default:
      // a tolerance or margin of 0 would make fits or printouts useless.
      const std::string text = profile.GetString(k.section, k.key, k.textDefault, k.maxChars);
      settings.*k.numberField = ParseDecimal(text).value_or(ParseDecimal(k.textDefault).value_or(0.0));
      break;
    }
    case Kind::Text: {
      const std::string fallback = k.textDefault ? std::string(k.textDefault) : StartFolder();
      settings.*k.textField = profile.GetString(k.section, k.key, fallback, k.maxChars);
      break;
    }
  }
}

// The text stored for a key. Numbers are written with the C library's "%lg"
// and "%lf" layouts but always with a point, whatever the process locale, so
// that the file reads back the same after the locale has changed.
std::string FormatValue(const SettingKey& k, const AppSettings& settings) {
  switch (k.kind) {
    case Kind::Int:
      return std::to_string(settings.*k.intField);
    case Kind::Flag:
      return settings.IsOn(k.flag) ? "-1" : "0";
    case Kind::Number: {
      char buffer[400];  // "%lf" of the largest double takes 317 characters
      auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, settings.*k.numberField, k.format, 6);
      return ec == std::errc() ? std::string(buffer, end) : std::string(k.textDefault);
    }
    case Kind::Text:
      return settings.*k.textField;
  }
  return {};
}

// The value of a key as the dump shows it: flags as stored (-1 or 0).
void DumpKey(const char* label, const SettingKey& k, const AppSettings& settings) {
  switch (k.kind) {
    case Kind::Int:
      DebugLogF("\t%s:\t%d\n", label, settings.*k.intField);
      break;
    case Kind::Flag:
      DebugLogF("\t%s:\t%d\n", label, settings.IsOn(k.flag) ? -1 : 0);
      break;
    case Kind::Number:
      DebugLogF("\t%s:\t%f\n", label, settings.*k.numberField);
      break;
    case Kind::Text:
      DebugLogF("\t%s:\t%s\n", label, (settings.*k.textField).c_str());
      break;
  }
}

}  // namespace


AppSettings DefaultAppSettings() { return ReadAppSettings(platform::ProfileFile()); }

AppSettings ReadAppSettings(const platform::ProfileFile& profile) {
  AppSettings settings;
  for (const SettingKey& k : kSettingKeys) ReadKey(k, profile, settings);
  settings.weighting = NormalizeWeighting(settings.weighting);
  // A file edited by hand may hold any number. The polynomial has room for
  // degree 19 at most: more would only offer degrees every fit refuses, and
  // send the search through all of them. The counts keep to what the Options
  // dialog takes (5, 4 and 2 digits): the histories of one fit allocate the
  // iteration limit for every parameter, and a negative undo depth would
  // never trim the history.
  settings.maxPolyDegree = std::min(settings.maxPolyDegree, kHighestPolynomialDegree);
  settings.maxIterations = std::clamp(settings.maxIterations, 0, kMostIterations);
  settings.divergeIterations = std::clamp(settings.divergeIterations, 0, kMostDivergeIterations);
  settings.undoLevels = std::clamp(settings.undoLevels, 0, kMostUndoLevels);
  // No page has a margin of a thousand inches; beyond that the "%lf" text of
  // a margin (1e300 takes 308 digits) would not fit the 259 characters the
  // reader takes, and the file would read back another value.
  for (double AppSettings::*margin :
       {&AppSettings::marginTop, &AppSettings::marginLeft, &AppSettings::marginRight, &AppSettings::marginBottom}) {
    settings.*margin = std::clamp(settings.*margin, -kWidestMargin, kWidestMargin);
  }
  return settings;
}

AppSettings ReadAppSettings(const std::string& path) {
  return ReadAppSettings(platform::ProfileFile::Load(path));
}

bool ApplyLocaleSetting(const std::string& localeName) {
  const char* name = localeName == "English" ? "C" : localeName.c_str();
  if (std::setlocale(LC_ALL, name) != nullptr) return true;
  std::setlocale(LC_ALL, "C");
  return false;
}

void ReadSettings(const std::string& path) {
  CurrentSession().settings = ReadAppSettings(path);
  ApplyLocaleSetting(CurrentSession().settings.locale);
}

void StoreAppSettings(const AppSettings& settings, platform::ProfileFile& profile) {
  for (const SettingKey& k : kSettingKeys) {
    if (k.written) profile.Set(k.section, k.key, FormatValue(k, settings));
  }
}

bool WriteAppSettings(const AppSettings& settings, const std::string& path, std::string* error) {
  // A file that exists but cannot be read is not replaced: its other
  // sections would be lost.
  std::optional<platform::ProfileFile> profile = platform::ProfileFile::LoadForUpdate(path, error);
  if (!profile) return false;
  StoreAppSettings(settings, *profile);
  return profile->Save(path, error);
}

bool WriteSettings(const std::string& path, std::string* error) {
  return WriteAppSettings(CurrentSession().settings, path, error);
}

bool SaveSettingsFile(const std::string& path) {
  std::string reason;
  if (WriteSettings(path, &reason)) return true;
  platform::TellUser("Settings", "Your settings could not be saved: " + reason +
                                     ".\n\nThe settings file was left as it was; the settings stay in effect until "
                                     "the program ends.");
  return false;
}

void DumpSettings(const AppSettings& settings) {
  if (DebugFlags == 0) return;
  DebugLogF("User Defaults: %s Package\n", kSettingsSection);
  for (const DumpLine& line : kDumpLines) DumpKey(line.label, *FindKey(line.key), settings);
  DebugLogF("Printing Margins are %.1f,%.1f,%.1f,%.1f\n", settings.marginTop, settings.marginLeft,
            settings.marginRight, settings.marginBottom);
}

}  // namespace trendolin
