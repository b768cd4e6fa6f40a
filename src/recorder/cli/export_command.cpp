#include <variant>

#include "cli/arguments.h"
#include "cli/cli.h"
#include "cli/commands.h"
#include "cli/session_file.h"
#include "session_io/grid_export.h"
#include "session_io/log_file.h"
#include "session_io/xml_export.h"

namespace tracewell::cli {

const std::string_view kExportHelp =
    "usage: tracewell export FILE.elf [--format elf|xml|csv|txt] -o OUT\n"
    "\n"
    "Writes the session in FILE to OUT. The format is taken from --format, or\n"
    "else from the extension of OUT:\n"
    "  elf  Tracewell log file\n"
    "  xml  XML document, every header and post-data parameter an element\n"
    "  csv  the grid's columns as comma-separated values\n"
    "  txt  the grid's columns separated by spaces\n"
    "OUT is replaced only once it has been written whole.\n";

namespace {

constexpr OptionSpec kExportOptions[] = {
    {"--help", "-h", false}, {"--format", "", true}, {"--output", "-o", true}};

using Exporter = std::optional<FileError> (*)(const std::filesystem::path&, const TransactionArray&);

struct Format {
  std::string_view name;
  Exporter write;
};

const Format kFormats[] = {
    {"elf", SaveLogFile},
    {"xml", ExportXmlFile},
    {"csv", [](const std::filesystem::path& path, const TransactionArray& records) {
       return ExportGridFile(path, records, GridTableFormat::kCsv);
     }},
    {"txt", [](const std::filesystem::path& path, const TransactionArray& records) {
       return ExportGridFile(path, records, GridTableFormat::kText);
     }},
};

// The format named by --format, or by the output's extension.
const Format* ChooseFormat(const ParsedArguments& arguments, const std::string& out) {
  auto name = arguments.Value("--format");
  if (!name) {
    const auto dot = out.rfind('.');
    if (dot == std::string::npos) return nullptr;
    name = out.substr(dot + 1);
  }
  for (const Format& format : kFormats) {
    if (*name == format.name) return &format;
  }
  return nullptr;
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
  const Format* format = ChooseFormat(arguments, *output);
  if (format == nullptr) {
    err << "tracewell export: unknown format; use --format elf, xml, csv or txt\n";
    return kExitUsage;
  }
  const auto session = LoadSessionFile(arguments.positional[0], err);
  if (!session) return kExitFailed;
  if (!session->complete) {
    err << "tracewell export: not writing " << *output << " from a damaged session file\n";
    return kExitFailed;
  }
  if (const auto error = format->write(*output, session->records)) {
    err << "tracewell: " << error->message << "\n";
    return kExitFailed;
  }
  return kExitDone;
}

}  // namespace tracewell::cli
