#pragma once
// One element of the page through MSHTML: what the inspector reads of forms, scripts,
// images, anchors and inputs, and the inline style its outline changes. An element
// answers "nothing" for a kind it is not (it lacks that interface) and for a field the
// browser fails to give.

#include <windows.h>

#include <mshtml.h>

#include "com_ptr.h"
#include "inspector/dom_interfaces.h"

namespace tracewell::win {

class CMshtmlElement final : public IDomElement {
 public:
  explicit CMshtmlElement(ComPtr<IHTMLElement> element) : m_element(std::move(element)) {}

  // The elements of a collection, in order; items that are no elements are left out.
  static std::vector<DomElementRef> ElementsOf(IHTMLElementCollection* collection);

  bool IsForm() const override;
  std::optional<std::u16string> OuterHtml() const override;
  std::optional<std::u16string> ScriptSrc() const override;
  std::optional<DomImageFields> ImageFields() const override;
  std::optional<DomLinkFields> LinkFields() const override;
  std::optional<DomInputFields> InputFields() const override;
  std::vector<DomElementRef> FormElements() const override;

  void ScrollIntoView() override;
  std::optional<DomStyleTexts> StyleTexts() const override;
  void SetBorderStyle(std::u16string_view border) override;
  void SetInlineStyle(std::u16string_view style) override;

 private:
  ComPtr<IHTMLElement> m_element;
};

}  // namespace tracewell::win
