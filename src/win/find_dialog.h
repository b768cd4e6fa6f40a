#pragma once
// The Find dialog over the core's find dialog model: the text with the texts searched
// before, the two options, the direction pair and the seven scopes. Find Next selects
// and shows the next matching row and leaves the dialog open; what the search has to
// say (not found, gone round the end) comes in a message box over the dialog.

#include <windows.h>

#include <functional>

#include "views/find_dialog_model.h"

namespace tracewell::win {

namespace find_dialog_id {
inline constexpr WORD kText = 1101;
inline constexpr WORD kMatchCase = 1102;
inline constexpr WORD kWholeWord = 1103;
inline constexpr WORD kUp = 1104;
inline constexpr WORD kDown = 1105;
inline constexpr WORD kFirstScope = 1106;  // the seven scopes in their order
inline constexpr WORD kSelectAll = 1120;
inline constexpr WORD kSelectNone = 1121;
inline constexpr WORD kFindNext = IDOK;
}  // namespace find_dialog_id

// Runs the dialog modally over `owner`; `rowFound` runs after each Find Next that
// selected a row.
void RunFindDialog(HWND owner, CMainWindowModel& window, CFindHistory& history,
                   const std::function<void()>& rowFound);

}  // namespace tracewell::win
