#include "record/duration.h"

#include "text/format.h"

namespace tracewell {

std::optional<double> DurationSeconds(const CHttpTransaction& record) {
  const auto start = SystemTimeToFileTime(record.m_stStarted);
  const auto end = SystemTimeToFileTime(record.m_stEnded);
  if (!start || !end) return std::nullopt;
  const auto difference = static_cast<std::int64_t>(end->ticks - start->ticks);
  return static_cast<double>(difference) / static_cast<double>(kFileTimeTicksPerSecond);
}

namespace {

std::u16string SecondsText(std::optional<double> seconds) {
  return seconds ? FormatText("%.3f", *seconds) : std::u16string();
}

}  // namespace

std::u16string DurationTextForNewRow(const CHttpTransaction& record) {
  if (record.m_stEnded.wYear == 0) return SecondsText(0.0);
  const auto seconds = DurationSeconds(record);
  return seconds && *seconds < 0 ? std::u16string() : SecondsText(seconds);
}

std::u16string DurationTextForExport(const CHttpTransaction& record) {
  if (record.m_stEnded.wYear == 0) return SecondsText(0.0);
  return SecondsText(DurationSeconds(record));
}

std::u16string DurationTextForUpdate(const CHttpTransaction& record) {
  return SecondsText(DurationSeconds(record));
}

}  // namespace tracewell
