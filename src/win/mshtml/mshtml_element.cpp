#include "mshtml/mshtml_element.h"

#include "bstr_text.h"
#include "com_getters.h"
#include "mshtml/mshtml_items.h"

namespace tracewell::win {

namespace {

template <typename Collection>
std::vector<DomElementRef> ElementItems(Collection& collection) {
  std::vector<DomElementRef> elements;
  for (ComPtr<IHTMLElement>& element : ItemsOf<IHTMLElement>(collection)) {
    elements.push_back(std::make_shared<CMshtmlElement>(std::move(element)));
  }
  return elements;
}

}  // namespace

std::vector<DomElementRef> CMshtmlElement::ElementsOf(IHTMLElementCollection* collection) {
  if (collection == nullptr) return {};
  return ElementItems(*collection);
}

bool CMshtmlElement::IsForm() const { return static_cast<bool>(m_element.Query<IHTMLFormElement>()); }

std::optional<std::u16string> CMshtmlElement::OuterHtml() const {
  return ReadBstr(m_element.Get(), &IHTMLElement::get_outerHTML);
}

std::optional<std::u16string> CMshtmlElement::ScriptSrc() const {
  const auto script = m_element.Query<IHTMLScriptElement>();
  if (!script) return std::nullopt;
  return ReadBstr(script.Get(), &IHTMLScriptElement::get_src);
}

std::optional<DomImageFields> CMshtmlElement::ImageFields() const {
  const auto image = m_element.Query<IHTMLImgElement>();
  if (!image) return std::nullopt;
  auto name = ReadBstr(image.Get(), &IHTMLImgElement::get_name);
  auto src = ReadBstr(image.Get(), &IHTMLImgElement::get_src);
  const auto width = ReadValue(image.Get(), &IHTMLImgElement::get_width);
  const auto height = ReadValue(image.Get(), &IHTMLImgElement::get_height);
  auto fileSize = ReadBstr(image.Get(), &IHTMLImgElement::get_fileSize);
  auto mimeType = ReadBstr(image.Get(), &IHTMLImgElement::get_mimeType);
  if (!name || !src || !width || !height || !fileSize || !mimeType) return std::nullopt;
  return DomImageFields{std::move(*name), std::move(*src),       *width,
                        *height,          std::move(*fileSize), std::move(*mimeType)};
}

std::optional<DomLinkFields> CMshtmlElement::LinkFields() const {
  const auto anchor = m_element.Query<IHTMLAnchorElement>();
  if (!anchor) return std::nullopt;
  auto innerText = ReadBstr(m_element.Get(), &IHTMLElement::get_innerText);
  auto href = ReadBstr(anchor.Get(), &IHTMLAnchorElement::get_href);
  if (!innerText || !href) return std::nullopt;
  return DomLinkFields{std::move(*innerText), std::move(*href)};
}

// Every kind of INPUT (text, hidden, buttons, the rest) offers IHTMLInputElement; other
// form fields (selection lists, text areas) do not.
std::optional<DomInputFields> CMshtmlElement::InputFields() const {
  const auto input = m_element.Query<IHTMLInputElement>();
  if (!input) return std::nullopt;
  auto id = ReadBstr(m_element.Get(), &IHTMLElement::get_id);
  auto name = ReadBstr(input.Get(), &IHTMLInputElement::get_name);
  auto type = ReadBstr(input.Get(), &IHTMLInputElement::get_type);
  auto value = ReadBstr(input.Get(), &IHTMLInputElement::get_value);
  auto tagName = ReadBstr(m_element.Get(), &IHTMLElement::get_tagName);
  if (!id || !name || !type || !value || !tagName) return std::nullopt;
  return DomInputFields{std::move(*id), std::move(*name), std::move(*type), std::move(*value),
                        std::move(*tagName)};
}

std::vector<DomElementRef> CMshtmlElement::FormElements() const {
  const auto form = m_element.Query<IHTMLFormElement>();
  if (!form) return {};
  return ElementItems(*form.Get());
}

// The outline is a convenience: a page that will not scroll stays where it is.
void CMshtmlElement::ScrollIntoView() {
  VARIANT alignToTop;
  VariantInit(&alignToTop);
  alignToTop.vt = VT_BOOL;
  alignToTop.boolVal = VARIANT_TRUE;
  m_element->scrollIntoView(alignToTop);
}

std::optional<DomStyleTexts> CMshtmlElement::StyleTexts() const {
  const auto style = ReadObject(m_element.Get(), &IHTMLElement::get_style);
  if (!style) return std::nullopt;
  auto border = ReadBstr(style.Get(), &IHTMLStyle::get_border);
  auto inlineStyle = ReadBstr(style.Get(), &IHTMLStyle::get_cssText);
  if (!border || !inlineStyle) return std::nullopt;
  return DomStyleTexts{std::move(*border), std::move(*inlineStyle)};
}

// A style the browser refuses leaves the element as it was: the outline shows no
// messages, and the saved texts still undo whatever did change.
void CMshtmlElement::SetBorderStyle(std::u16string_view border) {
  const auto style = ReadObject(m_element.Get(), &IHTMLElement::get_style);
  const CBstr text(border);
  if (style && text) style->put_border(text.Get());
}

void CMshtmlElement::SetInlineStyle(std::u16string_view inlineStyle) {
  const auto style = ReadObject(m_element.Get(), &IHTMLElement::get_style);
  const CBstr text(inlineStyle);
  if (style && text) style->put_cssText(text.Get());
}

}  // namespace tracewell::win
