#pragma once
// The two checksums a browser's disk-cache entry carries: the CRC-32 of each
// stream (the zlib polynomial and conventions) and the SHA-256 of the entry's key.

#include <array>
#include <cstdint>
#include <string_view>

namespace tracewell::chromium_cache {

std::uint32_t Crc32(std::string_view bytes);

using Sha256Digest = std::array<unsigned char, 32>;
Sha256Digest Sha256(std::string_view bytes);

}  // namespace tracewell::chromium_cache
