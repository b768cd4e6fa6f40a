#pragma once
// Base64 (RFC 4648, the standard alphabet with "=" padding).

#include <optional>
#include <string>
#include <string_view>

namespace tracewell {

// The bytes `text` encodes, or none when it is not base64: a character outside the
// alphabet, padding anywhere but at the end, or a length that no encoding has.
std::optional<std::string> DecodeBase64(std::string_view text);

std::string EncodeBase64(std::string_view bytes);

}  // namespace tracewell
