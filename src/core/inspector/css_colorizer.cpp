// The CSS colorizer: selectors in bold, property names in blue, values in the
// default colour, quoted strings in italic.

#include "inspector/colorizers.h"
#include "inspector/rtf_writer.h"

namespace tracewell {
namespace {

using colorize::CRtfWriter;

enum class CssState { kSelector, kRule, kQuotedString };

class CCssColorizer {
 public:
  CCssColorizer(std::u16string_view text, CRtfWriter& out) : m_text(text), m_out(out) {}

  void Run() {
    m_out.Put(uR"(\b )");
    for (std::size_t i = 0; i < m_text.size() && !m_out.Full(); ++i) Step(m_text[i]);
  }

 private:
  void Step(char16_t c);
  void OpenBrace();
  void CloseBrace();
  void InRule(std::u16string_view control, char16_t c);
  void Quote();

  std::u16string_view m_text;
  CRtfWriter& m_out;
  CssState m_state = CssState::kSelector;
};

void CCssColorizer::Step(char16_t c) {
  switch (c) {
    case u'{': OpenBrace(); break;
    case u'}': CloseBrace(); break;
    case u':': InRule(uR"(\cf0 )", c); break;  // the value in the default colour
    case u';': InRule(uR"(\cf1 )", c); break;  // the next property name in blue
    case u'"': Quote(); break;
    case u'\\': m_out.PutEscaped(c); break;
    case u'\n': m_out.Put(uR"(\par )"); break;
    case u'\r': break;
    default: m_out.Put(c); break;
  }
}

void CCssColorizer::OpenBrace() {
  if (m_state == CssState::kSelector) {
    m_out.Put(uR"(\b0 \{\cf1 )");
    m_state = CssState::kRule;
  } else {
    m_out.PutEscaped(u'{');
  }
}

void CCssColorizer::CloseBrace() {
  if (m_state == CssState::kRule) {
    m_out.Put(uR"(\cf0 \}\b1 )");
    m_state = CssState::kSelector;
  } else {
    m_out.PutEscaped(u'}');
  }
}

// ":" and ";" change the colour inside a rule only.
void CCssColorizer::InRule(std::u16string_view control, char16_t c) {
  if (m_state == CssState::kRule) m_out.Put(control);
  m_out.Put(c);
}

void CCssColorizer::Quote() {
  if (m_state == CssState::kRule) {
    m_out.Put(uR"("\i )");
    m_state = CssState::kQuotedString;
  } else if (m_state == CssState::kQuotedString) {
    m_out.Put(uR"(\i0 ")");
    m_state = CssState::kRule;
  } else {
    m_out.Put(u'"');
  }
}

}  // namespace

std::u16string ColorizeCss(std::optional<std::u16string_view> text) {
  return colorize::ColorizeDocument<CCssColorizer>(kRtfHeaderHtmlCss, text);
}

}  // namespace tracewell
