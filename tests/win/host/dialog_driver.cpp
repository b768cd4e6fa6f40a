#include "dialog_driver.h"

#include <commctrl.h>

namespace tracewell::win::test {
namespace {

constexpr int kRounds = 200;
constexpr DWORD kRoundMilliseconds = 25;
// A list row's check box is its state image: 1 unchecked, 2 checked.
constexpr UINT kCheckedImage = INDEXTOSTATEIMAGEMASK(2);

std::wstring WindowText(HWND window) {
  wchar_t text[1024] = {};
  GetWindowTextW(window, text, 1024);
  return text;
}

struct ChildTexts {
  HWND dialog;
  std::vector<std::wstring> texts;
};

// The dialog's own controls, not their parts (a combo box's edit, a list's header).
BOOL CALLBACK KeepText(HWND child, LPARAM found) {
  auto& children = *reinterpret_cast<ChildTexts*>(found);
  if (GetParent(child) == children.dialog) children.texts.push_back(WindowText(child));
  return TRUE;
}

struct OwnedBoxSearch {
  HWND owner;
  HWND found = nullptr;
};

BOOL CALLBACK FindOwnedBox(HWND window, LPARAM search) {
  auto& wanted = *reinterpret_cast<OwnedBoxSearch*>(search);
  wchar_t className[16] = {};
  GetClassNameW(window, className, 16);
  if (GetWindow(window, GW_OWNER) != wanted.owner || lstrcmpW(className, L"#32770") != 0 || !IsWindowVisible(window)) {
    return TRUE;
  }
  wanted.found = window;
  return FALSE;
}

BOOL CALLBACK KeepLongestStatic(HWND child, LPARAM longest) {
  wchar_t className[16] = {};
  GetClassNameW(child, className, 16);
  auto& text = *reinterpret_cast<std::wstring*>(longest);
  if (lstrcmpiW(className, L"Static") == 0 && WindowText(child).size() > text.size()) text = WindowText(child);
  return TRUE;
}

}  // namespace

CDialogDriver::CDialogDriver(std::wstring caption, std::function<void(HWND)> steps)
    : m_thread([this, caption = std::move(caption), steps = std::move(steps)] { Drive(caption, steps); }) {}

CDialogDriver::~CDialogDriver() { Wait(); }

bool CDialogDriver::Wait() {
  if (m_thread.joinable()) m_thread.join();
  return m_driven;
}

void CDialogDriver::Drive(const std::wstring& caption, const std::function<void(HWND)>& steps) {
  for (int round = 0; round < kRounds; ++round, Sleep(kRoundMilliseconds)) {
    const HWND dialog = FindWindowW(L"#32770", caption.c_str());
    if (dialog == nullptr || !IsWindowVisible(dialog)) continue;
    m_driven = true;
    steps(dialog);
    return;
  }
}

void ClickButton(HWND dialog, int id) { SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

void PostClick(HWND dialog, int id) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

bool IsButtonChecked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

bool IsControlEnabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

std::vector<std::wstring> ControlTexts(HWND dialog) {
  ChildTexts children{dialog, {}};
  EnumChildWindows(dialog, KeepText, reinterpret_cast<LPARAM>(&children));
  return children.texts;
}

void CheckListRow(HWND list, int row, bool checked) {
  LVITEMW item{};
  item.stateMask = LVIS_STATEIMAGEMASK;
  item.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
  SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

bool IsListRowChecked(HWND list, int row) {
  return static_cast<UINT>(SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK)) ==
         kCheckedImage;
}

std::wstring MessageText(HWND box) {
  std::wstring text;
  EnumChildWindows(box, KeepLongestStatic, reinterpret_cast<LPARAM>(&text));
  return text;
}

MessageBoxSeen AnswerMessageBox(HWND owner, int button) {
  MessageBoxSeen seen;
  HWND box = nullptr;
  if (!WaitUntil([&] {
        OwnedBoxSearch search{owner};
        EnumWindows(FindOwnedBox, reinterpret_cast<LPARAM>(&search));
        return (box = search.found) != nullptr;
      })) {
    return seen;
  }
  seen.caption = WindowText(box);
  seen.text = MessageText(box);
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
  WaitUntil([&] { return !IsWindow(box); });
  return seen;
}

bool WaitUntil(const std::function<bool()>& condition) {
  for (int round = 0; round < kRounds; ++round, Sleep(kRoundMilliseconds)) {
    if (condition()) return true;
  }
  return false;
}

}  // namespace tracewell::win::test
