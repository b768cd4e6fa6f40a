#include "http_text/cookie_date.h"

#include <array>

#include "http_text/splitting.h"

namespace tracewell {
namespace {

bool IsDelimiter(char16_t c) {
  return c == 0x09 || (c >= 0x20 && c <= 0x2F) || (c >= 0x3B && c <= 0x40) ||
         (c >= 0x5B && c <= 0x60) || (c >= 0x7B && c <= 0x7E);
}

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Reads 1 to `maxDigits` digits at `at`; none when there are fewer or more.
std::optional<int> Digits(std::u16string_view token, std::size_t& at, std::size_t minDigits,
                          std::size_t maxDigits) {
  int value = 0;
  std::size_t count = 0;
  for (; at < token.size() && IsDigit(token[at]); ++at, ++count) {
    if (count == maxDigits) return std::nullopt;
    value = value * 10 + (token[at] - u'0');
  }
  if (count < minDigits) return std::nullopt;
  return value;
}

// A number of the given digit count followed by nothing or a non-digit.
std::optional<int> LeadingNumber(std::u16string_view token, std::size_t minDigits,
                                 std::size_t maxDigits) {
  std::size_t at = 0;
  return Digits(token, at, minDigits, maxDigits);
}

struct ClockTime {
  int hour, minute, second;
};

std::optional<ClockTime> TimeOfDay(std::u16string_view token) {
  std::size_t at = 0;
  const auto hour = Digits(token, at, 1, 2);
  if (!hour || at >= token.size() || token[at++] != u':') return std::nullopt;
  const auto minute = Digits(token, at, 1, 2);
  if (!minute || at >= token.size() || token[at++] != u':') return std::nullopt;
  const auto second = Digits(token, at, 1, 2);
  if (!second) return std::nullopt;
  return ClockTime{*hour, *minute, *second};
}

std::optional<int> MonthNumber(std::u16string_view token) {
  constexpr std::array<std::u16string_view, 12> kMonths = {
      u"jan", u"feb", u"mar", u"apr", u"may", u"jun", u"jul", u"aug", u"sep", u"oct", u"nov", u"dec"};
  if (token.size() < 3) return std::nullopt;
  for (std::size_t i = 0; i < kMonths.size(); ++i) {
    if (EqualsIgnoringCase(token.substr(0, 3), kMonths[i])) return static_cast<int>(i) + 1;
  }
  return std::nullopt;
}

}  // namespace

std::optional<FileTime> ParseCookieDate(std::u16string_view text) {
  std::optional<ClockTime> time;
  std::optional<int> day, month, year;
  std::size_t start = 0;
  while (start < text.size()) {
    while (start < text.size() && IsDelimiter(text[start])) ++start;
    std::size_t end = start;
    while (end < text.size() && !IsDelimiter(text[end])) ++end;
    const auto token = text.substr(start, end - start);
    start = end;
    if (token.empty()) continue;
    if (!time && (time = TimeOfDay(token))) continue;
    if (!day && (day = LeadingNumber(token, 1, 2))) continue;
    if (!month && (month = MonthNumber(token))) continue;
    if (!year) year = LeadingNumber(token, 2, 4);
  }
  if (!time || !day || !month || !year) return std::nullopt;
  if (*year >= 70 && *year <= 99) *year += 1900;
  if (*year >= 0 && *year <= 69) *year += 2000;
  if (*year < 1601 || time->hour > 23 || time->minute > 59 || time->second > 59) {
    return std::nullopt;
  }
  const SystemTime utc{static_cast<std::uint16_t>(*year), static_cast<std::uint16_t>(*month), 0,
                       static_cast<std::uint16_t>(*day),  static_cast<std::uint16_t>(time->hour),
                       static_cast<std::uint16_t>(time->minute),
                       static_cast<std::uint16_t>(time->second), 0};
  return SystemTimeToFileTime(utc);  // also refuses a day beyond the month's end
}

}  // namespace tracewell
