#include "devtools/header_blocks.h"

#include <algorithm>
#include <utility>

namespace tracewell::devtools {
namespace {

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return lower(x) == lower(y);
  });
}

std::string_view VersionFor(std::string_view protocol) {
  return SameIgnoringCase(protocol, "http/1.0") ? "HTTP/1.0" : "HTTP/1.1";
}

// "name: value" lines, one per line of the value.
void AppendField(std::string& block, std::string_view name, std::string_view value) {
  for (std::size_t start = 0;;) {
    const std::size_t end = value.find('\n', start);
    block.append(name).append(": ").append(value.substr(start, end - start)).append("\r\n");
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
}

constexpr std::pair<int, std::string_view> kReasons[] = {
    {100, "Continue"},
    {101, "Switching Protocols"},
    {200, "OK"},
    {201, "Created"},
    {202, "Accepted"},
    {203, "Non-Authoritative Information"},
    {204, "No Content"},
    {205, "Reset Content"},
    {206, "Partial Content"},
    {300, "Multiple Choices"},
    {301, "Moved Permanently"},
    {302, "Found"},
    {303, "See Other"},
    {304, "Not Modified"},
    {305, "Use Proxy"},
    {307, "Temporary Redirect"},
    {308, "Permanent Redirect"},
    {400, "Bad Request"},
    {401, "Unauthorized"},
    {402, "Payment Required"},
    {403, "Forbidden"},
    {404, "Not Found"},
    {405, "Method Not Allowed"},
    {406, "Not Acceptable"},
    {407, "Proxy Authentication Required"},
    {408, "Request Timeout"},
    {409, "Conflict"},
    {410, "Gone"},
    {411, "Length Required"},
    {412, "Precondition Failed"},
    {413, "Content Too Large"},
    {414, "URI Too Long"},
    {415, "Unsupported Media Type"},
    {416, "Range Not Satisfiable"},
    {417, "Expectation Failed"},
    {421, "Misdirected Request"},
    {422, "Unprocessable Content"},
    {425, "Too Early"},
    {426, "Upgrade Required"},
    {428, "Precondition Required"},
    {429, "Too Many Requests"},
    {431, "Request Header Fields Too Large"},
    {451, "Unavailable For Legal Reasons"},
    {500, "Internal Server Error"},
    {501, "Not Implemented"},
    {502, "Bad Gateway"},
    {503, "Service Unavailable"},
    {504, "Gateway Timeout"},
    {505, "HTTP Version Not Supported"},
};

}  // namespace

UrlParts SplitUrl(std::string_view url) {
  UrlParts parts;
  const std::size_t colon = url.find(':');
  if (colon == std::string_view::npos) return parts;
  parts.scheme = url.substr(0, colon);
  std::string_view rest = url.substr(colon + 1);
  rest = rest.substr(0, rest.find('#'));
  if (rest.starts_with("//")) {
    rest.remove_prefix(2);
    const std::size_t end = rest.find_first_of("/?");
    parts.authority = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end);
  }
  parts.target = rest.empty() ? std::string_view("/") : rest;
  return parts;
}

std::optional<std::string> HeaderValue(const HeaderFields& headers, std::string_view name) {
  for (const auto& [fieldName, value] : headers) {
    if (SameIgnoringCase(fieldName, name)) return value;
  }
  return std::nullopt;
}

std::string RequestBlock(std::string_view method, std::string_view url,
                         std::string_view protocol, const HeaderFields& headers) {
  const UrlParts parts = SplitUrl(url);
  std::string block;
  block.reserve(64 + headers.size() * 48);
  block.append(method).append(" ").append(parts.target).append(" ");
  block.append(VersionFor(protocol)).append("\r\n");
  const auto host = HeaderValue(headers, "Host");
  const auto authority = HeaderValue(headers, ":authority");
  AppendField(block, "Host", host ? *host : authority ? *authority : std::string(parts.authority));
  for (const auto& [name, value] : headers) {
    if (name.starts_with(':') || SameIgnoringCase(name, "Host")) continue;
    AppendField(block, name, value);
  }
  block.append("\r\n");
  return block;
}

std::string ResponseBlock(std::string_view protocol, int status, std::string_view statusText,
                          const HeaderFields& headers) {
  std::string block;
  block.reserve(64 + headers.size() * 48);
  block.append(VersionFor(protocol)).append(" ").append(std::to_string(status)).append(" ");
  block.append(statusText.empty() ? ReasonPhrase(status) : statusText).append("\r\n");
  for (const auto& [name, value] : headers) {
    if (!name.starts_with(':')) AppendField(block, name, value);
  }
  block.append("\r\n");
  return block;
}

std::string_view ReasonPhrase(int status) {
  const auto* found = std::ranges::lower_bound(kReasons, status, {}, &std::pair<int, std::string_view>::first);
  return found != std::end(kReasons) && found->first == status ? found->second : std::string_view();
}

}  // namespace tracewell::devtools
