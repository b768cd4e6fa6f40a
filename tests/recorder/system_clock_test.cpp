#include "system_clock.h"

#include <gtest/gtest.h>

#include <ctime>

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
