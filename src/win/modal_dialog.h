#pragma once
// The base of the library's modal dialogs: runs a dialog built in memory over its
// owner, keeps the object with the dialog window from WM_INITDIALOG on, and hands
// the dialog's commands and notifications to it. A Cancel (the close box, Escape)
// that the dialog does not take itself ends it.

#include <windows.h>

#include "dialog_template.h"

namespace tracewell::win {

class CModalDialog {
 public:
  virtual ~CModalDialog() = default;

 protected:
  CModalDialog() = default;
  CModalDialog(const CModalDialog&) = delete;
  CModalDialog& operator=(const CModalDialog&) = delete;

  // Runs the dialog modally over `owner`; the result it ended with (-1 when the
  // system refused it).
  INT_PTR RunModal(HWND owner, const CDialogTemplate& dialogTemplate);
  void End(INT_PTR result) { EndDialog(m_dialog, result); }

  // Puts the dialog's centre on its owner's (where the owner is not the desktop).
  void CenterOnOwner() const;

  HWND Dialog() const { return m_dialog; }
  HWND Control(WORD control) const { return GetDlgItem(m_dialog, control); }

  // The controls exist; true to have the system focus the first one, false when the
  // dialog set the focus itself.
  virtual bool OnInitDialog() = 0;
  // WM_COMMAND from `control` with its notification `code`; false when not handled.
  virtual bool OnCommand(WORD control, WORD code) = 0;
  // WM_NOTIFY from a control; false when not handled.
  virtual bool OnNotify(const NMHDR&) { return false; }
  // Any other message; false leaves it to the system's dialog handling.
  virtual bool OnMessage(UINT, WPARAM, LPARAM) { return false; }

 private:
  static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  bool Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

  HWND m_dialog = nullptr;
};

}  // namespace tracewell::win
