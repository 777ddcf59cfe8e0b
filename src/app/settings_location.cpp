// Finding, and on first use creating, the per-user settings file.
#include "app/settings_location.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "platform/debug_log.h"
#include "platform/profile_file.h"
#include "platform/resource_strings.h"
#include "platform/ui.h"
#include "session/session.h"

namespace trendolin {


namespace {

constexpr int kSettingsCaption = 85;
constexpr int kCreateSettingsQuestion = 84;
constexpr int kCannotCreateQuestion = 87;
constexpr int kRunningOnDefaults = 150;

std::string EnvOrEmpty(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::string(value) : std::string();
}

platform::Answer AskSettingsQuestion(int textId) {
  platform::MessageBoxRequest request;
  request.caption = std::string(platform::ResourceString(kSettingsCaption));
  request.text = std::string(platform::ResourceString(textId));
  request.icon = platform::Icon::Exclamation;
  request.buttons = platform::Buttons::OkCancel;
  request.systemModal = true;
  request.unattendedAnswer = platform::Answer::Ok;
  return platform::CurrentUi().MessageBox(request);
}

bool IsRegularFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool ReadWhole(const std::string& path, std::string& text) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  char buffer[65536];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, got);
  const bool ok = std::ferror(file) == 0;
  std::fclose(file);
  return ok;
}

// A damaged settings file is kept as it is before the defaults replace it:
// the program's reading would drop its unreadable lines and the next save
// would write the remains over it, losing what the user may still want back.
// False (the file left alone) when the backup cannot be written.
bool KeepDamagedSettings(const std::string& path, const std::string& text) {
  const std::string backup = path + kDamagedSettingsSuffix;
  std::string reason;
  if (!platform::WriteFileAtomically(backup, text, &reason)) {
    DebugLogF("Damaged INI could not be kept: %s.\n", reason.c_str());
    return false;
  }
  if (!platform::WriteFileAtomically(path, DefaultSettingsText(), &reason)) {
    DebugLogF("Default INI could not replace the damaged one: %s.\n", reason.c_str());
    return false;
  }
  DebugLogF("Damaged INI kept as %s; defaults written.\n", backup.c_str());
  platform::TellUser(std::string(platform::ResourceString(kSettingsCaption)),
                     "The settings file " + path + " could not be read as settings.\n\nIt was kept as " + backup +
                         ", and the program starts with the default settings.");
  return true;
}

}  // namespace

bool IsDamagedSettingsText(const std::string& text) {
  bool sawText = false;
  bool sawSection = false;
  bool lineStart = true;
  bool inComment = false;
  for (char c : text) {
    const unsigned char u = static_cast<unsigned char>(c);
    if ((u < 0x20 && c != '\t' && c != '\n' && c != '\r') || u == 0x7f) return true;
    if (c == '\n') {
      lineStart = true;
      inComment = false;
      continue;
    }
    if (lineStart && (c == ' ' || c == '\t' || c == '\r')) continue;
    if (lineStart) {
      lineStart = false;
      inComment = c == ';' || c == '#';
      if (c == '[') sawSection = true;
    }
    if (!inComment && c != '\r') sawText = true;
  }
  return sawText && !sawSection;
}

std::string SettingsFolder() {
  std::string overridden = EnvOrEmpty("TRENDOLIN_CONFIG_DIR");
  if (!overridden.empty()) return overridden;
  std::string xdg = EnvOrEmpty("XDG_CONFIG_HOME");
  if (!xdg.empty() && xdg.front() == '/') return xdg + "/Trendolin";
  const std::string home = EnvOrEmpty("HOME");
  return (home.empty() ? std::string(".") : home) + "/.config/Trendolin";
}

std::string UnsettledRunFolder() {
  std::error_code ec;
  std::filesystem::path temp = std::filesystem::temp_directory_path(ec);
  if (ec || temp.empty()) temp = "/tmp";
  return (temp / ("trendolin-" + std::to_string(::getuid()))).string();
}

std::string RunFilesFolder() { return CurrentSession().iniFile.empty() ? UnsettledRunFolder() : SettingsFolder(); }

