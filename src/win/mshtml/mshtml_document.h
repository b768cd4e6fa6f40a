#pragma once
// A page's document through MSHTML (the top page's or a frame's): its title and
// address, its collections of forms, scripts, style sheets, links and images, its
// elements by tag name, and the documents of its frames. A collection the browser
// fails to give reads as empty.

#include <windows.h>

#include <mshtml.h>

#include "com_ptr.h"
#include "inspector/dom_interfaces.h"

namespace tracewell::win {

class CMshtmlDocument final : public IDomDocument {
 public:
  explicit CMshtmlDocument(ComPtr<IHTMLDocument2> document) : m_document(std::move(document)) {}

  // The object as an HTML document; null when it is none (no object, another kind of
  // document such as a PDF or a folder view).
  static DomDocumentRef FromObject(const ComPtr<IDispatch>& object);

  std::u16string Title() const override;
  std::u16string Url() const override;

  std::vector<DomElementRef> Forms() const override;
  std::vector<DomElementRef> Scripts() const override;
  std::vector<DomStyleSheetRef> StyleSheets() const override;
  std::vector<DomElementRef> Links() const override;
  std::vector<DomElementRef> Images() const override;
  DomElementRef FirstElementByTagName(std::u16string_view tagName) const override;
  std::vector<DomDocumentRef> FrameDocuments() const override;

 private:
  std::vector<DomElementRef> Elements(
      HRESULT (STDMETHODCALLTYPE IHTMLDocument2::*get)(IHTMLElementCollection**)) const;

  ComPtr<IHTMLDocument2> m_document;
};

}  // namespace tracewell::win
