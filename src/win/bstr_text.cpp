#include "bstr_text.h"

namespace tracewell::win {

std::optional<std::u16string> TakeBstr(HRESULT result, BSTR text) {
  std::optional<std::u16string> value;
  if (SUCCEEDED(result)) {
    value.emplace();
    if (text != nullptr) value->assign(reinterpret_cast<const char16_t*>(text), SysStringLen(text));
  }
  SysFreeString(text);
  return value;
}

CBstr::CBstr(std::u16string_view text)
    : m_text(SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()),
                               static_cast<UINT>(text.size()))) {}

CBstr::~CBstr() { SysFreeString(m_text); }

}  // namespace tracewell::win
