#pragma once
// A rich edit box that shows RTF: multi-line, scrolling both ways, read-only. Its
// content is replaced by streaming the RTF bytes in.

#include <windows.h>

#include <string>

namespace tracewell::win {

class CRichTextView {
 public:
  // Creates the box, hidden, in `parent` with control id `id`; false when the system
  // refuses (the rich edit library is not loaded).
  bool Create(HWND parent, int id);
  HWND Handle() const { return m_edit; }

  // Replaces the content with the RTF document `rtf` (bytes in the narrow code page);
  // an empty one empties the box. The same document again is not laid out again.
  void Show(const std::string& rtf);
  const std::string& Shown() const { return m_shown; }

 private:
  HWND m_edit = nullptr;
  std::string m_shown;
};

}  // namespace tracewell::win
