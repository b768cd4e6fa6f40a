#pragma once
// The browser the inspector reads while the window has none: no document, and empty
// name, type and address, so the "Content" tab stays empty.

#include "inspector/dom_interfaces.h"

namespace tracewell::app {

class CNoPageBrowser final : public IWebBrowser {
 public:
  DomDocumentRef HtmlDocument() const override { return nullptr; }
  std::u16string LocationName() const override { return {}; }
  std::u16string LocationUrl() const override { return {}; }
  std::u16string DocumentTypeText() const override { return {}; }
};

}  // namespace tracewell::app
