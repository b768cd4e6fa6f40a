#include "views/parameter_views.h"

#include "http_text/parameters.h"

namespace tracewell {

void CQueryViewModel::FillQueryView(const CHttpTransaction& record) {
  m_rows.clear();
  AppendNameValueRows(m_rows, QueryParameters(record.m_strUrl));
}

void CPostDataViewModel::FillPostDataView(const CHttpTransaction& record) {
  m_rows.clear();
  AppendNameValueRows(m_rows, PostParameters(record.m_strMethod, record.m_strPostData));
}

}  // namespace tracewell
