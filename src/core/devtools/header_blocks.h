#pragma once
// Raw header blocks rebuilt from the header fields that DevTools events list, for a
// request (the browser never gives its raw text) and for a response that came
// without its raw text (HTTP/2 and HTTP/3, or a cache hit).
//
// The rule: every block is written in HTTP/1.1 form, whatever protocol carried it,
// so that the header views and exports read it like any other record. The request
// line is "METHOD origin-form-target HTTP/1.1" (the URL's path and query; the
// fragment never travels), then "Host" (the "Host" field, else ":authority", else
// the URL's authority), then the other fields in the order they were read; the status line
// is "HTTP/1.1 STATUS REASON" with the event's status text, else the standard reason
// phrase of the status. Pseudo-header fields (":method", ":status", ...) are dropped,
// a value of several lines gives one line per value, and every block ends in an
// empty line (CR LF CR LF). Only an HTTP/1.0 exchange keeps "HTTP/1.0".

#include <optional>
#include <string>
#include <string_view>

#include "devtools/network_events.h"

namespace tracewell::devtools {

struct UrlParts {
  std::string_view scheme;     // lower case as the browser writes it
  std::string_view authority;  // host and port
  std::string_view target;     // path and query, "/" when the URL has none
};

UrlParts SplitUrl(std::string_view url);

std::string RequestBlock(std::string_view method, std::string_view url,
                         std::string_view protocol, const HeaderFields& headers);

std::string ResponseBlock(std::string_view protocol, int status, std::string_view statusText,
                          const HeaderFields& headers);

// The value of the first field named `name` in any case.
std::optional<std::string> HeaderValue(const HeaderFields& headers, std::string_view name);

// The standard reason phrase of `status`, or empty for a status without one.
std::string_view ReasonPhrase(int status);

}  // namespace tracewell::devtools
