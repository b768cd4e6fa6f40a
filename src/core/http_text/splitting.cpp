#include "http_text/splitting.h"

#include <limits>

namespace tracewell {
namespace {

bool IsWhiteSpace(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\v' || c == u'\f';
}

char16_t AsciiLower(char16_t c) { return c >= u'A' && c <= u'Z' ? c + (u'a' - u'A') : c; }

}  // namespace

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

bool EqualsIgnoringCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
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
  for (char16_t& c : lower) c = AsciiLower(c);
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
