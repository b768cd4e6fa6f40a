#include "main_toolbar.h"

#include <algorithm>
#include <string>
#include <vector>

#include "module.h"
#include "views/main_commands.h"

namespace tracewell::win {
namespace {

constexpr int kNotOffered[] = {command::kBrowser, command::kExportCaCertificate};

bool IsOffered(int commandId) { return std::ranges::find(kNotOffered, commandId) == std::end(kNotOffered); }

BYTE ButtonStyle(ButtonKind kind) {
  switch (kind) {
    case ButtonKind::kCheck:
      return BTNS_CHECK;
    case ButtonKind::kPlain:
      return BTNS_BUTTON;
    case ButtonKind::kSplit:
      return BTNS_DROPDOWN;
    case ButtonKind::kWholeDropDown:
      return BTNS_WHOLEDROPDOWN;
  }
  return BTNS_BUTTON;
}

// The menu's items that this library offers, with no separator at either end or two
// in a row.
HMENU BuildMenu(const DropDownMenu& menu, bool filterOn) {
  const HMENU popup = CreatePopupMenu();
  bool separatorDue = false;
  bool anyItem = false;
  for (const MenuItem& item : menu.items) {
    if (item.id == kSeparator) {
      separatorDue = anyItem;
      continue;
    }
    if (!IsOffered(item.id)) continue;
    if (separatorDue) AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
    separatorDue = false;
    anyItem = true;
    const std::wstring text(item.text.begin(), item.text.end());
    const UINT state = IsMenuItemEnabled(item.id, filterOn) ? MF_ENABLED : MF_GRAYED;
    AppendMenuW(popup, MF_STRING | state, static_cast<UINT_PTR>(item.id), text.c_str());
  }
  return popup;
}

}  // namespace

bool CMainToolbar::Create(HWND parent) {
  const HINSTANCE instance = CBandkitModule::Get().Instance();
  m_rebar = CreateWindowExW(0, REBARCLASSNAMEW, L"",
                            WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | RBS_VARHEIGHT | CCS_NODIVIDER,
                            0, 0, 0, 0, parent, nullptr, instance, nullptr);
  if (m_rebar == nullptr) return false;
  m_toolbar = CreateWindowExW(0, TOOLBARCLASSNAMEW, L"",
                              WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_LIST | CCS_NORESIZE | CCS_NODIVIDER |
                                  CCS_NOPARENTALIGN,
                              0, 0, 0, 0, m_rebar, nullptr, instance, nullptr);
  if (m_toolbar == nullptr) return false;
  SendMessageW(m_toolbar, TB_SETPARENT, reinterpret_cast<WPARAM>(parent), 0);
  SendMessageW(m_toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  SendMessageW(m_toolbar, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
  std::vector<TBBUTTON> buttons;
  for (const ToolbarButton& button : kToolbarButtons) {
    if (!IsOffered(button.id)) continue;
    if (button.separatorBefore && !buttons.empty()) {
      TBBUTTON separator{};
      separator.fsStyle = BTNS_SEP;
      buttons.push_back(separator);
    }
    TBBUTTON& added = buttons.emplace_back();
    added.iBitmap = I_IMAGENONE;
    added.idCommand = button.id;
    // Recording is off at first: Stop is the checked one of the pair.
    added.fsState = static_cast<BYTE>(TBSTATE_ENABLED | (button.id == command::kStop ? TBSTATE_CHECKED : 0));
    added.fsStyle = static_cast<BYTE>(ButtonStyle(button.kind) | BTNS_SHOWTEXT | BTNS_AUTOSIZE);
    added.iString = reinterpret_cast<INT_PTR>(button.text.data());
  }
  SendMessageW(m_toolbar, TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
  SendMessageW(m_toolbar, TB_AUTOSIZE, 0, 0);

  SIZE size{};
  SendMessageW(m_toolbar, TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&size));
  REBARBANDINFOW band{};
  band.cbSize = sizeof(band);
  band.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_STYLE;
  band.fStyle = RBBS_BREAK | RBBS_CHILDEDGE | RBBS_GRIPPERALWAYS;
  band.hwndChild = m_toolbar;
  band.cxMinChild = size.cx;
  band.cyMinChild = size.cy;
  SendMessageW(m_rebar, RB_INSERTBANDW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band));
  return true;
}

int CMainToolbar::Layout() {
  RECT client{};
  GetClientRect(GetParent(m_rebar), &client);
  const auto height = static_cast<int>(SendMessageW(m_rebar, RB_GETBARHEIGHT, 0, 0));
  MoveWindow(m_rebar, 0, 0, client.right, height, TRUE);
  return height;
}

void CMainToolbar::CheckRecordingButton(int checked) {
  if (SendMessageW(m_toolbar, TB_ISBUTTONCHECKED, static_cast<WPARAM>(checked), 0) != 0) return;
  const int other = checked == command::kStart ? command::kStop : command::kStart;
  SendMessageW(m_toolbar, TB_CHECKBUTTON, static_cast<WPARAM>(checked), TRUE);
  SendMessageW(m_toolbar, TB_CHECKBUTTON, static_cast<WPARAM>(other), FALSE);
}

bool CMainToolbar::OnNotify(const NMHDR& header, HWND owner, bool filterOn) {
  if (header.hwndFrom != m_toolbar || header.code != static_cast<UINT>(TBN_DROPDOWN)) return false;
  ShowMenu(reinterpret_cast<const NMTOOLBARW&>(header).iItem, owner, filterOn);
  return true;
}

// Below the button, its left edge on the button's, the button kept free; the command
// goes through the owner's handling as a click on a button would.
void CMainToolbar::ShowMenu(int buttonId, HWND owner, bool filterOn) {
  const auto button = std::ranges::find(kToolbarButtons, buttonId, &ToolbarButton::id);
  if (button == kToolbarButtons.end()) return;
  const DropDownMenu* menu = FindMenu(button->menuId);
  if (menu == nullptr) return;
  RECT rect{};
  SendMessageW(m_toolbar, TB_GETRECT, static_cast<WPARAM>(buttonId), reinterpret_cast<LPARAM>(&rect));
  MapWindowPoints(m_toolbar, nullptr, reinterpret_cast<POINT*>(&rect), 2);
  TPMPARAMS keepFree{sizeof(keepFree), rect};
  const HMENU popup = BuildMenu(*menu, filterOn);
  const auto chosen = static_cast<int>(TrackPopupMenuEx(popup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON |
                                                                   TPM_VERTICAL | TPM_RETURNCMD,
                                                        rect.left, rect.bottom, owner, &keepFree));
  DestroyMenu(popup);
  if (chosen != 0) SendMessageW(owner, WM_COMMAND, MAKEWPARAM(chosen, 0), 0);
}

}  // namespace tracewell::win
