// The program's own command line: the diagnostic switches, "-auto" and the
// data file to open at start.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace trendolin {

// The session's autoOpenFlag (non-zero: every opening of a data file skips
// the import-options dialog) is set by the "-auto" switch, and its
// startupFile is the data file named on the command line, opened at start.

// The longest file argument the program takes. A longer one is refused as a
// command-line error rather than cut short (a cut name would open the wrong
// file, or none).
inline constexpr std::size_t kMaxStartupFileLength = 259;

enum class CommandLineError {
  None,
  Unusable,    // the text could not be split, or the file argument is too long
  BadOptions,  // the option parser reported a usage error
};

// What the command line asks for. After an error every field is empty: no
// switches and no file.
struct StartupOptions {
  CommandLineError error = CommandLineError::None;
  std::uint8_t debugFlags = 0;
  int autoOpen = 0;
  std::string startupFile;
};

// The message shown for an error ("" for None); caption "Error".
const char* CommandLineErrorText(CommandLineError error);

// Interprets arguments (argument 0 is the program's name, the rest as given)
// without touching any global or asking anything. The option parser's
// warnings and errors go to `out`.
StartupOptions InterpretCommandLine(const std::vector<std::string>& args, std::FILE* out = stdout);

// What the program calls at start with its arguments (see ArgumentList): clears DebugFlags,
// interprets the arguments, then sets DebugFlags and the session's autoOpenFlag and startupFile
// from the result. On an error it shows the message through the installed Ui
// and leaves no switches and no file.
StartupOptions ParseProgramCommandLine(const std::vector<std::string>& args,
                                       std::FILE* out = stdout);

// The same for a whole command-line text, split into arguments first.
// A null text counts as an empty one.
StartupOptions ParseProgramCommandText(const char* text, std::FILE* out = stdout);

}  // namespace trendolin
