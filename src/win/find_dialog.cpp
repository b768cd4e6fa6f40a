#include "find_dialog.h"

#include <string>

#include "dialog_template.h"
#include "modal_dialog.h"
#include "win_message_box.h"
#include "wide_text.h"

namespace tracewell::win {
namespace {

namespace id = find_dialog_id;
namespace text = find_dialog_text;

constexpr DWORD kCheckBox = BS_AUTOCHECKBOX | WS_TABSTOP;

WORD ScopeId(std::size_t scope) { return static_cast<WORD>(id::kFirstScope + scope); }

CDialogTemplate FindTemplate() {
  CDialogTemplate dialog(Wide(text::kTitle), 290, 160);
  dialog.AddItem(L"Static", Wide(text::kTextLabel), kNoControlId, SS_LEFT, 7, 9, 50, 10);
  dialog.AddItem(L"ComboBox", L"", id::kText, CBS_DROPDOWN | CBS_SORT | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP,
                 60, 7, 160, 100);
  dialog.AddItem(L"Button", Wide(text::kOptionsGroup), kNoControlId, BS_GROUPBOX, 7, 26, 104, 40);
  dialog.AddItem(L"Button", Wide(text::kMatchCase), id::kMatchCase, kCheckBox, 14, 38, 90, 10);
  dialog.AddItem(L"Button", Wide(text::kWholeWord), id::kWholeWord, kCheckBox, 14, 51, 90, 10);
  dialog.AddItem(L"Button", Wide(text::kDirectionGroup), kNoControlId, BS_GROUPBOX, 116, 26, 104, 40);
  dialog.AddItem(L"Button", Wide(text::kUp), id::kUp, kCheckBox, 123, 38, 90, 10);
  dialog.AddItem(L"Button", Wide(text::kDown), id::kDown, kCheckBox, 123, 51, 90, 10);
  dialog.AddItem(L"Button", Wide(text::kScopeGroup), kNoControlId, BS_GROUPBOX, 7, 70, 213, 82);
  for (std::size_t scope = 0; scope < text::kScopes.size(); ++scope) {
    const auto x = static_cast<short>(scope % 2 == 0 ? 14 : 116);
    const auto y = static_cast<short>(82 + 14 * (scope / 2));
    dialog.AddItem(L"Button", Wide(text::kScopes[scope]), ScopeId(scope), kCheckBox, x, y, 96, 10);
  }
  dialog.AddItem(L"Button", Wide(text::kFindNext), id::kFindNext, BS_DEFPUSHBUTTON | WS_TABSTOP, 230, 7, 53, 14);
  dialog.AddItem(L"Button", Wide(text::kCancel), IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 230, 25, 53, 14);
  dialog.AddItem(L"Button", Wide(text::kSelectAll), id::kSelectAll, BS_PUSHBUTTON | WS_TABSTOP, 230, 82, 53, 14);
  dialog.AddItem(L"Button", Wide(text::kSelectNone), id::kSelectNone, BS_PUSHBUTTON | WS_TABSTOP, 230, 100, 53, 14);
  return dialog;
}

class CFindDialog final : public CModalDialog {
 public:
  CFindDialog(CMainWindowModel& window, CFindHistory& history, const std::function<void()>& rowFound)
      : m_model(window, history, nullptr), m_rowFound(rowFound) {}

  void Run(HWND owner) { RunModal(owner, FindTemplate()); }

 private:
  bool OnInitDialog() override;
  bool OnCommand(WORD control, WORD code) override;
  // The model's direction, scopes and whether Find Next is offered onto the controls.
  void Refresh();
  void ShowRecentTexts();
  void ReadText();
  void FindNext();

