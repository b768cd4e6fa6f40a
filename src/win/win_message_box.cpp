#include "win_message_box.h"

#include <string>

namespace tracewell::win {

int CWinMessageBox::Show(const UserMessage& message, UINT buttons) {
  const std::wstring text(message.text.begin(), message.text.end());
  const std::wstring caption(message.caption.begin(), message.caption.end());
  return MessageBoxW(m_owner, text.c_str(), caption.c_str(), buttons);
}

void CWinMessageBox::ShowMessage(const UserMessage& message) { Show(message, MB_OK); }

bool CWinMessageBox::AskYesNo(const UserMessage& question) { return Show(question, MB_YESNO) == IDYES; }

}  // namespace tracewell::win
