#include "record/system_time.h"

namespace tracewell {
namespace {

constexpr std::int64_t kTicksPerMillisecond = 10'000;
constexpr std::int64_t kMillisecondsPerDay = 86'400'000;

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Days from 1601-01-01 to the given civil date (proleptic Gregorian); the 400-year
// era arithmetic follows the well-known days-from-civil construction.
std::int64_t DaysSince1601(int year, int month, int day) {
  const int y = year - (month <= 2 ? 1 : 0);
  const int era = y / 400;  // years are >= 1601, never negative
  const int yearOfEra = y - era * 400;
  const int shiftedMonth = month > 2 ? month - 3 : month + 9;
  const int dayOfYear = (153 * shiftedMonth + 2) / 5 + day - 1;
  const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  const std::int64_t daysSince0000_03_01 = std::int64_t{era} * 146097 + dayOfEra;
  constexpr std::int64_t k1601_01_01 = 584'694;  // the same count for 1601-01-01
  return daysSince0000_03_01 - k1601_01_01;
}

struct CivilDate {
  int year;
  int month;
  int day;
};

CivilDate CivilFromDaysSince1601(std::int64_t days) {
  const std::int64_t z = days + 584'694;
  const std::int64_t era = z / 146097;
  const auto dayOfEra = static_cast<int>(z - era * 146097);
  const int yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const int dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const int shiftedMonth = (5 * dayOfYear + 2) / 153;
  const int day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
  const int month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
  const auto year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
  return {year, month, day};
}

}  // namespace

std::optional<FileTime> SystemTimeToFileTime(const SystemTime& time) {
  const int year = time.wYear;
  const int month = time.wMonth;
  if (year < 1601 || year > 30827 || month < 1 || month > 12) return std::nullopt;
  if (time.wDay < 1 || time.wDay > DaysInMonth(year, month)) return std::nullopt;
  if (time.wHour > 23 || time.wMinute > 59 || time.wSecond > 59 || time.wMilliseconds > 999) {
    return std::nullopt;
  }
  const std::int64_t days = DaysSince1601(year, month, time.wDay);
  const std::int64_t milliseconds =
      days * kMillisecondsPerDay +
      ((std::int64_t{time.wHour} * 60 + time.wMinute) * 60 + time.wSecond) * 1000 +
      time.wMilliseconds;
  return FileTime{static_cast<std::uint64_t>(milliseconds * kTicksPerMillisecond)};
}

std::optional<SystemTime> FileTimeToSystemTime(FileTime time) {
  if (time.ticks >= (std::uint64_t{1} << 63)) return std::nullopt;
  const auto milliseconds = static_cast<std::int64_t>(time.ticks) / kTicksPerMillisecond;
  const std::int64_t days = milliseconds / kMillisecondsPerDay;
  std::int64_t rest = milliseconds % kMillisecondsPerDay;
  const CivilDate date = CivilFromDaysSince1601(days);

  SystemTime out;
  out.wYear = static_cast<std::uint16_t>(date.year);
  out.wMonth = static_cast<std::uint16_t>(date.month);
  out.wDay = static_cast<std::uint16_t>(date.day);
  out.wDayOfWeek = static_cast<std::uint16_t>((days + 1) % 7);  // 1601-01-01 was a Monday
  out.wMilliseconds = static_cast<std::uint16_t>(rest % 1000);
  rest /= 1000;
  out.wSecond = static_cast<std::uint16_t>(rest % 60);
  rest /= 60;
  out.wMinute = static_cast<std::uint16_t>(rest % 60);
  out.wHour = static_cast<std::uint16_t>(rest / 60);
  return out;
}

}  // namespace tracewell
