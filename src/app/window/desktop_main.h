#pragma once
// The desktop program: the main window with the recorder on its default address.

#include <filesystem>
#include <optional>

namespace tracewell::app {

// Runs the window until it closes, with `session` loaded when given; the process's
// exit code. Without a display to open it on, says so and returns 1.
int RunDesktop(int argc, char** argv, const std::optional<std::filesystem::path>& session);

}  // namespace tracewell::app
