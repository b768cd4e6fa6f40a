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

std::u16string_view RequestTarget(std::u16string_view url) {
  const std::size_t scheme = url.find(u"://");
  const std::size_t path = url.find(u'/', scheme == std::u16string_view::npos ? 0 : scheme + 3);
  if (path == std::u16string_view::npos) return u"/";
  return url.substr(path, url.find(u'#', path) - path);
}

std::u16string BuildHeaderBlock(std::u16string_view firstLine, std::span<const HeaderField> fields) {
  std::u16string block;
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
