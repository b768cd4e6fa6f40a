#pragma once
// The Tools menu's cache commands over the WinINet cache: "Clear Cookies and
// Caches..." opens the manager; "Clear All Cookies" and "Clear All Caches" ask first
// and then empty the store of that kind.

#include <windows.h>

namespace tracewell::win {

// Runs the command with its dialog or question over `owner`; false for every other
// command.
bool RunCacheCommand(int commandId, HWND owner);

}  // namespace tracewell::win
