#include "views/cache_info_view.h"

#include <array>
#include <cmath>

#include "text/format.h"

namespace tracewell {
namespace {

constexpr std::array<std::u16string_view, 13> kDescriptions = {
    u"SourceUrlName", u"LocalFileName", u"EntryType",  u"UseCount",      u"LastSyncTime",
    u"LastModifiedTime", u"LastAccessTime", u"HitRate", u"HeaderInfo", u"FileSize",
    u"FileExtension", u"ExpireTime", u"ExemptDelta"};

constexpr std::int64_t kDays1601To1899 = 109'205;  // 1601-01-01 to 1899-12-30
constexpr std::int64_t kSecondsPerDay = 86'400;

// Days since 1899-12-30 with the time of day as fraction, the way date values count,
// for calendar times in the years 100 to 9999.
std::optional<double> ToDateValue(const SystemTime& time) {
  if (time.wYear < 100 || time.wYear > 9999) return std::nullopt;
  const auto ticks = SystemTimeToFileTime(time);
  if (!ticks) return std::nullopt;
  const auto seconds = static_cast<std::int64_t>(ticks->ticks) / kFileTimeTicksPerSecond;
  const std::int64_t days = seconds / kSecondsPerDay - kDays1601To1899;
  return static_cast<double>(days) +
         static_cast<double>(seconds % kSecondsPerDay) / static_cast<double>(kSecondsPerDay);
}

std::optional<SystemTime> FromDateValue(double value) {
  const double days = std::floor(value);
  const std::int64_t secondOfDay = std::llround((value - days) * static_cast<double>(kSecondsPerDay));
  const auto daysSince1601 = static_cast<std::int64_t>(days) + kDays1601To1899;
  const std::int64_t ticks = (daysSince1601 * kSecondsPerDay + secondOfDay) * kFileTimeTicksPerSecond;
  if (ticks < 0) return std::nullopt;
  return FileTimeToSystemTime(FileTime{static_cast<std::uint64_t>(ticks)});
}

bool SameToTheSecond(const SystemTime& a, const SystemTime& b) {
  return a.wYear == b.wYear && a.wMonth == b.wMonth && a.wDay == b.wDay && a.wHour == b.wHour &&
         a.wMinute == b.wMinute && a.wSecond == b.wSecond;
}

std::u16string Decimal(std::uint32_t value) {
  return FormatText("%d", static_cast<std::int32_t>(value));  // shown signed
}

}  // namespace

std::u16string FormatCacheTime(FileTime utc, const IClock& clock) {
  const auto local = clock.LocalFromUtc(utc);
  const auto fields = local ? FileTimeToSystemTime(*local) : std::nullopt;
  const auto dateValue = fields ? ToDateValue(*fields) : std::nullopt;
  const auto back = dateValue ? FromDateValue(*dateValue) : std::nullopt;
  if (!back || !SameToTheSecond(*fields, *back)) return u"Invalid DateTime";
  return FormatText("%02d-%02d-%04d  %02d:%02d:%02d", fields->wMonth, fields->wDay, fields->wYear,
                    fields->wHour, fields->wMinute, fields->wSecond);
}

void CCacheInfoViewModel::ShowCacheInfo(const CHttpTransaction& record) {
  m_rows.clear();
  if (!record.m_pCacheInfoBefore && !record.m_pCacheInfoAfter) return;
  for (const auto description : kDescriptions) {
    m_rows.push_back({std::u16string(description), {}, {}});
  }
  if (record.m_pCacheInfoBefore) FillColumn(1, *record.m_pCacheInfoBefore);
  if (record.m_pCacheInfoAfter) FillColumn(2, *record.m_pCacheInfoAfter);
}

void CCacheInfoViewModel::FillColumn(std::size_t column, const CacheEntrySnapshot& entry) {
  const std::array<std::u16string, 13> values = {
      entry.SourceUrlName,
      entry.LocalFileName,
      Decimal(entry.CacheEntryType),
      Decimal(entry.UseCount),
      FormatCacheTime(entry.LastSyncTime, m_clock),
      FormatCacheTime(entry.LastModifiedTime, m_clock),
      FormatCacheTime(entry.LastAccessTime, m_clock),
      Decimal(entry.HitRate),
      entry.HeaderInfo,
      Decimal(entry.SizeLow),
      entry.FileExtension,
      FormatCacheTime(entry.ExpireTime, m_clock),
      Decimal(entry.ExemptDelta),
  };
  for (std::size_t row = 0; row < values.size(); ++row) m_rows[row][column] = values[row];
}

}  // namespace tracewell
