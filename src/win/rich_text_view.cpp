#include "rich_text_view.h"

#include <richedit.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <string_view>

#include "module.h"

namespace tracewell::win {
namespace {

constexpr DWORD kStyle = WS_CHILD | WS_CLIPSIBLINGS | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                         ES_AUTOHSCROLL | ES_READONLY | ES_NOHIDESEL;

// Hands the rich edit the rest of the document, as much as it asks for at a time.
DWORD CALLBACK ReadRtf(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* read) {
  auto& rest = *reinterpret_cast<std::string_view*>(cookie);
  const std::size_t count = std::min(rest.size(), static_cast<std::size_t>(std::max<LONG>(size, 0)));
  std::memcpy(buffer, rest.data(), count);
  rest.remove_prefix(count);
  *read = static_cast<LONG>(count);
  return 0;
}

}  // namespace

bool CRichTextView::Create(HWND parent, int id) {
  m_edit = CreateWindowExW(WS_EX_CLIENTEDGE, RICHEDIT_CLASSW, L"", kStyle, 0, 0, 0, 0, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), CBandkitModule::Get().Instance(),
                           nullptr);
  if (m_edit == nullptr) return false;
  // The box would stop at 32K characters; the colourers already bound the document by
  // the source they were given.
  SendMessageW(m_edit, EM_EXLIMITTEXT, 0, INT_MAX);
  return true;
}

void CRichTextView::Show(const std::string& rtf) {
  if (rtf == m_shown) return;
  m_shown = rtf;
  if (m_shown.empty()) {
    SetWindowTextW(m_edit, L"");
    return;
  }
  std::string_view rest = m_shown;
  EDITSTREAM stream{};
  stream.dwCookie = reinterpret_cast<DWORD_PTR>(&rest);
  stream.pfnCallback = &ReadRtf;
  SendMessageW(m_edit, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
}

}  // namespace tracewell::win
