// The commands of trendolin-cli: each registers its options on the parser
// and runs when chosen.
#pragma once

#include <CLI/CLI.hpp>

#include <string>

namespace cli {

// Options every command shares.
struct GlobalOptions {
  std::string settingsDir;  // --settings DIR: the folder of the settings file for this run
};

// Exit statuses of every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// `settings`: where the settings file is and what every setting reads as.
void AddSettingsCommand(CLI::App& app, const GlobalOptions& global, int& status);

// `info` and `data`: the data information summary and the manipulations.
void AddDataCommands(CLI::App& app, const GlobalOptions& global, int& status);

// `models` and `fit`: the catalogue and single fits.
void AddFitCommands(CLI::App& app, const GlobalOptions& global, int& status);

// `analyze`: one model fitted, then y at x, x at y, derivative, integral or arc length.
void AddAnalyzeCommand(CLI::App& app, const GlobalOptions& global, int& status);

// `hunt` and `groups`: FitHunter and Calculate Groups, unattended.
void AddHuntCommands(CLI::App& app, const GlobalOptions& global, int& status);

// `export` and `table`: one model fitted, then its export file or a table of it.
void AddExportCommands(CLI::App& app, const GlobalOptions& global, int& status);

// `plot`: one model fitted (or the data alone) and its graph written to a picture file.
void AddPlotCommand(CLI::App& app, const GlobalOptions& global, int& status);

// The settings file this run reads: the --settings folder when given, else
// the user's settings folder.
std::string SettingsFilePath(const GlobalOptions& global);

}  // namespace cli
