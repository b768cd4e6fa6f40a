#include "cli/arguments.h"

#include <algorithm>
#include <charconv>

#include "cli/cli.h"

namespace tracewell::cli {

std::optional<std::size_t> ParseIndex(std::string_view text) {
  std::size_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<std::string> ParsedArguments::Value(std::string_view name) const {
  const auto it = values.find(name);
  if (it == values.end()) return std::nullopt;
  return it->second;
}

std::vector<std::string> ParsedArguments::Values(std::string_view name) const {
  const auto it = lists.find(name);
  return it == lists.end() ? std::vector<std::string>{} : it->second;
}

std::variant<ParsedArguments, UsageError> ParseArguments(std::span<const std::string> args,
                                                         std::span<const OptionSpec> options) {
  ParsedArguments parsed;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string_view arg = args[i];
    if (arg.size() < 2 || arg[0] != '-') {
      parsed.positional.emplace_back(arg);
      continue;
    }
    std::optional<std::string_view> inlineValue;
    if (const auto equals = arg.find('='); arg.starts_with("--") && equals != arg.npos) {
      inlineValue = arg.substr(equals + 1);
      arg = arg.substr(0, equals);
    }
    const auto match = std::find_if(options.begin(), options.end(), [&](const OptionSpec& o) {
      return o.name == arg || (!o.alias.empty() && o.alias == arg);
    });
    if (match == options.end()) return UsageError{"unknown option " + std::string(arg)};
    const std::string name(match->name);
    if (!match->takesValue) {
      if (inlineValue) return UsageError{name + " takes no value"};
      parsed.flags.insert(name);
      continue;
    }
    if (!inlineValue) {
      if (i + 1 >= args.size()) return UsageError{name + " needs a value"};
      inlineValue = args[++i];
    }
    if (match->repeatable) {
      parsed.lists[name].emplace_back(*inlineValue);
      continue;
    }
    if (parsed.values.contains(name)) return UsageError{name + " given twice"};
    parsed.values.emplace(name, *inlineValue);
  }
  return parsed;
}

std::variant<ParsedArguments, int> ParseSubcommand(std::string_view name, std::string_view help,
                                                   std::span<const std::string> args,
                                                   std::span<const OptionSpec> options,
                                                   std::ostream& out, std::ostream& err) {
  auto parsed = ParseArguments(args, options);
  if (const auto* usage = std::get_if<UsageError>(&parsed)) {
    err << "tracewell " << name << ": " << usage->message << "\n" << help;
    return kExitUsage;
  }
  auto& arguments = std::get<ParsedArguments>(parsed);
  if (arguments.Has("--help")) {
    out << help;
    return kExitDone;
  }
  return std::move(arguments);
}

}  // namespace tracewell::cli
