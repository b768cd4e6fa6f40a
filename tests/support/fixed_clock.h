#pragma once
// A clock for tests: a fixed "now" and a fixed offset from UTC.

#include <cstdint>

#include "record/clock.h"

namespace tracewell::testing {

class FixedClock final : public IClock {
 public:
  explicit FixedClock(std::int64_t offsetMinutes = 0, SystemTime now = {}) : m_offset(offsetMinutes), m_now(now) {}
  SystemTime LocalNow() const override { return m_now; }
  std::optional<FileTime> LocalFromUtc(FileTime utc) const override {
    const auto ticks = static_cast<std::int64_t>(utc.ticks) + m_offset * 60 * kFileTimeTicksPerSecond;
    if (ticks < 0) return std::nullopt;
    return FileTime{static_cast<std::uint64_t>(ticks)};
  }

 private:
  std::int64_t m_offset;
  SystemTime m_now;
};

}  // namespace tracewell::testing
