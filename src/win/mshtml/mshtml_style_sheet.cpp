#include "mshtml/mshtml_style_sheet.h"

#include "com_getters.h"

namespace tracewell::win {

std::optional<std::u16string> CMshtmlStyleSheet::Href() const {
  return ReadBstr(m_sheet.Get(), &IHTMLStyleSheet::get_href);
}

std::optional<std::u16string> CMshtmlStyleSheet::CssText() const {
  return ReadBstr(m_sheet.Get(), &IHTMLStyleSheet::get_cssText);
}

}  // namespace tracewell::win
