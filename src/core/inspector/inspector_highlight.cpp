#include "inspector/inspector_highlight.h"

namespace tracewell {

void CElementHighlight::HighlightElement(const DomElementRef& element) {
  if (!element) return;
  element->ScrollIntoView();
  RestoreHighlight();
  m_element.reset();
  auto saved = element->StyleTexts();
  if (!saved) return;
  m_element = element;
  m_saved = std::move(*saved);
  m_element->SetBorderStyle(kHighlightBorder);
}

void CElementHighlight::RestoreHighlight() {
  if (!m_element) return;
  m_element->SetBorderStyle(m_saved.border);
  m_element->SetInlineStyle(m_saved.inlineStyle);
}

}  // namespace tracewell
