#pragma once
// The "Cookies" tab: the cookies the browser sent (the first "Cookie" request header)
// on the left, the cookies the server set ("Set-Cookie" lines) on the right with
// their path, domain and expiry. Texts are shown as found: nothing is decoded.

#include "record/http_transaction.h"
#include "views/text_rows.h"

namespace tracewell {

class CCookieViewModel {
 public:
  void ClearCookieViews();
  // Appends (name, value) rows from the record's first Cookie header.
  void FillRequestCookies(const CHttpTransaction& record);
  // Appends one (name, value, path, domain, expires) row per Set-Cookie header.
  void FillResponseCookies(const CHttpTransaction& record);

  const TextRows& RequestRows() const { return m_requestRows; }
  const TextRows& ResponseRows() const { return m_responseRows; }

 private:
  TextRows m_requestRows;
  TextRows m_responseRows;
};

}  // namespace tracewell
