#pragma once
// The window class of the library's own container windows (the main window, the
// detail pane, the Content tab and its panel): the arrow cursor, the dialog colour
// behind the children, and DefWindowProcW until a view puts its own procedure in.

#include <windows.h>

namespace tracewell::win {

// Registers `className` in the library's module once; false when the system refuses.
bool RegisterChildWindowClass(const wchar_t* className);

}  // namespace tracewell::win
