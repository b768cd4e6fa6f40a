// The macro as the core's sources see it, where the assertions are on.
#define TRACEWELL_ASSERTIONS
#include "text/assert.h"

#include <gtest/gtest.h>

namespace tracewell {
namespace {

TEST(AssertDeathTest, ABrokenAssumptionStopsWithThePlaceAndTheCondition) {
  const int rows = 2;
  TRACEWELL_ASSERT(rows == 2);  // holds: the program goes on
  EXPECT_DEATH(TRACEWELL_ASSERT(rows == 3), "assert_test\\.cpp:[0-9]+: assertion failed: rows == 3");
}

}  // namespace
}  // namespace tracewell
