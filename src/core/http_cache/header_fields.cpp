#include "http_cache/header_fields.h"

#include <algorithm>

#include "http_text/header_block.h"
#include "text/assert.h"

namespace tracewell {

HeaderFields ParseHeaderFields(std::u16string_view block) {
  HeaderFields headers;
  // Room for what most responses hold, without a pass to count the lines first.
  constexpr std::size_t kUsualFieldCount = 16;
  headers.fields.reserve(kUsualFieldCount);
  ForEachHeaderLine(
      block, [&](std::u16string_view line) { headers.firstLine = line; },
      [&](const NameValue& field) { headers.fields.push_back({Trim(field.name), Trim(field.value)}); });
  return headers;
}

std::u16string HeaderBlockText(const HeaderFields& headers) {
  std::size_t size = headers.firstLine.size() + 4;
  for (const NameValue& field : headers.fields) size += field.name.size() + field.value.size() + 4;
  // Written through a pointer: a block is many short pieces, and each append would
  // check and maybe grow the string again.
  std::u16string text(size, u'\0');
  char16_t* out = text.data();
  const auto put = [&](std::u16string_view piece) { out = std::copy(piece.begin(), piece.end(), out); };
  put(headers.firstLine);
  put(u"\r\n");
  for (const NameValue& field : headers.fields) {
    put(field.name);
    put(u": ");
    put(field.value);
    put(u"\r\n");
  }
  put(u"\r\n");
  TRACEWELL_ASSERT(out == text.data() + text.size());
  return text;
}

std::optional<std::u16string> FieldValue(const HeaderFields& headers, std::u16string_view name) {
  std::optional<std::u16string> value;
  for (const NameValue& field : headers.fields) {
    if (!EqualsIgnoringCase(field.name, name)) continue;
    if (value) {
      value->append(u", ").append(field.value);
    } else {
      value.emplace(field.value);
    }
  }
  return value;
}

}  // namespace tracewell
