#include "views/header_view.h"

#include "http_text/header_block.h"
#include "http_text/network_errors.h"

namespace tracewell {
namespace {

// The rows of one header block: the first line under `firstLineName`, untrimmed,
// then every field with its name and value trimmed. `statusResult` is the record's
// result for a response block, none for a request.
TextRows HeaderRows(std::u16string_view block, std::u16string_view firstLineName,
                    std::optional<std::u16string_view> statusResult) {
  TextRows rows;
  ForEachHeaderLine(
      block,
      [&](std::u16string_view line) {
        const auto shown = statusResult ? StatusLineShown(*statusResult, line) : line;
        rows.push_back({std::u16string(firstLineName), std::u16string(shown)});
      },
      [&](const NameValue& field) {
        rows.push_back({std::u16string(Trim(field.name)), std::u16string(Trim(field.value))});
      });
  return rows;
}

}  // namespace

void CHeaderViewModel::FillHeaderView(const CHttpTransaction* record) {
  if (record == nullptr) return;
  m_requestRows = HeaderRows(record->m_strRequestHeaders, u"Request-Line", std::nullopt);
  m_responseRows =
      HeaderRows(record->m_strResponseHeaders, u"Status-Line", record->m_strResult);
  if (record->m_strResponseHeaders.empty()) AddExplanation(record->m_strResult);
}

void CHeaderViewModel::AddExplanation(const std::u16string& result) {
  if (result == u"(Cache)") {
    m_requestRows.push_back({u"Request-Line", u"(None)"});
    m_responseRows.push_back({u"(Status-Line)", u"(Response from Cache)"});
  } else if (result == u"(Aborted)") {
    m_responseRows.push_back({u"(Aborted)", u"(No response headers received)"});
  } else if (const auto name = InternetErrorName(LeadingInteger(result))) {
    m_responseRows.push_back({u"Request failed: ", std::u16string(*name)});
  }
}

void CHeaderViewModel::ClearHeaderView() {
  m_requestRows.clear();
  m_responseRows.clear();
}

}  // namespace tracewell
