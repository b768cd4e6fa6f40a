#include "views/cookie_view.h"

#include <utility>

#include "http_text/cookies.h"

namespace tracewell {

void CCookieViewModel::ClearCookieViews() {
  m_requestRows.clear();
  m_responseRows.clear();
}

void CCookieViewModel::FillRequestCookies(const CHttpTransaction& record) {
  AppendNameValueRows(m_requestRows, RequestCookies(record.m_strRequestHeaders));
}

void CCookieViewModel::FillResponseCookies(const CHttpTransaction& record) {
  for (auto& cookie : ResponseCookies(record.m_strResponseHeaders)) {
    m_responseRows.push_back({std::move(cookie.name), std::move(cookie.value), std::move(cookie.path),
                              std::move(cookie.domain), std::move(cookie.expires)});
  }
}

}  // namespace tracewell
