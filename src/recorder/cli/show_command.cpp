#include <variant>

#include "cli/arguments.h"
#include "cli/cli.h"
#include "cli/commands.h"
#include "cli/session_file.h"
#include "text/utf8.h"
#include "views/grid_columns.h"

namespace tracewell::cli {

const std::string_view kShowHelp =
    "usage: tracewell show FILE.elf\n"
    "\n"
    "Prints the session grid of FILE: one line per record in file order, the ten\n"
    "columns No., Started, Duration(s), Sent, Method, Result, Size, Type, URL and\n"
    "IP Address, each followed by two spaces, lines ending in CR LF (UTF-8).\n";

namespace {
constexpr OptionSpec kShowOptions[] = {{"--help", "-h", false}};
}

int RunShow(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
  auto parsed = ParseSubcommand("show", kShowHelp, args, kShowOptions, out, err);
  if (const int* exitCode = std::get_if<int>(&parsed)) return *exitCode;
  const auto& arguments = std::get<ParsedArguments>(parsed);
  if (arguments.positional.size() != 1) {
    err << "tracewell show: expects one session file\n" << kShowHelp;
    return kExitUsage;
  }
  const auto session = LoadSessionFile(arguments.positional[0], err);
  if (!session) return kExitFailed;

  std::u16string rows;
  int rowNumber = 0;
  for (const auto& record : session->records) {
    AppendRowCopyText(rows, NewRowTexts(*record, rowNumber++));
  }
  out << ToUtf8(rows);
  return session->complete ? kExitDone : kExitFailed;
}

}  // namespace tracewell::cli
