// Where the settings file lives, and creating it with the default settings
// when it is missing.
#pragma once

#include <string>

namespace trendolin {

inline constexpr const char* kSettingsFileName = "REVUZI.INI";

// The settings folder: $TRENDOLIN_CONFIG_DIR when set, else
// $XDG_CONFIG_HOME/Trendolin, else ~/.config/Trendolin.
std::string SettingsFolder();

// Where this run keeps its own files, such as the iteration history: the
// settings folder; in a run without a settings file (declined, or it could
// not be made) a folder of this user among the temporary files instead, so
// that such a run leaves the settings folder as it found it.
std::string RunFilesFolder();
// That folder among the temporary files, whatever this run has.
std::string UnsettledRunFolder();

// The one backup of a settings file that could not be read as settings,
// kept beside it (REVUZI.INI.bad) before the defaults replace it.
inline constexpr const char* kDamagedSettingsSuffix = ".bad";

// True for text that is no settings file: binary bytes (control characters
// other than tabs and line ends), or lines of text without one "[section]".
// Blank files and files of comments only are settings files without settings.
bool IsDamagedSettingsText(const std::string& text);

// Sets the session's iniFile and makes sure the file exists, asking the user before it
// creates one. A damaged file is kept as <name>.bad (replacing an earlier
// backup) and replaced by the defaults, and the user is told. Returns 0 when
// the program may go on: iniFile is then empty when the run has no
// settings file (the user declined to create it, and was told that the
// defaults serve this run; or it could not be created and the user chose to
// go on), so that every setting reads its default and nothing is written.
// Returns 2 when the file could not be created and the user chose to stop;
// 10 when it was created but the default settings could not be written (the
// previous contents, if any, are left untouched).
int LocateSettingsFile();

// The settings a new settings file starts with: every default of the
// application settings and of the graph attributes.
const std::string& DefaultSettingsText();

}  // namespace trendolin
