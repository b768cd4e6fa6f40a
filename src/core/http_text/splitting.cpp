#include "http_text/splitting.h"

#include <algorithm>
#include <bit>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tracewell {
namespace {

bool IsWhiteSpace(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\v' || c == u'\f';
}

}  // namespace

std::size_t LineBreakAt(std::u16string_view text, std::size_t from) {
  std::size_t at = std::min(from, text.size());
#if defined(__SSE2__)
  const __m128i cr = _mm_set1_epi16(u'\r');
  const __m128i lf = _mm_set1_epi16(u'\n');
  for (; at + 8 <= text.size(); at += 8) {
    const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + at));
    const auto breaks = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi16(units, cr), _mm_cmpeq_epi16(units, lf))));
    if (breaks != 0) return at + static_cast<std::size_t>(std::countr_zero(breaks)) / 2;  // two bits a unit
  }
#endif
  while (at < text.size() && text[at] != u'\r' && text[at] != u'\n') ++at;
  return at;
}

std::optional<NameValue> SplitAtFirst(std::u16string_view piece, char16_t separator) {
  const std::size_t at = piece.find(separator);
  if (at == std::u16string_view::npos || at == 0) return std::nullopt;
  return NameValue{piece.substr(0, at), piece.substr(at + 1)};
}

std::u16string_view Trim(std::u16string_view text) {
  std::size_t first = 0;
  std::size_t end = text.size();
  while (first < end && IsWhiteSpace(text[first])) ++first;
  while (end > first && IsWhiteSpace(text[end - 1])) --end;
  return text.substr(first, end - first);
}

bool StartsWithIgnoringCase(std::u16string_view text, std::u16string_view prefix) {
  return text.size() >= prefix.size() && EqualsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (lower(text[i]) != lower(prefix[i])) return false;
  }
  return true;
}

std::u16string AsciiLowercase(std::u16string_view text) {
  std::u16string lower(text);
  for (char16_t& c : lower) c = AsciiLowerUnit(c);
  return lower;
}

int LeadingInteger(std::u16string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsWhiteSpace(text[i])) ++i;
  if (i == text.size()) return 0;
  bool negative = false;
  if (text[i] == u'+' || text[i] == u'-') negative = text[i++] == u'-';
  long long value = 0;
  constexpr long long kLimit = std::numeric_limits<int>::max() + 1LL;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    value = std::min(value * 10 + (text[i] - u'0'), kLimit);
  }
  if (negative) return static_cast<int>(-value);
  return static_cast<int>(std::min(value, kLimit - 1));
}

}  // namespace tracewell
