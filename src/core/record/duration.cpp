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

std::u16string DurationTextForNewRow(const CHttpTransaction& record) {
  const auto seconds = DurationSeconds(record);
  if (record.m_stEnded.wYear != 0 && seconds && *seconds < 0) return {};
  return DurationTextForExport(record);
}

std::u16string DurationTextForExport(const CHttpTransaction& record) {
  if (record.m_stEnded.wYear == 0) return FormatText("%.3f", 0.0);
  const auto seconds = DurationSeconds(record);
  return seconds ? FormatText("%.3f", *seconds) : std::u16string();
}

}  // namespace tracewell
