#include "proxy/request_target.h"

#include <charconv>

#include "http_text/splitting.h"

namespace tracewell::proxy {
namespace {

std::optional<std::uint16_t> ParsePort(std::string_view text) {
  unsigned value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || value == 0 ||
      value > 65535) {
    return std::nullopt;
  }
  return static_cast<std::uint16_t>(value);
}

// host[:port] with an optional default port; "[v6]" or "[v6]:port" for IPv6.
std::optional<RequestTarget> ParseHostPort(std::string_view text, std::optional<std::uint16_t> defaultPort) {
  RequestTarget target;
  std::string_view portText;
  if (text.starts_with('[')) {
    const auto close = text.find(']');
    if (close == text.npos) return std::nullopt;
    target.host = text.substr(1, close - 1);
    const std::string_view rest = text.substr(close + 1);
    if (!rest.empty() && !rest.starts_with(':')) return std::nullopt;
    if (!rest.empty()) portText = rest.substr(1);
  } else {
    const auto colon = text.rfind(':');
    target.host = text.substr(0, colon);
    if (colon != text.npos) portText = text.substr(colon + 1);
  }
  if (target.host.empty() || target.host.find_first_of("@/?#[] ") != std::string::npos) {
    return std::nullopt;
  }
  if (portText.empty() && !defaultPort) return std::nullopt;
  const auto port = portText.empty() ? defaultPort : ParsePort(portText);
  if (!port) return std::nullopt;
  target.port = *port;
  return target;
}

}  // namespace

std::string RequestTarget::Authority() const {
  const bool v6 = host.find(':') != std::string::npos;
  return (v6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

std::string RequestTarget::HostField() const {
  const bool v6 = host.find(':') != std::string::npos;
  const std::string name = v6 ? "[" + host + "]" : host;
  return port == (secure ? 443 : 80) ? name : name + ":" + std::to_string(port);
}

std::string RequestTarget::Url() const {
  return (secure ? "https://" : "http://") + HostField() + path;
}

std::optional<RequestTarget> ParseAbsoluteHttpUrl(std::string_view url) {
  constexpr std::string_view kScheme = "http://";
  if (!StartsWithIgnoringCase(url, kScheme)) return std::nullopt;
  const std::string_view rest = url.substr(kScheme.size());
  const auto pathStart = rest.find_first_of("/?#");
  auto target = ParseHostPort(rest.substr(0, pathStart), std::uint16_t{80});
  if (!target) return std::nullopt;
  std::string_view path = pathStart == rest.npos ? "" : rest.substr(pathStart);
  path = path.substr(0, path.find('#'));  // a fragment never goes to the server
  target->path = path.starts_with('/') ? std::string(path) : "/" + std::string(path);
  return target;
}

std::optional<RequestTarget> ParseAuthority(std::string_view authority) {
  return ParseHostPort(authority, std::nullopt);
}

std::optional<RequestTarget> ParseTunnelledTarget(std::string_view target,
                                                  const RequestTarget& tunnel) {
  if (!target.starts_with('/') && target != "*") return std::nullopt;
  RequestTarget inside = tunnel;
  inside.secure = true;
  inside.path = target.substr(0, target.find('#'));
  return inside;
}

}  // namespace tracewell::proxy
