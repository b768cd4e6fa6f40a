// The script colorizer: keywords in blue, built-in functions in dark blue, objects
// followed by a full stop in green, comments in grey, quoted strings in italic.

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>

#include "inspector/colorizers.h"
#include "inspector/rtf_writer.h"

namespace tracewell {
namespace {

using colorize::CRtfWriter;

// The 30 delimiters; the end of the text counts as one too.
constexpr std::u16string_view kDelimiters = u" \r\n\t:;.,'\"\\=<>+-*/!|&?~(){}[]^";
static_assert(kDelimiters.size() == 30);

constexpr std::array<bool, 128> kIsDelimiter = [] {
  std::array<bool, 128> table{};
  for (const char16_t c : kDelimiters) table[c] = true;
  return table;
}();

bool IsDelimiter(char16_t c) { return c < 128 && kIsDelimiter[c]; }

// Characters with a row of their own in the table; every other character is copied
// by the delimiter step and may be copied as part of a run (CopyRun).
constexpr std::u16string_view kSpecial = u"\n\r\"'/\\{}";

constexpr std::array<bool, 128> kIsSpecial = [] {
  std::array<bool, 128> table{};
  for (const char16_t c : kSpecial) table[c] = true;
  return table;
}();

bool IsSpecial(char16_t c) { return c < 128 && kIsSpecial[c]; }

// What must follow a word of a list for it to count.
enum class WordEnd { kDelimiter, kFullStop };

// A word list, sorted in ascending order of character codes. `firstCandidate[c]` is
// the first word whose first character is not below c: every word before it is
// smaller than a text beginning with c, so the search may start there.
struct WordList {
  std::span<const std::u16string_view> words;
  std::u16string_view colour;
  WordEnd end;
  std::array<std::uint8_t, 128> firstCandidate;
};

constexpr std::array<std::uint8_t, 128> FirstCandidates(
    std::span<const std::u16string_view> words) {
  std::array<std::uint8_t, 128> table{};
  for (std::size_t c = 0; c < table.size(); ++c) {
    std::size_t k = 0;
    while (k < words.size() && words[k][0] < c) ++k;
    table[c] = static_cast<std::uint8_t>(k);
  }
  return table;
}

constexpr bool IsSorted(std::span<const std::u16string_view> words) {
  for (std::size_t k = 1; k < words.size(); ++k) {
    if (!(words[k - 1] < words[k])) return false;
  }
  return true;
}

constexpr std::u16string_view kKeywords[] = {
    u"break", u"case", u"catch", u"continue", u"delete", u"do", u"else",
    u"function", u"if", u"in", u"new", u"return", u"switch", u"throw",
    u"try", u"typeof", u"valueof", u"var", u"void", u"while", u"with"};
constexpr std::u16string_view kFunctions[] = {
    u"alert", u"escape", u"eval", u"isNaN", u"parse", u"parseFloat", u"parseInt", u"unescape"};
constexpr std::u16string_view kObjects[] = {
    u"Array", u"Math", u"Number", u"Object", u"document", u"event",
    u"history", u"location", u"navigator", u"screen", u"this", u"window"};
static_assert(std::size(kKeywords) == 21 && IsSorted(kKeywords));
static_assert(std::size(kFunctions) == 8 && IsSorted(kFunctions));
static_assert(std::size(kObjects) == 12 && IsSorted(kObjects));

constexpr WordList kWordLists[] = {
    {kKeywords, uR"(\cf1 )", WordEnd::kDelimiter, FirstCandidates(kKeywords)},
    {kFunctions, uR"(\cf2 )", WordEnd::kDelimiter, FirstCandidates(kFunctions)},
    {kObjects, uR"(\cf3 )", WordEnd::kFullStop, FirstCandidates(kObjects)},
};

// The text from `at` against `word` over the word's length: below zero when the
// text is smaller (the end of the text being smaller than any character).
int CompareOver(std::u16string_view text, std::size_t at, std::u16string_view word) {
  for (std::size_t k = 0; k < word.size(); ++k) {
    const char16_t c = at + k < text.size() ? text[at + k] : char16_t{0};
    if (c != word[k]) return c < word[k] ? -1 : 1;
  }
  return 0;
}

bool EndsWord(std::u16string_view text, std::size_t at, WordEnd end) {
  if (at >= text.size()) return end == WordEnd::kDelimiter;
  return end == WordEnd::kDelimiter ? IsDelimiter(text[at]) : text[at] == u'.';
}

// The length of the word of `list` at `at`, or 0: the words are tried in order and the
// search ends at the first one the text is smaller than.
std::size_t MatchWord(std::u16string_view text, std::size_t at, const WordList& list) {
  const char16_t c = text[at];
  std::size_t k = c < 128 ? list.firstCandidate[c] : list.words.size();
  for (; k < list.words.size(); ++k) {
    const std::u16string_view word = list.words[k];
    const int order = CompareOver(text, at, word);
    if (order < 0) return 0;
    if (order == 0 && EndsWord(text, at + word.size(), list.end)) return word.size();
  }
  return 0;
}

enum class ScriptState { kCode, kWord, kString, kLineComment, kBlockComment };

class CScriptColorizer {
 public:
  CScriptColorizer(std::u16string_view text, CRtfWriter& out) : m_text(text), m_out(out) {}

  void Run() {
    while (m_next < m_text.size() && !m_out.Full()) Step(m_text[m_next++]);
  }

