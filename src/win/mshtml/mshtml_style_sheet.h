#pragma once
// One style sheet of the page through MSHTML: its href and its CSS text.

#include <windows.h>

#include <mshtml.h>

#include "com_ptr.h"
#include "inspector/dom_interfaces.h"

namespace tracewell::win {

class CMshtmlStyleSheet final : public IDomStyleSheet {
 public:
  explicit CMshtmlStyleSheet(ComPtr<IHTMLStyleSheet> sheet) : m_sheet(std::move(sheet)) {}

  std::optional<std::u16string> Href() const override;
  std::optional<std::u16string> CssText() const override;

 private:
  ComPtr<IHTMLStyleSheet> m_sheet;
};

}  // namespace tracewell::win
