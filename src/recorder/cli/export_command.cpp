#include <variant>

#include "cli/arguments.h"
#include "cli/cli.h"
#include "cli/commands.h"
#include "cli/session_file.h"
#include "session_io/log_file.h"

namespace tracewell::cli {

const std::string_view kExportHelp =
    "usage: tracewell export FILE.elf [--format elf] -o OUT\n"
    "\n"
    "Writes the session in FILE to OUT. The format is taken from --format, or\n"
    "else from the extension of OUT. Formats: elf (Tracewell log file).\n"
    "OUT is replaced only once it has been written whole.\n";

namespace {

constexpr OptionSpec kExportOptions[] = {
    {"--help", "-h", false}, {"--format", "", true}, {"--output", "-o", true}};

constexpr std::string_view kFormats[] = {"elf"};

// The format named by --format, or by the output's extension.
std::optional<std::string> ChooseFormat(const ParsedArguments& arguments, const std::string& out) {
  auto format = arguments.Value("--format");
  if (!format) {
    const auto dot = out.rfind('.');
    if (dot == std::string::npos) return std::nullopt;
    format = out.substr(dot + 1);
  }
  for (auto known : kFormats) {
    if (*format == known) return format;
  }
  return std::nullopt;
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
  if (!ChooseFormat(arguments, *output)) {
    err << "tracewell export: unknown format; use --format elf\n";
    return kExitUsage;
  }
  const auto session = LoadSessionFile(arguments.positional[0], err);
  if (!session) return kExitFailed;
  if (!session->complete) {
    err << "tracewell export: not writing " << *output << " from a damaged session file\n";
    return kExitFailed;
  }
  if (const auto error = SaveLogFile(*output, session->records)) {
    err << "tracewell: " << error->message << "\n";
    return kExitFailed;
  }
  return kExitDone;
}

}  // namespace tracewell::cli
