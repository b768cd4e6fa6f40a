#pragma once
// A response's header block as a cache keeps and rewrites it: the status line and
// the fields in their order, values trimmed.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "http_text/splitting.h"

namespace tracewell {

struct HeaderFields {
  std::u16string firstLine;
  std::vector<NameValueText> fields;

  friend bool operator==(const HeaderFields&, const HeaderFields&) = default;
};

HeaderFields ParseHeaderFields(std::u16string_view block);

// The first line and "name: value" lines, each ending in CR LF, then an empty line.
std::u16string HeaderBlockText(const HeaderFields& headers);

// Every value of the field `name` (any case), joined with ", "; none when absent.
std::optional<std::u16string> FieldValue(const HeaderFields& headers, std::u16string_view name);

}  // namespace tracewell