int LocateSettingsFile() {
  const std::string folder = SettingsFolder();
  CurrentSession().iniFile = folder + "/" + kSettingsFileName;
  if (IsRegularFile(CurrentSession().iniFile)) {
    DebugLog("INI found successfully.\n");
    std::string text;
    if (ReadWhole(CurrentSession().iniFile, text) && IsDamagedSettingsText(text)) KeepDamagedSettings(CurrentSession().iniFile, text);
    return 0;
  }

  platform::Answer answer = AskSettingsQuestion(kCreateSettingsQuestion);
  DebugLogF("INI not found.  User responds %d.\n", static_cast<int>(answer));
  if (answer != platform::Answer::Ok) {
    // Declined: this run goes on with the defaults and without a settings
    // file, so nothing is written; the next start asks again.
    CurrentSession().iniFile.clear();
    platform::TellUser(std::string(platform::ResourceString(kSettingsCaption)),
                       std::string(platform::ResourceString(kRunningOnDefaults)), platform::Icon::Information);
    return 0;
  }

  std::error_code ec;
  std::filesystem::create_directories(folder, ec);  // an existing folder is fine
  platform::WriteFailure failure = platform::WriteFailure::None;
  std::string reason;
  if (platform::WriteFileAtomically(CurrentSession().iniFile, DefaultSettingsText(), &reason, &failure)) return 0;

  if (failure == platform::WriteFailure::Create) {
    answer = AskSettingsQuestion(kCannotCreateQuestion);
    DebugLogF("Failed to create INI.  User responds %d.\n", static_cast<int>(answer));
    DebugLogF("path attempted was %s.\n", CurrentSession().iniFile.c_str());
    if (answer != platform::Answer::Ok) return 2;
    // OK: run on the defaults without a settings file; every read gives its
    // default and nothing tries to write one.
    CurrentSession().iniFile.clear();
    return 0;
  }
  LogLastSystemError();
  DebugLogF("%s\n", reason.c_str());
  return 10;
}

const std::string& DefaultSettingsText() {
  static const std::string text =
      "[Single-Precision]\n"
      "MaxPolyDegree=19\n"
      "DefPolyDegree=4\n"
      "NonlinearTolerance=0.0001\n"
      "DivergeIterations=10\n"
      "MaxIterations=100\n"
      "InitGuess=0\n"
      "BackgroundProcess=-1\n"
      "QuickDerivatives=-1\n"
      "ShowFileImportDlg=-1\n"
      "UndoLevels=20\n"
      "NoGraphs=0\n"
      "Weighting=460\n"
      "RenderLevel=1\n"
      "ctl3d=-1\n"
      "SaveWindowPos=-1\n"
      "EnableThumb=-1\n"
      "AnimatePlot=-1\n"
      "MarginTop=1.000000\n"
      "MarginBottom=1.000000\n"
      "MarginLeft=1.000000\n"
      "MarginRight=1.000000\n"
      "ColorPrint=0\n"
      "DataExt=DAT\n"
      "AutoSort=0\n"
      "Locale=English\n"
      "\n"
      "[User Defaults]\n"
      "HtmlHelp=-1\n"
      "\n"
      "[Plot Attributes]\n"
      "ErrorBarScale=1\n"
      "LineColor=255\n"
      "DataPointColor=16711680\n"
      "Foreground=-1\n"
      "Background=-1\n"
      "GridColor=-1\n"
      "WindowFill=-1\n"
      "BoxColor=0\n"
      "DrawHeader=-1\n"
      "Box=0\n"
      "BoxRound=0\n"
      "PaneLeft=-1\n"
      "PaneRight=-1\n"
      "PaneTop=-1\n"
      "PaneBottom=-1\n"
      "ShowDataPoints=-1\n"
      "ResidPoints=0\n"
      "PtFill=-1\n"
      "LogX=0\n"
      "LogY=0\n"
      "ScientificX=0\n"
      "ScientificY=0\n"
      "ShowXLabel=-1\n"
      "ShowYLabel=-1\n"
      "ShowXGrid=-1\n"
      "ShowYGrid=-1\n"
      "ShowXGridMinor=0\n"
      "ShowYGridMinor=0\n"
      "XTicksIn=0\n"
      "YTicksIn=0\n"
      "LockFrameColor=-1\n"
      "ShowErrorBars=-1\n"
      "LineAtX=-1\n"
      "LineAtY=-1\n"
      "PrecisionX=1\n"
      "PrecisionY=2\n"
      "PointSize=5\n"
      "XMinorTicks=3\n"
      "YMinorTicks=3\n"
      "MajorTickLength=6\n"
      "MinorTickLength=4\n"
      "LineStyle=0\n"
      "LineWidth=2\n"
      "PtType=1\n"
      "BoxWidth=1\n"
      "Granularity=4\n"
      "TitleText=Untitled Graph\n"
      "XLabelText=X Axis (units)\n"
      "YLabelText=Y Axis (units)\n"
      "TitleFont=Arial,180,700,0,-1,0,0,0\n"
      "XTLabelFont=Arial,90,700,0,-1,0,0,0\n"
      "YTLabelFont=Arial,90,700,25,0,0,0,0\n"
      "XFont=Arial,120,700,0,-1,0,0,0\n"
      "YFont=Arial,120,700,90,-1,0,0,0\n"
      "\n"
      "[User Models]\n"
      "Number=0\n";
  return text;
}

}  // namespace trendolin
