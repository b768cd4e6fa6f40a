#pragma once
// The `tracewell` command: subcommands that work on session files from a terminal.

#include <ostream>
#include <span>
#include <string>

namespace tracewell::cli {

enum ExitCode : int { kExitDone = 0, kExitFailed = 1, kExitUsage = 2 };

// Runs the command line without the program name; text goes to `out` and `err`.
int RunCli(std::span<const std::string> args, std::ostream& out, std::ostream& err);

}  // namespace tracewell::cli
