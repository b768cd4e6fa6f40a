#pragma once
// The page as the inspector reads it, taken from the live page in one step: a script
// run in the page collects every document (same-origin frames included), its forms,
// scripts, style sheets, links and images, and keeps the elements in a page-side list,
// so that outlining and scrolling reach the live element later. The inspector's DOM
// interface is then answered from the snapshot, synchronously.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <variant>

#include <nlohmann/json.hpp>

#include "inspector/dom_interfaces.h"

namespace tracewell::devtools {

// The expression to evaluate in the page (by value); its result is the snapshot's text.
extern const std::string_view kPageSnapshotScript;

// Runs a script in the page, for its effect only.
using PageScriptRunner = std::function<void(std::string script)>;

struct PageSnapshot {
  DomDocumentRef document;  // null when the page has no document element
  std::u16string title;
  std::u16string url;
  std::u16string documentType;  // the document's content type, e.g. "text/html"
};

// Reads the snapshot's text; the reason when it is not one. Elements act on the page
// through `run`, addressed by the snapshot's generation so that an element of an older
// snapshot never reaches an element of a newer one.
std::variant<PageSnapshot, std::string> ReadPageSnapshot(std::string_view text,
                                                         PageScriptRunner run);

// The browser the inspector reads: the last snapshot of the page shown.
class CSnapshotBrowser final : public IWebBrowser {
 public:
  void SetPage(PageSnapshot page) { m_page = std::move(page); }
  void ClearPage() { m_page = {}; }

  DomDocumentRef HtmlDocument() const override { return m_page.document; }
  std::u16string LocationName() const override { return m_page.title; }
  std::u16string LocationUrl() const override { return m_page.url; }
  std::u16string DocumentTypeText() const override { return m_page.documentType; }

 private:
  PageSnapshot m_page;
};

}  // namespace tracewell::devtools