 private:
  void Step(char16_t c);
  // A delimiter ends a coloured word; the next character may start a word only
  // directly after a delimiter.
  void DelimiterStep(char16_t c) {
    const bool delimiter = IsDelimiter(c);
    if (delimiter && m_state == ScriptState::kWord) {
      m_out.Put(uR"(\cf0 )");
      m_state = ScriptState::kCode;
    }
    m_afterDelimiter = delimiter;
  }
  void WordStep();
  void CopyRun(char16_t c);
  void LineFeed();
  void Quote(char16_t c);
  void Slash();
  void Backslash();
  void Enter(ScriptState state, std::u16string_view output) {
    m_out.Put(output);
    m_state = state;
    m_afterDelimiter = true;
  }

  std::u16string_view m_text;
  CRtfWriter& m_out;
  std::size_t m_next = 0;  // the character after the current one
  ScriptState m_state = ScriptState::kCode;
  bool m_afterDelimiter = false;  // a word may start at the current character
  char16_t m_quote = 0;           // the quote that opened the current string
};

void CScriptColorizer::Step(char16_t c) {
  switch (c) {
    case u'\n': LineFeed(); break;
    case u'\r': break;
    case u'"':
    case u'\'': Quote(c); break;
    case u'/': Slash(); break;
    case u'\\': Backslash(); break;
    case u'{':
    case u'}':
      DelimiterStep(c);
      m_out.PutEscaped(c);
      break;
    default:
      if (m_state == ScriptState::kCode && m_afterDelimiter && !IsDelimiter(c)) {
        WordStep();
      } else {
        CopyRun(c);
      }
      break;
  }
}

// The delimiter step and c, repeated for each following character that the same row
// treats alike: in a string or comment every ordinary character, in code every
// ordinary delimiter after a delimiter. Only the first step can end a coloured word,
// and the flag ends as the last character leaves it. The run is cut where one step
// per character would have stopped at the capacity, so the result is the same.
void CScriptColorizer::CopyRun(char16_t c) {
  const bool inText = m_state == ScriptState::kString || m_state == ScriptState::kLineComment ||
                      m_state == ScriptState::kBlockComment;
  DelimiterStep(c);
  const std::size_t begin = m_next - 1;
  std::size_t end = m_next;
  if (inText) {
    end = colorize::RunEnd(m_text, m_next, [](char16_t x) { return !IsSpecial(x); });
  } else if (m_afterDelimiter) {
    end = colorize::RunEnd(m_text, m_next,
                           [](char16_t x) { return !IsSpecial(x) && IsDelimiter(x); });
  }
  end = begin + std::min(end - begin, std::max<std::size_t>(1, m_out.RoomBeforeStop()));
  m_out.Put(m_text.substr(begin, end - begin));
  m_afterDelimiter = IsDelimiter(m_text[end - 1]);
  m_next = end;
}

// The word at the current character: coloured when a list has it, otherwise copied
// up to the next delimiter.
void CScriptColorizer::WordStep() {
  const std::size_t at = m_next - 1;
  for (const WordList& list : kWordLists) {
    if (const std::size_t length = MatchWord(m_text, at, list)) {
      m_out.Put(list.colour);
      m_out.Put(m_text.substr(at, length));
      m_state = ScriptState::kWord;
      m_next = at + length;
      return;
    }
  }
  m_next = colorize::RunEnd(m_text, m_next, [](char16_t x) { return !IsDelimiter(x); });
  m_out.Put(m_text.substr(at, m_next - at));
}

void CScriptColorizer::LineFeed() {
  DelimiterStep(u'\n');
  if (m_state == ScriptState::kLineComment) {
    m_out.Put(uR"(\cf0)");
    m_state = ScriptState::kCode;
  }
  m_out.Put(u"\\par \n");
}

void CScriptColorizer::Quote(char16_t c) {
  if (m_state == ScriptState::kCode) {
    m_out.Put(c);
    m_out.Put(uR"(\i )");
    m_quote = c;
    m_state = ScriptState::kString;
  } else if (m_state == ScriptState::kString && c == m_quote) {
    m_out.Put(uR"(\i0 )");
    m_out.Put(c);
    m_state = ScriptState::kCode;
  } else {
    m_out.Put(c);
  }
}

void CScriptColorizer::Slash() {
  const char16_t next = m_next < m_text.size() ? m_text[m_next] : char16_t{0};
  const char16_t previous = m_next >= 2 ? m_text[m_next - 2] : char16_t{0};
  if (m_state == ScriptState::kCode && next == u'/') {
    Enter(ScriptState::kLineComment, uR"(\cf4 /)");
  } else if (m_state == ScriptState::kCode && next == u'*') {
    Enter(ScriptState::kBlockComment, uR"(/\cf4 )");
  } else if (m_state == ScriptState::kBlockComment && previous == u'*') {
    Enter(ScriptState::kCode, uR"(/\cf0 )");
  } else {
    DelimiterStep(u'/');
    m_out.Put(u'/');
  }
}

// Two backslashes; inside a string the escaped character goes with it unchanged
// (but for the RTF escapes) and is skipped.
void CScriptColorizer::Backslash() {
  DelimiterStep(u'\\');
  m_out.PutEscaped(u'\\');
  if (m_state == ScriptState::kString && m_next < m_text.size()) m_out.PutEscaped(m_text[m_next++]);
}

}  // namespace

std::u16string ColorizeScript(std::optional<std::u16string_view> text) {
  return colorize::ColorizeDocument<CScriptColorizer>(kRtfHeaderScript, text);
}

}  // namespace tracewell
