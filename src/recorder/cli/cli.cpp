#include "cli/cli.h"

#include <array>

#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/completion.h"
#include "update/version.h"

namespace tracewell::cli {
namespace {

const std::array<Command, 5> kCommands = {{
    {"record", "run the recording proxy and save what it records", RunRecord, RecordOptions},
    {"browse", "start Chromium and record its requests from inside the browser", RunBrowse, BrowseOptions},
    {"show", "print the session grid of a log file or HAR file", RunShow, ShowOptions},
    {"export", "write a session to another file or format", RunExport, ExportOptions},
    {"ca", "show or export the certificate authority that HTTPS interception uses", RunCa, CaOptions},
}};

void PrintOverview(std::ostream& out) {
  out << "Tracewell " << kProgramVersion << " - HTTP traffic monitor\n"
      << "\n"
      << "usage: tracewell [FILE]\n"
      << "       tracewell COMMAND [ARGS]\n"
      << "       tracewell --version\n"
      << "\n"
      << "With no command, opens the desktop window (with FILE, a .elf or .har session,\n"
      << "loaded).\n"
      << "\n"
      << "commands:\n";
  for (const auto& command : kCommands) {
    out << "  " << command.name << std::string(10 - command.name.size(), ' ') << command.summary
        << "\n";
  }
  out << "\nRun 'tracewell COMMAND --help' for the options of a command.\n";
}

// The shell's completion asks: --complete CURRENT WORD..., the words of its line.
constexpr std::string_view kCompleteOption = "--complete";

int Complete(std::span<const std::string> args, std::ostream& out) {
  const auto current = args.empty() ? std::nullopt : ParseIndex(args[0]);
  if (!current) return kExitUsage;
  for (const std::string& candidate : CompletionCandidates(kCommands, args.subspan(1), *current)) {
    out << candidate << "\n";
  }
  return kExitDone;
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
  if (args[0] == kCompleteOption) return Complete(args.subspan(1), out);
  for (const auto& command : kCommands) {
    if (args[0] == command.name) return command.run(args.subspan(1), out, err);
  }
  err << "tracewell: unknown command '" << args[0] << "'\n";
  PrintOverview(err);
  return kExitUsage;
}

}  // namespace tracewell::cli
