#pragma once
// An in-memory page for the inspector: elements, style sheets and documents whose
// answers are plain fields, a browser that shows one document, and a colourer that
// marks which of its three functions ran. Style changes go to a shared call log.

#include <memory>
#include <string>
#include <vector>

#include "inspector/dom_interfaces.h"
#include "inspector/inspector_colorizer.h"

namespace tracewell::testing {

using CallLog = std::vector<std::u16string>;

struct FakeDomElement final : IDomElement {
  std::u16string id;  // names the element in the call log
  bool form = false;
  std::optional<std::u16string> outerHtml;
  std::optional<std::u16string> scriptSrc;
  std::optional<DomImageFields> image;
  std::optional<DomLinkFields> link;
  std::optional<DomInputFields> input;
  std::vector<DomElementRef> formElements;
  std::optional<DomStyleTexts> style = DomStyleTexts{};
  CallLog* log = nullptr;

  bool IsForm() const override { return form; }
  std::optional<std::u16string> OuterHtml() const override { return outerHtml; }
  std::optional<std::u16string> ScriptSrc() const override { return scriptSrc; }
  std::optional<DomImageFields> ImageFields() const override { return image; }
  std::optional<DomLinkFields> LinkFields() const override { return link; }
  std::optional<DomInputFields> InputFields() const override { return input; }
  std::vector<DomElementRef> FormElements() const override { return formElements; }
  void ScrollIntoView() override { Log(u"scroll"); }
  std::optional<DomStyleTexts> StyleTexts() const override { return style; }
  void SetBorderStyle(std::u16string_view border) override {
    if (style) style->border = border;
    Log(u"border=" + std::u16string(border));
  }
  void SetInlineStyle(std::u16string_view text) override {
    if (style) style->inlineStyle = text;
    Log(u"style=" + std::u16string(text));
  }
  void Log(const std::u16string& call) {
    if (log) log->push_back(id + u" " + call);
  }
};

struct FakeDomStyleSheet final : IDomStyleSheet {
  std::optional<std::u16string> href;
  std::optional<std::u16string> cssText;
  std::optional<std::u16string> Href() const override { return href; }
  std::optional<std::u16string> CssText() const override { return cssText; }
};

struct FakeDomDocument final : IDomDocument {
  std::u16string title;
  std::u16string url;
  std::vector<DomElementRef> forms;
  std::vector<DomElementRef> scripts;
  std::vector<DomStyleSheetRef> styleSheets;
  std::vector<DomElementRef> links;
  std::vector<DomElementRef> images;
  DomElementRef htmlElement;
  std::vector<DomDocumentRef> frames;

  std::u16string Title() const override { return title; }
  std::u16string Url() const override { return url; }
  std::vector<DomElementRef> Forms() const override { return forms; }
  std::vector<DomElementRef> Scripts() const override { return scripts; }
  std::vector<DomStyleSheetRef> StyleSheets() const override { return styleSheets; }
  std::vector<DomElementRef> Links() const override { return links; }
  std::vector<DomElementRef> Images() const override { return images; }
  DomElementRef FirstElementByTagName(std::u16string_view tagName) const override {
    return tagName == u"HTML" ? htmlElement : nullptr;
  }
  std::vector<DomDocumentRef> FrameDocuments() const override { return frames; }
};

struct FakeWebBrowser final : IWebBrowser {
  DomDocumentRef document;
  std::u16string name = u"Page title";
  std::u16string url = u"http://site.test/";
  std::u16string type = u"HTML Document";
  DomDocumentRef HtmlDocument() const override { return document; }
  std::u16string LocationName() const override { return name; }
  std::u16string LocationUrl() const override { return url; }
  std::u16string DocumentTypeText() const override { return type; }
};

// "H[text]", "C[text]" or "S[text]".
struct FakeSourceColorizer final : ISourceColorizer {
  std::u16string ColorizeHtml(std::u16string_view text) const override { return Mark(u"H", text); }
  std::u16string ColorizeCss(std::u16string_view text) const override { return Mark(u"C", text); }
  std::u16string ColorizeScript(std::u16string_view text) const override {
    return Mark(u"S", text);
  }
  static std::u16string Mark(std::u16string_view kind, std::u16string_view text) {
    return std::u16string(kind) + u"[" + std::u16string(text) + u"]";
  }
};

inline std::shared_ptr<FakeDomElement> MakeElement(std::u16string id, CallLog* log = nullptr) {
  auto element = std::make_shared<FakeDomElement>();
  element->id = std::move(id);
  element->log = log;
  return element;
}

}  // namespace tracewell::testing
