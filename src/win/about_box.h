#pragma once
// Help > About: a modal box with the product's picture, name and version, and links to
// the maker's home page and support address, which open with the shell.

#include <windows.h>

namespace tracewell::win {

// Shows the box over `owner` until the user closes it.
void ShowAboutBox(HWND owner);

}  // namespace tracewell::win
