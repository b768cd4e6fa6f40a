#pragma once
// A test's hands and eyes on the window's report lists: cell texts read back as the
// list gives them, clicks and keys as the user gives them, and the clipboard's
// CF_TEXT bytes the copy commands leave.

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

namespace tracewell::win::test {

using ListRows = std::vector<std::vector<std::wstring>>;

// The text of a report list's cell, as the list gives it.
inline std::wstring CellText(HWND list, int row, int column) {
  wchar_t text[2048] = {};
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = text;
  item.cchTextMax = 2048;
  SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  return text;
}

inline int ColumnCount(HWND list) {
  return static_cast<int>(
      SendMessageW(reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0)), HDM_GETITEMCOUNT, 0, 0));
}

// Every cell of every row.
inline ListRows ReadRows(HWND list) {
  ListRows rows;
  const auto count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < count; ++row) {
    std::vector<std::wstring>& cells = rows.emplace_back();
    for (int column = 0; column < ColumnCount(list); ++column) cells.push_back(CellText(list, row, column));
  }
  return rows;
}

// The middle of a cell, in the list's client coordinates.
inline LPARAM CellPoint(HWND list, int row, int column) {
  RECT cell{};
  cell.top = column;
  cell.left = LVIR_LABEL;
  SendMessageW(list, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell));
  return MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
}

inline void LeftClick(HWND list, int row, int column) {
  SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, CellPoint(list, row, column));
  SendMessageW(list, WM_LBUTTONUP, 0, CellPoint(list, row, column));
}

// A key pressed in `window`, with Ctrl held down meanwhile when asked.
inline void PressKey(HWND window, WPARAM key, bool ctrl) {
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_CONTROL] = ctrl ? 0x80 : 0;
  SetKeyboardState(keys);
  SendMessageW(window, WM_KEYDOWN, key, 1);
  SendMessageW(window, WM_KEYUP, key, 0xC0000001);
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
}

// The clipboard's CF_TEXT bytes, without the terminating zero; empty when it has none.
inline std::string ClipboardText() {
  if (!OpenClipboard(nullptr)) return "(clipboard busy)";
  std::string text;
  if (const HANDLE block = GetClipboardData(CF_TEXT)) {
    if (const auto* bytes = static_cast<const char*>(GlobalLock(block))) {
      text = bytes;
      GlobalUnlock(block);
    }
  }
  CloseClipboard();
  return text;
}

}  // namespace tracewell::win::test
