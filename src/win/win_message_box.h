#pragma once
// The program's messages and questions as Windows message boxes over a window.

#include <windows.h>

#include "text/message_box.h"

namespace tracewell::win {

class CWinMessageBox final : public IMessageBox {
 public:
  explicit CWinMessageBox(HWND owner) : m_owner(owner) {}
  // For a window made after the boxes' user.
  void SetOwner(HWND owner) { m_owner = owner; }
  void ShowMessage(const UserMessage& message) override;
  bool AskYesNo(const UserMessage& question) override;

 private:
  int Show(const UserMessage& message, UINT buttons);

  HWND m_owner;
};

}  // namespace tracewell::win
