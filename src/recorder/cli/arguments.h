#pragma once
// Command-line options of the form "--name value", "--name=value", "-x value" and
// "--flag", beside positional arguments.

#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tracewell::cli {

struct OptionSpec {
  std::string_view name;   // "--format"
  std::string_view alias;  // "-o", or empty
  bool takesValue;
  bool repeatable = false;  // a value option that may be given more than once
};

struct ParsedArguments {
  std::vector<std::string> positional;
  std::map<std::string, std::string, std::less<>> values;  // by long name
  std::map<std::string, std::vector<std::string>, std::less<>> lists;  // repeatable ones
  std::set<std::string, std::less<>> flags;                // by long name

  bool Has(std::string_view flag) const { return flags.contains(flag); }
  std::optional<std::string> Value(std::string_view name) const;
  // Every value of a repeatable option, in the order given.
  std::vector<std::string> Values(std::string_view name) const;
};

struct UsageError {
  std::string message;
};

// A whole decimal number without sign, or nothing.
std::optional<std::size_t> ParseIndex(std::string_view text);

std::variant<ParsedArguments, UsageError> ParseArguments(std::span<const std::string> args,
                                                         std::span<const OptionSpec> options);

}  // namespace tracewell::cli

namespace tracewell::cli {

// The arguments of subcommand `name`, or the exit code when nothing more is to be
// done: --help was given (help printed on `out`) or the arguments are wrong (the
// error and the help printed on `err`).
std::variant<ParsedArguments, int> ParseSubcommand(std::string_view name, std::string_view help,
                                                   std::span<const std::string> args,
                                                   std::span<const OptionSpec> options,
                                                   std::ostream& out, std::ostream& err);

}  // namespace tracewell::cli
