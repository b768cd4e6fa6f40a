#pragma once
// What the three colorizers share: the document buffer with its capacity rule, the
// RTF escapes, and the look-ahead helpers over the source text.

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "inspector/colorizers.h"

namespace tracewell::colorize {

// The document being written: the header, then the body, then (on Finish) the
// trailer. The capacity decides where the body stops; the string itself is reserved
// for a typical document and grows when a text needs more (see rtf_writer.cpp).
class CRtfWriter {
 public:
  CRtfWriter(std::u16string_view header, std::size_t textLength);

  // The body has come within the margin of its capacity: processing must stop.
  bool Full() const { return m_out.size() >= m_stop; }
  // How many more characters can be written before the body is full.
  std::size_t RoomBeforeStop() const {
    return m_out.size() < m_stop ? m_stop - m_out.size() : 0;
  }

  void Put(char16_t c) { m_out.push_back(c); }
  void Put(std::u16string_view s) { m_out.append(s); }
  // A backslash as two backslashes, "{" as "\{", "}" as "\}", anything else as is.
  void PutEscaped(char16_t c);

  std::u16string Finish(std::u16string_view trailer) &&;

 private:
  std::u16string m_out;
  std::size_t m_stop = 0;  // header size + capacity - margin
};

inline constexpr std::array<bool, 128> kIsAsciiLetterOrDigit = [] {
  std::array<bool, 128> table{};
  for (char16_t c = 0; c < 128; ++c) {
    table[c] = (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
  }
  return table;
}();

inline bool IsAsciiLetterOrDigit(char16_t c) { return c < 128 && kIsAsciiLetterOrDigit[c]; }

// Whether `text` from `at` begins with `prefix` (given in capitals), ignoring the case
// of ASCII letters only.
bool StartsWithIgnoringCase(std::u16string_view text, std::size_t at, std::u16string_view prefix);

// Whether `text` from `at` begins with `prefix` exactly.
inline bool StartsWith(std::u16string_view text, std::size_t at, std::u16string_view prefix) {
  return at <= text.size() && text.substr(at).starts_with(prefix);
}

// The complete document for `text`: the header, what `Colorizer(text, writer).Run()`
// writes, and the trailer. An absent or empty text gives an empty body.
template <typename Colorizer>
std::u16string ColorizeDocument(std::u16string_view header,
                                std::optional<std::u16string_view> text) {
  CRtfWriter out(header, text ? text->size() : 0);
  if (text && !text->empty()) Colorizer(*text, out).Run();
  return std::move(out).Finish(kRtfTrailer);
}

// The end of the run of characters from `at` on that satisfy `keep`.
template <typename Predicate>
std::size_t RunEnd(std::u16string_view text, std::size_t at, Predicate keep) {
  while (at < text.size() && keep(text[at])) ++at;
  return at;
}

}  // namespace tracewell::colorize
