#include "menu_answer.h"

namespace tracewell::win::test {
namespace {

constexpr int kRounds = 100;
constexpr DWORD kRoundMilliseconds = 50;
constexpr UINT kGetMenuHandle = 0x01E1;  // MN_GETHMENU

std::vector<std::wstring> MenuTexts(HMENU menu) {
  std::vector<std::wstring> texts;
  const int count = GetMenuItemCount(menu);
  for (int position = 0; position < count; ++position) {
    if (GetMenuState(menu, static_cast<UINT>(position), MF_BYPOSITION) & MF_SEPARATOR) {
      texts.emplace_back(L"-");
      continue;
    }
    wchar_t text[256] = {};
    GetMenuStringW(menu, static_cast<UINT>(position), text, 256, MF_BYPOSITION);
    texts.emplace_back(text);
  }
  return texts;
}

void PressKey(HWND window, WPARAM key) {
  PostMessageW(window, WM_KEYDOWN, key, 1);
  PostMessageW(window, WM_KEYUP, key, 0xC0000001);
}

}  // namespace

CMenuAnswer::CMenuAnswer(int position) : m_thread([this, position] { Answer(position); }) {}

CMenuAnswer::~CMenuAnswer() {
  if (m_thread.joinable()) m_thread.join();
}

std::vector<std::wstring> CMenuAnswer::Texts() {
  if (m_thread.joinable()) m_thread.join();
  return m_texts;
}

std::vector<bool> CMenuAnswer::Enabled() {
  if (m_thread.joinable()) m_thread.join();
  return m_enabled;
}

// Down moves to the first item from none and skips separators, so the item at
// `position` is that many Downs, less the separators before it, away.
void CMenuAnswer::Answer(int position) {
  for (int round = 0; round < kRounds; ++round, Sleep(kRoundMilliseconds)) {
    const HWND window = FindWindowW(L"#32768", nullptr);
    if (window == nullptr) continue;
    const auto menu = reinterpret_cast<HMENU>(SendMessageW(window, kGetMenuHandle, 0, 0));
    if (menu == nullptr) continue;
    m_texts = MenuTexts(menu);
    for (int item = 0; item < GetMenuItemCount(menu); ++item) {
      m_enabled.push_back((GetMenuState(menu, static_cast<UINT>(item), MF_BYPOSITION) & MF_GRAYED) == 0);
    }
    if (position < 0) {
      PressKey(window, VK_ESCAPE);
      return;
    }
    int downs = 1;
    for (int item = 0; item < position; ++item) downs += m_texts.at(static_cast<std::size_t>(item)) == L"-" ? 0 : 1;
    for (int down = 0; down < downs; ++down) PressKey(window, VK_DOWN);
    PressKey(window, VK_RETURN);
    return;
  }
  EndMenu();
}

}  // namespace tracewell::win::test
