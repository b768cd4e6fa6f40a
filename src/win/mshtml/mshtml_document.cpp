#include "mshtml/mshtml_document.h"

#include "bstr_text.h"
#include "com_getters.h"
#include "mshtml/mshtml_element.h"
#include "mshtml/mshtml_items.h"
#include "mshtml/mshtml_style_sheet.h"

namespace tracewell::win {

DomDocumentRef CMshtmlDocument::FromObject(const ComPtr<IDispatch>& object) {
  auto document = object.Query<IHTMLDocument2>();
  if (!document) return nullptr;
  return std::make_shared<CMshtmlDocument>(std::move(document));
}

std::u16string CMshtmlDocument::Title() const {
  return ReadBstr(m_document.Get(), &IHTMLDocument2::get_title).value_or(std::u16string());
}

std::u16string CMshtmlDocument::Url() const {
  return ReadBstr(m_document.Get(), &IHTMLDocument2::get_URL).value_or(std::u16string());
}

std::vector<DomElementRef> CMshtmlDocument::Elements(
    HRESULT (STDMETHODCALLTYPE IHTMLDocument2::*get)(IHTMLElementCollection**)) const {
  return CMshtmlElement::ElementsOf(ReadObject(m_document.Get(), get).Get());
}

std::vector<DomElementRef> CMshtmlDocument::Forms() const { return Elements(&IHTMLDocument2::get_forms); }

std::vector<DomElementRef> CMshtmlDocument::Scripts() const {
  return Elements(&IHTMLDocument2::get_scripts);
}

std::vector<DomElementRef> CMshtmlDocument::Links() const { return Elements(&IHTMLDocument2::get_links); }

std::vector<DomElementRef> CMshtmlDocument::Images() const {
  return Elements(&IHTMLDocument2::get_images);
}

std::vector<DomStyleSheetRef> CMshtmlDocument::StyleSheets() const {
  std::vector<DomStyleSheetRef> sheets;
  const auto collection = ReadObject(m_document.Get(), &IHTMLDocument2::get_styleSheets);
  if (!collection) return sheets;
  for (ComPtr<IHTMLStyleSheet>& sheet : ItemsOf<IHTMLStyleSheet>(*collection.Get())) {
    sheets.push_back(std::make_shared<CMshtmlStyleSheet>(std::move(sheet)));
  }
  return sheets;
}

DomElementRef CMshtmlDocument::FirstElementByTagName(std::u16string_view tagName) const {
  const auto document = m_document.Query<IHTMLDocument3>();
  const CBstr name(tagName);
  if (!document || !name) return nullptr;
  IHTMLElementCollection* found = nullptr;
  if (FAILED(document->getElementsByTagName(name.Get(), &found))) return nullptr;
  const auto collection = ComPtr<IHTMLElementCollection>::Adopt(found);
  if (!collection) return nullptr;
  auto first = ItemAt(*collection.Get(), 0).Query<IHTMLElement>();
  if (!first) return nullptr;
  return std::make_shared<CMshtmlElement>(std::move(first));
}

// A frame from another site refuses its document (access denied): it is left out.
std::vector<DomDocumentRef> CMshtmlDocument::FrameDocuments() const {
  std::vector<DomDocumentRef> documents;
  const auto frames = ReadObject(m_document.Get(), &IHTMLDocument2::get_frames);
  if (!frames) return documents;
  for (const ComPtr<IHTMLWindow2>& window : ItemsOf<IHTMLWindow2>(*frames.Get())) {
    auto document = ReadObject(window.Get(), &IHTMLWindow2::get_document);
    if (document) documents.push_back(std::make_shared<CMshtmlDocument>(std::move(document)));
  }
  return documents;
}

}  // namespace tracewell::win
