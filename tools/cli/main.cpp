// trendolin-cli: fitting, searching, exporting and plotting without a display.
#include <csignal>
#include <cstdio>
#include <iostream>

#include "app/out_of_memory.h"
#include "cli/commands.h"
#include "platform/headless_ui.h"
#include "platform/pending_files.h"
#include "session/session.h"
#include "usermodel/user_model.h"

int main(int argc, char** argv) {
  // Nobody is there to answer: every question takes its unattended answer and
  // every message is printed to standard error with its caption.
  platform::HeadlessUi ui(platform::HeadlessUi::Mode::Unattended, &std::cerr);
  // The command's session: its options go into the session's settings.
  trendolin::Session session(&ui);
  trendolin::SessionScope bound(session);
  trendolin::InstallOutOfMemoryHandler();
  // Ctrl+C, a closed terminal or a kill in the middle of writing a large
  // file must not leave its hidden temporary beside the target.
  for (int signo : {SIGINT, SIGTERM, SIGHUP}) platform::RemovePendingFilesOnSignal(signo);
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
