#pragma once
// The browser that hosts the bar, as the page inspector reads it: its location and
// document type from IWebBrowser2, and the page it shows through MSHTML. Where the
// browser has no HTML document (none loaded, another kind of document, or no MSHTML
// at all, as under Wine) the inspector's Content tab shows an empty tree.

#include <windows.h>

#include <exdisp.h>

#include "com_ptr.h"
#include "inspector/dom_interfaces.h"

namespace tracewell::win {

class CWinWebBrowser final : public IWebBrowser {
 public:
  // The browser the band is connected to (null: none).
  void SetBrowser(IWebBrowser2* browser) { m_browser = ComPtr<IWebBrowser2>::Retain(browser); }

  DomDocumentRef HtmlDocument() const override;
  std::u16string LocationName() const override;
  std::u16string LocationUrl() const override;
  std::u16string DocumentTypeText() const override;

 private:
  // The text of one of the browser's string properties; empty when it has none.
  std::u16string Property(HRESULT (STDMETHODCALLTYPE IWebBrowser2::*get)(BSTR*)) const;

  ComPtr<IWebBrowser2> m_browser;
};

}  // namespace tracewell::win
