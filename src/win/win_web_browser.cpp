#include "win_web_browser.h"

#include <oleauto.h>

namespace tracewell::win {

std::u16string CWinWebBrowser::Property(HRESULT (STDMETHODCALLTYPE IWebBrowser2::*get)(BSTR*)) const {
  if (!m_browser) return {};
  BSTR text = nullptr;
  if (FAILED((m_browser.Get()->*get)(&text)) || text == nullptr) return {};
  std::u16string value(reinterpret_cast<const char16_t*>(text), SysStringLen(text));
  SysFreeString(text);
  return value;
}

std::u16string CWinWebBrowser::LocationName() const { return Property(&IWebBrowser2::get_LocationName); }

std::u16string CWinWebBrowser::LocationUrl() const { return Property(&IWebBrowser2::get_LocationURL); }

std::u16string CWinWebBrowser::DocumentTypeText() const { return Property(&IWebBrowser2::get_Type); }

}  // namespace tracewell::win
