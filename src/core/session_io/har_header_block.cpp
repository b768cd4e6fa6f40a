#include "session_io/har_header_block.h"

#include <algorithm>

#include "http_text/splitting.h"

namespace tracewell {
namespace {

std::u16string_view BeforeSpace(std::u16string_view text) { return text.substr(0, text.find(u' ')); }

std::u16string_view AfterSpace(std::u16string_view text) {
  const std::size_t space = text.find(u' ');
  return space == std::u16string_view::npos ? std::u16string_view() : text.substr(space + 1);
}

void AppendOneLine(std::u16string& out, std::u16string_view part) {
  const std::size_t start = out.size();
  out += part;
  std::replace_if(out.begin() + static_cast<std::ptrdiff_t>(start), out.end(),
                  [](char16_t c) { return c == u'\r' || c == u'\n'; }, u' ');
}

constexpr std::u16string_view kConnect = u"CONNECT";
constexpr std::u16string_view kTunnelScheme = u"https://";

bool IsAsciiDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool IsHexDigit(char16_t c) { return IsAsciiDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F'); }
bool IsAsciiLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

// "host:port" as a CONNECT names it: a name, IPv4 address or bracketed IPv6 address,
// and a port of up to five digits.
bool IsHostAndPort(std::u16string_view text) {
  const std::size_t colon = text.rfind(u':');
  if (colon == std::u16string_view::npos || colon == 0) return false;
  const auto host = text.substr(0, colon);
  const auto port = text.substr(colon + 1);
  if (port.empty() || port.size() > 5 || !std::all_of(port.begin(), port.end(), IsAsciiDigit)) return false;
  if (host.front() == u'[') {
    const auto address = host.substr(1, host.size() - 1);
    return address.size() > 1 && address.back() == u']' &&
           std::all_of(address.begin(), address.end() - 1, [](char16_t c) {
             return IsHexDigit(c) || c == u':' || c == u'.';
           });
  }
  return std::all_of(host.begin(), host.end(), [](char16_t c) {
    return IsAsciiLetter(c) || IsAsciiDigit(c) || c == u'-' || c == u'.' || c == u'_' || c == u'~' || c == u'%';
  });
}

}  // namespace

RequestLineParts SplitRequestLine(std::u16string_view line) {
  RequestLineParts parts{BeforeSpace(line), {}};
  const std::size_t last = line.rfind(u' ');
  if (last != std::u16string_view::npos && line.find(u' ') < last) parts.version = line.substr(last + 1);
  return parts;
}

StatusLineParts SplitStatusLine(std::u16string_view line) {
  const auto rest = AfterSpace(line);
  return {BeforeSpace(line), LeadingInteger(BeforeSpace(rest)), AfterSpace(rest)};
}

std::u16string_view RequestTarget(std::u16string_view method, std::u16string_view url) {
  if (method == kConnect && IsHostAndPort(url)) return url;
  const std::size_t scheme = url.find(u"://");
  const std::size_t path = url.find(u'/', scheme == std::u16string_view::npos ? 0 : scheme + 3);
  if (path == std::u16string_view::npos) return u"/";
  return url.substr(path, url.find(u'#', path) - path);
}

std::u16string HarUrl(std::u16string_view method, std::u16string_view url) {
  std::u16string written(url);
  if (method == kConnect && IsHostAndPort(url)) written = std::u16string(kTunnelScheme) + written + u"/";
  return written;
}

std::u16string_view UrlOfHar(std::u16string_view method, std::u16string_view harUrl) {
  if (method != kConnect || !harUrl.starts_with(kTunnelScheme) || !harUrl.ends_with(u'/')) return harUrl;
  const auto authority = harUrl.substr(kTunnelScheme.size(), harUrl.size() - kTunnelScheme.size() - 1);
  return IsHostAndPort(authority) ? authority : harUrl;
}

std::u16string BuildHeaderBlock(std::u16string_view firstLine, std::span<const HeaderField> fields) {
  // Made at its exact length: the block is kept as long as the record, with no room
  // to spare.
  std::size_t length = firstLine.empty() ? 0 : firstLine.size() + 2;
  for (const HeaderField& field : fields) length += field.name.size() + field.value.size() + 4;
  std::u16string block;
  block.reserve(length);
  if (!firstLine.empty()) {
    AppendOneLine(block, firstLine);
    block += u"\r\n";
  }
  for (const HeaderField& field : fields) {
    AppendOneLine(block, field.name);
    block += u": ";
    AppendOneLine(block, field.value);
    block += u"\r\n";
  }
  return block;
}

}  // namespace tracewell
