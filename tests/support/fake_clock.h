#pragma once
// A clock for tests: a set "now" and a set offset from UTC. A ticking clock moves on
// by one millisecond whenever it is read, on any thread, so that every record it
// stamps has a time of its own.

#include <atomic>
#include <cstdint>

#include "record/clock.h"

namespace tracewell::testing {

class FakeClock final : public IClock {
 public:
  explicit FakeClock(std::int64_t offsetMinutes = 0, SystemTime now = {}) : m_offset(offsetMinutes), m_now(now) {}

  // UTC, starting at 2026-12-07 09:05:03.000.
  static FakeClock Ticking() { return FakeClock(SystemTime{2026, 12, 1, 7, 9, 5, 3, 0}, kTickPerRead); }

  SystemTime LocalNow() const override {
    if (m_tick == 0) return m_now;
    return *FileTimeToSystemTime(FileTime{m_start + m_reads.fetch_add(1) * m_tick});
  }
  std::optional<FileTime> LocalFromUtc(FileTime utc) const override {
    const auto ticks = static_cast<std::int64_t>(utc.ticks) + m_offset * 60 * kFileTimeTicksPerSecond;
    if (ticks < 0) return std::nullopt;
    return FileTime{static_cast<std::uint64_t>(ticks)};
  }

 private:
  static constexpr auto kTickPerRead = static_cast<std::uint64_t>(kFileTimeTicksPerSecond / 1000);

  FakeClock(SystemTime start, std::uint64_t tick)
      : m_offset(0), m_now(start), m_start(SystemTimeToFileTime(start)->ticks), m_tick(tick) {}

  std::int64_t m_offset;
  SystemTime m_now;
  std::uint64_t m_start = 0;  // m_now as FILETIME ticks, for a ticking clock
  std::uint64_t m_tick = 0;  // FILETIME ticks added per read; 0 for a clock that stands still
  mutable std::atomic<std::uint64_t> m_reads = 0;
};

}  // namespace tracewell::testing
