#pragma once
// A response's header block as a cache reads and rewrites it: the status line and
// the fields in their order, values trimmed. The parts are views into the text they
// were parsed from, which must outlive them: a stored response is read field by field
// on every request the proxy forwards, and taking each field apart into strings of
// its own would cost more than the rules that read it.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "http_text/splitting.h"

namespace tracewell {

struct HeaderFields {
  std::u16string_view firstLine;
  std::vector<NameValue> fields;
};

// The parts of `block`, viewed in it.
HeaderFields ParseHeaderFields(std::u16string_view block);

// The first line and "name: value" lines, each ending in CR LF, then an empty line.
std::u16string HeaderBlockText(const HeaderFields& headers);

// Every value of the field `name` (any case), joined with ", "; none when absent.
std::optional<std::u16string> FieldValue(const HeaderFields& headers, std::u16string_view name);

}  // namespace tracewell
