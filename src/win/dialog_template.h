#pragma once
// A dialog template built in memory (DLGTEMPLATE and its items, each item aligned to
// four bytes), for dialogs that need no resource script.

#include <windows.h>

#include <string_view>
#include <vector>

namespace tracewell::win {

// The id of a control the dialog never addresses (a label, a group box).
inline constexpr WORD kNoControlId = 0xFFFF;

class CDialogTemplate {
 public:
  // A dialog of `width` × `height` dialog units, in the "MS Shell Dlg" font.
  CDialogTemplate(std::wstring_view title, short width, short height);

  // A control of the window class `className` at x, y with size cx × cy.
  void AddItem(std::wstring_view className, std::wstring_view text, WORD id, DWORD style, short x,
               short y, short cx, short cy);
  const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(m_words.data()); }

 private:
  void AddString(std::wstring_view text);
  void AlignToDword();
  DLGTEMPLATE& Header() { return *reinterpret_cast<DLGTEMPLATE*>(m_words.data()); }

  std::vector<WORD> m_words;
};

}  // namespace tracewell::win
