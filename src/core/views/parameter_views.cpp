#include "views/parameter_views.h"

#include "http_text/parameters.h"

namespace tracewell {

TextRows ParameterRows(std::u16string_view text) {
  TextRows rows;
  ForEachParameter(text, [&](const NameValue& parameter) {
    rows.push_back({std::u16string(Trim(parameter.name)), std::u16string(Trim(parameter.value))});
  });
  return rows;
}

void CQueryViewModel::FillQueryView(const CHttpTransaction& record) {
  m_rows.clear();
  const auto query = SplitAtFirst(record.m_strUrl, u'?');
  if (query) m_rows = ParameterRows(query->value);
}

void CPostDataViewModel::FillPostDataView(const CHttpTransaction& record) {
  m_rows.clear();
  if (record.m_strMethod == u"POST") m_rows = ParameterRows(record.m_strPostData);
}

}  // namespace tracewell
