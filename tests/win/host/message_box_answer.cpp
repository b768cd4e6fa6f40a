#include "message_box_answer.h"

namespace tracewell::win::test {
namespace {

constexpr int kRounds = 200;
constexpr DWORD kRoundMilliseconds = 25;

// The box's message: the text of its longest static control.
BOOL CALLBACK KeepLongestStaticText(HWND child, LPARAM found) {
  wchar_t className[16] = {};
  GetClassNameW(child, className, 16);
  if (lstrcmpiW(className, L"Static") != 0) return TRUE;
  wchar_t text[1024] = {};
  GetWindowTextW(child, text, 1024);
  auto& longest = *reinterpret_cast<std::wstring*>(found);
  if (wcslen(text) > longest.size()) longest = text;
  return TRUE;
}

}  // namespace

CMessageBoxAnswer::CMessageBoxAnswer(std::wstring caption, int button)
    : m_caption(std::move(caption)), m_thread([this, button] { Answer(button); }) {}

CMessageBoxAnswer::~CMessageBoxAnswer() {
  if (m_thread.joinable()) m_thread.join();
}

std::wstring CMessageBoxAnswer::Text() {
  if (m_thread.joinable()) m_thread.join();
  return m_text;
}

void CMessageBoxAnswer::Answer(int button) {
  for (int round = 0; round < kRounds; ++round) {
    const HWND box = FindWindowW(L"#32770", m_caption.c_str());
    if (box != nullptr) {
      EnumChildWindows(box, KeepLongestStaticText, reinterpret_cast<LPARAM>(&m_text));
      PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
      return;
    }
    Sleep(kRoundMilliseconds);
  }
}

}  // namespace tracewell::win::test
