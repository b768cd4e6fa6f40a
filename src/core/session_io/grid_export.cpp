#include "session_io/grid_export.h"

#include "record/duration.h"
#include "session_io/record_writing.h"
#include "text/code_page.h"
#include "text/format.h"
#include "views/grid_columns.h"

namespace tracewell {
namespace {

bool NeedsQuotes(std::u16string_view field) {
  for (const char16_t c : field) {
    if (c == u',' || c == u'"' || c == u'\r' || c == u'\n') return true;
  }
  return false;
}

void AppendCsvField(std::string& out, std::u16string_view field) {
  if (!NeedsQuotes(field)) {
    AppendCodePage(out, field);
    return;
  }
  out += '"';
  std::size_t start = 0;
  for (std::size_t quote; (quote = field.find(u'"', start)) != std::u16string_view::npos;
       start = quote + 1) {
    AppendCodePage(out, field.substr(start, quote + 1 - start));
    out += '"';
  }
  AppendCodePage(out, field.substr(start));
  out += '"';
}

void AppendField(std::string& out, std::u16string_view field, GridTableFormat format) {
  if (format == GridTableFormat::kCsv) {
    AppendCsvField(out, field);
  } else {
    AppendCodePage(out, field);
  }
}

void AppendRecordLine(std::string& out, const CHttpTransaction& record, GridTableFormat format) {
  const std::u16string started = StartedText(record.m_stStarted);
  const std::u16string duration = DurationTextForExport(record);
  const std::u16string sent = FormatText("%d", record.m_nSent);
  const std::u16string size = FormatText("%d", record.m_nSize);
  const std::u16string_view fields[] = {
      started,         duration,          sent,  record.m_strMethod, record.m_strResult,
      size,            record.m_strMimeType, record.m_strUrl, record.m_strIpAddress,
  };
  const char separator = format == GridTableFormat::kCsv ? ',' : ' ';
  AppendField(out, fields[0], format);
  for (std::size_t i = 1; i < std::size(fields); ++i) {
    out += separator;
    AppendField(out, fields[i], format);
  }
  out += "\r\n";
}

}  // namespace

std::optional<FileError> WriteGridTable(const TransactionArray& records, GridTableFormat format,
                                        IByteSink& sink, IWorkProgress* progress) {
  BufferedWriter writer(sink);
  writer.buffer() += format == GridTableFormat::kCsv
                         ? "Started,Durations(s),Sent,Method,Result,Size,Type,URL,IpAddress\r\n"
                         : "Started Durations(s) Sent Method Result Size Type URL IpAddress\r\n";
  return AppendKeptRecords(records, writer, progress, [&](const CHttpTransaction& record) {
    AppendRecordLine(writer.buffer(), record, format);
  });
}

}  // namespace tracewell
