#include "session_io/xml_export.h"

#include "http_text/header_block.h"
#include "http_text/parameters.h"
#include "record/duration.h"
#include "session_io/record_writing.h"
#include "session_io/xml_text.h"
#include "text/format.h"
#include "text/utf8.h"

namespace tracewell {
namespace {

constexpr std::string_view kDocumentStart =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
    "<http-info xmlns=\"urn:tracewell:http-info\"   "
    "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"  \t\t\t"
    "xsi:schemaLocation=\"urn:tracewell:http-info http-info-1.0.xsd\" version=\"1.0\">\r\n"
    " <items>\r\n";
constexpr std::string_view kDocumentEnd = "</items>\r\n</http-info>\r\n";

class ItemWriter {
 public:
  explicit ItemWriter(std::string& out) : m_out(out) {}

  // "  <name>text</name>" for one of the item's own fields.
  void Field(std::string_view name, std::u16string_view text) {
    m_out += "  <";
    m_out += name;
    m_out += '>';
    AppendXmlEscaped(m_out, text, false);
    m_out += "</";
    m_out += name;
    m_out += ">\r\n";
  }

  // "    <name>text</name>" for a header line or a parameter.
  void Nested(std::u16string_view name, std::u16string_view text) {
    const std::size_t nameStart = m_out.size() + 5;
    m_out += "    <";
    AppendXmlName(m_out, name);
    const std::size_t nameLength = m_out.size() - nameStart;
    m_out += '>';
    AppendXmlEscaped(m_out, text, false);
    m_out += "</";
    m_out.append(m_out, nameStart, nameLength);
    m_out += ">\r\n";
  }

  // `statusResult` is the record's result for a response block, none for a request.
  void HeaderBlock(std::string_view element, std::u16string_view block,
                   std::u16string_view firstLineName,
                   std::optional<std::u16string_view> statusResult) {
    Line("  <", element, ">");
    ForEachHeaderLine(
        block,
        [&](std::u16string_view line) {
          Nested(firstLineName, statusResult ? StatusLineShown(*statusResult, line) : line);
        },
        [&](const NameValue& field) { Nested(field.name, field.value); });
    Line("  </", element, ">");
  }

  void Line(std::string_view before, std::string_view name, std::string_view after) {
    m_out += before;
    m_out += name;
    m_out += after;
    m_out += "\r\n";
  }

 private:
  std::string& m_out;
};

void AppendItem(std::string& out, const CHttpTransaction& record) {
  out += "<item url=\"";
  AppendXmlEscaped(out, record.m_strUrl, true);
  out += "\">\r\n";

  ItemWriter item(out);
  const SystemTime& started = record.m_stStarted;
  item.Field("stated_datetime",
             FormatText("%d-%d-%d %d:%d:%d %d", started.wMonth, started.wDay, started.wYear,
                        started.wHour, started.wMinute, started.wSecond, started.wMilliseconds));
  item.Field("duration", DurationTextForExport(record));
  item.Field("sent", FormatText("%d", record.m_nSent));
  item.Field("method", record.m_strMethod);
  item.Field("statue_code", record.m_strResult);
  item.Field("size", FormatText("%d", record.m_nSize));
  item.Field("mime_type", record.m_strMimeType);
  item.HeaderBlock("request", record.m_strRequestHeaders, u"Request-Line", std::nullopt);
  item.HeaderBlock("response", record.m_strResponseHeaders, u"Status-Line", record.m_strResult);
  item.Line("  <", "post_data", ">");
  ForEachParameter(record.m_strPostData,
                   [&](const NameValue& parameter) { item.Nested(parameter.name, parameter.value); });
  item.Line("  </", "post_data", ">");
  out += "</item>\r\n";
}

}  // namespace

std::optional<FileError> WriteXmlExport(const TransactionArray& records, IByteSink& sink,
                                        IWorkProgress* progress) {
  BufferedWriter writer(sink);
  writer.buffer() += kDocumentStart;
  auto error = AppendKeptRecords(records, writer, progress,
                                 [&](const CHttpTransaction& record) { AppendItem(writer.buffer(), record); });
  if (!error) writer.buffer() += kDocumentEnd;
  return error;
}

}  // namespace tracewell
