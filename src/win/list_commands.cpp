#include "list_commands.h"

#include <string>

namespace tracewell::win {
namespace {

// The right-click menu from the core's table; the caller destroys it.
HMENU CreateListMenu() {
  const HMENU menu = CreatePopupMenu();
  if (menu == nullptr) return nullptr;
  for (const MenuItem& item : kListMenuItems) {
    if (item.id == kSeparator) {
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    const std::wstring text(item.text.begin(), item.text.end());
    AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(item.id), text.c_str());
  }
  return menu;
}

// Redrawing held while a loop changes every row's state.
class CRedrawHeld {
 public:
  explicit CRedrawHeld(HWND list) : m_list(list) { SendMessageW(m_list, WM_SETREDRAW, FALSE, 0); }
  ~CRedrawHeld() {
    SendMessageW(m_list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(m_list, nullptr, TRUE);
  }
  CRedrawHeld(const CRedrawHeld&) = delete;
  CRedrawHeld& operator=(const CRedrawHeld&) = delete;

 private:
  HWND m_list;
};

void SetRowSelected(HWND list, int row, bool selected) {
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED;
  item.state = selected ? LVIS_SELECTED : 0;
  SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

}  // namespace

bool CListCommands::OnNotify(const NMHDR& header) {
  if (header.hwndFrom != m_view) return false;
  switch (header.code) {
    case NM_RCLICK:
      OnRightClick(reinterpret_cast<const NMITEMACTIVATE&>(header));
      return true;
    case LVN_KEYDOWN:
      return OnKeyDown(reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey);
    default:
      return false;
  }
}

void CListCommands::RunCommand(int commandId) {
  m_helper.OnCommand(commandId, &m_list, m_clipboard);
  const bool selectionCommand =
      commandId == command::kSelectAllRows || commandId == command::kInvertSelection;
  if (selectionCommand && m_selectionChanged) m_selectionChanged();
}

// The cell under the mouse is hit-tested where the click was; the row the list
// names decides whether the menu opens.
void CListCommands::OnRightClick(const NMITEMACTIVATE& click) {
  LVHITTESTINFO hit{};
  hit.pt = click.ptAction;
  const auto hitRow = static_cast<int>(SendMessageW(m_view, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  const int hitColumn = hitRow >= 0 ? hit.iSubItem : -1;
  const auto rowCount = static_cast<std::size_t>(SendMessageW(m_view, LVM_GETITEMCOUNT, 0, 0));
  if (!m_helper.OnRightClick(m_listId, hitRow, hitColumn, click.iItem, rowCount)) return;
  const HMENU menu = CreateListMenu();
  if (menu == nullptr) return;
  POINT cursor{};
  GetCursorPos(&cursor);
  const int chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, cursor.x, cursor.y, 0,
                                    GetParent(m_view), nullptr);
  DestroyMenu(menu);
  if (chosen != 0) RunCommand(chosen);
}

// Letters arrive as their upper-case virtual keys.
bool CListCommands::OnKeyDown(WORD key) {
  if (key < 'A' || key > 'Z') return false;
  const bool ctrlDown = GetKeyState(VK_CONTROL) < 0;
  const auto commandId = CListCtrlHelper::CommandForKey(m_listId, static_cast<char>(key), ctrlDown);
  if (!commandId) return false;
  RunCommand(*commandId);
  return true;
}

void SelectAllListRows(HWND list) {
  const CRedrawHeld held(list);
  SetRowSelected(list, -1, true);
}

void InvertListSelection(HWND list) {
  const CRedrawHeld held(list);
  const auto count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < count; ++row) {
    const bool selected = SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) != 0;
    SetRowSelected(list, row, !selected);
  }
}

}  // namespace tracewell::win
