// Reads the program's command line into the diagnostic byte, the automatic
// open flag and the start-up file, and reports a command line it cannot use.
#include "app/command_line.h"

#include <iterator>

#include "app/cmd_opt.h"
#include "platform/debug_log.h"
#include "platform/ui.h"
#include "session/session.h"

namespace trendolin {


namespace {

// The switch values as the option parser leaves them.
struct SwitchValues {
  int debugAll = 0;
  int debugI = 0;
  int debugA = 0;
  int debugE = 0;
  int autoOpen = 0;
};

// Applied in this order, so "-d" with any other still leaves every category on.
std::uint8_t DebugFlagsFrom(const SwitchValues& values) {
  std::uint8_t flags = 0;
  if (values.debugAll) flags = 255;
  if (values.debugI) flags |= 5;
  if (values.debugA) flags |= 3;
  if (values.debugE) flags |= 9;
  return flags;
}

StartupOptions Failure(CommandLineError error) {
  StartupOptions result;
  result.error = error;
  return result;
}

void ShowCommandLineError(CommandLineError error) {
  platform::TellUser("Error", CommandLineErrorText(error));
}

StartupOptions Apply(const StartupOptions& options) {
  DebugFlags = options.debugFlags;
  CurrentSession().autoOpenFlag = options.autoOpen;
  CurrentSession().startupFile = options.startupFile;
  if (options.error != CommandLineError::None) ShowCommandLineError(options.error);
  return options;
}

}  // namespace

const char* CommandLineErrorText(CommandLineError error) {
  switch (error) {
    case CommandLineError::None: return "";
    case CommandLineError::Unusable: return "Error on command line to Trendolin";
    case CommandLineError::BadOptions: return "Error on command line to Trendolin (2)";
  }
  return "";
}

StartupOptions InterpretCommandLine(const std::vector<std::string>& args, std::FILE* out) {
  SwitchValues values;
  CmdOption table[] = {
      {"-d", 0, -1, 0, 0, &values.debugAll},
      {"-i", 0, -1, 0, 0, &values.debugI},
      {"-a", 0, -1, 0, 0, &values.debugA},
      {"-e", 0, -1, 0, 0, &values.debugE},
      {"-auto", 0, -1, 0, 0, &values.autoOpen},
  };
  const int count = static_cast<int>(args.size());
  if (ParseOptions(count, args, table, static_cast<int>(std::size(table)), out) != 0) {
    return Failure(CommandLineError::BadOptions);
  }

  StartupOptions result;
  result.debugFlags = DebugFlagsFrom(values);
  result.autoOpen = values.autoOpen;
  // Only the last argument is ever taken as the file, and only when it is not
  // a switch: "file.dat -d" opens nothing.
  if (args.size() > 1 && !args.back().starts_with('-')) {
    if (args.back().size() > kMaxStartupFileLength) return Failure(CommandLineError::Unusable);
    result.startupFile = args.back();
  }
  return result;
}

StartupOptions ParseProgramCommandLine(const std::vector<std::string>& args, std::FILE* out) {
  DebugFlags = 0;
  return Apply(InterpretCommandLine(args, out));
}

StartupOptions ParseProgramCommandText(const char* text, std::FILE* out) {
  DebugFlags = 0;
  const auto args = SplitCommandLine(text);
  if (!args) return Apply(Failure(CommandLineError::Unusable));
  return Apply(InterpretCommandLine(*args, out));
}

}  // namespace trendolin
