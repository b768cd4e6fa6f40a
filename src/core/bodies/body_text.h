#pragma once
// Bytes of a body as text for the Body tab: the charset a Content-Type and the bytes
// themselves call for, JSON laid out with indents, and a hex dump.

#include <optional>
#include <string>
#include <string_view>

namespace tracewell {

// A Content-Type's media type ("text/html"), lowercase, without parameters.
std::u16string MediaType(std::u16string_view contentType);

struct BodyTextDecoding {
  std::u16string text;
  std::u16string charsetName;  // "UTF-8", "UTF-16LE", "UTF-16BE" or "windows-1252"
};

// A byte-order mark decides first; then the charset parameter (UTF-8, UTF-16 and
// the labels that mean windows-1252: ISO-8859-1, US-ASCII, ...); without one of
// those, UTF-8 when the bytes are valid UTF-8, windows-1252 otherwise.
BodyTextDecoding DecodeBodyText(std::string_view bytes, std::u16string_view contentType);

// Whether the bytes begin as a PNG, JPEG, GIF, WebP, BMP or ICO picture does.
bool HasImageSignature(std::string_view bytes);

// The JSON value with two-space indents and its members in their order; none when
// `text` is not JSON or nests deeper than 256 levels.
std::optional<std::u16string> PrettyJson(std::u16string_view text);

// Sixteen bytes a line: the offset in eight hex digits, the bytes in hex (an extra
// space after the eighth), and the printable ASCII between bars, "." for the rest.
std::u16string HexDump(std::string_view bytes);

}  // namespace tracewell
