#pragma once
// The "Query String" and "Post Data" tabs: parameters as trimmed name/value rows,
// split at "&" and the first "=", never URL-decoded.

#include "record/http_transaction.h"
#include "views/text_rows.h"

namespace tracewell {

class CQueryViewModel {
 public:
  // Rows from the query of m_strUrl: everything after its first "?" (not at 0).
  void FillQueryView(const CHttpTransaction& record);
  void ClearQueryView() { m_rows.clear(); }
  const TextRows& Rows() const { return m_rows; }

 private:
  TextRows m_rows;
};

class CPostDataViewModel {
 public:
  // Rows from m_strPostData, only for the method "POST".
  void FillPostDataView(const CHttpTransaction& record);
  void ClearPostDataView() { m_rows.clear(); }
  const TextRows& Rows() const { return m_rows; }

 private:
  TextRows m_rows;
};

}  // namespace tracewell
