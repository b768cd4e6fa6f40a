#include "inspector/rtf_runs.h"

#include <algorithm>
#include <utility>

#include "text/code_page.h"

namespace tracewell {
namespace {

enum class Destination : std::uint8_t { kText, kSkip, kColourTable };

// What a group saves and restores.
struct GroupState {
  std::uint32_t colour = 0;  // index into the colour table
  bool bold = false;
  bool italic = false;
  Destination destination = Destination::kText;
};

struct ControlWord {
  std::u16string_view name;
  bool hasParameter = false;
  std::int64_t parameter = 0;
};

constexpr std::uint32_t kNoColour = 0xFFFFFFFF;
constexpr std::int64_t kMaxParameter = 0x7FFFFFFF;

// Destinations whose text is no document text.
constexpr std::u16string_view kSkippedDestinations[] = {
    u"fonttbl", u"filetbl", u"stylesheet", u"listtable", u"listoverridetable", u"revtbl",
    u"rsidtbl", u"info", u"pict", u"object", u"header", u"headerl", u"headerr", u"headerf",
    u"footer", u"footerl", u"footerr", u"footerf", u"footnote", u"annotation", u"generator",
    u"fldinst", u"themedata", u"colorschememapping", u"latentstyles", u"datastore"};

bool IsLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

int HexValue(char16_t c) {
  if (IsDigit(c)) return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

std::uint8_t ColourComponent(const ControlWord& word) {
  return static_cast<std::uint8_t>(std::clamp<std::int64_t>(word.parameter, 0, 255));
}

// One pass over the document; every step consumes at least one character.
class CRtfRunReader {
 public:
  explicit CRtfRunReader(std::u16string_view rtf) : m_rtf(rtf) {}
  std::vector<StyledRun> Read() &&;

 private:
  GroupState& Current() { return m_groups.back(); }
  bool InGroup() const { return m_groups.size() > 1 && m_unsavedDepth == 0; }
  void OpenGroup();
  void CloseGroup();
  void ControlSequence();
  ControlWord ReadControlWord();
  void ControlSymbol(char16_t c);
  void Apply(const ControlWord& word);
  bool ApplyDestination(const ControlWord& word);
  void ApplyColourTable(const ControlWord& word);
  bool ApplyCharacterFormat(const ControlWord& word);
  void PlainText();
  void Append(std::u16string_view text);
  Rgb ColourOf(std::uint32_t index) const;

  std::u16string_view m_rtf;
  std::size_t m_at = 0;
  std::vector<GroupState> m_groups{GroupState{}};  // the first: outside every group
  std::size_t m_unsavedDepth = 0;  // groups open beyond kRtfMaxGroupDepth
  std::vector<Rgb> m_colours;
  Rgb m_pendingColour;
  std::vector<StyledRun> m_runs;
};

std::vector<StyledRun> CRtfRunReader::Read() && {
  while (m_at < m_rtf.size()) {
    switch (m_rtf[m_at]) {
      case u'{': ++m_at; OpenGroup(); break;
      case u'}': ++m_at; CloseGroup(); break;
      case u'\\': ++m_at; ControlSequence(); break;
      case u'\r':
      case u'\n': ++m_at; break;
      default: PlainText(); break;
    }
  }
  return std::move(m_runs);
}

void CRtfRunReader::OpenGroup() {
  if (m_groups.size() > kRtfMaxGroupDepth || m_unsavedDepth > 0) {
    ++m_unsavedDepth;
  } else {
    m_groups.push_back(Current());
  }
}

// A "}" without its "{" is ignored.
void CRtfRunReader::CloseGroup() {
  if (m_unsavedDepth > 0) {
    --m_unsavedDepth;
  } else if (m_groups.size() > 1) {
    m_groups.pop_back();
  }
}

void CRtfRunReader::ControlSequence() {
  if (m_at >= m_rtf.size()) return;
  if (IsLetter(m_rtf[m_at])) {
    Apply(ReadControlWord());
  } else {
    ControlSymbol(m_rtf[m_at++]);
  }
}

// Letters, an optional signed number, and one blank that ends the word.
ControlWord CRtfRunReader::ReadControlWord() {
  ControlWord word;
  const std::size_t begin = m_at;
  while (m_at < m_rtf.size() && IsLetter(m_rtf[m_at])) ++m_at;
  word.name = m_rtf.substr(begin, m_at - begin);
  const bool negative =
      m_at + 1 < m_rtf.size() && m_rtf[m_at] == u'-' && IsDigit(m_rtf[m_at + 1]);
  if (negative) ++m_at;
  while (m_at < m_rtf.size() && IsDigit(m_rtf[m_at])) {
    word.hasParameter = true;
    word.parameter = std::min(word.parameter * 10 + (m_rtf[m_at++] - u'0'), kMaxParameter);
  }
  if (negative) word.parameter = -word.parameter;
  if (m_at < m_rtf.size() && m_rtf[m_at] == u' ') ++m_at;
  return word;
}

void CRtfRunReader::ControlSymbol(char16_t c) {
  switch (c) {
    case u'\\':
    case u'{':
    case u'}': Append(std::u16string_view(&c, 1)); break;
    case u'\r':
    case u'\n': Append(u"\n"); break;  // as \par
    case u'*':
      if (InGroup()) Current().destination = Destination::kSkip;
      break;
    case u'\'': {
      const int high = m_at < m_rtf.size() ? HexValue(m_rtf[m_at]) : -1;
      const int low = m_at + 1 < m_rtf.size() ? HexValue(m_rtf[m_at + 1]) : -1;
      if (high < 0 || low < 0) break;
      m_at += 2;
      const char byte = static_cast<char>(high * 16 + low);
      Append(FromCodePage(std::string_view(&byte, 1)));
      break;
    }
    default: break;  // other symbols are ignored
  }
}

// Character formatting first: it is what the body is made of.
void CRtfRunReader::Apply(const ControlWord& word) {
  const Destination destination = Current().destination;
  if (destination == Destination::kText && ApplyCharacterFormat(word)) return;
  if (ApplyDestination(word)) return;
  if (destination == Destination::kColourTable) ApplyColourTable(word);
}

// The colour table and the skipped destinations; only inside a group, so that a
// stray destination word cannot swallow the rest of the document.
bool CRtfRunReader::ApplyDestination(const ControlWord& word) {
  if (!InGroup() || Current().destination == Destination::kSkip) return false;
  if (word.name == u"colortbl") {
    Current().destination = Destination::kColourTable;
    m_colours.clear();
    m_pendingColour = Rgb{};
    return true;
  }
  if (std::ranges::find(kSkippedDestinations, word.name) == std::end(kSkippedDestinations)) {
    return false;
  }
  Current().destination = Destination::kSkip;
  return true;
}

void CRtfRunReader::ApplyColourTable(const ControlWord& word) {
  if (word.name == u"red") m_pendingColour.red = ColourComponent(word);
  if (word.name == u"green") m_pendingColour.green = ColourComponent(word);
  if (word.name == u"blue") m_pendingColour.blue = ColourComponent(word);
}

// False for a word that is no character formatting or text.
bool CRtfRunReader::ApplyCharacterFormat(const ControlWord& word) {
  const bool on = !word.hasParameter || word.parameter != 0;
  GroupState& state = Current();
  if (word.name == u"b") {
    state.bold = on;
  } else if (word.name == u"i") {
    state.italic = on;
  } else if (word.name == u"cf") {
    state.colour = word.parameter < 0 ? kNoColour : static_cast<std::uint32_t>(word.parameter);
  } else if (word.name == u"par" || word.name == u"line") {
    Append(u"\n");
  } else if (word.name == u"plain") {
    state.bold = state.italic = false;
    state.colour = 0;
  } else if (word.name == u"tab") {
    Append(u"\t");
  } else {
    return false;
  }
  return true;
}

// Characters up to the next brace, backslash or line end.
void CRtfRunReader::PlainText() {
  const std::size_t begin = m_at;
  while (m_at < m_rtf.size()) {
    const char16_t c = m_rtf[m_at];
    if (c == u'{' || c == u'}' || c == u'\\' || c == u'\r' || c == u'\n') break;
    ++m_at;
  }
  const std::u16string_view text = m_rtf.substr(begin, m_at - begin);
  if (Current().destination == Destination::kText) {
    Append(text);
  } else if (Current().destination == Destination::kColourTable) {
    for (const char16_t c : text) {
      if (c != u';') continue;
      m_colours.push_back(m_pendingColour);
      m_pendingColour = Rgb{};
    }
  }
}

void CRtfRunReader::Append(std::u16string_view text) {
  if (text.empty() || Current().destination != Destination::kText) return;
  const GroupState& state = Current();
  const Rgb colour = ColourOf(state.colour);
  if (!m_runs.empty()) {
    StyledRun& last = m_runs.back();
    if (last.colour == colour && last.bold == state.bold && last.italic == state.italic) {
      last.text.append(text);
      return;
    }
  }
  m_runs.push_back(StyledRun{std::u16string(text), colour, state.bold, state.italic});
}

Rgb CRtfRunReader::ColourOf(std::uint32_t index) const {
  return index < m_colours.size() ? m_colours[index] : kRtfDefaultColour;
}

}  // namespace

std::vector<StyledRun> RenderRtfRuns(std::u16string_view rtf) {
  return CRtfRunReader(rtf).Read();
}

}  // namespace tracewell
