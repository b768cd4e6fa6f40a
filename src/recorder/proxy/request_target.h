#pragma once
// Where a proxied request goes: the absolute "http://" URL of a request, the
// "host:port" of a tunnel, or a request inside an intercepted tunnel.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tracewell::proxy {

struct RequestTarget {
  std::string host;  // an IPv6 address without its brackets
  std::uint16_t port = 80;
  std::string path;  // origin-form, at least "/"; empty for a tunnel
  bool secure = false;  // https: TLS to the origin, 443 the default port

  // "host:port" (brackets around an IPv6 address): names an upstream connection.
  std::string Authority() const;
  // The Host field: the host (bracketed when IPv6), and the port unless it is the
  // scheme's default.
  std::string HostField() const;
  // "http://" or "https://", HostField(), path.
  std::string Url() const;
};

// "http://host[:port][/path][?query]", the scheme in any case; nothing for any other
// form (origin-form, another scheme, user info, a bad port).
std::optional<RequestTarget> ParseAbsoluteHttpUrl(std::string_view url);

// "host:port" as a CONNECT names it; the port is required.
std::optional<RequestTarget> ParseAuthority(std::string_view authority);

// A request inside the intercepted tunnel to `tunnel`: the origin form ("/path?query")
// goes to the tunnel's host and port, whatever the Host field says; "*" (OPTIONS) as
// "*". Nothing for any other form.
std::optional<RequestTarget> ParseTunnelledTarget(std::string_view target,
                                                  const RequestTarget& tunnel);

}  // namespace tracewell::proxy
