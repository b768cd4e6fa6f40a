#include "http_cache/header_fields.h"

#include "http_text/header_block.h"

namespace tracewell {

HeaderFields ParseHeaderFields(std::u16string_view block) {
  HeaderFields headers;
  ForEachHeaderLine(
      block, [&](std::u16string_view line) { headers.firstLine = line; },
      [&](const NameValue& field) {
        headers.fields.push_back({std::u16string(Trim(field.name)), std::u16string(Trim(field.value))});
      });
  return headers;
}

std::u16string HeaderBlockText(const HeaderFields& headers) {
  std::u16string text = headers.firstLine + u"\r\n";
  for (const NameValueText& field : headers.fields) text += field.name + u": " + field.value + u"\r\n";
  return text + u"\r\n";
}

std::optional<std::u16string> FieldValue(const HeaderFields& headers, std::u16string_view name) {
  std::optional<std::u16string> value;
  for (const NameValueText& field : headers.fields) {
    if (!EqualsIgnoringCase(field.name, name)) continue;
    value = value ? *value + u", " + field.value : field.value;
  }
  return value;
}

}  // namespace tracewell
