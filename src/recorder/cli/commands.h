#pragma once
// One function per subcommand, each taking the arguments after its name.

#include <ostream>
#include <span>
#include <string>
#include <string_view>

#include "cli/arguments.h"

namespace tracewell::cli {

struct Command {
  std::string_view name;
  std::string_view summary;
  int (*run)(std::span<const std::string> args, std::ostream& out, std::ostream& err);
  std::span<const OptionSpec> (*options)();
};

int RunShow(std::span<const std::string> args, std::ostream& out, std::ostream& err);
int RunExport(std::span<const std::string> args, std::ostream& out, std::ostream& err);
int RunRecord(std::span<const std::string> args, std::ostream& out, std::ostream& err);
int RunCa(std::span<const std::string> args, std::ostream& out, std::ostream& err);
int RunBrowse(std::span<const std::string> args, std::ostream& out, std::ostream& err);

extern const std::string_view kShowHelp;
extern const std::string_view kExportHelp;
extern const std::string_view kRecordHelp;
extern const std::string_view kCaHelp;
extern const std::string_view kBrowseHelp;

// Each command's options (functions, so that other files' tables may use them
// while they are being initialised).
std::span<const OptionSpec> ShowOptions();
std::span<const OptionSpec> ExportOptions();
std::span<const OptionSpec> RecordOptions();
std::span<const OptionSpec> CaOptions();
std::span<const OptionSpec> BrowseOptions();

// The names `show --sort` takes, in column order.
std::span<const std::string_view> SortColumnNames();

}  // namespace tracewell::cli
