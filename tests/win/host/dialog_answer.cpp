#include "dialog_answer.h"

namespace tracewell::win::test {
namespace {

constexpr int kRounds = 200;
// The file name box of the system's file dialogs: a combo box in the explorer style.
constexpr int kFileNameBox = 0x47C;
constexpr DWORD kRoundMilliseconds = 25;

struct ControlText {
  std::wstring className;
  std::wstring text;
};

BOOL CALLBACK KeepControlText(HWND child, LPARAM found) {
  wchar_t className[64] = {};
  GetClassNameW(child, className, 64);
  wchar_t text[1024] = {};
  GetWindowTextW(child, text, 1024);
  reinterpret_cast<std::vector<ControlText>*>(found)->push_back({className, text});
  return TRUE;
}

}  // namespace

CDialogAnswer::CDialogAnswer(std::wstring caption, int button, std::wstring fileName)
    : m_caption(std::move(caption)),
      m_thread([this, button, name = std::move(fileName)] { Answer(button, name); }) {}

CDialogAnswer::~CDialogAnswer() {
  if (m_thread.joinable()) m_thread.join();
}

std::wstring CDialogAnswer::Text() {
  if (m_thread.joinable()) m_thread.join();
  return m_text;
}

std::vector<std::wstring> CDialogAnswer::Texts() {
  if (m_thread.joinable()) m_thread.join();
  return m_texts;
}

// A dialog is answered once it is up (visible, its file name box made); an answer
// that does not close it (given while it was still setting itself up) is given again.
void CDialogAnswer::Answer(int button, const std::wstring& fileName) {
  HWND answered = nullptr;
  for (int round = 0; round < kRounds; ++round, Sleep(kRoundMilliseconds)) {
    const HWND box = FindWindowW(L"#32770", m_caption.c_str());
    if (box == nullptr) {
      if (answered != nullptr) return;  // closed by the answer
      continue;
    }
    if (!IsWindowVisible(box) || (!fileName.empty() && GetDlgItem(box, kFileNameBox) == nullptr)) continue;
    if (box == answered && round % 10 != 0) continue;
    if (answered == nullptr) {
      std::vector<ControlText> controls;
      EnumChildWindows(box, KeepControlText, reinterpret_cast<LPARAM>(&controls));
      for (const ControlText& control : controls) {
        m_texts.push_back(control.text);
        // A message box's message is its longest static text.
        if (lstrcmpiW(control.className.c_str(), L"Static") == 0 && control.text.size() > m_text.size()) {
          m_text = control.text;
        }
      }
    }
    if (!fileName.empty()) SetDlgItemTextW(box, kFileNameBox, fileName.c_str());
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    answered = box;
  }
}

}  // namespace tracewell::win::test
