#pragma once
// One function per subcommand, each taking the arguments after its name.

#include <ostream>
#include <span>
#include <string>
#include <string_view>

namespace tracewell::cli {

struct Command {
  std::string_view name;
  std::string_view summary;
  int (*run)(std::span<const std::string> args, std::ostream& out, std::ostream& err);
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

}  // namespace tracewell::cli
