#include "http_text/cookie_date.h"

#include <algorithm>
#include <array>
#include <cstdint>

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

// The first three characters of `token` as one number, ASCII letters lower-cased, so
// that a name is matched in one comparison whatever its case; 0 when shorter.
constexpr std::uint64_t ShortName(std::u16string_view token) {
  if (token.size() < 3) return 0;
  std::uint64_t key = 0;
  for (std::size_t i = 0; i < 3; ++i) {
    key = key << 16 | AsciiLowerUnit(token[i]);
  }
  return key;
}

template <std::size_t N>
constexpr std::array<std::uint64_t, N> ShortNames(const std::array<std::u16string_view, N>& names) {
  std::array<std::uint64_t, N> keys{};
  for (std::size_t i = 0; i < N; ++i) keys[i] = ShortName(names[i]);
  return keys;
}

constexpr auto kMonths = ShortNames<12>(
    {u"jan", u"feb", u"mar", u"apr", u"may", u"jun", u"jul", u"aug", u"sep", u"oct", u"nov", u"dec"});
constexpr auto kDays = ShortNames<7>({u"sun", u"mon", u"tue", u"wed", u"thu", u"fri", u"sat"});

std::optional<int> MonthNumber(std::u16string_view token) {
  const std::uint64_t key = ShortName(token);
  const auto found = std::find(kMonths.begin(), kMonths.end(), key);
  if (key == 0 || found == kMonths.end()) return std::nullopt;
  return static_cast<int>(found - kMonths.begin()) + 1;
}

// The instant of a date whose parts were found; none when one is out of range.
std::optional<FileTime> InstantOf(ClockTime time, int day, int month, int year) {
  if (year >= 70 && year <= 99) year += 1900;
  if (year >= 0 && year <= 69) year += 2000;
  if (year < 1601 || time.hour > 23 || time.minute > 59 || time.second > 59) return std::nullopt;
  const SystemTime utc{static_cast<std::uint16_t>(year), static_cast<std::uint16_t>(month), 0,
                       static_cast<std::uint16_t>(day),  static_cast<std::uint16_t>(time.hour),
                       static_cast<std::uint16_t>(time.minute),
                       static_cast<std::uint16_t>(time.second), 0};
  return SystemTimeToFileTime(utc);  // also refuses a day beyond the month's end
}

// The digits at text[at, at + count) as a number; none when one is not a digit.
std::optional<int> FixedDigits(std::u16string_view text, std::size_t at, std::size_t count) {
  int value = 0;
  for (std::size_t i = at; i < at + count; ++i) {
    if (!IsDigit(text[i])) return std::nullopt;
    value = value * 10 + (text[i] - u'0');
  }
  return value;
}

// The form HTTP dates take ("Sun, 06 Nov 1994 08:49:37 GMT": a day name, then fixed
// places), read without the token scan; none for any other text, which the scan reads.
// It names the same instant the scan would find.
std::optional<std::optional<FileTime>> FixedHttpDate(std::u16string_view text) {
  if (text.size() != 29 || text.substr(3, 2) != u", " || text[7] != u' ' || text[11] != u' ' ||
      text[16] != u' ' || text[19] != u':' || text[22] != u':' || text.substr(25) != u" GMT" ||
      std::find(kDays.begin(), kDays.end(), ShortName(text)) == kDays.end()) {
    return std::nullopt;
  }
  const auto day = FixedDigits(text, 5, 2);
  const auto month = MonthNumber(text.substr(8, 3));
  const auto year = FixedDigits(text, 12, 4);
  const auto hour = FixedDigits(text, 17, 2);
  const auto minute = FixedDigits(text, 20, 2);
  const auto second = FixedDigits(text, 23, 2);
  if (!day || !month || !year || !hour || !minute || !second) return std::nullopt;
  return InstantOf({*hour, *minute, *second}, *day, *month, *year);
}

}  // namespace

std::optional<FileTime> ParseCookieDate(std::u16string_view text) {
  if (const auto fixed = FixedHttpDate(text)) return *fixed;
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
  return InstantOf(*time, *day, *month, *year);
}

}  // namespace tracewell
