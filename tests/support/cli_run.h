#pragma once
// The command run in the test's own process, with its streams caught.

#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"

namespace tracewell::testing {

struct CliRun {
  int code;
  std::string out;
  std::string err;
};

inline CliRun Cli(std::vector<std::string> args) {
  std::ostringstream out, err;
  const int code = cli::RunCli(args, out, err);
  return {code, out.str(), err.str()};
}

}  // namespace tracewell::testing
