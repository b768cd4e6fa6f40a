#pragma once
// Calendar time as the records keep it (the Windows SYSTEMTIME layout) and the
// 100-nanosecond tick count since 1601-01-01 (the FILETIME scale), with exact
// conversions between them. No time zone is involved: a local calendar time
// converts to a local tick count, a UTC one to a UTC tick count.

#include <compare>
#include <cstdint>
#include <optional>

namespace tracewell {

struct SystemTime {
  std::uint16_t wYear = 0;
  std::uint16_t wMonth = 0;
  std::uint16_t wDayOfWeek = 0;  // 0 = Sunday
  std::uint16_t wDay = 0;
  std::uint16_t wHour = 0;
  std::uint16_t wMinute = 0;
  std::uint16_t wSecond = 0;
  std::uint16_t wMilliseconds = 0;

  friend bool operator==(const SystemTime&, const SystemTime&) = default;
};

struct FileTime {
  std::uint64_t ticks = 0;  // 100-ns units since 1601-01-01 00:00:00

  friend auto operator<=>(const FileTime&, const FileTime&) = default;
};

inline constexpr std::int64_t kFileTimeTicksPerSecond = 10'000'000;

// Fails, as the platform call does, when a field is out of range (month 1-12, day
// within the month, hour < 24, minute and second < 60, milliseconds < 1000, year
// 1601-30827). The day of week is ignored.
std::optional<FileTime> SystemTimeToFileTime(const SystemTime& time);

// Fails for tick counts of 2^63 and above; fills in the day of week.
std::optional<SystemTime> FileTimeToSystemTime(FileTime time);

}  // namespace tracewell
