#pragma once
// The response information the browser keeps in stream 0 of a cache entry: a pickle
// (a 32-bit payload size, then 4-byte aligned fields) of flags, the request and
// response times and the raw header block (status line and fields, NUL-separated).
// Fields after the header block (certificate, address, ...) are not read.

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "chromium_cache/entry_fault.h"

namespace tracewell::chromium_cache {

inline constexpr std::uint32_t kResponseInfoVersion = 3;

struct ResponseInfo {
  // Microseconds since 1601-01-01 UTC, as the browser keeps them.
  std::int64_t requestTime = 0;
  std::int64_t responseTime = 0;
  std::string_view statusLine;
  std::vector<std::string_view> headerLines;  // "Name: value", as received
};

std::variant<ResponseInfo, EntryFault> ParseResponseInfo(std::string_view pickle);

// The status line and the header lines, each ending in CR LF, then an empty line.
std::string HeaderBlock(const ResponseInfo& info);

}  // namespace tracewell::chromium_cache
