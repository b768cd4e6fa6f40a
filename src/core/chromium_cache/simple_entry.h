#pragma once
// An entry file ("<hash>_0") of the browser's "simple" disk cache, taken apart:
//
//   header (magic, version, key length, key hash; 24 bytes) | key | stream 1 (the body)
//   | end record of stream 1 | stream 0 (the response information)
//   | [SHA-256 of the key] | end record of stream 0 (with the size of stream 0)
//
// Each end record (24 bytes: magic, flags, CRC-32, stream size) says whether a CRC
// of its stream is present and, for stream 0, whether the key's SHA-256 precedes it.
// Every length is checked against the bytes there; the parts are views into the
// input, so nothing is allocated.

#include <cstdint>
#include <string_view>
#include <variant>

#include "chromium_cache/entry_fault.h"

namespace tracewell::chromium_cache {

inline constexpr std::uint32_t kSimpleEntryVersion = 5;
inline constexpr std::size_t kEntryHeaderSize = 24;
inline constexpr std::size_t kEndRecordSize = 24;

struct SimpleEntryHeader {
  std::uint32_t keyLength = 0;
  std::uint32_t keyHash = 0;
};

struct SimpleEntry {
  std::string_view key;
  std::string_view body;          // stream 1, as stored
  std::string_view responseInfo;  // stream 0
};

// The header alone, from the first kEntryHeaderSize bytes (or more) of the file.
std::variant<SimpleEntryHeader, EntryFault> ParseEntryHeader(std::string_view bytes);
// The key, from the file's first bytes: its header and at least the key.
std::variant<std::string_view, EntryFault> ParseEntryKey(std::string_view bytes);
// The whole file.
std::variant<SimpleEntry, EntryFault> ParseSimpleEntry(std::string_view bytes);

}  // namespace tracewell::chromium_cache
