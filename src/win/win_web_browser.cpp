#include "win_web_browser.h"

#include "com_getters.h"
#include "mshtml/mshtml_document.h"

namespace tracewell::win {

std::u16string CWinWebBrowser::Property(HRESULT (STDMETHODCALLTYPE IWebBrowser2::*get)(BSTR*)) const {
  if (!m_browser) return {};
  return ReadBstr(m_browser.Get(), get).value_or(std::u16string());
}

DomDocumentRef CWinWebBrowser::HtmlDocument() const {
  if (!m_browser) return nullptr;
  return CMshtmlDocument::FromObject(ReadObject(m_browser.Get(), &IWebBrowser2::get_Document));
}

std::u16string CWinWebBrowser::LocationName() const { return Property(&IWebBrowser2::get_LocationName); }

std::u16string CWinWebBrowser::LocationUrl() const { return Property(&IWebBrowser2::get_LocationURL); }

std::u16string CWinWebBrowser::DocumentTypeText() const { return Property(&IWebBrowser2::get_Type); }

}  // namespace tracewell::win
