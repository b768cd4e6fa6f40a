#include "record/system_time.h"

#include <gtest/gtest.h>

#include "record/duration.h"
#include "views/grid_columns.h"

namespace tracewell {
namespace {

constexpr std::uint64_t kUnixEpoch = 116'444'736'000'000'000ull;

TEST(SystemTimeConversion, KnownInstants) {
  EXPECT_EQ(SystemTimeToFileTime({1601, 1, 0, 1, 0, 0, 0, 0})->ticks, 0u);
  EXPECT_EQ(SystemTimeToFileTime({1970, 1, 0, 1, 0, 0, 0, 0})->ticks, kUnixEpoch);
  // 2009-03-07 09:05:03.045 = Unix 1236416703.045
  EXPECT_EQ(SystemTimeToFileTime({2009, 3, 6, 7, 9, 5, 3, 45})->ticks,
            kUnixEpoch + 1'236'416'703'045ull * 10'000);
  EXPECT_EQ(SystemTimeToFileTime({2000, 2, 0, 29, 23, 59, 59, 999})->ticks,
            kUnixEpoch + 951'868'799'999ull * 10'000);
}

TEST(SystemTimeConversion, FillsTheDayOfWeek) {
  EXPECT_EQ(FileTimeToSystemTime(FileTime{0}), (SystemTime{1601, 1, 1, 1, 0, 0, 0, 0}));
  EXPECT_EQ(FileTimeToSystemTime(FileTime{kUnixEpoch}), (SystemTime{1970, 1, 4, 1, 0, 0, 0, 0}));
  const auto saturday = SystemTimeToFileTime({2009, 3, 0, 7, 9, 5, 3, 45});
  EXPECT_EQ(FileTimeToSystemTime(*saturday), (SystemTime{2009, 3, 6, 7, 9, 5, 3, 45}));
}

TEST(SystemTimeConversion, RoundTripsAcrossTheWholeRange) {
  // Leap days, century years, ends of months and the last representable day.
  const SystemTime samples[] = {
      {1601, 12, 1, 31, 23, 59, 59, 999}, {1700, 2, 0, 28, 12, 0, 0, 0},
      {1900, 3, 4, 1, 0, 0, 0, 1},        {2000, 2, 2, 29, 6, 30, 15, 500},
      {2024, 12, 2, 31, 23, 59, 59, 999}, {2100, 2, 0, 28, 1, 2, 3, 4},
      {2400, 2, 2, 29, 0, 0, 0, 0},       {30827, 12, 5, 31, 23, 59, 59, 999},
  };
  for (const SystemTime& time : samples) {
    const auto ticks = SystemTimeToFileTime(time);
    ASSERT_TRUE(ticks.has_value()) << time.wYear;
    EXPECT_EQ(FileTimeToSystemTime(*ticks), time) << time.wYear;
  }
  // And every millisecond-aligned day step over four centuries.
  for (std::uint64_t day = 0; day < 146'097; day += 37) {
    const FileTime ticks{day * 864'000'000'000ull + 123'4560'000ull};
    const auto time = FileTimeToSystemTime(ticks);
    ASSERT_TRUE(time.has_value());
    EXPECT_EQ(SystemTimeToFileTime(*time), ticks) << day;
  }
}

TEST(SystemTimeConversion, RejectsWhatThePlatformRejects) {
  const SystemTime invalid[] = {
      {0, 0, 0, 0, 0, 0, 0, 0},          {1600, 12, 0, 31, 0, 0, 0, 0},
      {30828, 1, 0, 1, 0, 0, 0, 0},      {2023, 2, 0, 29, 0, 0, 0, 0},
      {1900, 2, 0, 29, 0, 0, 0, 0},      {2024, 13, 0, 1, 0, 0, 0, 0},
      {2024, 4, 0, 31, 0, 0, 0, 0},      {2024, 1, 0, 0, 0, 0, 0, 0},
      {2024, 1, 0, 1, 24, 0, 0, 0},      {2024, 1, 0, 1, 0, 60, 0, 0},
      {2024, 1, 0, 1, 0, 0, 60, 0},      {2024, 1, 0, 1, 0, 0, 0, 1000},
  };
  for (const SystemTime& time : invalid) {
    EXPECT_FALSE(SystemTimeToFileTime(time).has_value())
        << time.wYear << "-" << time.wMonth << "-" << time.wDay;
  }
  EXPECT_FALSE(FileTimeToSystemTime(FileTime{1ull << 63}).has_value());
  EXPECT_TRUE(FileTimeToSystemTime(FileTime{(1ull << 63) - 1}).has_value());
}

CHttpTransaction Timed(SystemTime started, SystemTime ended) {
  CHttpTransaction record;
  record.m_stStarted = started;
  record.m_stEnded = ended;
  return record;
}

TEST(Duration, TextOfANewRow) {
  const SystemTime start{2026, 12, 1, 7, 23, 59, 59, 900};
  EXPECT_EQ(DurationTextForNewRow(Timed(start, start)), u"0.000");
  EXPECT_EQ(DurationTextForNewRow(Timed(start, {})), u"0.000");  // still running
  EXPECT_EQ(DurationTextForNewRow(Timed(start, {2026, 12, 2, 8, 0, 0, 1, 400})), u"1.500");
  EXPECT_EQ(DurationTextForNewRow(Timed(start, {2026, 12, 1, 7, 23, 59, 58, 0})), u"");
  EXPECT_EQ(DurationTextForNewRow(Timed(start, {2026, 13, 1, 7, 0, 0, 0, 0})), u"");
}

TEST(Duration, SecondsCanBeNegativeOrUnknown) {
  const SystemTime start{2026, 12, 1, 7, 10, 0, 0, 0};
  EXPECT_DOUBLE_EQ(*DurationSeconds(Timed(start, {2026, 12, 1, 7, 9, 59, 58, 500})), -1.5);
  EXPECT_FALSE(DurationSeconds(Timed(start, {})).has_value());
  EXPECT_FALSE(DurationSeconds(Timed({}, start)).has_value());
}

TEST(GridRow, NewRowShowsTheTenTexts) {
  CHttpTransaction record;
  record.m_nSent = 412;
  record.m_nSize = -1;
  record.m_strMethod = u"POST";
  record.m_strResult = u"(Aborted)";
  record.m_strMimeType = u"text/html";
  record.m_strUrl = u"http://127.0.0.1:8080/form";
  record.m_strIpAddress = u"127.0.0.1";
  record.m_stStarted = {2009, 3, 6, 7, 9, 5, 3, 7};
  record.m_stEnded = {2009, 3, 6, 7, 9, 5, 4, 0};
  const GridRowTexts expected = {u"3",    u"9:5:3 7",   u"0.993", u"412",
                                 u"POST", u"(Aborted)", u"-1",    u"text/html",
                                 u"http://127.0.0.1:8080/form", u"127.0.0.1"};
  EXPECT_EQ(NewRowTexts(record, 3), expected);

  std::u16string copied;
  AppendRowCopyText(copied, expected);
  EXPECT_EQ(copied,
            u"3  9:5:3 7  0.993  412  POST  (Aborted)  -1  text/html  "
            u"http://127.0.0.1:8080/form  127.0.0.1  \r\n");
}

}  // namespace
}  // namespace tracewell
