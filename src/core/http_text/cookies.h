#pragma once
// Cookies as the headers carry them: the pairs of a request's "Cookie" line and the
// cookies a response sets ("Set-Cookie" lines) with their path, domain and expiry.
// Texts are kept as found, trimmed; nothing is decoded.

#include <string>
#include <string_view>
#include <vector>

#include "http_text/splitting.h"

namespace tracewell {

struct SetCookieText {
  std::u16string name;
  std::u16string value;
  std::u16string path;
  std::u16string domain;
  std::u16string expires;  // the attribute's text, unparsed
};

// The pairs of the first "Cookie" line in a request's header block, the first line
// included. The field name is compared untrimmed: "Cookie " is another header.
std::vector<NameValueText> RequestCookies(std::u16string_view requestHeaders);

// One cookie per non-empty "Set-Cookie" line of a response's header block, in order.
// Of several plain pairs in a line the last one names the cookie.
std::vector<SetCookieText> ResponseCookies(std::u16string_view responseHeaders);

}  // namespace tracewell
