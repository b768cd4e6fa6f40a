#include "cache/session_cookies.h"

#include <algorithm>

#include "http_text/cookies.h"

namespace tracewell {

std::vector<StoredCookie> SessionCookies(const TransactionArray& records, const IUrlHostParser& urls) {
  std::vector<StoredCookie> cookies;
  for (const auto& record : records) {
    const auto set = ResponseCookies(record->m_strResponseHeaders);
    if (set.empty()) continue;
    const std::optional<std::u16string> host = urls.HostName(record->m_strUrl);
    if (!host) continue;
    for (const SetCookieText& text : set) {
      StoredCookie cookie{text.name, text.domain.empty() ? *host : text.domain,
                          text.path.empty() ? std::u16string(u"/") : text.path, text.value};
      const auto same = std::ranges::find_if(cookies, [&](const StoredCookie& c) {
        return c.name == cookie.name && c.domain == cookie.domain && c.path == cookie.path;
      });
      if (same != cookies.end()) {
        same->value = std::move(cookie.value);
      } else {
        cookies.push_back(std::move(cookie));
      }
    }
  }
  return cookies;
}

}  // namespace tracewell
