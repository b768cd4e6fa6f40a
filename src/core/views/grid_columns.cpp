#include "views/grid_columns.h"

#include "record/duration.h"
#include "text/format.h"

namespace tracewell {

std::u16string StartedText(const SystemTime& started) {
  return FormatText("%d:%d:%d %d", started.wHour, started.wMinute, started.wSecond,
                    started.wMilliseconds);
}

GridRowTexts NewRowTexts(const CHttpTransaction& record, int rowNumber) {
  return {
      FormatText("%d", rowNumber),
      StartedText(record.m_stStarted),
      DurationTextForNewRow(record),
      FormatText("%d", record.m_nSent),
      record.m_strMethod,
      record.m_strResult,
      FormatText("%d", record.m_nSize),
      record.m_strMimeType,
      record.m_strUrl,
      record.m_strIpAddress,
  };
}

}  // namespace tracewell
