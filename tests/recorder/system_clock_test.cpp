#include "system_clock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace tracewell {
namespace {

TEST(SystemClock, GivesAValidLocalTimeMatchingTheMachine) {
  const std::time_t before = std::time(nullptr);
  const SystemTime now = SystemClock().LocalNow();
  const std::time_t after = std::time(nullptr);

  const auto ticks = SystemTimeToFileTime(now);
  ASSERT_TRUE(ticks.has_value());
  EXPECT_EQ(FileTimeToSystemTime(*ticks)->wDayOfWeek, now.wDayOfWeek);

  // The same wall-clock reading, up to the seconds that passed between the calls.
  std::tm local{};
  localtime_r(&before, &local);
  std::tm localAfter{};
  localtime_r(&after, &localAfter);
  EXPECT_TRUE(now.wYear == local.tm_year + 1900 || now.wYear == localAfter.tm_year + 1900);
  EXPECT_TRUE(now.wHour == local.tm_hour || now.wHour == localAfter.tm_hour);
}

}  // namespace
}  // namespace tracewell

namespace tracewell {
namespace {

// Runs with TZ set to a zone with summer time, restoring the machine's afterwards.
class WithTimeZone {
 public:
  explicit WithTimeZone(const char* zone) {
    if (const char* old = std::getenv("TZ")) m_old = old;
    setenv("TZ", zone, 1);
    tzset();
  }
  ~WithTimeZone() {
    if (m_old) {
      setenv("TZ", m_old->c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }

 private:
  std::optional<std::string> m_old;
};

TEST(SystemClock, LocalFromUtcUsesTheOffsetOfThatInstant) {
  const WithTimeZone newYork("EST5EDT,M3.2.0,M11.1.0");
  const SystemClock clock;
  const auto winter = clock.LocalFromUtc(*SystemTimeToFileTime({2009, 1, 0, 15, 12, 0, 0, 0}));
  const auto summer = clock.LocalFromUtc(*SystemTimeToFileTime({2009, 7, 0, 15, 12, 0, 0, 0}));
  EXPECT_EQ(FileTimeToSystemTime(*winter)->wHour, 7);
  EXPECT_EQ(FileTimeToSystemTime(*summer)->wHour, 8);
  EXPECT_FALSE(clock.LocalFromUtc(FileTime{~0ull}).has_value());
}

}  // namespace
}  // namespace tracewell
