#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"
#ifdef TRACEWELL_WITH_WINDOW
#include "session_io/session_file.h"
#include "window/desktop_main.h"
#endif

int main(int argc, char** argv) {
#ifdef TRACEWELL_WITH_WINDOW
  // No command: the window; one session file: the window with that session.
  if (argc == 1) return tracewell::app::RunDesktop(argc, argv, std::nullopt);
  if (argc == 2 && argv[1][0] != '-' && tracewell::IsSessionPath(argv[1])) {
    return tracewell::app::RunDesktop(1, argv, std::filesystem::path(argv[1]));
  }
#endif
  std::ios::sync_with_stdio(false);
  const std::vector<std::string> args(argv + 1, argv + argc);
  const int code = tracewell::cli::RunCli(args, std::cout, std::cerr);
  std::cout.flush();
  if (!std::cout) {
    std::cerr << "tracewell: cannot write standard output\n";
    return tracewell::cli::kExitFailed;
  }
  return code;
}
