#pragma once
// The system clipboard for the copy commands: their text as CF_TEXT in the thread's
// ANSI code page, owned by the window the command ran in.

#include <windows.h>

#include "views/clipboard.h"

namespace tracewell::win {

class CWinClipboard final : public IClipboard {
 public:
  explicit CWinClipboard(HWND owner) : m_owner(owner) {}
  void SetOwner(HWND owner) { m_owner = owner; }
  // A clipboard that cannot be opened or a block that cannot be had leaves the
  // clipboard as it was; the user sees the old content when pasting.
  void SetText(std::string_view narrow) override;

 private:
  HWND m_owner;
};

// Text in the program's narrow code page, converted to the thread's ANSI code page.
std::string ToThreadCodePage(std::string_view narrow);

}  // namespace tracewell::win
