#pragma once
// The desktop program: the main window with the recorder on its default address.

namespace tracewell::app {

// Runs the window until it closes; the process's exit code. Without a display to
// open it on, says so and returns 1.
int RunDesktop(int argc, char** argv);

}  // namespace tracewell::app
