#pragma once
// The page's document object model as the inspector reads it: the browser, its
// documents (through frames), their collections, elements and style sheets. Hosts
// implement it over their browser; every call is synchronous. A collection item the
// host could not reach, or that is not the expected kind of object, is handed out as
// a null pointer or answers "nothing" where the inspector asks for that kind, and the
// inspector skips it.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tracewell {

class IDomElement;
class IDomStyleSheet;
class IDomDocument;

// Held references: an object stays usable while the inspector holds it.
using DomElementRef = std::shared_ptr<IDomElement>;
using DomStyleSheetRef = std::shared_ptr<IDomStyleSheet>;
using DomDocumentRef = std::shared_ptr<IDomDocument>;

// The most frame documents the inspector visits in one walk of a page (the browser
// holds no more frames than this in a page either), so a host that reports frames in
// a cycle cannot make a walk recurse or grow without end.
inline constexpr int kMaxFrameDocuments = 1000;

struct DomImageFields {
  std::u16string name;  // the name attribute
  std::u16string src;
  long width = 0;  // pixels
  long height = 0;
  std::u16string fileSize;  // the browser's file-size text
  std::u16string mimeType;  // the browser's MIME-type text
};

struct DomLinkFields {
  std::u16string innerText;
  std::u16string href;
};

struct DomInputFields {
  std::u16string id;
  std::u16string name;
  std::u16string type;
  std::u16string value;
  std::u16string tagName;
};

// An element's style as the outline saves it.
struct DomStyleTexts {
  std::u16string border;       // the border shorthand of the inline style
  std::u16string inlineStyle;  // the whole inline style text
};

class IDomElement {
 public:
  virtual ~IDomElement() = default;

  virtual bool IsForm() const = 0;
  // The whole element as markup, or nothing when it cannot be read.
  virtual std::optional<std::u16string> OuterHtml() const = 0;
  // A script element's src attribute (empty for an inline script); nothing for any
  // other element.
  virtual std::optional<std::u16string> ScriptSrc() const = 0;
  // Nothing unless the element is of that kind and its fields can be read.
  virtual std::optional<DomImageFields> ImageFields() const = 0;
  virtual std::optional<DomLinkFields> LinkFields() const = 0;    // anchors only
  virtual std::optional<DomInputFields> InputFields() const = 0;  // INPUT elements only
  // A form's elements in document order; empty for other elements.
  virtual std::vector<DomElementRef> FormElements() const = 0;

  // Scrolls the element into view, aligned to the top.
  virtual void ScrollIntoView() = 0;
  virtual std::optional<DomStyleTexts> StyleTexts() const = 0;
  virtual void SetBorderStyle(std::u16string_view border) = 0;
  virtual void SetInlineStyle(std::u16string_view style) = 0;
};

class IDomStyleSheet {
 public:
  virtual ~IDomStyleSheet() = default;
  // The href; empty for a style block in the page. Nothing when it cannot be read.
  virtual std::optional<std::u16string> Href() const = 0;
  virtual std::optional<std::u16string> CssText() const = 0;
};

class IDomDocument {
 public:
  virtual ~IDomDocument() = default;
  // Empty when the document has none or it cannot be read.
  virtual std::u16string Title() const = 0;
  virtual std::u16string Url() const = 0;

  virtual std::vector<DomElementRef> Forms() const = 0;
  virtual std::vector<DomElementRef> Scripts() const = 0;
  virtual std::vector<DomStyleSheetRef> StyleSheets() const = 0;
  virtual std::vector<DomElementRef> Links() const = 0;
  virtual std::vector<DomElementRef> Images() const = 0;
  // The first element with that tag name, or null.
  virtual DomElementRef FirstElementByTagName(std::u16string_view tagName) const = 0;
  // The document of each frame, by index; null where it cannot be reached.
  virtual std::vector<DomDocumentRef> FrameDocuments() const = 0;
};

// The browser window that shows the page.
class IWebBrowser {
 public:
  virtual ~IWebBrowser() = default;
  // The loaded document when it is an HTML document, else null.
  virtual DomDocumentRef HtmlDocument() const = 0;
  virtual std::u16string LocationName() const = 0;  // the page title
  virtual std::u16string LocationUrl() const = 0;
  virtual std::u16string DocumentTypeText() const = 0;  // as the browser words it
};

}  // namespace tracewell
