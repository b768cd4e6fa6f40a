#pragma once
// Undoing a response's Content-Encoding: gzip (x-gzip), deflate (zlib-wrapped or
// raw, as servers send both), br, and lists of them ("gzip, br" is decoded br
// first). The decoded size is bounded, so a small body that inflates to gigabytes
// stops at the bound instead of filling memory. A build without the brotli library
// (TRACEWELL_NO_BROTLI) knows "br" but leaves it as it stands.

#include <cstddef>
#include <string>
#include <string_view>

namespace tracewell {

enum class DecodeStatus {
  kComplete,
  kLimitReached,     // the bytes are the first `maxBytes` of the decoded body
  kDamaged,          // the bytes are what decoded before the damage or the early end
  kUnknownEncoding,  // the bytes are as they stood before that encoding
  kNotInThisBuild,   // the same, for an encoding this build cannot undo
};

struct DecodedContent {
  std::string bytes;
  DecodeStatus status = DecodeStatus::kComplete;
  std::u16string encoding;  // the encoding that was damaged or not known
};

DecodedContent DecodeContent(std::string body, std::u16string_view contentEncoding, std::size_t maxBytes);

}  // namespace tracewell