  bool IsChecked(WORD control) const { return SendMessageW(Control(control), BM_GETCHECK, 0, 0) == BST_CHECKED; }
  void SetChecked(WORD control, bool checked) {
    SendMessageW(Control(control), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  }

  CFindDialogModel m_model;
  const std::function<void()>& m_rowFound;
};

bool CFindDialog::OnInitDialog() {
  // Nothing to search in the pages' content without a reader of their bodies.
  EnableWindow(Control(ScopeId(static_cast<std::size_t>(FindScope::kContent))), FALSE);
  ShowRecentTexts();
  Refresh();
  SetFocus(Control(id::kText));
  return false;  // the focus is set: on the text
}

void CFindDialog::ShowRecentTexts() {
  const HWND combo = Control(id::kText);
  const std::wstring current(m_model.Query().text.begin(), m_model.Query().text.end());
  SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  for (const std::u16string& recent : m_model.RecentTexts()) {
    const std::wstring item = Wide(recent);
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  }
  SetWindowTextW(combo, current.c_str());
}

void CFindDialog::ReadText() {
  const HWND combo = Control(id::kText);
  std::wstring typed(static_cast<std::size_t>(GetWindowTextLengthW(combo)) + 1, L'\0');
  typed.resize(static_cast<std::size_t>(GetWindowTextW(combo, typed.data(), static_cast<int>(typed.size()))));
  m_model.Query().text.assign(typed.begin(), typed.end());
}

void CFindDialog::Refresh() {
  SetChecked(id::kUp, m_model.IsUpChecked());
  SetChecked(id::kDown, m_model.IsDownChecked());
  for (std::size_t scope = 0; scope < kFindScopeCount; ++scope) {
    SetChecked(ScopeId(scope), m_model.Query().HasScope(static_cast<FindScope>(scope)));
  }
  EnableWindow(Control(id::kFindNext), m_model.CanFindNext());
}

void CFindDialog::FindNext() {
  ReadText();
  if (!m_model.CanFindNext()) return;
  const std::optional<UserMessage> message = m_model.FindNext();
  ShowRecentTexts();
  if (!message || *message != kMsgFindNotFound) m_rowFound();
  if (message) CWinMessageBox(Dialog()).ShowMessage(*message);
}

bool CFindDialog::OnCommand(WORD control, WORD code) {
  if (control == id::kText) {
    // A choice from the list is the combo's text only once the list has closed.
    if (code == CBN_SELCHANGE) {
      const HWND combo = Control(id::kText);
      const LRESULT chosen = SendMessageW(combo, CB_GETCURSEL, 0, 0);
      if (chosen == CB_ERR) return true;
      const auto length = static_cast<std::size_t>(SendMessageW(combo, CB_GETLBTEXTLEN, chosen, 0));
      std::wstring item(length + 1, L'\0');  // room for the terminator the copy writes
      SendMessageW(combo, CB_GETLBTEXT, chosen, reinterpret_cast<LPARAM>(item.data()));
      item.resize(length);
      m_model.Query().text.assign(item.begin(), item.end());
    } else if (code == CBN_EDITCHANGE) {
      ReadText();
    } else {
      return false;
    }
    Refresh();
    return true;
  }
  if (code != BN_CLICKED) return false;
  if (control >= id::kFirstScope && control < id::kFirstScope + kFindScopeCount) {
    m_model.Query().SetScope(static_cast<FindScope>(control - id::kFirstScope), IsChecked(control));
    Refresh();
    return true;
  }
  switch (control) {
    case id::kMatchCase:
      m_model.Query().matchCase = IsChecked(control);
      return true;
    case id::kWholeWord:
      m_model.Query().wholeWord = IsChecked(control);
      return true;
    case id::kUp:
      m_model.CheckUp(IsChecked(control));
      break;
    case id::kDown:
      m_model.CheckDown(IsChecked(control));
      break;
    case id::kSelectAll:
      m_model.SelectAllScopes();
      m_model.Query().SetScope(FindScope::kContent, false);
      break;
    case id::kSelectNone:
      m_model.SelectNoScopes();
      break;
    case id::kFindNext:
      FindNext();
      return true;
    default:
      return false;
  }
  Refresh();
  return true;
}

}  // namespace

void RunFindDialog(HWND owner, CMainWindowModel& window, CFindHistory& history,
                   const std::function<void()>& rowFound) {
  CFindDialog(window, history, rowFound).Run(owner);
}

}  // namespace tracewell::win
