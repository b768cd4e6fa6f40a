#pragma once
// The red outline the inspector puts on the element a table row stands for, and the
// element's own styles to give back when the outline moves or the view goes away.

#include <string_view>

#include "inspector/dom_interfaces.h"

namespace tracewell {

inline constexpr std::u16string_view kHighlightBorder = u"1px red solid";

class CElementHighlight {
 public:
  // Scrolls to the element, gives the outlined one back its styles, and outlines the
  // new one after saving its border and inline style. An element whose style cannot
  // be read is not outlined (and not held), so nothing wrong is ever written back.
  void HighlightElement(const DomElementRef& element);
  // Gives the outlined element back its saved styles; it stays held, so doing this
  // again is harmless.
  void RestoreHighlight();

  const DomElementRef& Element() const { return m_element; }

 private:
  DomElementRef m_element;
  DomStyleTexts m_saved;
};

}  // namespace tracewell
