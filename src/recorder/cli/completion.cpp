#include "cli/completion.h"

#include <algorithm>

namespace tracewell::cli {
namespace {

const OptionSpec* FindOption(std::span<const OptionSpec> options, std::string_view word) {
  const auto it = std::ranges::find_if(
      options, [&](const OptionSpec& o) { return word == o.name || (!o.alias.empty() && word == o.alias); });
  return it == options.end() ? nullptr : &*it;
}

}  // namespace

std::vector<std::string> CompletionCandidates(std::span<const Command> commands,
                                              std::span<const std::string> words, std::size_t current) {
  if (current == 0 || current > words.size()) return {};
  if (current == 1) {
    std::vector<std::string> names;
    for (const Command& command : commands) names.emplace_back(command.name);
    names.emplace_back("--help");
    names.emplace_back("--version");
    return names;
  }
  const auto command = std::ranges::find_if(commands, [&](const Command& c) { return words[1] == c.name; });
  if (command == commands.end()) return {};
  const std::span<const OptionSpec> options = command->options();
  if (const OptionSpec* previous = FindOption(options, words[current - 1]); previous && previous->takesValue) {
    if (previous->name == "--sort") return {SortColumnNames().begin(), SortColumnNames().end()};
    return {std::string(kFileCandidate)};
  }
  const std::string_view word = current < words.size() ? std::string_view(words[current]) : std::string_view();
  if (!word.starts_with('-')) return {std::string(kFileCandidate)};
  std::vector<std::string> names;
  for (const OptionSpec& option : options) names.emplace_back(option.name);
  return names;
}

}  // namespace tracewell::cli
