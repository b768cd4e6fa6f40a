#pragma once
// Between a record's raw header blocks and HAR's separate fields: the parts of a
// request line and a status line, and a block rebuilt from HAR's fields (first
// line, then "name: value" lines, each ending in CR LF).

#include <span>
#include <string>
#include <string_view>

namespace tracewell {

struct RequestLineParts {
  std::u16string_view method;   // the first word
  std::u16string_view version;  // the last word, when the line has three or more
};
RequestLineParts SplitRequestLine(std::u16string_view line);

struct StatusLineParts {
  std::u16string_view version;  // the first word
  int code = 0;                 // the number after it, 0 without one
  std::u16string_view text;     // everything after the number and its space
};
StatusLineParts SplitStatusLine(std::u16string_view line);

// The request target of a request line for `url`: its path and query, without a
// fragment; "/" when the URL has no path. A CONNECT names the tunnel's host:port.
std::u16string_view RequestTarget(std::u16string_view method, std::u16string_view url);

// A tunnel's URL is the "host:port" that its CONNECT names. HAR wants a URL there, so
// a CONNECT's host:port is written as "https://host:port/" and read back from that
// form; any other URL is written and read as it is.
std::u16string HarUrl(std::u16string_view method, std::u16string_view url);
std::u16string_view UrlOfHar(std::u16string_view method, std::u16string_view harUrl);

struct HeaderField {
  std::u16string name;
  std::u16string value;
};

// The block (without a first line when `firstLine` is empty); CR and LF inside a
// part become spaces so that every part stays on its line.
std::u16string BuildHeaderBlock(std::u16string_view firstLine, std::span<const HeaderField> fields);

}  // namespace tracewell
