#pragma once
// The keys that run the main window's commands anywhere in the window (F5 Start,
// Ctrl+L Clear, F1 Help Topics, ...), as the core's table gives them, made into an
// accelerator table.

#include <windows.h>

#include <optional>
#include <string_view>

namespace tracewell::win {

// "Ctrl+Shift+F5" as an accelerator entry; nothing for a text that is not modifiers
// (Ctrl, Shift, Alt) followed by a letter, a digit or F1 to F12.
std::optional<ACCEL> ParseCommandKey(std::u16string_view keys, WORD commandId);

class CCommandKeys {
 public:
  CCommandKeys();
  ~CCommandKeys();
  CCommandKeys(const CCommandKeys&) = delete;
  CCommandKeys& operator=(const CCommandKeys&) = delete;

  // Sends `window` the command of a key-down that is one of the keys; false for any
  // other message.
  bool Translate(HWND window, MSG& message) const;

 private:
  HACCEL m_table = nullptr;
};

}  // namespace tracewell::win
