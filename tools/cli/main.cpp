// trendolin-cli: fitting, searching, exporting and plotting without a display.
#include <cstdio>
#include <iostream>

#include "app/out_of_memory.h"
#include "cli/commands.h"
#include "platform/headless_ui.h"
#include "usermodel/user_model.h"

int main(int argc, char** argv) {
  // Nobody is there to answer: every question takes its unattended answer and
  // every message is printed to standard error with its caption.
  platform::HeadlessUi ui(platform::HeadlessUi::Mode::Unattended, &std::cerr);
  platform::ScopedUi installed(ui);
  trendolin::InstallOutOfMemoryHandler();
  trendolin::InitUserModel();  // the user model starts as "a+b*x", as in the windows

  CLI::App app{"Trendolin curve fitting from the command line"};
  app.set_version_flag("--version", "trendolin-cli 1.4");
  app.require_subcommand(1);

  cli::GlobalOptions global;
  app.add_option("--settings", global.settingsDir, "Folder of the settings file for this run")
      ->check(CLI::ExistingDirectory);

  int status = cli::kExitOk;
  cli::AddDataCommands(app, global, status);
  cli::AddFitCommands(app, global, status);
  cli::AddHuntCommands(app, global, status);
  cli::AddSettingsCommand(app, global, status);
  cli::AddAnalyzeCommand(app, global, status);
  cli::AddExportCommands(app, global, status);
  cli::AddPlotCommand(app, global, status);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    int code = app.exit(e);
    return code == 0 ? cli::kExitOk : cli::kExitUsage;
  }
  return status;
}
