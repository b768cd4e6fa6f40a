// The HTML colorizer: bold angle brackets, tag names in blue, attribute names in red,
// values in dark red with quoted text in italic, comments in grey, and the body of a
// SCRIPT element in green.

#include "inspector/colorizers.h"
#include "inspector/rtf_writer.h"

namespace tracewell {
namespace {

using colorize::CRtfWriter;

enum class HtmlState { kText, kTagName, kAttributes, kQuotedValue, kComment, kScriptBody };

class CHtmlColorizer {
 public:
  CHtmlColorizer(std::u16string_view text, CRtfWriter& out) : m_text(text), m_out(out) {}

  void Run() {
    while (m_next < m_text.size() && !m_out.Full()) Step(m_text[m_next++]);
  }

 private:
  void Step(char16_t c);
  void LessThan();
  void OpenTag();
  void BlankRun(char16_t c);
  void LineFeed();
  void Quote(char16_t c);
  void Equals();
  void Hyphen();
  void GreaterThan();
  void Word(char16_t c);

  bool InTag() const { return m_state == HtmlState::kTagName || m_state == HtmlState::kAttributes; }
  // Whether the text after the current character begins with `prefix`.
  bool FollowedBy(std::u16string_view prefix) const {
    return colorize::StartsWith(m_text, m_next, prefix);
  }
  bool FollowedByIgnoringCase(std::u16string_view prefix) const {
    return colorize::StartsWithIgnoringCase(m_text, m_next, prefix);
  }

  std::u16string_view m_text;
  CRtfWriter& m_out;
  std::size_t m_next = 0;  // the character after the current one
  HtmlState m_state = HtmlState::kText;
  bool m_scriptTag = false;  // the tag being opened is a SCRIPT tag
  char16_t m_quote = 0;      // the quote that opened the current value
};

void CHtmlColorizer::Step(char16_t c) {
  switch (c) {
    case u'<': LessThan(); break;
    case u' ':
    case u'\t': BlankRun(c); break;
    case u'\n': LineFeed(); break;
    case u'"':
    case u'\'': Quote(c); break;
    case u'=': Equals(); break;
    case u'-': Hyphen(); break;
    case u'>': GreaterThan(); break;
    case u'\\':
    case u'{':
    case u'}': m_out.PutEscaped(c); break;
    case u'\r': break;
    default: Word(c); break;
  }
}

void CHtmlColorizer::LessThan() {
  if (m_state == HtmlState::kText) {
    OpenTag();
  } else if (m_state == HtmlState::kScriptBody && FollowedByIgnoringCase(u"/SCRIPT")) {
    m_out.Put(uR"(\cf0 )");
    OpenTag();
  } else {
    m_out.Put(u'<');
  }
}

// A bold "<", the tag name in blue; a comment in grey.
void CHtmlColorizer::OpenTag() {
  m_out.Put(uR"(\b <\b0\cf1 )");
  m_state = HtmlState::kTagName;
  if (FollowedByIgnoringCase(u"SCRIPT")) m_scriptTag = true;
  if (FollowedBy(u"!--")) {
    m_out.Put(uR"(\cf4 )");
    m_state = HtmlState::kComment;
  }
}

// A blank or tab and every directly following copy of it; inside a tag the
// attribute names that follow are red.
void CHtmlColorizer::BlankRun(char16_t c) {
  if (InTag()) {
    m_out.Put(uR"(\cf2 )");
    m_state = HtmlState::kAttributes;
  }
  const std::size_t begin = m_next - 1;
  m_next = colorize::RunEnd(m_text, m_next, [c](char16_t x) { return x == c; });
  m_out.Put(m_text.substr(begin, m_next - begin));
}

void CHtmlColorizer::LineFeed() {
  m_out.Put(uR"(\par )");
  if (InTag()) {
    m_out.Put(uR"(\cf2 )");
    m_state = HtmlState::kAttributes;
  }
  m_out.Put(u'\n');
}

void CHtmlColorizer::Quote(char16_t c) {
  if (m_state == HtmlState::kAttributes) {
    m_out.Put(c);
    m_out.Put(uR"(\i )");
    m_quote = c;
    m_state = HtmlState::kQuotedValue;
  } else if (m_state == HtmlState::kQuotedValue && c == m_quote) {
    m_out.Put(uR"(\i0 )");
    m_out.Put(c);
    m_state = HtmlState::kAttributes;
  } else {
    m_out.Put(c);
  }
}

// In a tag the equals sign and the value after it are dark red.
void CHtmlColorizer::Equals() {
  if (m_state == HtmlState::kAttributes) m_out.Put(uR"(\cf5 )");
  m_out.Put(u'=');
}

// "--" followed by ">" ends a comment: the ">" then closes it as it closes a tag.
void CHtmlColorizer::Hyphen() {
  if (m_state == HtmlState::kComment && FollowedBy(u"->")) m_state = HtmlState::kTagName;
  m_out.Put(u'-');
}

void CHtmlColorizer::GreaterThan() {
  if (!InTag()) {
    m_out.Put(u'>');
    return;
  }
  m_out.Put(uR"(\cf0\b >\b0)");
  if (m_scriptTag) {
    m_out.Put(uR"(\cf3 )");
    m_state = HtmlState::kScriptBody;
    m_scriptTag = false;
  } else {
    m_out.Put(u' ');
    m_state = HtmlState::kText;
  }
}

// Any other character, then every directly following (ASCII) letter or digit: a
// whole word in one step.
void CHtmlColorizer::Word(char16_t c) {
  m_out.Put(c);
  const std::size_t begin = m_next;
  m_next = colorize::RunEnd(m_text, m_next, colorize::IsAsciiLetterOrDigit);
  m_out.Put(m_text.substr(begin, m_next - begin));
}

}  // namespace

std::u16string ColorizeHtml(std::optional<std::u16string_view> text) {
  return colorize::ColorizeDocument<CHtmlColorizer>(kRtfHeaderHtmlCss, text);
}

}  // namespace tracewell
