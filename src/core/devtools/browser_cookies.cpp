#include "devtools/browser_cookies.h"

#include "text/utf8.h"

namespace tracewell::devtools {

std::vector<StoredCookie> ReadBrowserCookies(const Json& result) {
  std::vector<StoredCookie> cookies;
  const auto list = result.find("cookies");
  if (list == result.end() || !list->is_array()) return cookies;
  for (const Json& item : *list) {
    if (!item.is_object()) continue;
    const std::string* name = StringMember(item, "name");
    const std::string* domain = StringMember(item, "domain");
    if (name == nullptr || domain == nullptr || name->empty() || domain->empty()) continue;
    const std::string* path = StringMember(item, "path");
    const std::string* value = StringMember(item, "value");
    cookies.push_back({FromUtf8(*name), FromUtf8(*domain), path != nullptr ? FromUtf8(*path) : u"/",
                       value != nullptr ? FromUtf8(*value) : u""});
  }
  return cookies;
}

Json DeleteCookieParams(const StoredCookie& cookie) {
  return Json{{"name", ToUtf8(cookie.name)}, {"domain", ToUtf8(cookie.domain)}, {"path", ToUtf8(cookie.path)}};
}

}  // namespace tracewell::devtools
