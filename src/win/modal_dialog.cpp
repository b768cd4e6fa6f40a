#include "modal_dialog.h"

#include "module.h"

namespace tracewell::win {

INT_PTR CModalDialog::RunModal(HWND owner, const CDialogTemplate& dialogTemplate) {
  return DialogBoxIndirectParamW(CBandkitModule::Get().Instance(), dialogTemplate.Get(), owner, &DialogProc,
                                 reinterpret_cast<LPARAM>(this));
}

void CModalDialog::CenterOnOwner() const {
  const HWND owner = GetWindow(m_dialog, GW_OWNER);
  if (owner == nullptr) return;
  RECT ownerRect{};
  RECT dialogRect{};
  GetWindowRect(owner, &ownerRect);
  GetWindowRect(m_dialog, &dialogRect);
  const LONG width = dialogRect.right - dialogRect.left;
  const LONG height = dialogRect.bottom - dialogRect.top;
  const LONG left = (ownerRect.left + ownerRect.right - width) / 2;
  const LONG top = (ownerRect.top + ownerRect.bottom - height) / 2;
  SetWindowPos(m_dialog, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool CModalDialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND: {
      const WORD control = LOWORD(wParam);
      if (OnCommand(control, HIWORD(wParam))) return true;
      if (control != IDCANCEL) return false;
      End(IDCANCEL);
      return true;
    }
    case WM_NOTIFY:
      return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
    default:
      return OnMessage(message, wParam, lParam);
  }
}

INT_PTR CALLBACK CModalDialog::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    auto* self = reinterpret_cast<CModalDialog*>(lParam);
    self->m_dialog = dialog;
    return self->OnInitDialog() ? TRUE : FALSE;
  }
  auto* self = reinterpret_cast<CModalDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
  if (self == nullptr) return FALSE;
  return self->Dispatch(message, wParam, lParam) ? TRUE : FALSE;
}

}  // namespace tracewell::win
