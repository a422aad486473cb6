// The headless command line: `tavro <command> [options] [files]`.
// Exit codes: 0 success, 1 a failure reported on stderr in one line, 2 bad usage.
#pragma once

#include <string>
#include <vector>

namespace tavro::cli {

enum ExitCode : int { kExitOk = 0, kExitFailure = 1, kExitUsage = 2 };

struct Command {
  const char* name;
  const char* summary;  // one line for `tavro --help`
  // Runs the command with the arguments after its name.
  int (*run)(const std::vector<std::string>& args);
};

// Every command of the program, in the order `tavro --help` lists them.
const std::vector<Command>& Commands();

// Whether the arguments ask for a batch command (a command name, help or the
// version) rather than the editor: `tavro` alone and `tavro FILES...` open
// the editor. A first word that names no command and no file is a mistyped
// command, left to Run to report.
bool IsBatchInvocation(int argc, char** argv);

// Entry point shared by main() and the tests.
int Run(int argc, char** argv);

// Reports a failure on stderr as "tavro: <message>" and returns kExitFailure.
int Fail(const std::string& utf8Message);
// Reports bad usage on stderr and returns kExitUsage.
int Usage(const std::string& command, const std::string& utf8Message);

}  // namespace tavro::cli
