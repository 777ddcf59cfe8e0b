// The application settings record: the user's persistent preferences, read
// from and written to the settings file, and shown in the diagnostic log.
#pragma once

#include <cstdint>
#include <string>

namespace platform {
class ProfileFile;
}

namespace trendolin {

// Sections of the settings file that this record owns.
inline constexpr const char* kSettingsSection = "Single-Precision";
inline constexpr const char* kUserDefaultsSection = "User Defaults";

// Bits of AppSettings::flags. The bit numbers are fixed: other code tests
// these masks, and each bit has its own key in the settings file.
inline constexpr std::uint32_t kFlagCtl3d = 1u << 0;              // "ctl3d"
inline constexpr std::uint32_t kFlagSaveWindowPos = 1u << 1;      // "SaveWindowPos"
inline constexpr std::uint32_t kFlagQuickDerivatives = 1u << 2;   // "QuickDerivatives"
inline constexpr std::uint32_t kFlagNoGraphs = 1u << 3;           // "NoGraphs"
inline constexpr std::uint32_t kFlagBackgroundProcess = 1u << 4;  // "BackgroundProcess"
inline constexpr std::uint32_t kFlagAutoSort = 1u << 5;           // "AutoSort"
inline constexpr std::uint32_t kFlagColorPrint = 1u << 6;         // "ColorPrint"
inline constexpr std::uint32_t kFlagShowFileImportDlg = 1u << 7;  // "ShowFileImportDlg"
inline constexpr std::uint32_t kFlagAnimatePlot = 1u << 8;        // "AnimatePlot"
inline constexpr std::uint32_t kFlagEnableThumb = 1u << 9;        // "EnableThumb"
inline constexpr std::uint32_t kFlagHtmlHelp = 1u << 10;          // "HtmlHelp" (section "User Defaults")

// The weighting schemes, stored as the command ids of the weighting menu.
inline constexpr int kWeightingY2 = 455;           // 1/y^2
inline constexpr int kWeightingY = 456;            // 1/y
inline constexpr int kWeightingX2 = 457;           // 1/x^2
inline constexpr int kWeightingX = 458;            // 1/x
inline constexpr int kWeightingUncertainty = 459;  // 1/std^2
inline constexpr int kWeightingNone = 460;

// The largest iteration and divergence limits the Options dialog takes (its
// fields hold 5 and 4 digits). A settings file edited by hand is clamped to
// them; the command line refuses more.
inline constexpr int kMostIterations = 99999;
inline constexpr int kMostDivergeIterations = 9999;

// A value-initialised record is all zeros; DefaultAppSettings() gives the
// defaults, which live with the keys in the settings table (app_settings.cpp).
struct AppSettings {
  int maxPolyDegree = 0;      // highest polynomial degree offered
  int defPolyDegree = 0;      // degree proposed for a new polynomial fit
  int maxIterations = 0;      // iteration limit of nonlinear regression
  int divergeIterations = 0;  // divergence limit of nonlinear regression
  int weighting = 0;          // one of kWeightingY2 .. kWeightingNone
  int initGuess = 0;          // 0: computed initial guesses; 1: the user gives them
  int renderLevel = 0;        // 0 direct, 1 off-screen for user models, 2 always off-screen
  int undoLevels = 0;         // depth of the edit history
  double nonlinearTolerance = 0;  // convergence tolerance of nonlinear regression
  double marginTop = 0;       // printing margins
  double marginLeft = 0;
  double marginRight = 0;
  double marginBottom = 0;
  std::uint32_t flags = 0;    // kFlag* bits
  std::string dataPath;       // folder of data files; the program starts there
  std::string dataExt;        // default data-file extension, at most 3 characters
  std::string locale;         // "English" (the C locale) or a name for setlocale

  bool IsOn(std::uint32_t flag) const { return (flags & flag) != 0; }
  void SetFlag(std::uint32_t flag, bool on) { flags = on ? (flags | flag) : (flags & ~flag); }
  bool operator==(const AppSettings&) const = default;
};

// The defaults of every setting; "DataPath" is the current working directory.
AppSettings DefaultAppSettings();

// The settings stored in `profile` (or at `path`), with the default for every
// key that is absent. Reading never fails: a missing, empty or damaged file
// gives the defaults. The process locale is not touched.
AppSettings ReadAppSettings(const platform::ProfileFile& profile);
AppSettings ReadAppSettings(const std::string& path);

// Makes `localeName` the locale of every category of the C library: "English"
// means the C locale; any other name goes to setlocale as it stands (an empty
// name thus selects the locale of the environment). A name the system refuses
// leaves the C locale in effect. Returns false when the name was refused.
bool ApplyLocaleSetting(const std::string& localeName);

// Reads `path` into Settings and applies its "Locale" at once.
void ReadSettings(const std::string& path);

// Puts every written key of `settings` into `profile` ("HtmlHelp" into "User
// Defaults", the rest into "Single-Precision" in their fixed order). "Locale"
// is only ever read: the program never writes it.
void StoreAppSettings(const AppSettings& settings, platform::ProfileFile& profile);

// Writes `settings` into the settings file at `path`, keeping every other
// section, key and comment. The file is replaced in one step. On failure
// returns false and, if `error` is given, a reason for a person.
bool WriteAppSettings(const AppSettings& settings, const std::string& path, std::string* error = nullptr);

// WriteAppSettings for the settings of the session this thread works for.
bool WriteSettings(const std::string& path, std::string* error = nullptr);

// WriteSettings for the commands that store the settings (shutdown, the
// Options dialog's OK): when the file cannot be written the user is told why
// through the Ui, and the file is left as it was. True when written.
bool SaveSettingsFile(const std::string& path);

// Writes the settings to the diagnostic log; nothing when debugging is off.
void DumpSettings(const AppSettings& settings);

}  // namespace trendolin
