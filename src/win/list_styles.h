#pragma once
// The extended list-view styles the window's lists use.

#include <windows.h>

#include <commctrl.h>

namespace tracewell::win {

// The session grid and the header lists: grid lines, sub-item images, header
// drag-and-drop, full-row select, info tips, underline-hot and label tips.
inline constexpr DWORD kGridListStyles = LVS_EX_GRIDLINES | LVS_EX_SUBITEMIMAGES | LVS_EX_HEADERDRAGDROP |
                                         LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP | LVS_EX_UNDERLINEHOT |
                                         LVS_EX_LABELTIP;
static_assert(kGridListStyles == 0x4C33);
// The query-string and post-data lists: the grid's less label tips.
inline constexpr DWORD kParameterListStyles = kGridListStyles & ~DWORD{LVS_EX_LABELTIP};
// The cookie and cache lists: grid lines, full-row select, info tips and label tips.
inline constexpr DWORD kFixedListStyles = LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP | LVS_EX_LABELTIP;
// The filter dialog's check-box lists: a check box per row, full-row selection.
inline constexpr DWORD kCheckListStyles = LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT;

}  // namespace tracewell::win
