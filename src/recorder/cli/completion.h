#pragma once
// What may come next on a command line, for the shell's completion script: the
// program answers from its own tables of commands and options.

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/commands.h"

namespace tracewell::cli {

// The one candidate that stands for "a file name here".
inline constexpr std::string_view kFileCandidate = "<file>";

// The candidates for word `current` of `words` (words[0] is the program): after the
// program, the commands and the two general options; after a command, its options
// for a word that begins with "-", the column names after "--sort", and file names
// for any other value or argument.
std::vector<std::string> CompletionCandidates(std::span<const Command> commands,
                                              std::span<const std::string> words, std::size_t current);

}  // namespace tracewell::cli
