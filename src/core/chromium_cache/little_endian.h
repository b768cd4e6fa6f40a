#pragma once
// Little-endian integers at an offset the caller has checked.

#include <cstdint>
#include <string_view>

#include "text/assert.h"

namespace tracewell::chromium_cache {

template <typename T>
T ReadLittleEndian(std::string_view bytes, std::size_t offset) {
  TRACEWELL_ASSERT(offset <= bytes.size() && sizeof(T) <= bytes.size() - offset);
  T value = 0;
  for (std::size_t i = 0; i < sizeof(T); ++i) {
    value = static_cast<T>(value | static_cast<T>(static_cast<unsigned char>(bytes[offset + i])) << (8 * i));
  }
  return value;
}

inline std::uint32_t ReadU32(std::string_view bytes, std::size_t offset) {
  return ReadLittleEndian<std::uint32_t>(bytes, offset);
}
inline std::uint64_t ReadU64(std::string_view bytes, std::size_t offset) {
  return ReadLittleEndian<std::uint64_t>(bytes, offset);
}

}  // namespace tracewell::chromium_cache
