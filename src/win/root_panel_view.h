#pragma once
// The page summary of the "Content" tab, titled "Root": the labels "Name:", "Type:"
// and "URL:", each with its value (controls 272, 273 and 274) after it.

#include <windows.h>

#include "inspector/inspector_model.h"

namespace tracewell::win {

class CRootPanelView {
 public:
  // Creates the panel, hidden, in `parent`; false when the system refuses.
  bool Create(HWND parent);
  HWND Handle() const { return m_panel; }

  void Show(const RootPanelTexts& texts);

 private:
  // One label and its value on row `row`; the value's handle, null when refused.
  HWND AddRow(int row, const wchar_t* label, int valueId);

  HWND m_panel = nullptr;
  HWND m_name = nullptr;
  HWND m_type = nullptr;
  HWND m_url = nullptr;
};

}  // namespace tracewell::win
