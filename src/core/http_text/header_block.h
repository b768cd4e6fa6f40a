#pragma once
// A raw header block taken apart: its first line (request or status line) and the
// "name: value" fields after it, split at the first colon that is not a line's
// first character. Lines after the first without such a colon are skipped. Names
// and values come untrimmed.

#include <string_view>

#include "http_text/splitting.h"

namespace tracewell {

template <typename OnFirstLine, typename OnField>
void ForEachHeaderLine(std::u16string_view block, OnFirstLine&& onFirstLine, OnField&& onField) {
  bool first = true;
  ForEachLine(block, [&](std::u16string_view line) {
    if (first) {
      first = false;
      onFirstLine(line);
    } else if (const auto field = SplitAtFirst(line, u':')) {
      onField(*field);
    }
  });
}

// The trimmed value of the first field named `name` (any case) on any line of
// `block`, which need not begin with a request or status line; empty without one.
inline std::u16string_view FindHeaderValue(std::u16string_view block, std::u16string_view name) {
  std::u16string_view value;
  bool found = false;
  ForEachLine(block, [&](std::u16string_view line) {
    const auto field = SplitAtFirst(line, u':');
    if (!found && field && EqualsIgnoringCase(Trim(field->name), name)) {
      value = Trim(field->value);
      found = true;
    }
  });
  return value;
}

inline constexpr std::u16string_view kNotModifiedStatusLine = u"HTTP/1.1 304 Not Modified";

// The status line to show for a record: a result of exactly "304" always shows as
// "HTTP/1.1 304 Not Modified", whatever the first line says.
inline std::u16string_view StatusLineShown(std::u16string_view result,
                                           std::u16string_view firstLine) {
  return result == u"304" ? kNotModifiedStatusLine : firstLine;
}

}  // namespace tracewell
