#pragma once
// The splitting rules that every view and export of header and parameter text
// shares. Nothing here trims unless asked: callers differ in what they trim.

#include <optional>
#include <string>
#include <string_view>

namespace tracewell {

// Calls `visit(piece)` for every piece of `text` between separators, where a run of
// separator characters counts as one cut, and cuts at the start or end make no piece:
// no piece is ever empty.
template <typename Visit>
void ForEachPiece(std::u16string_view text, std::u16string_view separators, Visit&& visit) {
  std::size_t start = text.find_first_not_of(separators);
  while (start != std::u16string_view::npos) {
    const std::size_t end = text.find_first_of(separators, start);
    visit(text.substr(start, end == std::u16string_view::npos ? end : end - start));
    if (end == std::u16string_view::npos) break;
    start = text.find_first_not_of(separators, end);
  }
}

inline constexpr std::u16string_view kLineBreaks = u"\r\n";

// Where the first CR or LF at or after `from` stands; the text's size when none does.
// Several code units are compared at a time where the processor can: every header
// block the program reads is scanned for its lines.
std::size_t LineBreakAt(std::u16string_view text, std::size_t from);

// ForEachPiece with kLineBreaks as the separators: the lines of a header block, in one
// pass over the text.
template <typename Visit>
void ForEachLine(std::u16string_view text, Visit&& visit) {
  const auto isBreak = [](char16_t c) { return c == u'\r' || c == u'\n'; };
  std::size_t at = 0;
  while (at < text.size()) {
    while (at < text.size() && isBreak(text[at])) ++at;
    const std::size_t start = at;
    at = LineBreakAt(text, at);
    if (at > start) visit(text.substr(start, at - start));
  }
}

struct NameValue {
  std::u16string_view name;
  std::u16string_view value;
};

// A name and its value, held.
struct NameValueText {
  std::u16string name;
  std::u16string value;
};

// Splits at the first `separator` when the piece holds one that is not its first
// character: the name before it, the value after it (further separators included).
std::optional<NameValue> SplitAtFirst(std::u16string_view piece, char16_t separator);

// Without white space (space, tab, CR, LF, vertical tab, form feed) at both ends.
std::u16string_view Trim(std::u16string_view text);

// The unit in lowercase when it is an ASCII capital, else as it is.
constexpr char16_t AsciiLowerUnit(char16_t c) { return c >= u'A' && c <= u'Z' ? c + (u'a' - u'A') : c; }

// ASCII letters compare without case; everything else must be equal. Inline: a field
// name is compared with many others, and most differ in length.
inline bool EqualsIgnoringCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiLowerUnit(a[i]) != AsciiLowerUnit(b[i])) return false;
  }
  return true;
}

bool StartsWithIgnoringCase(std::u16string_view text, std::u16string_view prefix);
// The same for narrow text.
bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix);
// ASCII letters in lowercase, everything else as it is.
std::u16string AsciiLowercase(std::u16string_view text);

// The integer at the start of `text` as C's atoi reads it: leading white space and a
// sign allowed, 0 when there are no digits; values beyond int saturate.
int LeadingInteger(std::u16string_view text);

}  // namespace tracewell
