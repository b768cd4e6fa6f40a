#include <variant>

#include "cli/arguments.h"
#include "cli/cli.h"
#include "cli/commands.h"
#include "cli/session_file.h"
#include "session_io/session_formats.h"
#include "system_clock.h"

namespace tracewell::cli {

const std::string_view kExportHelp =
    "usage: tracewell export FILE [--format elf|xml|csv|txt|har] [--sanitize] -o OUT\n"
    "\n"
    "Writes the session in FILE (a .elf log file or a .har file) to OUT. The format\n"
    "is taken from --format, or else from the extension of OUT:\n"
    "  elf  Tracewell log file\n"
    "  xml  XML document, every header and post-data parameter an element\n"
    "  csv  the grid's columns as comma-separated values\n"
    "  txt  the grid's columns separated by spaces\n"
    "  har  HTTP Archive 1.2, for browsers' developer tools and HAR viewers\n"
    "  --sanitize  (har only) leave out the values of the Cookie, Set-Cookie,\n"
    "              Authorization and Proxy-Authorization headers and of every cookie\n"
    "OUT is replaced only once it has been written whole.\n";

namespace {

constexpr OptionSpec kExportOptions[] = {{"--help", "-h", false},
                                         {"--format", "", true},
                                         {"--output", "-o", true},
                                         {"--sanitize", "", false}};

// The format named by --format, or by the output's extension.
const SessionFormatInfo* ChooseFormat(const ParsedArguments& arguments, const std::string& out) {
  const auto name = arguments.Value("--format");
  return name ? FindSessionFormat(*name) : FormatOfPath(out);
}

}  // namespace

int RunExport(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
  auto parsed = ParseSubcommand("export", kExportHelp, args, kExportOptions, out, err);
  if (const int* exitCode = std::get_if<int>(&parsed)) return *exitCode;
  const auto& arguments = std::get<ParsedArguments>(parsed);
  const auto output = arguments.Value("--output");
  if (arguments.positional.size() != 1 || !output) {
    err << "tracewell export: expects one session file and -o OUT\n" << kExportHelp;
    return kExitUsage;
  }
  const SessionFormatInfo* format = ChooseFormat(arguments, *output);
  if (format == nullptr) {
    err << "tracewell export: unknown format; use --format elf, xml, csv, txt or har\n";
    return kExitUsage;
  }
  const bool sanitize = arguments.Has("--sanitize");
  if (sanitize && format->format != SessionFormat::kHar) {
    err << "tracewell export: --sanitize goes with --format har\n";
    return kExitUsage;
  }
  const auto session = LoadSessionFile(arguments.positional[0], err);
  if (!session) return kExitFailed;
  if (!session->complete) {
    err << "tracewell export: not writing " << *output << " from a damaged session file\n";
    return kExitFailed;
  }
  if (const auto error = WriteSessionFile(format->format, *output, session->records, SystemClock(),
                                          HarExportOptions{sanitize})) {
    err << "tracewell: " << error->message << "\n";
    return kExitFailed;
  }
  return kExitDone;
}

}  // namespace tracewell::cli
