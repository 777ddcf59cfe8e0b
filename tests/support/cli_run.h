// Running the built trendolin-cli from a test, as a script would: in a
// private folder, with that folder as its settings folder.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "support/temp_dir.h"

namespace testsupport {

struct CliRun {
  int status;
  std::string out;  // standard output
  std::string err;  // standard error
};

// Runs the tool at `program` with `args` (already quoted for the shell) in
// `dir`, which is also its settings folder; a nonlinear fit's "history.dmp"
// lands there too.
inline CliRun RunCli(const std::string& program, const TempDir& dir, const std::string& args) {
  const std::string errFile = dir.File("stderr.txt");
  const std::string command = "cd '" + dir.Path() + "' && TRENDOLIN_CONFIG_DIR='" + dir.Path() + "' '" + program +
                              "' " + args + " 2>'" + errFile + "'";
  CliRun run{-1, {}, {}};
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
  const int raw = ::pclose(pipe);
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  run.err = ReadFile(errFile);
  return run;
}

#ifdef TRENDOLIN_CLI
// The tool this test program was built with.
inline CliRun Cli(const TempDir& dir, const std::string& args) { return RunCli(TRENDOLIN_CLI, dir, args); }
#endif

}  // namespace testsupport
