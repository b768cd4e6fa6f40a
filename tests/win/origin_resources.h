#pragma once
// What the Windows test host's loopback origin answers, shared with the Linux test
// that sends the same requests through `tracewell record` to the Linux test origin:
// by method and path, the status line and fields (each ending in CR LF; the
// Content-Length is added) and the body.

#include <string_view>

namespace tracewell::testing {

struct OriginResource {
  std::string_view method;
  std::string_view path;
  std::string_view head;
  std::string_view body;
};

inline constexpr OriginResource kOriginResources[] = {
    {"GET", "/page.html",
     "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nCache-Control: no-store\r\nConnection: close\r\n",
     "<html>hello</html>"},
    {"POST", "/form",
     "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nCache-Control: no-store\r\nConnection: close\r\n", "posted"},
    {"GET", "/newer/version.txt", "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nConnection: close\r\n",
     "Version: 2.0.0.0"},
    {"GET", "/same/version.txt", "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nConnection: close\r\n",
     "Version: 1.0.0.0"},
    {"GET", "/cached.css",
     "HTTP/1.1 200 OK\r\nContent-Type: text/css\r\nCache-Control: max-age=3600\r\nConnection: close\r\n",
     "body{margin:0}"},
    {"GET", "/moved",
     "HTTP/1.1 302 Found\r\nLocation: /page.html\r\nCache-Control: no-store\r\nConnection: close\r\n", ""},
};

// The answer to anything else; the tests ask for it at /missing.
inline constexpr OriginResource kNotFoundResource = {
    "GET", "/missing",
    "HTTP/1.1 404 Not Found\r\nContent-Type: text/plain\r\nCache-Control: no-store\r\nConnection: close\r\n",
    "not found"};

}  // namespace tracewell::testing
