#pragma once
// Help Topics: the manual, an HTML page shipped beside the library, opened with the
// shell's default action.

#include <windows.h>

#include <string>

namespace tracewell::win {

// The manual's path for a library at `modulePath`: the same folder, "Tracewell.html".
std::wstring HelpFilePath(const std::wstring& modulePath);

// Opens the manual beside this library. Whether it exists is the shell's to report:
// a missing file is its message, not ours.
void OpenHelpTopics(HWND owner);

}  // namespace tracewell::win
