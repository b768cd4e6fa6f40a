#include "cli/cli.h"

#include <array>

#include "cli/commands.h"
#include "update/version.h"

namespace tracewell::cli {
namespace {

const std::array<Command, 5> kCommands = {{
    {"record", "run the recording proxy and save what it records", RunRecord},
    {"browse", "start Chromium and record its requests from inside the browser", RunBrowse},
    {"show", "print the session grid of a log file or HAR file", RunShow},
    {"export", "write a session to another file or format", RunExport},
    {"ca", "show or export the certificate authority that HTTPS interception uses", RunCa},
}};

void PrintOverview(std::ostream& out) {
  out << "Tracewell " << kProgramVersion << " - HTTP traffic monitor\n"
      << "\n"
      << "usage: tracewell COMMAND [ARGS]\n"
      << "       tracewell --version\n"
      << "\n"
      << "commands:\n";
  for (const auto& command : kCommands) {
    out << "  " << command.name << std::string(10 - command.name.size(), ' ') << command.summary
        << "\n";
  }
  out << "\nRun 'tracewell COMMAND --help' for the options of a command.\n";
}

}  // namespace

int RunCli(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
  if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    PrintOverview(out);
    return kExitDone;
  }
  if (args[0] == "--version") {
    out << kProgramVersion << "\n";
    return kExitDone;
  }
  for (const auto& command : kCommands) {
    if (args[0] == command.name) return command.run(args.subspan(1), out, err);
  }
  err << "tracewell: unknown command '" << args[0] << "'\n";
  PrintOverview(err);
  return kExitUsage;
}

}  // namespace tracewell::cli
