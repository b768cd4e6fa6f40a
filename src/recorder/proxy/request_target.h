#pragma once
// Where a proxied request goes: the absolute "http://" URL of a request, or the
// "host:port" of a tunnel.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tracewell::proxy {

struct RequestTarget {
  std::string host;  // an IPv6 address without its brackets
  std::uint16_t port = 80;
  std::string path;  // origin-form, at least "/"; empty for a tunnel

  // "host:port" (brackets around an IPv6 address): names an upstream connection.
  std::string Authority() const;
};

// "http://host[:port][/path][?query]", the scheme in any case; nothing for any other
// form (origin-form, another scheme, user info, a bad port).
std::optional<RequestTarget> ParseAbsoluteHttpUrl(std::string_view url);

// "host:port" as a CONNECT names it; the port is required.
std::optional<RequestTarget> ParseAuthority(std::string_view authority);

}  // namespace tracewell::proxy
