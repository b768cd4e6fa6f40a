#include "system_clock.h"

#include <chrono>
#include <ctime>

namespace tracewell {
namespace {

constexpr std::int64_t kUnixEpochTicks = 116'444'736'000'000'000;
using FileTimeTicks = std::chrono::duration<std::int64_t, std::ratio<1, kFileTimeTicksPerSecond>>;

}  // namespace

FileTime UtcFileTimeNow() {
  const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
  const auto ticks = std::chrono::duration_cast<FileTimeTicks>(sinceEpoch).count();
  return FileTime{static_cast<std::uint64_t>(kUnixEpochTicks + ticks)};
}

SystemTime SystemClock::LocalNow() const {
  const auto now = std::chrono::system_clock::now();
  const auto sinceEpoch = now.time_since_epoch();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto milliseconds =
      std::chrono::duration_cast<std::chrono::milliseconds>(sinceEpoch).count() % 1000;
  std::tm local{};
  localtime_r(&seconds, &local);
  SystemTime time;
  time.wYear = static_cast<std::uint16_t>(local.tm_year + 1900);
  time.wMonth = static_cast<std::uint16_t>(local.tm_mon + 1);
  time.wDayOfWeek = static_cast<std::uint16_t>(local.tm_wday);
  time.wDay = static_cast<std::uint16_t>(local.tm_mday);
  time.wHour = static_cast<std::uint16_t>(local.tm_hour);
  time.wMinute = static_cast<std::uint16_t>(local.tm_min);
  time.wSecond = static_cast<std::uint16_t>(std::min(local.tm_sec, 59));  // no leap second
  time.wMilliseconds = static_cast<std::uint16_t>(milliseconds);
  return time;
}

std::optional<FileTime> SystemClock::LocalFromUtc(FileTime utc) const {
  // The offset that applied at that instant (summer time included), from the zone rules.
  const auto ticks = static_cast<std::int64_t>(utc.ticks);
  if (utc.ticks >= (std::uint64_t{1} << 63)) return std::nullopt;
  const std::time_t seconds = (ticks - kUnixEpochTicks) / kFileTimeTicksPerSecond;
  std::tm local{};
  if (localtime_r(&seconds, &local) == nullptr) return std::nullopt;
  const std::int64_t shifted = ticks + std::int64_t{local.tm_gmtoff} * kFileTimeTicksPerSecond;
  if (shifted < 0) return std::nullopt;
  return FileTime{static_cast<std::uint64_t>(shifted)};
}

}  // namespace tracewell
